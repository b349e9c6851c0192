#include "tests/support/random_rows.h"

Rows random_rows(std::mt19937& random, int rows, int columns, double density, int largest) {
    std::bernoulli_distribution non_zero(density);
    std::uniform_int_distribution<int> magnitude(1, largest);
    std::bernoulli_distribution negative(0.5);
    Rows m(rows, std::vector<int>(columns, 0));
    for (auto& row : m)
        for (int& x : row)
            if (non_zero(random)) x = negative(random) ? -magnitude(random) : magnitude(random);
    return m;
}
