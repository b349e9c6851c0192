#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "matrix_test_support.h"

// A name list with one data node per name, numbered 1, 2, ... in order.
inline Owned_List make_list(const std::vector<std::string>& names) {
    enc* list = new_met_list();
    int number = 0;
    for (const std::string& name : names) {
        enc* node = append_node(list);
        node->name = name;
        node->number = ++number;
    }
    return Owned_List(list);
}

// A matrix record without rows, as a stage that found nothing returns it.
inline Owned_Mat make_rowless_mat(int columns) {
    mat* m = static_cast<mat*>(calloc(1, sizeof(mat)));
    m->columns = columns;
    return Owned_Mat(m);
}

// A temporary report file that tests write into and read back as a whole.
class Report_File {
   public:
    Report_File() : file_(tmpfile()) {}
    ~Report_File() { fclose(file_); }
    Report_File(const Report_File&) = delete;
    Report_File& operator=(const Report_File&) = delete;

    FILE* get() const { return file_; }

    // Everything written so far; the file position stays at the end.
    std::string text() const {
        fflush(file_);
        const long end = ftell(file_);
        std::string content(static_cast<std::size_t>(end), '\0');
        rewind(file_);
        const std::size_t read = fread(content.data(), 1, content.size(), file_);
        content.resize(read);
        fseek(file_, 0, SEEK_END);
        return content;
    }

   private:
    FILE* file_;
};
