#include "import/import_error.h"

#include <cstdarg>
#include <cstdio>

void refuse(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list again;
    va_copy(again, arguments);
    const int length = vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    std::string message(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    vsnprintf(message.data(), message.size() + 1, format, again);
    va_end(again);
    throw import_error(message);
}
