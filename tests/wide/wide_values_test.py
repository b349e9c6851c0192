"""Networks whose convex basis, elementary modes, conservation relations and overall reactions
need 33, 63, 65 and 130 bits: kestrane must finish and list every value exactly.

The expected values are worked out here with Python's own integers, independently of the
program: the elementary modes by trying every set of reactions (a set is an elementary mode when
the internal stoichiometric matrix restricted to it has a one-dimensional nullspace whose vector
is non-zero on every reaction of the set and of one sign), the conservation relations as the
nullspace of the transposed matrix.

    python3 wide_values_test.py [--without-gmp] KESTRANE_BINARY

With --without-gmp the binary is one built without GMP: a network whose values or their
intermediates need more than 128 bits must stop with the message that names the section, exit
status 1; every other network must give its exact values as before.
"""

import itertools
import math
import os
import re
import subprocess
import sys
import tempfile
import unittest
from fractions import Fraction

BINARY = None
WITHOUT_GMP = False

HEADINGS = ["KERNEL", "BLOCK DIAGONALISATION", "SUBSETS OF REACTIONS", "REDUCED SYSTEM",
            "CONVEX BASIS", "CONSERVATION RELATIONS", "NON-NEGATIVE CONSERVATION RELATIONS",
            "ELEMENTARY MODES"]


class Network:
    """Irreversible reactions given as (name, {metabolite: coefficient}), internal metabolites
    first, then external ones, in the order of the network file."""

    def __init__(self, reactions, internal, external):
        self.reactions = reactions
        self.internal = internal
        self.external = external

    def text(self, title):
        lines = [title, "-ENZREV", "", "-ENZIRREV", " ".join(n for n, _ in self.reactions),
                 "-METINT", " ".join(self.internal), "-METEXT", " ".join(self.external), "-CAT"]
        for name, stoichiometry in self.reactions:
            sides = ([], [])
            for met, c in stoichiometry.items():
                term = met if abs(c) == 1 else "%d %s" % (abs(c), met)
                sides[c > 0].append(term)
            lines.append("%s : %s = %s" % (name, " + ".join(sides[0]), " + ".join(sides[1])))
        return "\n".join(lines) + "\n"

    def column(self, metabolites, j):
        return [self.reactions[j][1].get(m, 0) for m in metabolites]

    def matrix(self, metabolites):
        columns = [self.column(metabolites, j) for j in range(len(self.reactions))]
        return [[columns[j][i] for j in range(len(columns))] for i in range(len(metabolites))]


def nullspace(rows, n):
    """A basis of {x : rows x = 0} over the rationals, as lists of Fractions."""
    a = [[Fraction(v) for v in row] for row in rows]
    pivots = []
    r = 0
    for c in range(n):
        p = next((i for i in range(r, len(a)) if a[i][c] != 0), None)
        if p is None:
            continue
        a[r], a[p] = a[p], a[r]
        a[r] = [v / a[r][c] for v in a[r]]
        for i in range(len(a)):
            if i != r and a[i][c] != 0:
                f = a[i][c]
                a[i] = [x - f * y for x, y in zip(a[i], a[r])]
        pivots.append(c)
        r += 1
    basis = []
    for free in (c for c in range(n) if c not in pivots):
        x = [Fraction(0)] * n
        x[free] = Fraction(1)
        for i, c in enumerate(pivots):
            x[c] = -a[i][free]
        basis.append(x)
    return basis


