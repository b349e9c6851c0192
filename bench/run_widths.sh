#!/usr/bin/env bash
# Which widths each network needs: builds the optimised kestrane and kestrane-import, runs every
# network of examples/ and ../shared/networks/ and every model of ../shared/networks/sources/
# imported with default options (growth reactions kept), and prints per run its exit status,
# wall time, peak memory, the escalations of the tableau stages and, per section of the report,
# the bits of its widest value (bench/report_widths.py). Not a test: nothing here is checked.
#
#   bash bench/run_widths.sh [--stress] [--timeout SECONDS] [--memory-limit KB]
#
# --stress also runs ecc2comp_glc.dat; the default timeout per run is 600 seconds. With
# --memory-limit the runs get at most that much virtual memory (ulimit -v), so that a model too
# large for the machine stops with the program's own message instead of the system's.
set -euo pipefail
cd "$(dirname "$0")/.."
stress=0
limit=600
memory=unlimited
usage="usage: bash bench/run_widths.sh [--stress] [--timeout SECONDS] [--memory-limit KB]"
while [ $# -gt 0 ]; do
    case $1 in
        --stress) stress=1 ;;
        --timeout | --memory-limit)
            [ $# -ge 2 ] || { echo "$usage" >&2; exit 1; }
            if [ "$1" = --timeout ]; then limit=$2; else memory=$2; fi
            shift
            ;;
        *) echo "$usage" >&2; exit 1 ;;
    esac
    shift
done

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DKESTRANE_TESTS=OFF >/dev/null
cmake --build build/bench -j "$(nproc)" --target kestrane kestrane-import >/dev/null
binary=$PWD/build/bench/driver/kestrane
importer=$PWD/build/bench/import/kestrane-import

source bench/network_list.sh
bench_networks "$stress"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs kestrane on `network` and prints what it needed.
measure() {
    local name=$1 network=$2 status
    cp "$network" "$work/network.dat"
    set +e
    (cd "$work" && ulimit -v "$memory" &&
        /usr/bin/time -f '%e %M' -o time timeout "$limit" "$binary" network.dat report.txt \
            >console.txt 2>/dev/null)
    status=$?
    set -e
    read -r wall peak <"$work/time" || true
    printf '%s: status %s, %s s, %s MiB\n' "$name" "$status" "${wall:-?}" \
        "$(awk -v k="${peak:-0}" 'BEGIN { printf "%.0f", k / 1024 }')"
    [ "$status" -eq 0 ] || tail -n 3 "$work/console.txt" | sed 's/^/  /'
    python3 bench/report_widths.py "$work/report.txt" "$work/console.txt" | sed 's/^/  /'
    rm -f "$work/report.txt"
}

for network in "${networks[@]}"; do
    measure "$(basename "$network" .dat)" "$network"
done
for model in ../shared/networks/sources/*.xml ../shared/networks/sources/*.xml.gz \
    ../shared/networks/sources/*.json; do
    [ -f "$model" ] || continue
    "$importer" "$model" "$work/imported.dat" >/dev/null
    measure "$(basename "$model") (imported)" "$work/imported.dat"
done
