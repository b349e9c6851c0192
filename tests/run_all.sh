#!/usr/bin/env bash
# Builds and runs every test: the sanitizer build (unit, property and end-to-end tests), then
# the optimised build with the end-to-end cases again and the whole networks of
# ../shared/networks (skipped when that folder is absent).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DKESTRANE_SANITIZE=ON
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKESTRANE_TESTS=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release -L 'e2e|networks' --output-on-failure -j "$jobs"
