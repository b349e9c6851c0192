#!/usr/bin/env bash
# Checks the formatting of every source, then builds and runs every test: the sanitizer build (unit, property, fuzz-corpus and end-to-end
# tests), then the optimised build with the end-to-end cases again and the whole networks of
# ../shared/networks (skipped when that folder is absent), then the optimised program without
# GMP on the networks whose values need up to 130 bits, then the clang build with bounded
# fuzzing runs of the network file reader and of the model importer.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

# Every C++ source that git tracks or would track must be as clang-format writes it.
git ls-files -z --cached --others --exclude-standard '*.cpp' '*.h' |
    xargs -0 clang-format --dry-run --Werror

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DKESTRANE_SANITIZE=ON -DKESTRANE_TESTS=ON
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKESTRANE_TESTS=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release -L 'e2e|networks' --output-on-failure -j "$jobs"

# The program builds without GMP as well; a value beyond 128 bits then stops the run with a
# message that names its section, and every smaller value is listed exactly.
cmake -S . -B build/plain -DCMAKE_BUILD_TYPE=Release -DKESTRANE_GMP=OFF -DKESTRANE_IMPORT=OFF
cmake --build build/plain -j "$jobs" --target kestrane
python3 tests/wide/wide_values_test.py --without-gmp build/plain/driver/kestrane

# The program builds with clang as well; its libFuzzer target mutates the reader's input for a
# minute, from the seed corpus and what earlier runs found (kept in build/clang/fuzz_corpus).
command -v clang++ >/dev/null || { echo "clang++ is needed for the fuzzing run (.ci/run installs it)"; exit 1; }
cmake -S . -B build/clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DKESTRANE_SANITIZE=ON \
    -DKESTRANE_TESTS=ON
# The program itself and the fuzz targets; the tests are built with g++ above.
# The importer's target exists where its libraries were found.
fuzz_targets=(reader_fuzz)
cmake --build build/clang --target help | grep import_fuzz >/dev/null && fuzz_targets+=(import_fuzz)
cmake --build build/clang -j "$jobs" --target kestrane "${fuzz_targets[@]}"
mkdir -p build/clang/fuzz_corpus build/clang/fuzz_findings
if ! build/clang/tests/fuzz/reader_fuzz -max_total_time=60 -close_fd_mask=1 \
        -dict=tests/fuzz/reader.dict -artifact_prefix=build/clang/fuzz_findings/ \
        build/clang/fuzz_corpus tests/fuzz/corpus >build/clang/fuzz.log 2>&1; then
    tail -n 40 build/clang/fuzz.log
    echo "The reader failed on a fuzzed input, kept in build/clang/fuzz_findings/."
    exit 1
fi
echo "Fuzzing the reader: $(tail -n 1 build/clang/fuzz.log)"

# The importer's fuzz target mutates models for a minute: its seed corpus (the inputs that once
# crashed it and small published models), the models of its end-to-end cases, the published
# models of ../shared/networks/sources when that folder is there, and what earlier runs found.
if [[ " ${fuzz_targets[*]} " == *" import_fuzz "* ]]; then
    mkdir -p build/clang/import_fuzz_corpus build/clang/import_fuzz_findings
    for model in tests/import/*/model.*; do
        cp "$model" "build/clang/import_fuzz_corpus/$(basename "$(dirname "$model")")_$(basename "$model")"
    done
    sources=()
    [ -d ../shared/networks/sources ] && sources+=(../shared/networks/sources)
    if ! build/clang/tests/fuzz/import_fuzz -max_total_time=60 -close_fd_mask=1 -max_len=65536 \
            -timeout=30 -artifact_prefix=build/clang/import_fuzz_findings/ \
            build/clang/import_fuzz_corpus tests/fuzz/import_corpus "${sources[@]}" \
            >build/clang/import_fuzz.log 2>&1; then
        tail -n 40 build/clang/import_fuzz.log
        echo "The importer failed on a fuzzed model, kept in build/clang/import_fuzz_findings/."
        exit 1
    fi
    echo "Fuzzing the importer: $(tail -n 1 build/clang/import_fuzz.log)"
fi
