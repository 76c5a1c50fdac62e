#include "srt_fields.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace quillo {
namespace {

// The C locale's isspace, without its locale lookups.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return static_cast<unsigned>(static_cast<unsigned char>(c)) - unsigned{'0'} < 10;
}

// Reads an optionally signed decimal at `pos`, accumulating in unsigned
// arithmetic so that overflow wraps instead of being undefined. Leading white
// space is skipped when `skipSpace`. Returns false when no digit follows.
bool ScanInteger(std::string_view text, size_t& pos, bool skipSpace, int32_t& out,
                 size_t* start = nullptr, size_t* digits = nullptr) {
    size_t p = pos;
    if (skipSpace) {
        while (p < text.size() && IsSpace(text[p])) {
            ++p;
        }
    }
    if (start != nullptr) {
        *start = p;
    }
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
        negative = text[p] == '-';
        ++p;
    }
    if (p == text.size() || !IsDigit(text[p])) {
        pos = p;
        return false;
    }
    const size_t first = p;
    uint32_t value = 0;
    for (; p < text.size() && IsDigit(text[p]); ++p) {
        value = value * 10u + static_cast<uint32_t>(text[p] - '0');
    }
    if (negative) {
        value = 0u - value;
    }
    out = static_cast<int32_t>(value);  // modular since C++20, and on every compiler we use
    if (digits != nullptr) {
        *digits = p - first;
    }
    pos = p;
    return true;
}

bool ScanLiteral(std::string_view text, size_t& pos, std::string_view literal) {
    if (text.substr(pos, literal.size()) != literal) {
        return false;
    }
    pos += literal.size();
    return true;
}

void SkipSpace(std::string_view text, size_t& pos) {
    while (pos < text.size() && IsSpace(text[pos])) {
        ++pos;
    }
}

// "00" to "99", for the two-digit fields that nearly every time holds.
struct TwoDigits {
    char pairs[200];
    constexpr TwoDigits() : pairs() {
        for (int i = 0; i < 100; ++i) {
            pairs[2 * i] = static_cast<char>('0' + i / 10);
            pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
        }
    }
};
constexpr TwoDigits kTwoDigits;

// printf's "%0*d": at least `width` digits, zero-filled, the minus sign in
// front of the zeros and counted in the width.
char* FormatNumber(char* out, int32_t value, int width) {
    if (value >= 0 && value < 100 && width <= 2) {
        if (value >= 10 || width == 2) {
            std::memcpy(out, kTwoDigits.pairs + 2 * value, 2);
            return out + 2;
        }
        *out = static_cast<char>('0' + value);
        return out + 1;
    }
    char digits[12];
    int count = 0;
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0);
    if (value < 0) {
        *out++ = '-';
        --width;
    }
    for (int i = count; i < width; ++i) {
        *out++ = '0';
    }
    while (count > 0) {
        *out++ = digits[--count];
    }
    return out;
}

// "%02d" for a field that almost always lies in 0..99.
char* FormatTwoDigits(char* out, int32_t value) {
    if (static_cast<uint32_t>(value) < 100) {
        std::memcpy(out, kTwoDigits.pairs + 2 * value, 2);
        return out + 2;
    }
    return FormatNumber(out, value, 2);
}

char* FormatClock(char* out, int32_t hours, int32_t minutes, int32_t seconds,
                  int32_t milliseconds) {
    if (static_cast<uint32_t>(hours) < 10) {
        *out++ = static_cast<char>('0' + hours);
    } else if (static_cast<uint32_t>(hours) < 100) {
        out = FormatTwoDigits(out, hours);
    } else if (static_cast<uint32_t>(hours) < 10000) {
        // Long films and concatenated seasons.
        out = FormatTwoDigits(out, hours / 100);
        if (hours < 1000) {
            out[-2] = out[-1];
            --out;
        }
        out = FormatTwoDigits(out, hours % 100);
    } else {
        out = FormatNumber(out, hours, 1);
    }
    *out++ = ':';
    out = FormatTwoDigits(out, minutes);
    *out++ = ':';
    out = FormatTwoDigits(out, seconds);
    *out++ = '.';
    return FormatTwoDigits(out, milliseconds / 10);  // truncates toward zero, as C does
}

