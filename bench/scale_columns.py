"""Writes a network whose chosen reactions have every coefficient multiplied by a factor: the
same supports, so the same elementary modes, but every mode through a scaled reaction is
multiplied by the factor, and by the product of the factors through several of them.

    python3 bench/scale_columns.py NETWORK OUTPUT FACTOR REACTION [FACTOR REACTION]...
"""

import re
import sys


def scaled_term(term, factor):
    match = re.fullmatch(r"\s*(\d+(?:\.\d*)?)?\s*(\S+)\s*", term)
    amount = float(match.group(1)) if match.group(1) else 1.0
    return "%d %s" % (round(amount * factor), match.group(2))


def main():
    network, output, pairs = sys.argv[1], sys.argv[2], sys.argv[3:]
    factors = {pairs[i + 1]: int(pairs[i]) for i in range(0, len(pairs), 2)}
    lines = open(network).read().split("\n")
    in_equations = False
    for i, line in enumerate(lines):
        if line.strip() == "-CAT":
            in_equations = True
            continue
        match = re.fullmatch(r"(\S+)\s*:(.*)", line)
        if not in_equations or match is None or match.group(1) not in factors:
            continue
        factor = factors.pop(match.group(1))
        sides = match.group(2).split("=")
        lines[i] = "%s : %s" % (match.group(1), " = ".join(
            " + ".join(scaled_term(t, factor) for t in side.split("+")) if side.strip() else ""
            for side in sides))
    if factors:
        sys.exit("no equation for " + ", ".join(factors))
    with open(output, "w") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
