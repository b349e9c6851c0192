#!/usr/bin/env bash
# Runs one end-to-end case: copies the case folder into a scratch folder, runs the program
# there with relative file names, LC_ALL=C and the invocation name "kestrane", and compares
# the report, standard output, standard error (when expected.stderr exists) and the exit
# status byte for byte. Only the value on processor-time lines and the scratch folder's path
# are masked.
#
# A case folder holds the network file(s), expected.stdout, expected.status and either
# expected.report or nothing (then no report may be written). Optional files:
#   args             the command-line arguments (default "network.dat report.txt"); the word
#                    @SCRATCH@ stands for the scratch folder's absolute path
#   setup.sh         run in the scratch folder before the program (links, generated networks)
#   stdin            piped into the program, so that it reads a pipe, not a file
#   environment      NAME=VALUE lines, one a line, exported for the run
#   memory_limit_kb  the program runs under this limit of virtual memory; the case is skipped
#                    (status 77) for a sanitizer build, whose shadow memory needs more
# The network file of the case must be unchanged after the run, and the run may leave no file
# besides the report.
set -u
binary=$(realpath "$1")
case_dir=$(realpath "$2")

if [ -f "$case_dir/memory_limit_kb" ] && grep -qa __asan_init "$binary"; then
    echo "case $(basename "$case_dir") skipped: a sanitizer build cannot run under a memory limit"
    exit 77
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -R "$case_dir"/. "$scratch"/
cd "$scratch" || exit 1

if [ -f setup.sh ]; then
    bash setup.sh || { echo "case $(basename "$case_dir"): setup.sh failed"; exit 1; }
fi
if [ -f args ]; then
    read -r -a arguments < <(sed "s|@SCRATCH@|$scratch|g" args)
else
    arguments=(network.dat report.txt)
fi
report=${arguments[1]:-}
# A report path that is a device or a file of the case must be left as it was.
if [ -n "$report" ] && [ "${report#/dev/}" = "$report" ] && [ -f "$report" ]; then
    cp "$report" "$scratch/.report.before"
fi

find . -mindepth 1 ! -name '.files.*' | sort >.files.before
run() {
    if [ -f memory_limit_kb ]; then ulimit -v "$(cat memory_limit_kb)"; fi
    if [ -f environment ]; then
        while IFS= read -r assignment; do export "${assignment?}"; done <environment
    fi
    if [ -f stdin ]; then
        cat stdin | (exec -a kestrane "$binary" "${arguments[@]}")
    else
        (exec -a kestrane "$binary" "${arguments[@]}") </dev/null
    fi
}
(run) >actual.stdout 2>actual.stderr
echo $? >actual.status
find . -mindepth 1 ! -name '.files.*' | sort >.files.after

mask() {
    sed -E -e 's/^(Time used for calculations so far: ).*$/\1<masked>/' -e "s|$scratch|@SCRATCH@|g" "$1"
}

failed=0
compare() {  # expected actual what
    if ! cmp -s "$1" "$2"; then
        echo "--- $3 differs:"
        diff -u "$1" "$2" | head -n 80
        failed=1
    fi
}

compare expected.status actual.status "exit status"
mask expected.stdout >expected.stdout.masked
mask actual.stdout >actual.stdout.masked
compare expected.stdout.masked actual.stdout.masked "standard output"
if [ -f expected.stderr ]; then
    mask actual.stderr >actual.stderr.masked
    compare expected.stderr actual.stderr.masked "standard error"
fi
if [ -f expected.report ]; then
    if [ -f "$report" ]; then
        mask "$report" >actual.report.masked
        compare expected.report actual.report.masked "report"
    else
        echo "--- no report was written"
        failed=1
    fi
elif [ -f .report.before ]; then
    compare .report.before "$report" "file given as report (must stay unchanged)"
elif [ -n "$report" ] && [ "${report#/dev/}" = "$report" ] && [ -e "$report" ]; then
    echo "--- a report was written although none may be"
    failed=1
fi
if [ -f "$case_dir/network.dat" ]; then
    compare "$case_dir/network.dat" network.dat "network file (must stay unchanged)"
fi
stray=$(comm -13 .files.before .files.after |
    grep -vxF -e ./actual.stdout -e ./actual.stderr -e ./actual.status -e "./${report#./}")
if [ -n "$stray" ]; then
    echo "--- files left behind by the run:"
    echo "$stray"
    failed=1
fi

if [ $failed -ne 0 ]; then
    echo "case $(basename "$case_dir") FAILED"
    exit 1
fi
echo "case $(basename "$case_dir") passed"