def coprime_integers(x):
    """The rational vector x scaled to coprime integers, its sign kept."""
    denominator = math.lcm(*(v.denominator for v in x))
    values = [int(v * denominator) for v in x]
    divisor = math.gcd(*values)
    return [v // divisor for v in values]


def elementary_modes(network):
    """Every elementary mode of a network of irreversible reactions, as coprime non-negative
    integer vectors over the reactions."""
    nint = network.matrix(network.internal)
    n = len(network.reactions)
    modes = set()
    for size in range(1, n + 1):
        for support in itertools.combinations(range(n), size):
            restricted = [[row[j] for j in support] for row in nint]
            basis = nullspace(restricted, size)
            if len(basis) != 1 or any(v == 0 for v in basis[0]):
                continue
            x = coprime_integers(basis[0])
            if all(v < 0 for v in x):
                x = [-v for v in x]
            if any(v < 0 for v in x):
                continue
            mode = [0] * n
            for j, v in zip(support, x):
                mode[j] = v
            modes.add(tuple(mode))
    return modes


def overall_reaction(network, mode, reduce):
    """The overall reaction of a mode as the report writes it: consumed = produced over every
    metabolite, internal ones first; with `reduce`, divided by the common divisor first."""
    metabolites = network.internal + network.external
    net = [sum(network.column(metabolites, j)[i] * v for j, v in enumerate(mode))
           for i in range(len(metabolites))]
    if reduce and not any(abs(v) == 1 for v in net):
        divisor = math.gcd(*net)
        if divisor > 1:
            net = [v // divisor for v in net]
    if all(v == 0 for v in net):
        return "no net transfomation of external metabolites"

    def side(sign):
        return " + ".join(m if v * sign == 1 else "%d %s" % (v * sign, m)
                          for m, v in zip(metabolites, net) if v * sign > 0)

    return side(-1) + " = " + side(1)


def sections(report):
    """The report's sections by their headings."""
    parts = re.split(r"\n([A-Z][A-Z -]+)\n", report)
    return {parts[i]: parts[i + 1] for i in range(1, len(parts) - 1, 2)}


def matrix_rows(section):
    match = re.search(r" matrix dimension r(\d+) x c(\d+)\n", section)
    if match is None:
        return []
    lines = section[match.end():].split("\n")[:int(match.group(1))]
    return [tuple(int(v) for v in line.split(" ")) for line in lines]


def overall_lines(section):
    text = section.split("\n overall reaction\n", 1)[1]
    return re.findall(r"\n (\d+):\t([^\n]*)", text)


def run_kestrane(network, title):
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "network.dat"), "w") as f:
            f.write(network.text(title))
        done = subprocess.run([BINARY, "network.dat", "report.txt"], cwd=folder,
                              capture_output=True, text=True, env=dict(os.environ, LC_ALL="C"))
        report = ""
        if os.path.exists(os.path.join(folder, "report.txt")):
            with open(os.path.join(folder, "report.txt")) as f:
                report = f.read()
        return done, report


def branched_chain(factors, drains):
    """X -> A1, conversions c_i: factors[i][0] A_i -> factors[i][1] A_{i+1}, a drain A_j -> Z_j
    for every j in drains and the last metabolite, so that each drain ends one mode. The flux of
    the uptake in the mode through the last conversion is the product of the consumed amounts over
    the products' coprime parts."""
    count = len(factors) + 1
    internal = ["A%d" % (i + 1) for i in range(count)]
    reactions = [("Up", {"X": -1, "A1": 1})]
    for i, (consumed, produced) in enumerate(factors):
        reactions.append(("C%d" % (i + 1), {internal[i]: -consumed, internal[i + 1]: produced}))
    ends = sorted(set(drains) | {count})
    for j in ends:
        reactions.append(("D%d" % j, {internal[j - 1]: -1, "Z%d" % j: 1}))
    return Network(reactions, internal, ["X"] + ["Z%d" % j for j in ends])


def conserved_chain(factors):
    """Conversions c_i: factors[i][0] A_i -> factors[i][1] A_{i+1} with no way in or out, and
    a path X -> E -> Y beside them so that there is a convex basis: the one conservation relation
    weighs the A_i by the products of the factors."""
    count = len(factors) + 1
    internal = ["A%d" % (i + 1) for i in range(count)] + ["E"]
    reactions = [("C%d" % (i + 1), {internal[i]: -c, internal[i + 1]: p})
                 for i, (c, p) in enumerate(factors)]
    reactions += [("In", {"X": -1, "E": 1}), ("Out", {"E": -1, "Y": 1})]
    return Network(reactions, internal, ["X", "Y"])


M = 2 ** 31 - 1
K65 = 2 ** 21 + 1    # K65^3 lies between 2^63 and 2^64
K130 = 57000001      # K130^5 lies between 2^128 and 2^129

