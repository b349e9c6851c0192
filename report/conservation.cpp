#include "report/conservation.h"

#include <string>

#include "report/row_support.h"

namespace {

// Writes one term v x name of an equation; the first term of a row carries its sign in front,
// every further one as " + " or " - ". Amounts of 1 are left out.
template <typename T>
void write_term(FILE* file, const T& v, const char* name, bool first) {
    if (first) {
        if (v == 1)
            fprintf(file, "%s", name);
        else if (v == -1)
            fprintf(file, "-%s", name);
        else
            fprintf(file, "%s %s", decimal(v).c_str(), name);  // "%d %s"
    } else if (v == 1) {
        fprintf(file, " + %s", name);
    } else if (v == -1) {
        fprintf(file, " - %s", name);
    } else if (v > 1) {
        fprintf(file, " + %s %s", decimal(v).c_str(), name);  // " + %d %s"
    } else {
        std::string amount;
        append_magnitude(amount, v);
        fprintf(file, " - %s %s", amount.c_str(), name);  // " - %d %s" with -v
    }
}

template <typename T>
void write_equations(FILE* file, const basic_mat<T>* C, const enc* metabolites) {
    bool any_coefficient = false;
    for (int d = 0; d < C->rows; ++d)
        if (!row_is_zero(C->head[d], C->columns)) any_coefficient = true;
    if (!any_coefficient) return;

    for (int d = 0; d < C->rows; ++d) {
        fprintf(file, "%2d :\t", d + 1);
        bool first = true;
        const enc* node = metabolites->next;
        for (int j = 0; j < C->columns && !is_tail(node); ++j, node = node->next) {
            const T& v = C->head[d][j];
            if (v == 0) continue;
            write_term(file, v, node->name.c_str(), first);
            first = false;
        }
        // A row without terms keeps only its label; the next label follows on the same line.
        if (!first) fprintf(file, " = const\n");
    }
}

}  // namespace

void crel_equation_output(FILE* file, Wide_View C, const enc* metabolites) {
    C.visit([&](const auto* record) { write_equations(file, record, metabolites); });
}
