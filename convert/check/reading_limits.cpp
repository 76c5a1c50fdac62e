#include "reading_limits.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "realtext_markup.h"
#include "text_builder.h"
#include "utf8.h"

namespace quillo {
namespace {

// Whether `line` holds a byte of 0x80 or more: the characters of a line
// without are its bytes. Sixteen bytes at a time, in the line's padding.
bool HoldsHighBytes(std::string_view line) {
#ifdef __SSE2__
    unsigned high = 0;
    for (size_t at = 0; at < line.size(); at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + at));
        // Bytes past the end are the padding's or the next line's: masked off.
        const unsigned valid = line.size() - at >= 16 ? 0xFFFFu : (1u << (line.size() - at)) - 1;
        high |= static_cast<unsigned>(_mm_movemask_epi8(bytes)) & valid;
    }
    return high != 0;
#else
    uint64_t high = 0;
    size_t at = 0;
    for (uint64_t word; at + 8 <= line.size(); at += 8) {
        std::memcpy(&word, line.data() + at, 8);
        high |= word;
    }
    for (; at < line.size(); ++at) {
        high |= static_cast<unsigned char>(line[at]);
    }
    return (high & 0x8080808080808080ull) != 0;
#endif
}

bool IsUtf8(std::string_view line) {
    for (size_t at = 0, length; at < line.size(); at += length) {
        if ((length = Utf8Length(line, at)) == 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ReadingLimits::Any() const {
    for (const int64_t limit : thousandths) {
        if (limit != 0) {
            return true;
        }
    }
    return false;
}

ReadingLimits DefaultReadingLimits() {
    return {{20000, 42000, 2000, 700, 7000, 0}};
}

TextReading ReadingOf(std::string_view line, bool special, const CodePage& walked) {
    const bool high = HoldsHighBytes(line);
    if (!special && !high) {
        return {line.size(), 1, line.size(), 0};  // nearly every line
    }
    // A UTF-8 line is read as UTF-8 whatever the code page: its sequences
    // never hold an ASCII byte.
    const bool utf8 = high && IsUtf8(line);
    const bool doubleByte = high && !utf8 && walked.HasLeadBytes();
    TextReading read{0, 1, 0, 0};
    uint64_t shown = 0;  // of the line the player shows from `start`
    size_t start = 0;
    const auto endLine = [&] {
        if (shown > read.longest) {
            read.longest = shown;
            read.longestAt = start;
        }
        read.characters += shown;
    };
    for (size_t at = 0; at < line.size();) {
        const unsigned char c = static_cast<unsigned char>(line[at]);
        if (c >= 0x80) {
            at += utf8 ? Utf8Length(line, at)
                  : doubleByte && walked.IsLeadByte(c) && at + 1 < line.size() ? 2
                                                                               : 1;
            ++shown;
            continue;
        }
        if (c == '|') {  // a line break, and its space
            endLine();
            ++read.characters;
            ++read.lines;
            shown = 0;
            start = ++at;
            continue;
        }
        if (c != '<' && c != '&' && c != '{') {
            ++shown;
            ++at;
            continue;
        }
        // Markup as the check reads it: a tag shows nothing, a reference one
        // character, an override block nothing; a '<' or '{' that begins
        // none is text.
        MarkupItem item;
        size_t next;
        const bool said = realtext_markup::ItemAt(line, at, item, next);
        shown += c == '&' || (c == '<' && said && item.kind == MarkupItem::Kind::StrayLess) ||
                         (c == '{' && !said)
                     ? 1
                     : 0;
        at = next;
    }
    endLine();
    return read;
}

char* WriteThousandths(char* to, int64_t value) {
    if (value < 0) {
        *to++ = '-';
    }
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : value;
    to = WriteDecimal(to, magnitude / 1000);
    if (uint64_t part = magnitude % 1000; part != 0) {
        *to++ = '.';
        for (uint64_t digit = 100; part != 0; digit /= 10) {
            *to++ = static_cast<char>('0' + part / digit);
            part %= digit;
        }
    }
    return to;
}

}  // namespace quillo
