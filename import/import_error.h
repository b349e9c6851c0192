#pragma once

#include <stdexcept>
#include <string>

// A model that cannot be converted: malformed, unsupported, or refused by a rule. The message
// names the element; the program prints it and ends with status 1 without writing a network
// file.
class import_error : public std::runtime_error {
   public:
    explicit import_error(const std::string& message) : std::runtime_error(message) {}
};

// Throws an import_error with the message made from the printf format and its arguments.
[[noreturn]] void refuse(const char* format, ...) __attribute__((format(printf, 1, 2)));
