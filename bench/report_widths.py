"""Prints the widths a run needed: each escalation of a tableau stage from the console output,
and, per section of the report, the bits (sign included) of its widest value.

    python3 bench/report_widths.py REPORT CONSOLE
"""

import re
import sys


def section_bits(report):
    """Bits of the widest number per section, in report order; numbers inside names count as
    well, so a reaction named R123 adds 8 bits at most."""
    widest = {}
    section = "HEADER"
    with open(report) as f:
        for line in f:
            stripped = line.strip()
            if re.fullmatch(r"[A-Z][A-Z -]+[A-Z]", stripped) or stripped.startswith("REDUCED SYSTEM"):
                section = stripped.split(" with ")[0]
                widest.setdefault(section, 0)
                continue
            for number in re.findall(r"-?\d+", line):
                widest[section] = max(widest.get(section, 0), abs(int(number)).bit_length() + 1)
    return widest


def main():
    report, console = sys.argv[1:3]
    with open(console) as f:
        escalations = re.findall(r"Integer overflow in (.*?): computing it again with (\S+)", f.read())
    print("escalations: " + (", ".join("%s %s" % e for e in escalations) or "none"))
    for section, bits in section_bits(report).items():
        if section in ("KERNEL", "SUBSETS OF REACTIONS", "REDUCED SYSTEM", "CONVEX BASIS",
                       "CONSERVATION RELATIONS", "NON-NEGATIVE CONSERVATION RELATIONS",
                       "ELEMENTARY MODES"):
            print("  %-38s %3d bits" % (section, bits))


if __name__ == "__main__":
    main()
