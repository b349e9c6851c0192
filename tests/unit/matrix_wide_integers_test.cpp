#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "matrix/escalation.h"
#include "matrix/wide_integers.h"
#include "matrix/wide_mat.h"
#include "tests/support/records.h"

namespace {

constexpr Int128 largest_128 = ~(Int128(1) << 127);

// The digits of every width's values at the edges of their ranges, as "%d" writes an int; the
// digits of the 128-bit values are 2^127 - 1 and its neighbours, worked out with Python.
TEST(WideIntegers, DecimalDigitsAtTheEdgesOfEveryWidth) {
    EXPECT_EQ(decimal(0), "0");
    EXPECT_EQ(decimal(-7), "-7");
    EXPECT_EQ(decimal(INT_MAX), "2147483647");
    EXPECT_EQ(decimal(std::int64_t{-9223372036854775807}), "-9223372036854775807");
    EXPECT_EQ(decimal(Int128(0)), "0");
    EXPECT_EQ(decimal(Int128(-12)), "-12");
    EXPECT_EQ(decimal(largest_128), "170141183460469231731687303715884105727");
    EXPECT_EQ(decimal(-largest_128 - 1), "-170141183460469231731687303715884105728");
#ifdef KESTRANE_HAVE_GMP
    EXPECT_EQ(decimal(mpz_class(0)), "0");
    EXPECT_EQ(decimal(mpz_class("-340282366920938463463374607431768211457")),
              "-340282366920938463463374607431768211457");
    std::string text = "x ";
    append_decimal(text, mpz_class(99));
    EXPECT_EQ(text, "x 99");
#endif
}

// A value fits a width when it lies in the width's symmetric range; the narrowest width that
// holds it is the one a record of it takes.
TEST(WideIntegers, FitsAndNarrowestWidth) {
    const struct {
        const char* name;
        Int128 value;
        std::size_t width;
    } cases[] = {
        {"zero", 0, width_index<int>},
        {"largest int", INT_MAX, width_index<int>},
        {"most negative int", INT_MIN, width_index<std::int64_t>},
        {"2^31", Int128(1) << 31, width_index<std::int64_t>},
        {"largest 64-bit", INT64_MAX, width_index<std::int64_t>},
        {"most negative 64-bit", INT64_MIN, width_index<Int128>},
        {"-2^63 - 1", Int128(INT64_MIN) - 1, width_index<Int128>},
        {"largest 128-bit", largest_128, width_index<Int128>},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(width_needed(c.value), c.width);
        EXPECT_EQ(fits<int>(c.value), c.width == width_index<int>);
        EXPECT_EQ(fits<std::int64_t>(c.value), c.width <= width_index<std::int64_t>);
    }
    EXPECT_EQ(width_needed(-largest_128 - 1), width_count - 1);
}

#ifdef KESTRANE_HAVE_GMP
// Conversions between the unbounded and the 128-bit width keep the value, at both ends of the
// 128-bit range and in between; the unbounded values beyond it fit no bounded width.
TEST(WideIntegers, UnboundedValuesConvertBothWays) {
    for (const Int128 value : {Int128(0), Int128(-1), Int128(INT64_MAX) * 3, -largest_128,
                               largest_128, Int128(INT64_MIN)}) {
        const mpz_class wide = converted<mpz_class>(value);
        EXPECT_EQ(decimal(wide), decimal(value));
        EXPECT_TRUE(fits<Int128>(wide));
        EXPECT_EQ(converted<Int128>(wide), value);
        EXPECT_EQ(width_needed(wide), width_needed(value));
    }
    const mpz_class beyond = converted<mpz_class>(largest_128) + 1;
    EXPECT_FALSE(fits<Int128>(beyond));
    EXPECT_FALSE(fits<Int128>(mpz_class(-beyond)));
    EXPECT_EQ(width_needed(beyond), width_index<mpz_class>);
    EXPECT_EQ(converted<int>(mpz_class(-5)), -5);
}
#endif

// A record is kept in the narrowest width that holds all its values, also after it was formed
// wider.
TEST(WideMat, NarrowestWidthOfARecord) {
    Owned_Basic_Mat<Int128> m(new_result_mat<Int128>(2, 2, "test"));
    m->head[0][0] = -5;
    m->head[1][1] = Int128(1) << 40;
    const Wide_Mat narrowed = narrowest(std::move(m));
    EXPECT_EQ(narrowed.width(), width_index<std::int64_t>);
    EXPECT_EQ(digits_of(narrowed), (Digit_Rows{{"-5", "0"}, {"0", "1099511627776"}}));
    Owned_Basic_Mat<Int128> small(new_result_mat<Int128>(1, 1, "test"));
    small->head[0][0] = 3;
    EXPECT_EQ(narrowest(std::move(small)).width(), width_index<int>);
}

// escalate runs a computation from the width asked for and again one width wider each time it
// overflows, naming each new width; past the widest the overflow becomes Value_Too_Large.
TEST(Escalation, RetriesWiderUntilTheComputationFits) {
    std::string widths;
    const std::size_t finished = escalate(
        0,
        [](auto width) {
            using T = typename decltype(width)::type;
            if (width_index<T> < width_index<Int128>) throw Range_Error();
            return width_index<T>;
        },
        [&](std::size_t width) { widths += std::string(width_name(width)) + " "; });
    EXPECT_EQ(finished, width_index<Int128>);
    EXPECT_EQ(widths, "64-bit 128-bit ");
    EXPECT_THROW(escalate(width_index<std::int64_t>, [](auto) -> int { throw Range_Error(); }),
                 Value_Too_Large);
}

}  // namespace
