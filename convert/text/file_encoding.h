// Whether a file is UTF-16 or UTF-32, told from its first bytes. The reader
// takes bytes as they stand, so such a file reads as lines cut at their first
// NUL: its entries break, or vanish, for no reason the user could see.
#pragma once

#include <cstdint>
#include <string_view>

namespace quillo {

enum class FileEncoding : uint8_t {
    Bytes,  // a single-byte or multi-byte code page, or UTF-8: what the converter reads
    Utf16LittleEndian,
    Utf16BigEndian,
    Utf32LittleEndian,
    Utf32BigEndian,
};

// The encoding of a file that starts with `head` (its first bytes, as
// TextReader::Head gives them): by its byte-order mark, else by a NUL in
// every second byte (UTF-16) or in three of every four (UTF-32) as text of
// Latin letters and digits has, over whole code units, two at least; for
// UTF-16 in three units of four at least, as where CJK or Cyrillic text
// (no NUL byte) follows the first time line.
FileEncoding EncodingOf(std::string_view head);

// "UTF-16 (little-endian)" and so on; empty for Bytes.
std::string_view EncodingName(FileEncoding encoding);

}  // namespace quillo
