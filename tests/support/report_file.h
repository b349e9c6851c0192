#pragma once

#include <cstdio>
#include <string>

// A temporary report file that tests write into and read back as a whole.
class Report_File {
   public:
    Report_File();
    ~Report_File();
    Report_File(const Report_File&) = delete;
    Report_File& operator=(const Report_File&) = delete;

    FILE* get() const { return file_; }

    // Everything written so far; the file position stays at the end.
    std::string text() const;

   private:
    FILE* file_;
};
