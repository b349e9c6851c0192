#include "import/gzip.h"

#include <zlib.h>

#include <cstdint>

#include "import/import_error.h"

bool is_gzip(const std::string& bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1f &&
           static_cast<unsigned char>(bytes[1]) == 0x8b;
}

namespace {

// A decompression stream, ended however the reading ends.
struct inflation {
    z_stream stream{};
    inflation() = default;
    inflation(const inflation&) = delete;
    inflation& operator=(const inflation&) = delete;
    ~inflation() { inflateEnd(&stream); }
};

}  // namespace

std::string gunzip(const std::string& bytes, const char* file_name, std::uint64_t largest_content) {
    if (bytes.size() > UINT32_MAX) refuse("%s: the compressed file is too large.", file_name);
    inflation inflating;
    z_stream& stream = inflating.stream;
    // 16 + the largest window: a gzip header and trailer around the deflate data.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        refuse("%s: the gzip decompression cannot start.", file_name);
    std::string content;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    char buffer[1 << 16];
    int result = Z_OK;
    for (;;) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        result = inflate(&stream, Z_NO_FLUSH);
        const std::size_t got = sizeof buffer - stream.avail_out;
        if (got > largest_content - content.size())
            refuse("%s: the compressed model inflates to more than %llu bytes (--max-inflated).",
                   file_name, static_cast<unsigned long long>(largest_content));
        content.append(buffer, got);
        if (result == Z_STREAM_END) {
            // A file may hold several gzip members, which together make the content.
            if (stream.avail_in == 0) break;
            if (inflateReset(&stream) != Z_OK) break;
            continue;
        }
        if (result != Z_OK || (stream.avail_in == 0 && stream.avail_out != 0)) break;
    }
    if (result != Z_STREAM_END)
        refuse("%s: the gzip-compressed data are damaged or cut short.", file_name);
    return content;
}
