#include "tests/support/file_contents.h"

#include <fstream>
#include <sstream>

std::string file_contents(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}
