#include "statistics/correlation.h"

#include <cmath>
#include <iostream>

const double Table_r_2sides[table_r_rows][4] = {
    {5, 0.754, 0.875, 0.951},    {6, 0.707, 0.834, 0.925},    {7, 0.666, 0.798, 0.898},
    {8, 0.632, 0.765, 0.872},    {9, 0.602, 0.735, 0.847},    {10, 0.576, 0.708, 0.823},
    {11, 0.553, 0.684, 0.801},   {12, 0.532, 0.661, 0.780},   {13, 0.514, 0.641, 0.760},
    {14, 0.497, 0.623, 0.742},   {15, 0.482, 0.606, 0.725},   {16, 0.468, 0.590, 0.708},
    {17, 0.456, 0.575, 0.693},   {18, 0.444, 0.561, 0.679},   {19, 0.433, 0.549, 0.665},
    {20, 0.423, 0.537, 0.652},   {21, 0.413, 0.526, 0.640},   {22, 0.404, 0.515, 0.629},
    {23, 0.396, 0.505, 0.618},   {24, 0.388, 0.496, 0.607},   {25, 0.381, 0.487, 0.597},
    {26, 0.374, 0.478, 0.588},   {27, 0.367, 0.470, 0.579},   {28, 0.361, 0.463, 0.570},
    {29, 0.355, 0.456, 0.562},   {30, 0.349, 0.449, 0.554},   {35, 0.325, 0.418, 0.519},
    {40, 0.304, 0.393, 0.490},   {50, 0.273, 0.354, 0.443},   {60, 0.250, 0.325, 0.408},
    {70, 0.232, 0.302, 0.380},   {80, 0.217, 0.283, 0.357},   {90, 0.205, 0.267, 0.338},
    {100, 0.195, 0.254, 0.321},  {120, 0.178, 0.232, 0.294},  {150, 0.159, 0.208, 0.263},
    {200, 0.138, 0.181, 0.230},  {250, 0.124, 0.162, 0.206},  {300, 0.113, 0.148, 0.188},
    {350, 0.105, 0.137, 0.175},  {400, 0.098, 0.128, 0.164},  {500, 0.088, 0.115, 0.146},
    {700, 0.074, 0.097, 0.124},  {1000, 0.062, 0.081, 0.104}, {1500, 0.050, 0.066, 0.085},
    {2000, 0.044, 0.058, 0.073},
};

long double Variance::centred_product_sum(const double* u, const double* v) const {
    if (n <= 0) return 0.0L;
    long double sum_u = 0.0L, sum_v = 0.0L, sum_uv = 0.0L;
    for (int i = 0; i < n; ++i) {
        sum_u += u[i];
        sum_v += v[i];
        sum_uv += static_cast<long double>(u[i]) * v[i];
    }
    return sum_uv - sum_u * sum_v / n;
}

long double Variance::Sxx() const {
    if (n <= 0) return 3.4028235e38L;
    return centred_product_sum(x, x);
}

long double Variance::Syy() const { return centred_product_sum(y, y); }

long double Variance::Sxy() const { return centred_product_sum(x, y); }

bool Linear_Correlation::constant(const double* sample) const {
    for (int i = 1; i < n; ++i)
        if (sample[i] != sample[0]) return false;
    return true;
}

double Linear_Correlation::r() {
    const double q = static_cast<double>(Syy() * Sxx());
    // Rounding leaves a tiny non-zero sum of squares for a constant sample, which would turn
    // r into noise; the data themselves tell whether a correlation exists.
    undefined = q == 0.0 || n <= 0 || constant(x) || constant(y);
    if (undefined) {
        determination = -2.0;
        return -2.0;
    }
    const long double sxy = Sxy();
    coefficient = static_cast<double>(sxy / std::sqrt(static_cast<long double>(q)));
    determination = static_cast<double>(sxy * sxy / q);
    return coefficient;
}

int Linear_Correlation::reference_r_2sides() const {
    const int degrees_of_freedom = n - 2;
    // Round up to the next tabulated value; beyond the table the last row stands.
    int row = 0;
    while (row < table_r_rows - 1 && Table_r_2sides[row][0] < degrees_of_freedom) ++row;
    const double* critical = Table_r_2sides[row];

    std::cout << "\n"
              << "FG\t5%\t1%\t0,1%\n"
              << std::endl;
    for (int column = 0; column < 4; ++column) std::cout << critical[column] << "\t";
    std::cout << "\n" << std::endl;

    int exceeded = 0;
    if (!undefined)
        for (int level = 1; level <= 3; ++level)
            if (std::fabs(coefficient) > critical[level]) ++exceeded;

    switch (exceeded) {
        case 1:
            std::cout << "The dependency is significant (p<5%)." << std::endl;
            break;
        case 2:
            std::cout << "The dependency is significant (p<1%)." << std::endl;
            break;
        case 3:
            std::cout << "The dependency is significant (p<0.1%)." << std::endl;
            break;
        default:
            std::cout << "The dependency is not significant. (p>5%)" << std::endl;
    }
    return exceeded;
}
