#!/usr/bin/env bash
# Benchmark over whole runs: builds the optimised binary, then runs it on every network in
# examples/ and ../shared/networks/ (when present) and prints, per network, the number of
# elementary modes, the wall time and the peak memory. Not a test: nothing here is checked.
#
#   bash bench/run_networks.sh [--stress] [--efmtool] [--timeout SECONDS]
#
# --stress also runs the networks with millions of candidate pairs (ecc2comp_glc.dat); the
# default timeout per network and program is 600 seconds. --efmtool also runs efmtool on each
# network, writing its modes as a whole run of ours does (../shared/peers/efmtool/run.sh NETWORK
# matlab), and adds its mode count, wall time and peak memory and the ratios ours / efmtool.
# efmtool counts a mode made only of reversible reactions twice, so its count may be higher.
# Set KESTRANE_THREADS=1 in the environment to compare one thread with one thread.
set -euo pipefail
cd "$(dirname "$0")/.."
stress=0
efmtool=0
limit=600
usage="usage: bash bench/run_networks.sh [--stress] [--efmtool] [--timeout SECONDS]"
while [ $# -gt 0 ]; do
    case $1 in
        --stress) stress=1 ;;
        --efmtool) efmtool=1 ;;
        --timeout)
            [ $# -ge 2 ] || { echo "$usage" >&2; exit 1; }
            limit=$2
            shift
            ;;
        *) echo "$usage" >&2; exit 1 ;;
    esac
    shift
done
peer=../shared/peers/efmtool/run.sh
if [ $efmtool -eq 1 ] && [ ! -f "$peer" ]; then
    echo "efmtool is not at $peer" >&2
    exit 1
fi

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DKESTRANE_TESTS=OFF >/dev/null
cmake --build build/bench -j "$(nproc)" --target kestrane >/dev/null
binary=$PWD/build/bench/driver/kestrane

source bench/network_list.sh
bench_networks "$stress"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Prints a / b with two decimals, or - when either is unknown or b is 0.
ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN {
        if (a !~ /^[0-9.]+$/ || b !~ /^[0-9.]+$/ || b + 0 == 0) print "-";
        else printf "%.2f", a / b }'
}

if [ $efmtool -eq 1 ]; then
    printf '%-36s %9s %9s %9s %9s %9s %9s %6s %6s  %s\n' network modes "wall s" "peak MiB" \
        "efm modes" "efm s" "efm MiB" "time" memory status
else
    printf '%-40s %12s %10s %12s  %s\n' network "modes" "wall s" "peak MiB" status
fi
for network in "${networks[@]}"; do
    name=$(basename "$network" .dat)
    report=$work/$name.report
    set +e
    /usr/bin/time -f '%e %M' -o "$work/time" timeout "$limit" "$binary" "$network" "$report" \
        >"$work/stdout" 2>/dev/null
    status=$?
    set -e
    rm -f "$report"
    modes=$( (grep -o 'Found [0-9]* elementary modes' "$work/stdout" || true) | tail -n 1 |
        awk '{print $2}')
    note=""
    [ $status -ne 0 ] && note=$(grep -v '^$' "$work/stdout" | tail -n 2 | head -n 1 | cut -c1-90)
    read -r wall peak_kib < <(tail -n 1 "$work/time")
    [ $status -eq 124 ] && wall=">$limit"
    peak=$(awk -v k="${peak_kib:-0}" 'BEGIN { printf "%.1f", k / 1024 }')
    if [ $efmtool -eq 0 ]; then
        printf '%-40s %12s %10s %12s  %s %s\n' "$name" "${modes:--}" "$wall" "$peak" \
            "exit $status" "$note"
        continue
    fi
    # run.sh's last line: "efmtool matlab: MODES modes, WALL s, PEAK MiB".
    set +e
    timeout "$limit" bash "$peer" "$network" matlab >"$work/efmtool" 2>&1
    efm_status=$?
    set -e
    read -r efm_modes efm_wall efm_peak < <(tail -n 1 "$work/efmtool" |
        sed -nE 's/^efmtool matlab: (\S+) modes, (\S+) s, (\S+) MiB$/\1 \2 \3/p') || true
    [ $efm_status -eq 124 ] && efm_wall=">$limit"
    [ $efm_status -ne 0 ] && note="$note (efmtool exit $efm_status)"
    printf '%-36s %9s %9s %9s %9s %9s %9s %6s %6s  %s %s\n' "$name" "${modes:--}" "$wall" \
        "$peak" "${efm_modes:--}" "${efm_wall:--}" "${efm_peak:--}" \
        "$(ratio "$wall" "${efm_wall:-}")" "$(ratio "$peak" "${efm_peak:-}")" "exit $status" "$note"
done
