#include "report/listings.h"

#include <string>

#include "report/row_support.h"
#include "report/text_line.h"

namespace {

// Writes the entries of a row with at least one column as "%d" (the decimal digits of a value of
// any width), separated by blanks, and ends the line. The row is put together in `line` and goes
// out in one write: the mode matrix has millions of entries.
template <typename T>
void write_matrix_row(const T* row, int columns, std::string& line, FILE* file) {
    line.clear();
    for (int j = 0; j < columns; ++j) {
        if (j > 0) line.push_back(' ');
        append_decimal(line, row[j]);
    }
    line.push_back('\n');
    fwrite(line.data(), 1, line.size(), file);
}

template <typename T>
int write_matrix(const basic_mat<T>* m, FILE* file) {
    int printed = 0;
    for (int i = 0; i < m->rows; ++i)
        if (!row_is_zero(m->head[i], m->columns)) ++printed;
    if (printed == 0) return 0;

    fprintf(file, " \n matrix dimension r%d x c%d\n", printed, m->columns);
    std::string line;
    for (int i = 0; i < m->rows; ++i) {
        const T* row = m->head[i];
        if (row_is_zero(row, m->columns)) continue;
        write_matrix_row(row, m->columns, line, file);
    }
    fflush(file);
    return printed;
}

}  // namespace

int fmatoutput(Wide_View m, FILE* file) {
    return m.visit([&](const auto* record) { return write_matrix(record, file); });
}

void fvectoroutput(const simple_vector* v, FILE* file) {
    fprintf(file, "The following line indicates reversible (0) and irreversible reactions (1)\n");
    for (int i = 0; i < v->length; ++i) fprintf(file, "%2d ", v->head[i]);
    fprintf(file, "\n");
}

namespace {

// Writes one side of an overall reaction: the metabolites whose coefficient has the given sign,
// joined by " + ", each with its amount unless that is 1.
template <typename T>
void write_overall_side(const T* row, int columns, const enc* metabolites, int sign,
                        Text_Line& line) {
    bool first = true;
    for (const enc* node = metabolites->next; !is_tail(node); node = node->next) {
        const T* v = coefficient_of(row, columns, node);
        if (v == nullptr || *v == 0 || (*v > 0) != (sign > 0)) continue;
        if (!first) line.text(" + ");
        first = false;
        if (*v == sign)
            line.text(node->name.c_str());  // "%s"
        else
            line.magnitude(*v).text(" ").text(node->name.c_str());  // "%d %s" with the amount
    }
}

template <typename T>
void write_overall_reactions(const basic_mat<T>* m, const enc* metabolites, FILE* file) {
    fprintf(file, "\n overall reaction\n");
    bool any_exchange = false;
    for (int d = 0; d < m->rows; ++d)
        if (!row_is_zero(m->head[d], m->columns)) any_exchange = true;
    if (!any_exchange) {
        fprintf(file, " - not found -\n");
        fprintf(file, "\n");
        fflush(file);
        return;
    }

    Text_Line line;
    for (int d = 0; d < m->rows; ++d) {
        const T* row = m->head[d];
        if (row_is_zero(row, m->columns)) {
            fprintf(file, "\n %d:\tno net transfomation of external metabolites", d + 1);
            continue;
        }
        line.text("\n ").number(d + 1).text(":\t");  // "\n %d:\t"
        write_overall_side(row, m->columns, metabolites, -1, line);
        line.text(" = ");
        write_overall_side(row, m->columns, metabolites, 1, line);
        line.write(file);
    }
    fprintf(file, "\n");
    fflush(file);
}

}  // namespace

void foveralloutput(Wide_View m, const enc* metabolites, FILE* file) {
    m.visit([&](const auto* record) { write_overall_reactions(record, metabolites, file); });
}

namespace {

// Writes the metabolites whose branch flag is (non-zero) or is not (zero) set, walking the flags
// and the list's data nodes in step; an absent flag vector flags nothing.
void write_branch_rows(FILE* file, const simple_vector* branch, const enc* metabolites,
                       bool flagged) {
    const int length = branch == nullptr ? 0 : branch->length;
    const enc* node = metabolites->next;
    for (int i = 0; i < length && !is_tail(node); ++i, node = node->next) {
        if ((branch->head[i] != 0) != flagged) continue;
        fprintf(file, "\n%-20s\t%d\t%d\t%d\t%s", node->name.c_str(), node->cons, node->built,
                node->reactions, node->reaction_kinds.c_str());
    }
}

}  // namespace

void fout_branches(FILE* file, const simple_vector* branch, const enc* metabolites) {
    fprintf(file, "\n");
    fprintf(file, "-> Branch metabolites are : ");
    fprintf(file, "\n%-20s\tcons\tbuilt\treactions", "met");
    write_branch_rows(file, branch, metabolites, true);
    fprintf(file, "\n");
    fprintf(file, "\n-> No branch metabolites are : ");
    fprintf(file, "\n%-20s\tcons\tbuilt\treactions", "met");
    write_branch_rows(file, branch, metabolites, false);
    fprintf(file, "\n");
}
