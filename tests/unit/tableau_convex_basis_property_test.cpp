#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tableau_fixture.h"
#include "tests/support/exact_elimination.h"
#include "tests/support/random_rows.h"

// Checks the convex basis of many random small systems against an independent characterisation
// of the cone C = {v : m v = 0, v_k >= 0 for irreversible k}. With L = {v in C : v_k = 0 for
// irreversible k} its linear part and P the projection onto the irreversible columns,
// C = L + cone(G) holds for the irreversible basis rows G exactly when the projections P(g)
// generate the pointed cone P(C); the basis is minimal when they are exactly its extreme rays, one
// each. The extreme rays are found by brute force over supports: a support s carries an extreme ray
// when {y in P(ker m) : y_k = 0 outside s} is one-dimensional and spanned by a vector of constant
// sign with support exactly s.
namespace {

using Vector = Exact_Vector;
using Matrix = Exact_Matrix;

struct System {
    Matrix m;
    std::vector<int> rev;  // 1 = irreversible
    std::size_t columns;
};

// m with one unit row per irreversible column outside `support` appended.
Matrix with_zero_columns(const System& s, const std::vector<bool>& keep) {
    Matrix a = s.m;
    for (std::size_t k = 0; k < s.columns; ++k) {
        if (s.rev[k] == 1 && !keep[k]) {
            Vector unit(s.columns, 0);
            unit[k] = 1;
            a.push_back(unit);
        }
    }
    return a;
}

// Projection onto the irreversible columns, as a vector over all columns (others set to 0).
Vector projected(const System& s, const Vector& v) {
    Vector p(s.columns, 0);
    for (std::size_t k = 0; k < s.columns; ++k) {
        if (s.rev[k] == 1) p[k] = v[k];
    }
    return p;
}

bool is_zero(const Vector& v) {
    return std::all_of(v.begin(), v.end(), [](std::int64_t x) { return x == 0; });
}

// The extreme rays of P(C), each reduced and non-negative.
std::set<Vector> extreme_rays(const System& s, std::size_t lineality) {
    std::vector<std::size_t> irreversible;
    for (std::size_t k = 0; k < s.columns; ++k) {
        if (s.rev[k] == 1) irreversible.push_back(k);
    }
    std::set<Vector> rays;
    for (unsigned subset = 1; subset < (1u << irreversible.size()); ++subset) {
        std::vector<bool> keep(s.columns, false);
        for (std::size_t i = 0; i < irreversible.size(); ++i)
            keep[irreversible[i]] = (subset >> i) & 1;
        const Matrix kernel = exact_nullspace(with_zero_columns(s, keep), s.columns);
        if (kernel.size() != lineality + 1) continue;
        for (const Vector& v : kernel) {
            Vector p = projected(s, v);
            if (is_zero(p)) continue;
            bool exact_support = true, non_negative = true, non_positive = true;
            for (std::size_t k : irreversible) {
                exact_support = exact_support && ((p[k] != 0) == keep[k]);
                non_negative = non_negative && p[k] >= 0;
                non_positive = non_positive && p[k] <= 0;
            }
            if (exact_support && (non_negative || non_positive)) {
                if (non_positive) {
                    for (auto& x : p) x = -x;
                }
                divide_by_common_factor(p);
                rays.insert(p);
            }
            break;  // P of the kernel is one-dimensional: one vector with P != 0 spans it
        }
    }
    return rays;
}

System random_system(std::mt19937& random) {
    System s;
    s.m = widened(random_stoichiometry(random, 4, 2, 8, 2));
    s.columns = s.m[0].size();
    const int irreversible_percent = std::uniform_int_distribution<int>(0, 100)(random);
    for (std::size_t k = 0; k < s.columns; ++k) {
        s.rev.push_back(std::uniform_int_distribution<int>(1, 100)(random) <= irreversible_percent);
    }
    return s;
}

struct Basis {
    Matrix reversible;
    Matrix irreversible;
};

// The convex basis computed by the tableau, with `padding` idle columns (irreversible where
// padding_irreversible says so) placed before the system's own.
Basis convex_basis_of(const System& s, std::size_t padding, bool padding_irreversible,
                      Int_Kestrane** keep = nullptr) {
    std::vector<std::vector<int> > rows;
    for (const Vector& row : s.m) {
        std::vector<int> r(padding, 0);
        r.insert(r.end(), row.begin(), row.end());
        rows.push_back(r);
    }
    std::vector<int> rev(padding, padding_irreversible ? 1 : 0);
    rev.insert(rev.end(), s.rev.begin(), s.rev.end());
    const int columns = static_cast<int>(padding + s.columns);
    Matrix_Holder m(rows, columns);
    Vector_Holder r(rev);
    auto* t = new Int_Kestrane(m.get(), r.get(), nullptr);
    Kestrane_Iteration it(*t);
    ::testing::internal::CaptureStdout();
    t->convex_basis(it, false);
    ::testing::internal::GetCapturedStdout();
    Basis basis;
    for (unsigned slot = 0; slot < t->rows; ++slot) {
        Vector v(t->coefficients.begin() + std::size_t(slot) * t->stride,
                 t->coefficients.begin() + std::size_t(slot) * t->stride + t->reactions);
        (t->reversible_rows[slot] ? basis.reversible : basis.irreversible).push_back(v);
    }
    if (keep != nullptr) {
        *keep = t;
    } else {
        delete t;
    }
    return basis;
}

std::int64_t dot(const Vector& a, const Vector& b) {
    std::int64_t sum = 0;
    for (std::size_t k = 0; k < a.size(); ++k) sum += a[k] * b[k];
    return sum;
}

// Slot invariants after the run: constraint part zero, summaries and patterns in step with the
// coefficients, rows reduced, every slot a row.
void expect_tableau_consistent(const Int_Kestrane& t) {
    for (unsigned r = 0; r < t.rows; ++r) {
        const int* row = t.coefficients.data() + std::size_t(r) * t.stride;
        for (unsigned k = t.reactions; k < t.stride; ++k) EXPECT_EQ(row[k], 0);
        Vector v(row, row + t.stride);
        EXPECT_EQ(common_factor(v), 1);
        EXPECT_NE(t.row_status[r], -2);
        Bit_Pattern expected(static_cast<int>(t.reactions), 1);
        expected.set_pattern(0, t.coefficients.cbegin() + std::size_t(r) * t.stride);
        EXPECT_TRUE(std::equal(expected.patterns.begin(), expected.patterns.end(),
                               t.bit_patterns.pattern(r)));
        int zeros = 0;
        for (unsigned k = 0; k < t.reactions; ++k) zeros += row[k] == 0;
        EXPECT_EQ(t.zero_pattern[r].zeros, zeros);
    }
}

// Checks the convex basis of s against the characterisation above; returns the number of
// reversible and irreversible basis vectors.
std::pair<std::size_t, std::size_t> expect_exact_generators(const System& s) {
    Int_Kestrane* t = nullptr;
    const Basis basis = convex_basis_of(s, 0, false, &t);
    expect_tableau_consistent(*t);
    delete t;

    for (const Matrix* part : {&basis.reversible, &basis.irreversible}) {
        for (const Vector& v : *part) {
            for (const Vector& row : s.m) EXPECT_EQ(dot(row, v), 0);
            EXPECT_FALSE(is_zero(v));
        }
    }

    // Linear part: reversible rows lie in L and form a basis of it.
    const Matrix lineality_constraints = with_zero_columns(s, std::vector<bool>(s.columns, false));
    const std::size_t lineality = exact_nullspace(lineality_constraints, s.columns).size();
    for (const Vector& v : basis.reversible) EXPECT_TRUE(is_zero(projected(s, v)));
    EXPECT_EQ(basis.reversible.size(), lineality);
    EXPECT_EQ(exact_rank(basis.reversible), lineality);

    // Pointed part: the irreversible rows project onto the extreme rays, one row per ray.
    std::multiset<Vector> projections;
    for (const Vector& v : basis.irreversible) {
        Vector p = projected(s, v);
        for (std::size_t k = 0; k < s.columns; ++k) EXPECT_GE(p[k], 0);
        divide_by_common_factor(p);
        projections.insert(p);
    }
    const std::set<Vector> rays = extreme_rays(s, lineality);
    EXPECT_EQ(projections, std::multiset<Vector>(rays.begin(), rays.end()));
    return {basis.reversible.size(), basis.irreversible.size()};
}

TEST(ConvexBasisProperty, RandomSystemsGiveExactlyTheGeneratorsOfTheFluxCone) {
    std::mt19937 random(20240611);
    std::size_t nonempty = 0, with_lineality = 0, with_rays = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const System s = random_system(random);
        SCOPED_TRACE("trial " + std::to_string(trial));
        const auto [reversible, irreversible] = expect_exact_generators(s);
        nonempty += reversible + irreversible > 0;
        with_lineality += reversible > 0;
        with_rays += irreversible > 1;
    }
    // The random systems exercise every kind of cone.
    EXPECT_GT(nonempty, 150u);
    EXPECT_GT(with_lineality, 50u);
    EXPECT_GT(with_rays, 50u);
}

