#include "tests/support/report_file.h"

Report_File::Report_File() : file_(tmpfile()) {}

Report_File::~Report_File() { fclose(file_); }

std::string Report_File::text() const {
    fflush(file_);
    const long end = ftell(file_);
    std::string content(static_cast<std::size_t>(end), '\0');
    rewind(file_);
    const std::size_t read = fread(content.data(), 1, content.size(), file_);
    content.resize(read);
    fseek(file_, 0, SEEK_END);
    return content;
}
