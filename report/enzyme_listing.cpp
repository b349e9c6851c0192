#include "report/enzyme_listing.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "report/row_support.h"
#include "report/text_line.h"

int fenzymeoutput_calls = 0;

namespace {

constexpr int first_call_with_blocks = 3;

// The reactions of the enzyme list that lie in the matrix's columns, in list order, looked up
// once per listing: a node outside the columns reads as zero in every row and is never written.
struct Listed_Reaction {
    int column;
    std::string_view name;  // up to its first NUL character, as "%s" writes it
    bool has_blank;
};

std::vector<Listed_Reaction> listed_reactions(const enc* enzymes, int columns) {
    std::vector<Listed_Reaction> listed;
    for (const enc* node = enzymes->next; !is_tail(node); node = node->next) {
        const int column = node->number - 1;
        if (column < 0 || column >= columns) continue;
        const std::string_view name(node->name.c_str());
        listed.push_back({column, name, name.find(' ') != std::string_view::npos});
    }
    return listed;
}

// True when some enzyme of the list has a non-zero coefficient in row.
template <typename T>
bool names_a_reaction(const T* row, const std::vector<Listed_Reaction>& listed) {
    return std::any_of(listed.begin(), listed.end(),
                       [row](const Listed_Reaction& r) { return row[r.column] != 0; });
}

// The non-zero entries of the block membership table (block_table, (columns + 1) x columns),
// column by column in the table's row order: entries of column o are entries[first[o]] up to
// entries[first[o + 1]]. Built once per listing, so that tagging a mode costs its reactions'
// entries, not a pass over the table's rows for every reaction.
struct Block_Entries {
    std::vector<int> first;
    std::vector<int> entries;

    Block_Entries(const int* block_table, int columns) : first(columns + 1, 0) {
        if (block_table == nullptr) return;
        // Blocks are numbered from 1 and there can be as many blocks as reactions, so the
        // table's rows 0 to columns all may hold an entry for reaction o.
        for (int o = 0; o < columns; ++o) {
            first[o] = static_cast<int>(entries.size());
            for (int t = 0; t <= columns; ++t) {
                const int entry = block_table[t * columns + o];
                if (entry != 0) entries.push_back(entry);
            }
        }
        first[columns] = static_cast<int>(entries.size());
    }
};

// Writes the block tags of the reactions in row, column by column, skipping a tag equal to the
// one written just before. Returns the number of tags written: as no tag repeats the one before
// it, a row with more than one tag lies in more than one block.
template <typename T>
int write_block_tags(const T* row, int columns, const Block_Entries& blocks, Text_Line& line) {
    int last_block = 0;
    int tags = 0;
    for (int o = 0; o < columns; ++o) {
        if (row[o] == 0) continue;
        for (int e = blocks.first[o]; e < blocks.first[o + 1]; ++e) {
            const int entry = blocks.entries[e];
            if (entry - 1 == last_block) continue;
            last_block = entry - 1;
            line.text("[bl ").number(last_block).text("] ");  // "[bl %d] "
            ++tags;
        }
    }
    return tags;
}

// Writes the reactions of row in list order as (coefficient name) pairs; a name with a blank
// and a coefficient of 1 or -1 gets a second pair of parentheses to keep it readable.
template <typename T>
void write_reaction_pairs(const T* row, const std::vector<Listed_Reaction>& listed,
                          Text_Line& line) {
    for (const Listed_Reaction& reaction : listed) {
        const T& v = row[reaction.column];
        if (v == 0) continue;
        if ((v == 1 || v == -1) && reaction.has_blank)
            line.text(" ((").number(v).text(" ").text(reaction.name).text("))");  // " ((%d %s))"
        else
            line.text(" (").number(v).text(" ").text(reaction.name).text(")");  // " (%d %s)"
    }
}

// The rows of m as fenzymeoutput lists them; returns whether some row lies in several blocks.
template <typename T>
bool write_reaction_rows(const basic_mat<T>* m, const enc* enzymes, FILE* file,
                         const int* block_table, bool with_blocks) {
    const int n = m->columns;
    const Block_Entries blocks(with_blocks ? block_table : nullptr, n);
    const std::vector<Listed_Reaction> listed = listed_reactions(enzymes, n);
    int written = 0;
    bool some_row_in_several_blocks = false;

    Text_Line line;
    for (int d = 0; d < m->rows; ++d) {
        const T* row = m->head[d];
        // A row naming no reaction is left out whole; the labels of the others keep their row
        // numbers, so the listing may show gaps.
        if (!names_a_reaction(row, listed)) continue;
        ++written;
        if (!with_blocks) {
            line.text("\n ").number(d + 1).text(":\t");  // "\n %d:\t"
        } else {
            // "\n %d: (%2d) "
            line.text("\n ").number(d + 1).text(": (").padded(count_nonzero(row, n), 2).text(") ");
            if (write_block_tags(row, n, blocks, line) > 1) some_row_in_several_blocks = true;
        }
        write_reaction_pairs(row, listed, line);
        line.write(file);
    }
    if (written == 0) fprintf(file, " - not found -\n");
    return some_row_in_several_blocks;
}

}  // namespace

int fenzymeoutput(Wide_View m, const enc* enzymes, FILE* file, const int* block_table) {
    const bool with_blocks = fenzymeoutput_calls >= first_call_with_blocks;
    const bool some_row_in_several_blocks = m.visit([&](const auto* record) {
        return write_reaction_rows(record, enzymes, file, block_table, with_blocks);
    });
    fprintf(file, "\n");
    fflush(file);
    if (with_blocks && some_row_in_several_blocks)
        fprintf(file, "\nAt least one elementary mode belongs to more than one block");
    ++fenzymeoutput_calls;
    return m.rows();
}
