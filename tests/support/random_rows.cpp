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

Rows random_stoichiometry(std::mt19937& random, int most_metabolites, int fewest_reactions,
                          int most_reactions, int largest) {
    std::uniform_int_distribution<int> coefficient(-largest, largest);
    const int m = std::uniform_int_distribution<int>(1, most_metabolites)(random);
    const int n = std::uniform_int_distribution<int>(fewest_reactions, most_reactions)(random);
    Rows net(m, std::vector<int>(n));
    for (auto& row : net)
        for (int& x : row) x = coefficient(random);
    return net;
}
