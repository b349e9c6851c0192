#!/usr/bin/env bash
# Runs one end-to-end case: copies the case folder into a scratch folder, runs the program
# there with relative file names, LC_ALL=C and the invocation name "kestrane", and compares
# the report, standard output, standard error (when expected.stderr exists) and the exit
# status byte for byte. Only the value on processor-time lines is masked.
#
# A case folder holds the network file(s), expected.stdout, expected.status and either
# expected.report or nothing (then no report may be written). The optional file "args"
# gives the command-line arguments; the default is "network.dat report.txt".
set -u
binary=$(realpath "$1")
case_dir=$(realpath "$2")

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -R "$case_dir"/. "$scratch"/
cd "$scratch" || exit 1

if [ -f args ]; then
    read -r -a arguments < args
else
    arguments=(network.dat report.txt)
fi
report=${arguments[1]:-}
# A report path that is a device or a file of the case must be left as it was.
if [ -n "$report" ] && [ "${report#/dev/}" = "$report" ] && [ -f "$report" ]; then
    cp "$report" "$scratch/.report.before"
fi

(exec -a kestrane "$binary" "${arguments[@]}") >actual.stdout 2>actual.stderr </dev/null
echo $? >actual.status

mask_times() {
    sed -E 's/^(Time used for calculations so far: ).*$/\1<masked>/' "$1"
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
mask_times expected.stdout >expected.stdout.masked
mask_times actual.stdout >actual.stdout.masked
compare expected.stdout.masked actual.stdout.masked "standard output"
if [ -f expected.stderr ]; then
    compare expected.stderr actual.stderr "standard error"
fi
if [ -f expected.report ]; then
    if [ -f "$report" ]; then
        compare expected.report "$report" "report"
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

if [ $failed -ne 0 ]; then
    echo "case $(basename "$case_dir") FAILED"
    exit 1
fi
echo "case $(basename "$case_dir") passed"
