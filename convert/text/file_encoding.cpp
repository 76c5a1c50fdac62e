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

// Whether three units in four at least, two at least, of `size` bytes in
// `head` have NUL at the offsets set in `nulMask` and something else
// besides: UTF-16 text whose digits, separators and Latin letters have a NUL
// high byte, and whose other letters (CJK, Cyrillic) do not.
bool MostUnitsHaveNulsAt(std::string_view head, size_t size, unsigned nulMask) {
    const size_t units = head.size() / size;
    size_t matching = 0;
    for (size_t unit = 0; unit < units; ++unit) {
        bool nulsWhereMasked = true;
        bool text = false;
        for (size_t i = 0; i < size; ++i) {
            const bool nul = head[unit * size + i] == '\0';
            nulsWhereMasked = nulsWhereMasked && ((nulMask >> i & 1u) == 0 || nul);
            text = text || ((nulMask >> i & 1u) == 0 && !nul);
        }
        matching += nulsWhereMasked && text ? 1 : 0;
    }
    return matching >= 2 && 4 * matching >= 3 * units;
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
    if (UnitsHaveNulsAt(head, 2, 0b10) || MostUnitsHaveNulsAt(head, 2, 0b10)) {
        return FileEncoding::Utf16LittleEndian;
    }
    if (UnitsHaveNulsAt(head, 2, 0b01) || MostUnitsHaveNulsAt(head, 2, 0b01)) {
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
