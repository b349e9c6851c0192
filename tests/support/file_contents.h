#pragma once

#include <filesystem>
#include <string>

// The whole content of a file, byte for byte; empty when it cannot be read.
std::string file_contents(const std::filesystem::path& path);
