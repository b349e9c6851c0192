"""Prints the widths a run needed: each escalation of a tableau stage from the console output,
and, per section of the report, the bits (sign included) of its widest value: the values of its
matrix, of its reaction listing and of its overall reactions (row labels, counts and block tags
do not count).

    python3 bench/report_widths.py REPORT CONSOLE
"""

import re
import sys

SECTIONS = ("KERNEL", "SUBSETS OF REACTIONS", "REDUCED SYSTEM", "CONVEX BASIS",
            "CONSERVATION RELATIONS", "NON-NEGATIVE CONSERVATION RELATIONS", "ELEMENTARY MODES")


def values(line, matrix_rows_left):
    """The values a line of the report shows."""
    if matrix_rows_left > 0:
        return [int(v) for v in line.split()]
    listed = re.findall(r"\((-?\d+) [^)]*\)", line)  # (coefficient reaction) pairs
    if listed:
        return [int(v) for v in listed]
    overall = re.match(r" \d+:\t(.*)", line)  # an overall reaction after its label
    if overall:
        return [int(v) for v in overall.group(1).split() if re.fullmatch(r"\d+", v)]
    return []


def section_bits(report):
    widest = {}
    section = None
    matrix_rows_left = 0
    with open(report) as f:
        for line in f:
            stripped = line.strip()
            heading = next((s for s in SECTIONS if stripped == s or
                            stripped.startswith(s + " with ")), None)
            if heading is not None:
                section = heading
                widest.setdefault(section, 0)
                continue
            dimension = re.match(r" matrix dimension r(\d+) x c\d+", line)
            if dimension:
                matrix_rows_left = int(dimension.group(1))
                continue
            if section is not None:
                for v in values(line, matrix_rows_left):
                    widest[section] = max(widest[section], abs(v).bit_length() + 1)
            matrix_rows_left = max(matrix_rows_left - 1, 0)
            if re.match(r"[A-Z]{4,}", stripped) and heading is None and matrix_rows_left == 0:
                section = None if stripped.startswith("BLOCK") else section
    return widest


def main():
    report, console = sys.argv[1:3]
    with open(console) as f:
        escalations = re.findall(r"Integer overflow in (.*?): computing it again with (\S+)",
                                 f.read())
    print("escalations: " + (", ".join("%s %s" % e for e in escalations) or "none"))
    for section, bits in section_bits(report).items():
        print("  %-38s %3d bits" % (section, bits))


if __name__ == "__main__":
    main()
