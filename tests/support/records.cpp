#include "tests/support/records.h"

#include <gtest/gtest.h>

#include <cstdlib>

Owned_Mat make_mat(const Rows& rows) {
    mat* m = new_mat(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()), "test m",
                     "test m->head", "test row");
    for (int i = 0; i < m->rows; ++i)
        for (int o = 0; o < m->columns; ++o) m->head[i][o] = rows[i][o];
    return Owned_Mat(m);
}

Owned_Mat make_rowless_mat(int columns) {
    mat* m = static_cast<mat*>(calloc(1, sizeof(mat)));
    m->columns = columns;
    return Owned_Mat(m);
}

Owned_Vector make_vector(const std::vector<int>& values) {
    simple_vector* v = new_vector(static_cast<int>(values.size()), "test v", "test v->head");
    for (int i = 0; i < v->length; ++i) v->head[i] = values[i];
    return Owned_Vector(v);
}

Rows rows_of(Wide_View m) {
    EXPECT_EQ(m.width(), width_index<int>) << "the record is wider than 32 bits";
    return m.visit([](const auto* record) {
        Rows rows(record->rows);
        for (int i = 0; i < record->rows; ++i) {
            for (int j = 0; j < record->columns; ++j)
                rows[i].push_back(converted<int>(record->head[i][j]));
        }
        return rows;
    });
}

Digit_Rows digits_of(Wide_View m) {
    return m.visit([](const auto* record) {
        Digit_Rows rows(record->rows);
        for (int i = 0; i < record->rows; ++i) {
            for (int j = 0; j < record->columns; ++j)
                rows[i].push_back(decimal(record->head[i][j]));
        }
        return rows;
    });
}

std::vector<int> values_of(const simple_vector* v) {
    return std::vector<int>(v->head, v->head + v->length);
}

namespace {

// The value of decimal digits with an optional minus sign in front, in the widest width.
#ifdef KESTRANE_HAVE_GMP
using Parsed = mpz_class;
Parsed parsed(const std::string& digits) { return mpz_class(digits); }
#else
using Parsed = Int128;
Parsed parsed(const std::string& digits) {
    const bool negative = digits[0] == '-';
    Int128 value = 0;
    for (std::size_t i = negative ? 1 : 0; i < digits.size(); ++i)
        value = value * 10 + (digits[i] - '0');
    return negative ? -value : value;
}
#endif

}  // namespace

Wide_Mat wide_mat_of(const Digit_Rows& rows) {
    Owned_Basic_Mat<Parsed> m(new_result_mat<Parsed>(static_cast<int>(rows.size()),
                                                     static_cast<int>(rows[0].size()), "test"));
    for (int i = 0; i < m->rows; ++i) {
        for (int j = 0; j < m->columns; ++j) m->head[i][j] = parsed(rows[i][j]);
    }
    return narrowest(std::move(m));
}

enc* append_node(enc* list) {
    enc* last = list;
    while (!is_tail(last->next)) last = last->next;
    return insert_node_after(last);
}

Owned_List make_list(const std::vector<std::string>& names) {
    enc* list = new_met_list();
    int number = 0;
    for (const std::string& name : names) {
        enc* node = append_node(list);
        node->name = name;
        node->number = ++number;
    }
    return Owned_List(list);
}