CASES = [
    # name, network, bits the widest value of the modes needs (sign included); the two growth
    # reactions need intermediates beyond 64 bits in the block diagonalisation, while every
    # value of the report fits 32 bits
    ("33 bits", branched_chain([(65537, 2), (32771, 3)], [2]), 33),
    ("63 bits", branched_chain([(M, 2), (M, 7)], [1, 2]), 63),
    ("65 bits", branched_chain([(K65, 1), (K65, 1), (K65, 1)], [2]), 65),
    ("130 bits", branched_chain([(K130, 3)] * 5, [3]), 130),
    ("two growth reactions", Network(
        [("S1", {"X1": -1, "P1": 1}), ("S2", {"X2": -1, "P2": 1}), ("S3", {"X3": -1, "P3": 1}),
         ("B1", {"P1": -9999991, "P2": -7654321, "P3": -1234567, "BIO": 1}),
         ("B2", {"P1": -1000003, "P2": -2000003, "P3": -3000017, "BIO": 1}),
         ("Out", {"BIO": -1, "Y": 1})],
        ["P1", "P2", "P3", "BIO"], ["X1", "X2", "X3", "Y"]), 25),
]

RELATION_CASES = [
    ("63-bit conservation relation", conserved_chain([(M, M - 1), (M - 2, M - 3)]), 63),
    ("130-bit conservation relation", conserved_chain([(K130, K130 + 2)] * 5), 130),
]


def bits(values):
    """Bits of the widest value, its sign included."""
    return max(abs(v).bit_length() for v in values) + 1


class Wide_Values(unittest.TestCase):

    def run_case(self, name, network, widest):
        """The report's sections after a finished run, or None after the stop of a build
        without GMP for a value beyond 128 bits."""
        done, report = run_kestrane(network, name)
        if WITHOUT_GMP and widest > 128:
            self.assertEqual(done.returncode, 1, done.stdout[-2000:])
            stop = re.search(r"\nA value in the section (.*) does not fit a 128-bit integer, and "
                             r"this build has no unbounded integers\.\nProgramm prematurely "
                             r"finished\.\n$", done.stdout)
            self.assertIsNotNone(stop, done.stdout[-2000:])
            self.assertIn(stop.group(1), HEADINGS)
            return None
        self.assertEqual(done.returncode, 0, done.stdout[-2000:])
        self.assertTrue(done.stdout.endswith("\nProgram correctly finished.\n"),
                        done.stdout[-2000:])
        self.assertNotIn("does not fit", done.stdout)
        return sections(report)

    def test_modes_convex_basis_and_overall_reactions(self):
        for name, network, widest in CASES:
            with self.subTest(name):
                expected = elementary_modes(network)
                self.assertEqual(bits(v for mode in expected for v in mode), widest)
                found = self.run_case(name, network, widest)
                if found is None:
                    continue
                modes = matrix_rows(found["ELEMENTARY MODES"])
                basis = matrix_rows(found["CONVEX BASIS"])
                self.assertEqual(sorted(modes), sorted(expected))
                # Every reaction is irreversible: the cone is pointed and every elementary mode
                # is one of its extreme rays, so the convex basis holds them all.
                self.assertEqual(sorted(basis), sorted(expected))
                self.assertEqual(
                    overall_lines(found["ELEMENTARY MODES"]),
                    [(str(i + 1), overall_reaction(network, m, True))
                     for i, m in enumerate(modes)])
                self.assertEqual(
                    overall_lines(found["CONVEX BASIS"]),
                    [(str(i + 1), overall_reaction(network, b, False))
                     for i, b in enumerate(basis)])

    def test_conservation_relations(self):
        for name, network, widest in RELATION_CASES:
            with self.subTest(name):
                nint = network.matrix(network.internal)
                transposed = [list(column) for column in zip(*nint)]
                basis = nullspace(transposed, len(network.internal))
                self.assertEqual(len(basis), 1)
                relation = coprime_integers(basis[0])
                if all(v <= 0 for v in relation):
                    relation = [-v for v in relation]
                self.assertEqual(bits(relation), widest)
                found = self.run_case(name, network, widest)
                if found is None:
                    continue
                for heading in ("CONSERVATION RELATIONS", "NON-NEGATIVE CONSERVATION RELATIONS"):
                    self.assertEqual(matrix_rows(found[heading]), [tuple(relation)], heading)
                    terms = ["%d %s" % (v, m) for v, m in zip(relation, network.internal) if v]
                    self.assertIn(" 1 :\t" + " + ".join(terms) + " = const\n", found[heading])


if __name__ == "__main__":
    if sys.argv[1] == "--without-gmp":
        WITHOUT_GMP = True
        sys.argv.pop(1)
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main()
