#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "matrix/wide_integers.h"
#include "tableau/kestrane_tableau.h"
#include "tableau_fixture.h"

namespace {

// The coefficient types a stage escalates through, with the number of bits their symmetric
// range holds (the unbounded type holds any).
template <typename T>
constexpr int bits_held = 8 * sizeof(T) - 1;
#ifdef KESTRANE_HAVE_GMP
template <>
constexpr int bits_held<mpz_class> = 100000;
#endif

template <typename T>
T from_decimal(const std::string& text) {
#ifdef KESTRANE_HAVE_GMP
    if constexpr (std::is_same_v<T, mpz_class>) return mpz_class(text);
#endif
    const bool negative = text[0] == '-';
    T value = 0;
    for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i)
        value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

template <typename T>
std::string to_decimal(const T& value) {
    std::string digits;
    T rest = value < 0 ? -value : value;
    do {
        digits.push_back(static_cast<char>('0' + converted<int>(T(rest % 10))));
        rest /= 10;
    } while (rest != 0);
    if (value < 0) digits.push_back('-');
    std::reverse(digits.begin(), digits.end());
    return digits;
}

template <typename T>
using Wide_Kestrane = Kestrane_Tableau<T, Int_Combination<T> >;

// Three irreversible reaction columns without constraint part, three row slots.
template <typename T>
Wide_Kestrane<T> three_columns() {
    Matrix_Holder m({}, 3);
    Vector_Holder rev({1, 1, 1});
    return Wide_Kestrane<T>(m.get(), rev.get(), nullptr);
}

template <typename T>
void write(Wide_Kestrane<T>& t, unsigned r, const std::vector<std::string>& values) {
    for (std::size_t k = 0; k < values.size(); ++k) {
        t.coefficients[r * t.stride + k] = from_decimal<T>(values[k]);
    }
    t.set_pattern(r);
    t.set_zero_pattern(r);
}

template <typename T>
std::vector<std::string> read(const Wide_Kestrane<T>& t, unsigned r) {
    std::vector<std::string> values;
    for (unsigned k = 0; k < t.stride; ++k)
        values.push_back(to_decimal(t.coefficients[r * t.stride + k]));
    return values;
}

// Rows (1, P, P) and (0, -Q, Q) with coprime P and Q, combined to cancel column 1: the
// multipliers are Q and P, so the result is (Q, 0, 2PQ). The expected values were worked out
// with exact integers outside the program.
struct Wide_Case {
    const char* p;
    const char* q;
    const char* two_pq;
    int input_bits;   // bits the inputs need
    int result_bits;  // bits the result needs
};

const Wide_Case wide_cases[] = {
    {"2147483647", "2147483646", "9223372023969873924", 31, 63},
    {"1099511627791", "1099511627779", "2417851639268840768012378", 41, 82},
    {"1267650600228229401496703205377", "1267650600228229401496703205383",
     "3213876088517980551083924184702607614648057657989532921888782", 101, 202},
};

template <typename T>
class WideCombination : public ::testing::Test {};

#ifdef KESTRANE_HAVE_GMP
using Widths = ::testing::Types<int, std::int64_t, Int128, mpz_class>;
#else
using Widths = ::testing::Types<int, std::int64_t, Int128>;
#endif
TYPED_TEST_SUITE(WideCombination, Widths);

TYPED_TEST(WideCombination, GivesTheExactRowOrRefusesWhatTheWidthCannotHold) {
    using T = TypeParam;
    for (const Wide_Case& c : wide_cases) {
        if (c.input_bits > bits_held<T>) continue;
        SCOPED_TRACE(std::string("P = ") + c.p);
        Wide_Kestrane<T> t = three_columns<T>();
        write(t, 0, {"1", c.p, c.p});
        write(t, 1, {"0", std::string("-") + c.q, c.q});
        const T p = from_decimal<T>(c.p);
        const T minus_q = from_decimal<T>(std::string("-") + c.q);
        if (c.result_bits > bits_held<T>) {
            EXPECT_THROW(Int_Combination<T>::combine_rows(0, 3, t, p, minus_q, false, false, 6,
                                                          t.zero_pattern[2]),
                         Range_Error);
            continue;
        }
        Int_Combination<T>::combine_rows(0, 3, t, p, minus_q, false, false, 6, t.zero_pattern[2]);
        EXPECT_EQ(read(t, 2), (std::vector<std::string>{c.q, "0", c.two_pq}));
        EXPECT_EQ(t.zero_pattern[2].zeros, 1);
        EXPECT_EQ(t.zero_pattern[2].first_zero, 1);
    }
}

TYPED_TEST(WideCombination, NormalizesByTheCommonFactorOfLargeValues) {
    using T = TypeParam;
    // (6F, -4F, 2F) with F = 2^20 + 7, 2^40 + 15 and 2^100 + 1: always (3, -2, 1).
    const std::vector<std::vector<std::string> > rows = {
        {"6291498", "-4194332", "2097166"},
        {"6597069766746", "-4398046511164", "2199023255582"},
        {"7605903601369376408980219232262", "-5070602400912917605986812821508",
         "2535301200456458802993406410754"},
    };
    const int bits[] = {23, 43, 103};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (bits[i] > bits_held<T>) continue;
        Wide_Kestrane<T> t = three_columns<T>();
        write(t, 0, rows[i]);
        Int_Combination<T>::normalize_row(0, t);
        EXPECT_EQ(read(t, 0), (std::vector<std::string>{"3", "-2", "1"})) << rows[i][0];
    }
}

TYPED_TEST(WideCombination, ConvexBasisCopiesIntoThirtyTwoBitsWhenItFits) {
    using T = TypeParam;
    // One constraint row (1, -1, -1, -1), columns 0 to 2 irreversible and column 3 reversible:
    // the basis (1, 0, 0, 1), (0, 0, 1, -1), (0, 1, 0, -1) in every width.
    Matrix_Holder m({{1, -1, -1, -1}}, 4);
    Vector_Holder rev({1, 1, 1, 0});
    Wide_Kestrane<T> wide(m.get(), rev.get(), nullptr);
    Kestrane_Iteration iteration(wide);
    testing::internal::CaptureStdout();
    wide.convex_basis(iteration, false);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(wide.rows_width_needed(), width_index<int>);
    EXPECT_EQ(read(wide, 0), (std::vector<std::string>{"1", "0", "0", "1", "0"}));
    EXPECT_EQ(read(wide, 1), (std::vector<std::string>{"0", "0", "1", "-1", "0"}));
    EXPECT_EQ(read(wide, 2), (std::vector<std::string>{"0", "1", "0", "-1", "0"}));
    if constexpr (!std::is_same_v<T, int>) {
        Int_Kestrane narrow(wide);
        EXPECT_EQ(narrow.rows, 3u);
        EXPECT_EQ(narrow.req_zeros, wide.req_zeros);
        EXPECT_EQ(narrow.row_status.size(), wide.row_status.size());
        EXPECT_EQ(row_of(narrow, 0), (std::vector<int>{1, 0, 0, 1, 0}));
        EXPECT_EQ(row_of(narrow, 1), (std::vector<int>{0, 0, 1, -1, 0}));
        EXPECT_EQ(row_of(narrow, 2), (std::vector<int>{0, 1, 0, -1, 0}));
    }
    wide.coefficients[1] = from_decimal<T>(bits_held<T> > 31 ? "2147483648" : "2147483647");
    EXPECT_EQ(wide.rows_width_needed(),
              bits_held<T> <= 31 ? width_index<int> : width_index<std::int64_t>);
}

}  // namespace
