#pragma once

#include <cstdint>
#include <string>

// Whether the bytes begin with the gzip magic number.
bool is_gzip(const std::string& bytes);

// The content of gzip-compressed bytes (several members are read one after the other). Throws
// an import_error naming the file when the data are damaged or cut short, or as soon as the
// content grows beyond largest_content bytes: a small file can inflate to gigabytes.
std::string gunzip(const std::string& bytes, const char* file_name, std::uint64_t largest_content);