template <size_t N>
char* Literal(char* out, const char (&text)[N]) {
    std::memcpy(out, text, N - 1);
    return out + N - 1;
}

}  // namespace

int32_t ParseIndex(std::string_view line) {
    // The common index line is digits alone.
    if (line.size() - 1 < 9) {  // one to nine digits cannot overflow
        const char* p = line.data();
        const char* const end = p + line.size();
        uint32_t value = 0;
        for (unsigned digit;
             p < end && (digit = static_cast<unsigned char>(*p) - unsigned{'0'}) < 10; ++p) {
            value = value * 10u + digit;
        }
        if (p == end) {
            return static_cast<int32_t>(value);
        }
    }
    size_t pos = 0;
    int32_t general = 0;
    return ScanInteger(line, pos, true, general) ? general : 0;
}

bool PastThirtyTwoBits(std::string_view signAndDigits) {
    const bool negative = !signAndDigits.empty() && signAndDigits[0] == '-';
    const size_t first =
        !signAndDigits.empty() && (signAndDigits[0] == '-' || signAndDigits[0] == '+') ? 1 : 0;
    uint64_t magnitude = 0;
    for (size_t i = first; i < signAndDigits.size(); ++i) {
        magnitude = magnitude * 10 + static_cast<uint64_t>(signAndDigits[i] - '0');
        if (magnitude > (uint64_t{1} << 32)) {
            return true;  // and stays so, however many digits follow
        }
    }
    return magnitude > (negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1);
}

bool ScanTimeLine(std::string_view line, TimeRange& out, TimeLineLayout* layout) {
    // Each %d skips white space itself; ':' and ',' must follow a number
    // directly; each blank around "-->" matches any run of white space.
    TimeLineLayout where{};
    int32_t fields[8];
    size_t pos = 0;
    const auto fail = [&](char expected) {
        if (layout != nullptr) {
            where.stop = pos;
            where.expected = expected;
            *layout = where;
        }
        return false;
    };
    for (int i = 0; i < 8; ++i) {
        if (i == 4) {
            SkipSpace(line, pos);
            if (!ScanLiteral(line, pos, "-->")) {
                return fail('-');
            }
            SkipSpace(line, pos);
        }
        if (!ScanInteger(line, pos, true, fields[i], &where.start[i], &where.digits[i])) {
            return fail('0');
        }
        const char separator = i % 4 == 2 ? ',' : ':';
        if (i % 4 != 3 && !ScanLiteral(line, pos, std::string_view(&separator, 1))) {
            return fail(separator);
        }
    }
    out = TimeRange{fields[0], fields[1], fields[2], fields[3],
                    fields[4], fields[5], fields[6], fields[7]};
    if (layout != nullptr) {
        where.stop = pos;
        *layout = where;
    }
    return true;
}

size_t FormatTimeTag(char* out, const TimeRange& r) {
    char* const start = out;
    out = Literal(out, "<Time Begin=\"");
    out = FormatClock(out, r.beginHours, r.beginMinutes, r.beginSeconds, r.beginMilliseconds);
    out = Literal(out, "\" End=\"");
    out = FormatClock(out, r.endHours, r.endMinutes, r.endSeconds, r.endMilliseconds);
    out = Literal(out, "\" /><clear/> ");
    return static_cast<size_t>(out - start);
}

size_t FormatClockText(char* out, int32_t hours, int32_t minutes, int32_t seconds,
                       int32_t milliseconds) {
    return static_cast<size_t>(FormatClock(out, hours, minutes, seconds, milliseconds) - out);
}

}  // namespace quillo
