#include "file_encoding.h"

#include <cstddef>

namespace quillo {
namespace {

// Whether every code unit of `size` bytes in `head` has NUL at the offsets
// set in `nulMask` (bit i for byte i of the unit), over two units at least,
// and some byte of those units is not NUL.
bool UnitsHaveNulsAt(std::string_view head, size_t size, unsigned nulMask) {
    const size_t units = head.size() / size;
    if (units < 2) {
        return false;
    }
    bool text = false;
    for (size_t i = 0; i < units * size; ++i) {
        const bool nul = head[i] == '\0';
        if ((nulMask >> (i % size) & 1u) != 0 && !nul) {
            return false;
        }
        text = text || !nul;
    }
    return text;
}

}  // namespace

FileEncoding EncodingOf(std::string_view head) {
    using namespace std::string_view_literals;
    // UTF-32's little-endian mark starts with UTF-16's: the longer first.
    if (head.substr(0, 4) == "\xFF\xFE\0\0"sv) {
        return FileEncoding::Utf32LittleEndian;
    }
    if (head.substr(0, 4) == "\0\0\xFE\xFF"sv) {
        return FileEncoding::Utf32BigEndian;
    }
    if (head.substr(0, 2) == "\xFF\xFE"sv) {
        return FileEncoding::Utf16LittleEndian;
    }
    if (head.substr(0, 2) == "\xFE\xFF"sv) {
        return FileEncoding::Utf16BigEndian;
    }
    // Units of four whose high half is NUL also have NUL in every second
    // byte: UTF-32 is asked first.
    if (UnitsHaveNulsAt(head, 4, 0b1100)) {
        return FileEncoding::Utf32LittleEndian;
    }
    if (UnitsHaveNulsAt(head, 4, 0b0011)) {
        return FileEncoding::Utf32BigEndian;
    }
    if (UnitsHaveNulsAt(head, 2, 0b10)) {
        return FileEncoding::Utf16LittleEndian;
    }
    if (UnitsHaveNulsAt(head, 2, 0b01)) {
        return FileEncoding::Utf16BigEndian;
    }
    return FileEncoding::Bytes;
}

std::string_view EncodingName(FileEncoding encoding) {
    switch (encoding) {
        case FileEncoding::Utf16LittleEndian:
            return "UTF-16 (little-endian)";
        case FileEncoding::Utf16BigEndian:
            return "UTF-16 (big-endian)";
        case FileEncoding::Utf32LittleEndian:
            return "UTF-32 (little-endian)";
        case FileEncoding::Utf32BigEndian:
            return "UTF-32 (big-endian)";
        case FileEncoding::Bytes:
            break;
    }
    return {};
}

}  // namespace quillo