// Degenerate systems in which some pair of rows shares enough zero columns to pass the count test
// and still is not adjacent: only the test against the other rows' supports keeps their
// combination out of the basis.
TEST(ConvexBasisProperty, DegenerateSystemsNeedTheSupportTest) {
    const System systems[] = {
        {{{1, 0, -1, 1, 2, -1, 0, -2, 2},
          {-1, 2, 2, -1, -2, 1, -1, 0, -1},
          {0, -1, 0, 2, 0, -1, 0, 0, 0}},
         {1, 1, 1, 1, 1, 1, 1, 1, 1},
         9},
        {{{1, -2, 1, -2, -1, -1, 0, 0},
          {1, 1, 2, -1, 0, 1, -1, 1},
          {0, 2, 0, 0, -1, 0, 0, 0},
          {-1, 0, 1, -1, 2, 1, 0, -1}},
         {1, 1, 1, 1, 1, 1, 1, 1},
         8},
        {{{-2, 2, 0, 0, 1, -2, -1, 0},
          {0, 2, -2, -1, -2, -2, 2, -2},
          {2, 2, 0, 0, 0, -2, -1, -1},
          {-1, -2, 1, -2, 0, 0, 2, -2}},
         {1, 1, 1, 1, 1, 1, 0, 1},
         8},
    };
    for (const System& s : systems) expect_exact_generators(s);
}

