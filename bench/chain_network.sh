#!/usr/bin/env bash
# Writes a linear chain of N irreversible reactions to standard output, for timing the stages
# that grow with the number of reactions rather than with the number of modes.
#
#   bash bench/chain_network.sh blocked|open|cycles N > chain.dat
#
# blocked: X -> M1 -> ... -> MN, the last metabolite internal and never consumed, so that no
#          reaction can carry a steady flux (N internal metabolites, no kernel, no mode).
# open:    X -> M1 -> ... -> M(N-1) -> Y, one elementary mode through every reaction.
# cycles:  the blocked chain of N/2 steps with every step also run backwards by a reaction of
#          its own: N/2 futile cycles of two reactions each, a kernel of N/2 rows.
set -euo pipefail
case $1 in blocked | open | cycles) ;; *) set -- ;; esac
if [ $# -ne 2 ] || ! [[ $2 =~ ^[1-9][0-9]*$ ]] || { [ "$1" = cycles ] && [ $(($2 % 2)) -ne 0 ]; }; then
    echo "usage: bash bench/chain_network.sh blocked|open|cycles N (N even for cycles)" >&2
    exit 1
fi
awk -v kind="$1" -v n="$2" 'BEGIN {
    steps = kind == "cycles" ? n / 2 : n
    internal = kind == "open" ? n - 1 : steps
    printf "%s linear chain of %d irreversible reactions\n-ENZREV\n-ENZIRREV\n", kind, n
    for (i = 1; i <= n; ++i) printf "R%d%s", i, (i % 20 == 0 || i == n) ? "\n" : " "
    printf "-METINT\n"
    for (i = 1; i <= internal; ++i) printf "M%d%s", i, (i % 20 == 0 || i == internal) ? "\n" : " "
    printf "-METEXT\n%s\n-CAT\n", kind == "open" ? "X Y" : "X"
    for (i = 1; i <= steps; ++i) {
        from = i == 1 ? "X" : "M" (i - 1)
        to = i <= internal ? "M" i : "Y"
        if (kind == "cycles") printf "R%d : %s = %s\nR%d : %s = %s\n", 2 * i - 1, from, to, 2 * i, to, from
        else printf "R%d : %s = %s\n", i, from, to
    }
}'
