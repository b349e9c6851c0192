#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "statistics/least_squares.h"

namespace {

TEST(Matinv, InvertsInPlaceWithARowStride) {
    // A 3 x 3 matrix stored in rows of 4; the fourth column must stay untouched.
    // Its inverse is integral: det = 1.
    double a[12] = {2, 1, 1, 99,  //
                    1, 3, 2, 99,  //
                    1, 0, 0, 99};
    const double inverse[9] = {0,  0,  1,  //
                               -2, 1,  3,  //
                               3,  -1, -5};
    EXPECT_EQ(matinv(a, 3, 4), 1);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(a[i * 4 + j], inverse[i * 3 + j], 1e-12) << i << j;
        EXPECT_EQ(a[i * 4 + 3], 99.0);
    }
}

TEST(Matinv, ProductWithTheOriginalIsTheIdentity) {
    // Needs row and column exchanges: the largest elements lie off the diagonal.
    double original[16] = {0, 7, 1, 2,  //
                           3, 0, 9, 1,  //
                           8, 2, 0, 4,  //
                           1, 5, 6, 0};
    double a[16];
    std::copy(original, original + 16, a);
    matinv(a, 4, 4);
    double product[16];
    EXPECT_EQ(matmult(original, a, product, 4, 4, 4), 1);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(product[i * 4 + j], i == j ? 1.0 : 0.0, 1e-12);
}

TEST(Matmult, OverwritesTheProduct) {
    double left[6] = {1, 2, 3, 4, 5, 6};  // 2 x 3
    double right[3] = {1, 0, -1};         // 3 x 1
    double product[2] = {100, 100};
    matmult(left, right, product, 2, 3, 1);
    EXPECT_EQ(product[0], -2.0);
    EXPECT_EQ(product[1], -2.0);
}

TEST(Mlr, RecoversExactPlaneAndPrintsCoefficients) {
    // y = 1.5 x1 - 2 x2 + 0.5 on five points.
    double x[10] = {0, 0, 1, 0, 0, 1, 2, 3, -1, 2};
    double y[5];
    for (int i = 0; i < 5; ++i) y[i] = 1.5 * x[2 * i] - 2 * x[2 * i + 1] + 0.5;
    double b[3] = {};
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(mlr(x, 5, 2, y, 1, b), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "\nb1 = 1.500000\tb2 = -2.000000\tb3 = 0.500000\t\n");
    EXPECT_NEAR(b[0], 1.5, 1e-12);
    EXPECT_NEAR(b[1], -2.0, 1e-12);
    EXPECT_NEAR(b[2], 0.5, 1e-12);
}

TEST(Mlr, WithoutConstantFitsThroughTheOrigin) {
    double x[3] = {1, 2, 3};
    double y[3] = {1, 2, 2};  // least squares slope 11 / 14
    double b[1] = {};
    ::testing::internal::CaptureStdout();
    mlr(x, 3, 1, y, 0, b);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "\nb1 = 0.785714\t\n");
    EXPECT_NEAR(b[0], 11.0 / 14.0, 1e-12);
}

TEST(Mlr_Death, NoObservationsEndWithZeroAmountMessage) {
    double b[2] = {};
    EXPECT_EXIT(
        {
            dup2(fileno(stderr), fileno(stdout));
            mlr(nullptr, 0, 1, nullptr, 1, b);
        },
        ::testing::ExitedWithCode(1),
        ::testing::Eq(std::string("\namount for allocation is zero : xtransp not allocated\n"
                                  "Programm prematurely finished.\n")));
}

}  // namespace