// Idle leading columns push the system's own columns into the second pattern word; the basis of
// the system must not change, and each idle column adds its unit vector.
TEST(ConvexBasisProperty, IdleLeadingColumnsLeaveTheBasisOfTheSystem) {
    std::mt19937 random(977);
    for (int trial = 0; trial < 100; ++trial) {
        const System s = random_system(random);
        SCOPED_TRACE("trial " + std::to_string(trial));
        const bool padding_irreversible = trial % 2 == 0;
        const std::size_t padding = 32;
        const Basis plain = convex_basis_of(s, 0, false);
        const Basis padded = convex_basis_of(s, padding, padding_irreversible);

        std::multiset<Vector> expected_reversible, expected_irreversible, reversible, irreversible;
        for (std::size_t k = 0; k < padding; ++k) {
            Vector unit(padding + s.columns, 0);
            unit[k] = 1;
            (padding_irreversible ? expected_irreversible : expected_reversible).insert(unit);
        }
        auto pad = [&](const Vector& v) {
            Vector p(padding, 0);
            p.insert(p.end(), v.begin(), v.end());
            return p;
        };
        for (const Vector& v : plain.reversible) expected_reversible.insert(pad(v));
        for (const Vector& v : plain.irreversible) expected_irreversible.insert(pad(v));
        reversible.insert(padded.reversible.begin(), padded.reversible.end());
        irreversible.insert(padded.irreversible.begin(), padded.irreversible.end());
        EXPECT_EQ(reversible, expected_reversible);
        EXPECT_EQ(irreversible, expected_irreversible);
    }
}

}  // namespace
