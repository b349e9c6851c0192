#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <random>

#include "matrix/flags.h"
#include "matrix/products.h"
#include "matrix/reshape.h"
#include "matrix/row_arithmetic.h"
#include "matrix/row_removal.h"
#include "tests/support/random_rows.h"
#include "tests/support/records.h"
#include "tests/support/stops.h"

namespace {

struct Product_Case {
    const char* name;
    Rows a;
    Rows b;
    Rows expected;
};

TEST(Mult, FormsExactProducts) {
    const Product_Case cases[] = {
        {"column", {{1, 2}, {3, 4}}, {{5}, {6}}, {{17}, {39}}},
        {"row by matrix", {{1, -1, 2}}, {{1, 0}, {0, 1}, {3, -2}}, {{7, -5}}},
        {"signs", {{-2, 3}}, {{-4, 1}, {5, -7}}, {{23, -23}}},
        // The partial sum leaves 32 bits, the product does not.
        {"partial sum beyond 32 bits",
         {{1 << 30, 1 << 30, -(1 << 30)}},
         {{1}, {1}, {1}},
         {{1 << 30}}},
        {"largest coefficient", {{INT_MAX, -1}}, {{1}, {0}}, {{INT_MAX}}},
    };
    for (const Product_Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Wide_Mat product = mult(make_mat(c.a).get(), make_mat(c.b).get());
        EXPECT_EQ(product.rows(), static_cast<int>(c.a.size()));
        EXPECT_EQ(product.columns(), static_cast<int>(c.b[0].size()));
        EXPECT_EQ(rows_of(product), c.expected);
    }
}

// Products whose entries need 33, 63, 65 and 130 bits are formed exactly and kept in the
// narrowest width that holds them; the expected digits were worked out with Python's integers
// (M = 2^31 - 1, w = 3 M^2).
TEST(Mult, ProductsBeyond32BitsAreKeptWider) {
    const int M = INT_MAX;
    const Owned_Mat r2 = make_mat({{M, M}});
    const Owned_Mat c2 = make_mat({{M}, {M}});
    const Owned_Mat r3 = make_mat({{M, M, -M}});
    const Owned_Mat c3 = make_mat({{-M}, {-M}, {M}});
    const Wide_Mat w = mult(r3.get(), c3.get());                 // -3 M^2, 65 bits
    const Wide_Mat w_row = mult(make_mat({{1}, {1}}).get(), w);  // (-w, -w) as a column
    const Wide_Mat w_pair = mult(w, make_mat({{1, -1}}).get());  // (-w, w)
    const struct {
        const char* name;
        Wide_Mat product;
        std::size_t width;
        Digit_Rows expected;
    } cases[] = {
        {"33 bits",
         mult(make_mat({{65536}}).get(), make_mat({{65536}}).get()),
         width_index<std::int64_t>,
         {{"4294967296"}}},
        {"63 bits", mult(r2.get(), c2.get()), width_index<std::int64_t>, {{"9223372028264841218"}}},
        {"65 bits", mult(r3.get(), c3.get()), width_index<Int128>, {{"-13835058042397261827"}}},
#ifdef KESTRANE_HAVE_GMP
        {"130 bits from 65-bit factors",
         mult(mult(w, make_mat({{1, 1}}).get()), w_row),
         width_count - 1,
         {{"382817662073002309265979484854382755858"}}},
        // w^2 - w^2: the running sum passes 128 bits, the entry is 0.
        {"back to 32 bits", mult(w_pair, w_row), width_index<int>, {{"0"}}},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(digits_of(c.product), c.expected);
        EXPECT_EQ(c.product.width(), c.width);
    }
}

TEST(MultDeathTest, IncompatibleDimensionsStop) {
    Owned_Mat a = make_mat({{1, 2}});
    Owned_Mat b = make_mat({{1}, {2}, {3}});
    EXPECT_STOPS_PRINTING(mult(a.get(), b.get()), "error in mult: mat dimensions are incompatible");
}

// The product by its definition: entry (i, k) adds a[i][t] x b[t][k] for t = 0, 1, ... in
// turn, in 128 bits (25 products of 31-bit numbers stay far below), as decimal digits. Where a
// running sum leaves the symmetric 64-bit range or an entry 32 bits, fits_32_bits is false.
Digit_Rows product_by_definition(const Rows& a, const Rows& b, bool& fits_32_bits) {
    const __int128 largest_sum = INT64_MAX;
    fits_32_bits = true;
    Digit_Rows p(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (std::size_t k = 0; k < b[0].size(); ++k) {
            __int128 sum = 0;
            for (std::size_t t = 0; t < b.size(); ++t) {
                sum += static_cast<__int128>(a[i][t]) * b[t][k];
                if (sum > largest_sum || sum < -largest_sum) fits_32_bits = false;
            }
            if (sum > INT_MAX || sum < -INT_MAX) fits_32_bits = false;
            // At most 67 bits: the digits of the high and the low part.
            const bool negative = sum < 0;
            const unsigned __int128 m = negative ? -sum : sum;
            const unsigned long long high =
                static_cast<unsigned long long>(m / 1000000000000000000ull);
            const unsigned long long low =
                static_cast<unsigned long long>(m % 1000000000000000000ull);
            std::string digits = high == 0 ? std::to_string(low) : std::to_string(high);
            if (high != 0) {
                const std::string rest = std::to_string(low);
                digits += std::string(18 - rest.size(), '0') + rest;
            }
            p[i].push_back((negative ? "-" : "") + digits);
        }
    }
    return p;
}

// Random factors of every shape and density up to all non-zero, with small coefficients and
// with coefficients up to the largest; every product is compared entry by entry with the
// definition. mult_or_null in 32 bits gives nothing exactly where the definition leaves its
// range.
TEST(Mult, MatchesTheDefinitionOnRandomMatrices) {
    std::mt19937 random(31337);
    const double densities[] = {0.05, 0.3, 1.0};
    const int magnitudes[] = {3, 60000, INT_MAX};
    int exact = 0;
    int wide = 0;
    for (int trial = 0; trial < 600; ++trial) {
        const int rows = std::uniform_int_distribution<int>(1, 25)(random);
        const int inner = std::uniform_int_distribution<int>(1, 25)(random);
        const int columns = std::uniform_int_distribution<int>(1, 25)(random);
        const double density = densities[trial % 3];
        const int largest = magnitudes[(trial / 3) % 3];
        const Rows a = random_rows(random, rows, inner, density, largest);
        const Rows b = random_rows(random, inner, columns, density, largest);
        SCOPED_TRACE(::testing::PrintToString(a) + " x " + ::testing::PrintToString(b));
        Owned_Mat am = make_mat(a);
        Owned_Mat bm = make_mat(b);
        bool fits_32_bits = true;
        const Digit_Rows expected = product_by_definition(a, b, fits_32_bits);
        const Owned_Mat in_32_bits(mult_or_null(am.get(), bm.get()));
        ASSERT_EQ(in_32_bits != nullptr, fits_32_bits);
        if (in_32_bits) {
            EXPECT_EQ(digits_of(in_32_bits.get()), expected);
        }
        const Wide_Mat product = mult(am.get(), bm.get());
        ASSERT_EQ(product.rows(), rows);
        ASSERT_EQ(product.columns(), columns);
        EXPECT_EQ(digits_of(product), expected);
        EXPECT_EQ(product.width() == width_index<int>, fits_32_bits);
        ++(fits_32_bits ? exact : wide);
    }
    EXPECT_GT(exact, 200);
    EXPECT_GT(wide, 100);
}

// A product of many rows formed by several threads, each a share of the rows, is the product
// one thread forms (no thread asked for counts as one), and an entry beyond 32 bits in any share,
// the last one's included, gives nothing.
TEST(Mult, SharedOutOverThreadsGivesTheSameProduct) {
    std::mt19937 random(99);
    const Rows a = random_rows(random, 20000, 12, 0.3, 1000);
    const Rows b = random_rows(random, 12, 30, 0.3, 1000);
    const Owned_Mat am = make_mat(a);
    const Owned_Mat bm = make_mat(b);
    const Wide_Mat alone = mult(am.get(), bm.get());
    Rows overflowing = a;
    overflowing.back().assign(12, 0);
    overflowing.back()[0] = INT_MAX;
    const Owned_Mat over = make_mat(overflowing);
    Rows b_large = b;
    b_large[0].assign(30, 2);
    const Owned_Mat b_large_m = make_mat(b_large);
    for (const unsigned threads : {0u, 2u, 3u, 8u}) {
        SCOPED_TRACE(threads);
        const Wide_Mat shared = mult(am.get(), bm.get(), threads);
        EXPECT_EQ(rows_of(shared), rows_of(alone));
        EXPECT_EQ(mult_or_null(over.get(), b_large_m.get(), threads), nullptr);
    }
}

TEST(Reshape, TransposeMatchesTheDefinitionOnRandomShapes) {
    std::mt19937 random(4711);
    // Shapes on both sides of the 64 x 64 tiles, and thin ones.
    const struct {
        int rows, columns;
    } shapes[] = {{1, 1}, {1, 200}, {200, 1}, {63, 65}, {64, 64}, {65, 130}, {130, 129}, {7, 3}};
    for (const auto& shape : shapes) {
        for (double density : {0.02, 0.5, 1.0}) {
            SCOPED_TRACE(::testing::Message()
                         << shape.rows << " x " << shape.columns << ", " << density);
            const Rows m = random_rows(random, shape.rows, shape.columns, density, 1000);
            Owned_Mat t(transp(make_mat(m).get()));
            ASSERT_EQ(t->rows, shape.columns);
            ASSERT_EQ(t->columns, shape.rows);
            for (int d = 0; d < shape.columns; ++d)
                for (int e = 0; e < shape.rows; ++e) ASSERT_EQ(t->head[d][e], m[e][d]);
        }
    }
}

TEST(Reshape, TransposeAndIdentityBlock) {
    Owned_Mat m = make_mat({{1, 2, 3}, {4, 5, 6}});
    Owned_Mat t(transp(m.get()));
    EXPECT_EQ(rows_of(t.get()), (Rows{{1, 4}, {2, 5}, {3, 6}}));
    Owned_Mat with_identity(addi(m.get()));
    EXPECT_EQ(rows_of(with_identity.get()), (Rows{{1, 2, 3, 1, 0}, {4, 5, 6, 0, 1}}));
}

TEST(ReshapeDeathTest, TransposeOfMatrixWithoutColumnsStops) {
    int* row_pointers[2] = {nullptr, nullptr};
    mat no_columns{2, 0, row_pointers};
    EXPECT_STOPS_PRINTING(transp(&no_columns), zero_amount("tm->head not allocated"));
}

TEST(Reshape, CutcolKeepsTheColumnsFromCc) {
    const struct {
        int cc;
        Rows expected;
    } cases[] = {
        {0, {{1, 2, 3}, {4, 5, 6}}},
        {1, {{2, 3}, {5, 6}}},
        {2, {{3}, {6}}},
    };
    Owned_Mat m = make_mat({{1, 2, 3}, {4, 5, 6}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cc);
        Owned_Mat cut(cutcol(m.get(), c.cc));
        EXPECT_EQ(rows_of(cut.get()), c.expected);
    }
}

TEST(ReshapeDeathTest, CutcolOutsideTheMatrixStops) {
    Owned_Mat m = make_mat({{1, 2, 3}, {4, 5, 6}});
    EXPECT_STOPS_PRINTING(cutcol(m.get(), 4), "ERROR IN FUNCTION CUTCOL: CC>M->ROW!\n");
    EXPECT_STOPS_PRINTING(cutcol(m.get(), 3), zero_amount("*(mc->head+i) not allocated"));
    EXPECT_STOPS_PRINTING(cutcol(m.get(), -1), "ERROR IN FUNCTION CUTCOL: CC<0!\n");
}

TEST(Reshape, CutnexKeepsTheInternalRowsInOrder) {
    Owned_Mat n = make_mat({{1, 0}, {2, 0}, {3, 1}, {4, 4}});
    Owned_Vector ext = make_vector({0, 1, 0, 1});
    Owned_Mat internal(cutnex(n.get(), ext.get()));
    EXPECT_EQ(rows_of(internal.get()), (Rows{{1, 0}, {3, 1}}));
}

TEST(ReshapeDeathTest, CutnexWithoutInternalRowsStops) {
    Owned_Mat n = make_mat({{1, 0}, {2, 0}});
    Owned_Vector all_external = make_vector({1, 1});
    EXPECT_STOPS_PRINTING(cutnex(n.get(), all_external.get()),
                          "\nThe system comprises only external metabolites.\n"
                          "\r                  \r");
    Owned_Vector too_short = make_vector({0});
    EXPECT_STOPS_PRINTING(cutnex(n.get(), too_short.get()),
                          "error in cutnex: 1 metabolite flags for 2 matrix rows\n");
}

TEST(Flags, GetrevReadsTheListFlagsInOrder) {
    enc* list = new_met_list();
    for (int flag : {1, 0, 0, 1, 1}) append_node(list)->flag = flag;
    Owned_Vector rev(getrev(list));
    free_met_list(list);
    EXPECT_EQ(values_of(rev.get()), (std::vector<int>{1, 0, 0, 1, 1}));
}

TEST(FlagsDeathTest, GetrevOfAnEmptyListStops) {
    std::unique_ptr<enc, void (*)(enc*)> list(new_met_list(), free_met_list);
    EXPECT_STOPS_PRINTING(getrev(list.get()), zero_amount("v->head not allocated"));
}

TEST(Flags, SubrevMarksRowsTouchingIrreversibleColumns) {
    Owned_Mat s = make_mat({
        {0, 3, -1, 0},  // reversible columns only
        {0, 0, 0, 0},   // no reaction
        {2, 0, 0, 0},   // first column irreversible
        {0, 0, 1, -5},  // last column irreversible
    });
    Owned_Vector rev = make_vector({1, 0, 0, 1, 1});  // longer than needed is fine
    Owned_Vector marks(subrev(s.get(), rev.get()));
    EXPECT_EQ(values_of(marks.get()), (std::vector<int>{0, 0, 1, 1}));
}

TEST(RowRemoval, DeleteZeroLineMovesTheLaterRowsUp) {
    const struct {
        int i;
        Rows expected;
    } cases[] = {
        {0, {{3, 4}, {5, 6}}},
        {1, {{1, 2}, {5, 6}}},
        {2, {{1, 2}, {3, 4}}},
        {7, {{1, 2}, {3, 4}}},  // past the last row only the last row goes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.i);
        Owned_Mat m = make_mat({{1, 2}, {3, 4}, {5, 6}});
        int* first_row = m->head[0];
        delete_zero_line(m.get(), c.i);
        EXPECT_EQ(rows_of(m.get()), c.expected);
        EXPECT_EQ(m->head[0], first_row);  // row arrays stay where they are
    }
}

TEST(RowRemoval, DeleteCorrespondingRowInRevKeepsTheOthers) {
    const struct {
        int i;
        std::vector<int> expected;
    } cases[] = {{0, {6, 7}}, {1, {5, 7}}, {2, {5, 6}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.i);
        Owned_Vector v = make_vector({5, 6, 7});
        delete_corresponding_row_in_rev(v.get(), c.i);
        EXPECT_EQ(values_of(v.get()), c.expected);
    }
}

TEST(RowRemovalDeathTest, RemovingFromNothingStops) {
    Owned_Mat m = make_mat({{1, 2}});
    delete_zero_line(m.get(), 0);
    EXPECT_STOPS_PRINTING(delete_zero_line(m.get(), 0),
                          "error in delete_zero_line: no row 0 in a matrix of 0 rows\n");
    Owned_Vector v = make_vector({1});
    EXPECT_STOPS_PRINTING(delete_corresponding_row_in_rev(v.get(), -1),
                          "error in delete_corresponding_row_in_rev: no element -1 in a vector "
                          "of 1\n");
}

TEST(Divisors, GcdOfNonNegativeNumbers) {
    const struct {
        int a, b, expected;
    } cases[] = {
        {0, 7, 7}, {7, 0, 7},  {12, 18, 6}, {18, 12, 6},           {0, 0, 0},
        {1, 1, 1}, {17, 5, 1}, {9, 9, 9},   {INT_MAX, 0, INT_MAX}, {1 << 30, 1 << 20, 1 << 20},
    };
    for (const auto& c : cases) EXPECT_EQ(gcd(c.a, c.b), c.expected) << c.a << ", " << c.b;
}

TEST(Divisors, GgtMatrixDividesEveryRowByItsDivisor) {
    Owned_Mat m = make_mat({
        {0, -4, 6},
        {2, 1, 4},
        {0, 0, 0},
        {-3, 0, 0},
        {-6, 9, -12},
        {INT_MAX, 0, 0},
    });
    ggt_matrix(m.get());
    EXPECT_EQ(rows_of(m.get()), (Rows{
                                    {0, -2, 3},
                                    {2, 1, 4},
                                    {0, 0, 0},
                                    {-1, 0, 0},
                                    {-2, 3, -4},
                                    {1, 0, 0},
                                }));
}

}  // namespace
