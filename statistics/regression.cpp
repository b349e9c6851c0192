#include "statistics/regression.h"

#include <cmath>
#include <cstdlib>
#include <iostream>

#include "statistics/correlation.h"
#include "statistics/least_squares.h"

namespace {

// Writes the report's verdict for the number of critical values |r| exceeds.
void write_significance(FILE* report, int exceeded) {
    switch (exceeded) {
        case 1:
            fprintf(report, "The dependency is significant (p<0.05).\n");
            break;
        case 2:
            fprintf(report, "The dependency is significant (p<0.01).\n");
            break;
        case 3:
            fprintf(report, "The dependency is significant (p<0.001).\n");
            break;
        default:
            fprintf(report, "The dependency is not significant.\n");
    }
}

}  // namespace

int save_frequency_of_edges_and_nodes(FILE* report, int* histogram, int max) {
    const Owned_Array<double> x = zeroed_doubles(max, "x in mlr not allocated");
    const Owned_Array<double> y = zeroed_doubles(max, "y in mlr not allocated");
    const Owned_Array<double> b = zeroed_doubles(max, "b in mlr not allocated");

    fprintf(report, "\nedges\tfrequency of nodes\n");
    int points = 0;
    for (int e = 1; e <= max; ++e) {
        if (histogram[e] == 0) continue;
        y[points] = std::log10(static_cast<double>(histogram[e]));
        x[points] = std::log10(static_cast<double>(e));
        ++points;
        fprintf(report, "%3d\t%3d\n", e, histogram[e]);
    }

    if (points < 2) {
        fprintf(report, "A regression equation of edges and nodes is senseless.\n");
    } else {
        // log10(frequency) = k * log10(edges) + c, i.e. frequency = 10^c * edges^k
        mlr(x.get(), points, 1, y.get(), 1, b.get());
        fprintf(report, "freq_of_nodes = %.4lf * edges^(%+.4lf)\n", std::exp(std::log(10.0) * b[1]),
                b[0]);
        Linear_Correlation correlation(x.get(), y.get(), points, -2.0);
        const double r = correlation.r();
        std::cout << "\nLinear correlation coefficient r = " << r << "\t(PEARSON)" << std::endl;
        fprintf(report, "Linear correlation coefficient r = %lf\n", correlation.coefficient);
        write_significance(report, correlation.reference_r_2sides());
    }
    fflush(report);
    return 0;
}
