#pragma once

// Two-sided critical values of Pearson's r: per row the degrees of freedom, then the smallest
// |r| that is significant at 5 %, at 1 % and at 0.1 %. Rows ascend in degrees of freedom.
inline constexpr int table_r_rows = 46;
extern const double Table_r_2sides[table_r_rows][4];

// Sums of squares and products over the first n values of two samples of equal length.
// The samples are not owned.
class Variance {
   public:
    Variance(double* x, double* y, int n) : x(x), y(y), n(n) {}

    // Sum of (x - mean x)^2; with no points the largest single-precision number.
    long double Sxx() const;
    // Sum of (y - mean y)^2; with no points 0.
    long double Syy() const;
    // Sum of (x - mean x)(y - mean y); with no points 0.
    long double Sxy() const;

    double* x;
    double* y;
    int n;

   private:
    // Sum of u*v - (sum u)(sum v)/n, accumulated in extended precision.
    long double centred_product_sum(const double* u, const double* v) const;
};

// Pearson's correlation coefficient of the two samples and its two-sided significance.
class Linear_Correlation : public Variance {
   public:
    // coefficient starts as initial_r and keeps it when r() cannot compute one.
    Linear_Correlation(double* x, double* y, int n, double initial_r)
        : Variance(x, y, n), coefficient(initial_r) {}

    // Computes coefficient and determination (r^2) and returns coefficient. When one sample
    // is constant (or there are no points) no correlation exists: determination becomes -2,
    // coefficient keeps its initial value, and -2 is returned.
    double r();

    // Prints the table row for n - 2 degrees of freedom (rounded up to the next tabulated
    // value, the last row beyond it) and the verdict, and returns how many of the row's
    // critical values |coefficient| strictly exceeds (0 to 3). A coefficient that r() could
    // not compute counts 0.
    int reference_r_2sides() const;

    double coefficient;
    double determination = 0.0;

   private:
    bool undefined = false;  // set by r() when one sample is constant

    // True when all of the first n values equal the first.
    bool constant(const double* sample) const;
};
