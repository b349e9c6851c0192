#!/usr/bin/env bash
# Proves that a change keeps the program's output: builds the optimised binary of a git
# revision (default HEAD) and of the working tree, runs both on every network in examples/ and
# ../shared/networks/ (ecc2comp_glc.dat only with --stress), and compares the whole reports,
# the console output (processor-time values masked) and the exit statuses. Prints one line per
# network with both wall times and peak memories; exits 1 when any network differs.
#
#   bash bench/compare_reports.sh [--stress] [--timeout SECONDS] [REVISION]
set -euo pipefail
cd "$(dirname "$0")/.."
stress=0
limit=900
revision=HEAD
while [ $# -gt 0 ]; do
    case $1 in
        --stress) stress=1 ;;
        --timeout) limit=$2; shift ;;
        -*) echo "usage: bash bench/compare_reports.sh [--stress] [--timeout SECONDS] [REVISION]" >&2
            exit 1 ;;
        *) revision=$1 ;;
    esac
    shift
done

work=$(mktemp -d)
trap 'git worktree remove --force "$work/before-src" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
git worktree add --detach "$work/before-src" "$revision" >/dev/null 2>&1
build() {
    cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DKESTRANE_TESTS=OFF >/dev/null
    cmake --build "$2" -j "$(nproc)" --target kestrane >/dev/null
}
build "$work/before-src" "$work/before-build"
build . build/compare
before=$work/before-build/driver/kestrane
after=$PWD/build/compare/driver/kestrane

source bench/network_list.sh
bench_networks "$stress"

# Runs one binary on one network inside `dir` under the fixed invocation name "kestrane".
run() {
    local binary=$1 network=$2 dir=$3
    mkdir -p "$dir"
    cp "$network" "$dir/network.dat"
    (cd "$dir" && set +e &&
        /usr/bin/time -f '%e %M' -o time timeout "$limit" \
            bash -c "exec -a kestrane '$binary' network.dat report.txt" >stdout 2>/dev/null
        echo $? >status)
    sed -E -i 's/^(Time used for calculations so far: ).*/\1(masked)/' "$dir/stdout"
}

differ=0
printf '%-36s %-10s %18s %18s\n' network result "before s / MiB" "after s / MiB"
for network in "${networks[@]}"; do
    name=$(basename "$network" .dat)
    run "$before" "$network" "$work/$name/before"
    run "$after" "$network" "$work/$name/after"
    result=same
    for file in report.txt stdout status; do
        if ! cmp -s "$work/$name/before/$file" "$work/$name/after/$file"; then
            result=DIFFERS
            differ=1
        fi
    done
    describe() {
        read -r wall peak < <(tail -n 1 "$1/time") || true
        printf '%s / %s' "${wall:-?}" "$(awk -v k="${peak:-0}" 'BEGIN { printf "%.0f", k / 1024 }')"
    }
    printf '%-36s %-10s %18s %18s\n' "$name" "$result" "$(describe "$work/$name/before")" \
        "$(describe "$work/$name/after")"
done
exit $differ
