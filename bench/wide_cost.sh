#!/usr/bin/env bash
# What wide values cost: runs a network and a copy of it whose chosen reactions are scaled by
# large factors (bench/scale_columns.py; the same supports, so the same modes, with values beyond
# 32 bits) in alternation, and prints each run's wall time and peak memory and the medians with
# their ratio scaled / plain. Not a test: nothing here is checked but that both runs finish.
#
#   bash bench/wide_cost.sh RUNS NETWORK FACTOR REACTION [FACTOR REACTION]...
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 4 ] || { echo "usage: bash bench/wide_cost.sh RUNS NETWORK FACTOR REACTION..." >&2; exit 1; }
runs=$1 network=$2
shift 2
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DKESTRANE_TESTS=OFF >/dev/null
cmake --build build/bench -j "$(nproc)" --target kestrane >/dev/null
binary=$PWD/build/bench/driver/kestrane
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$network" "$work/plain.dat"
python3 bench/scale_columns.py "$network" "$work/scaled.dat" "$@"

for ((i = 0; i < runs; ++i)); do
    for kind in plain scaled; do
        (cd "$work" && /usr/bin/time -f '%e %M' -o "$kind.time" "$binary" "$kind.dat" report.txt \
            >"$kind.console")
        tail -n 1 "$work/$kind.time" >>"$work/$kind.times"
        grep -h "elementary modes" "$work/$kind.console" | tail -n 1 >"$work/$kind.modes"
    done
done
for kind in plain scaled; do
    printf '%-7s %s; escalations: %s\n' "$kind" "$(cat "$work/$kind.modes")" \
        "$(grep -c 'computing it again' "$work/$kind.console" || true)"
done
python3 - "$work/plain.times" "$work/scaled.times" <<'PY'
import statistics, sys
plain, scaled = ([tuple(map(float, l.split())) for l in open(f)] for f in sys.argv[1:3])
for name, runs in (("plain", plain), ("scaled", scaled)):
    print("%-7s wall %s s" % (name, " ".join("%.2f" % w for w, _ in runs)))
wall = [statistics.median(w for w, _ in r) for r in (plain, scaled)]
memory = [statistics.median(m for _, m in r) / 1024 for r in (plain, scaled)]
print("medians: %.2f s / %.0f MiB plain, %.2f s / %.0f MiB scaled; scaled / plain %.2f (time), "
      "%.2f (memory)" % (wall[0], memory[0], wall[1], memory[1], wall[1] / wall[0],
                         memory[1] / memory[0]))
PY
