#!/usr/bin/env bash
# Writes a linear chain of N irreversible reactions to standard output, for timing the stages
# that grow with the number of reactions rather than with the number of modes.
#
#   bash bench/chain_network.sh blocked|open N > chain.dat
#
# blocked: X -> M1 -> ... -> MN, the last metabolite internal and never consumed, so that no
#          reaction can carry a steady flux (N internal metabolites, no kernel, no mode).
# open:    X -> M1 -> ... -> M(N-1) -> Y, one elementary mode through every reaction.
set -euo pipefail
if [ $# -ne 2 ] || ! [[ $2 =~ ^[1-9][0-9]*$ ]] || { [ "$1" != blocked ] && [ "$1" != open ]; }; then
    echo "usage: bash bench/chain_network.sh blocked|open N" >&2
    exit 1
fi
awk -v kind="$1" -v n="$2" 'BEGIN {
    internal = kind == "blocked" ? n : n - 1
    printf "%s linear chain of %d irreversible reactions\n-ENZREV\n-ENZIRREV\n", kind, n
    for (i = 1; i <= n; ++i) printf "R%d%s", i, (i % 20 == 0 || i == n) ? "\n" : " "
    printf "-METINT\n"
    for (i = 1; i <= internal; ++i) printf "M%d%s", i, (i % 20 == 0 || i == internal) ? "\n" : " "
    printf "-METEXT\n%s\n-CAT\n", kind == "blocked" ? "X" : "X Y"
    for (i = 1; i <= n; ++i) {
        from = i == 1 ? "X" : "M" (i - 1)
        to = i <= internal ? "M" i : "Y"
        printf "R%d : %s = %s\n", i, from, to
    }
}'
