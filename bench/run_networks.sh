#!/usr/bin/env bash
# Benchmark over whole runs: builds the optimised binary, then runs it on every network in
# examples/ and ../shared/networks/ (when present) and prints, per network, the number of
# elementary modes, the wall time and the peak memory. Not a test: nothing here is checked.
#
#   bash bench/run_networks.sh [--stress] [--timeout SECONDS]
#
# --stress also runs the networks with millions of modes (ecc2comp_glc.dat); the default
# timeout per network is 600 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
stress=0
limit=600
while [ $# -gt 0 ]; do
    case $1 in
        --stress) stress=1 ;;
        --timeout) limit=$2; shift ;;
        *) echo "usage: bash bench/run_networks.sh [--stress] [--timeout SECONDS]" >&2; exit 1 ;;
    esac
    shift
done

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DKESTRANE_TESTS=OFF >/dev/null
cmake --build build/bench -j "$(nproc)" --target kestrane >/dev/null
binary=$PWD/build/bench/driver/kestrane

source bench/network_list.sh
bench_networks "$stress"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%-40s %12s %10s %12s  %s\n' network "modes" "wall s" "peak MiB" status
for network in "${networks[@]}"; do
    name=$(basename "$network" .dat)
    report=$work/$name.report
    set +e
    /usr/bin/time -f '%e %M' -o "$work/time" timeout "$limit" "$binary" "$network" "$report" \
        >"$work/stdout" 2>/dev/null
    status=$?
    set -e
    modes=$( (grep -o 'Found [0-9]* elementary modes' "$work/stdout" || true) | tail -n 1 |
        awk '{print $2}')
    note=""
    [ $status -ne 0 ] && note=$(grep -v '^$' "$work/stdout" | tail -n 2 | head -n 1 | cut -c1-90)
    read -r wall peak_kib < <(tail -n 1 "$work/time")
    [ $status -eq 124 ] && wall=">$limit"
    printf '%-40s %12s %10s %12s  %s %s\n' "$name" "${modes:--}" "$wall" \
        "$(awk -v k="${peak_kib:-0}" 'BEGIN { printf "%.1f", k / 1024 }')" "exit $status" "$note"
done
