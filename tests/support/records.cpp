#include "tests/support/records.h"

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

Rows rows_of(const mat* m) {
    Rows rows(m->rows);
    for (int i = 0; i < m->rows; ++i) rows[i].assign(m->head[i], m->head[i] + m->columns);
    return rows;
}

std::vector<int> values_of(const simple_vector* v) {
    return std::vector<int>(v->head, v->head + v->length);
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
