#!/usr/bin/env bash
# Benchmark of the stages that grow with the number of reactions: builds the optimised binary,
# writes blocked and open linear chains and chains of futile cycles (bench/chain_network.sh) of
# 1,000 and 3,000 reactions, or of the given even lengths, and prints the wall time and peak
# memory of a whole run on each.
# Not a test: nothing here is checked.
#
#   bash bench/run_chains.sh [--timeout SECONDS] [LENGTH...]
set -euo pipefail
cd "$(dirname "$0")/.."
limit=600
lengths=()
while [ $# -gt 0 ]; do
    case $1 in
        --timeout) limit=$2; shift ;;
        -*) echo "usage: bash bench/run_chains.sh [--timeout SECONDS] [LENGTH...]" >&2; exit 1 ;;
        *) lengths+=("$1") ;;
    esac
    shift
done
[ ${#lengths[@]} -gt 0 ] || lengths=(1000 3000)

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DKESTRANE_TESTS=OFF >/dev/null
cmake --build build/bench -j "$(nproc)" --target kestrane >/dev/null
binary=$PWD/build/bench/driver/kestrane

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%-22s %10s %12s  %s\n' chain "wall s" "peak MiB" status
for length in "${lengths[@]}"; do
    for kind in blocked open cycles; do
        name=${kind}_$length
        bash bench/chain_network.sh "$kind" "$length" >"$work/$name.dat"
        set +e
        /usr/bin/time -f '%e %M' -o "$work/time" timeout "$limit" "$binary" "$work/$name.dat" \
            "$work/$name.report" >/dev/null 2>&1
        status=$?
        set -e
        read -r wall peak_kib < <(tail -n 1 "$work/time")
        [ $status -eq 124 ] && wall=">$limit"
        printf '%-22s %10s %12s  %s\n' "$name" "$wall" \
            "$(awk -v k="${peak_kib:-0}" 'BEGIN { printf "%.1f", k / 1024 }')" "exit $status"
    done
done
