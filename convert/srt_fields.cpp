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

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

uint64_t Load8(const char* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

// The bytes of `x` below `mask` are all 0 to 9.
bool AllBelowTen(uint64_t x, uint64_t mask) {
    return (((x + 0x7676767676767676ull) | x) & kHighBits & mask) == 0;
}

// The number the low `count` (1 to 8) bytes of `digits` spell, each 0 to 9
// and the most significant first.
uint32_t DigitsValue(uint64_t digits, int count) {
    digits <<= 8 * (8 - count);
    uint64_t v = (digits * 10 + (digits >> 8)) & 0x00FF00FF00FF00FFull;  // pairs
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFull;                   // quads
    return static_cast<uint32_t>((v * 10000 + (v >> 32)) & 0xFFFFFFFFull);
}

#endif

// Two decimal digits at `p`, as a number; -1 when either is not a digit.
int TwoDigitsAt(const char* p) {
    const unsigned tens = static_cast<unsigned char>(p[0]) - unsigned{'0'};
    const unsigned ones = static_cast<unsigned char>(p[1]) - unsigned{'0'};
    return tens < 10 && ones < 10 ? static_cast<int>(tens * 10 + ones) : -1;
}

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
// The usual clock "H:MM:SS,mmm" at `p`, within `end`, hours of one to seven
// digits: where its ':' stands, and its bytes XOR '0' (the hours) and XOR
// ":00:00,0" (the eight bytes from the ':'), each 0 to 9 or a separator's 0.
struct UsualClock {
    int hourDigits;
    uint64_t hours;
    const char* colon;
    uint64_t tail;
};

[[gnu::always_inline]] inline bool FindUsualClock(const char* p, const char* end,
                                                  UsualClock& clock) {
    if (end - p < 11) {
        return false;
    }
    const uint64_t head = Load8(p);
    const uint64_t colons = head ^ (kOnes * ':');
    const uint64_t firstColon = (colons - kOnes) & ~colons & kHighBits;
    clock.hourDigits = firstColon != 0 ? __builtin_ctzll(firstColon) / 8 : 0;
    clock.hours = head ^ (kOnes * '0');
    if (clock.hourDigits == 0 ||
        !AllBelowTen(clock.hours, (uint64_t{1} << (8 * clock.hourDigits)) - 1)) {
        return false;
    }
    clock.colon = p + clock.hourDigits;
    if (end - clock.colon < 10) {
        return false;
    }
    clock.tail = Load8(clock.colon) ^ 0x302C30303A30303Aull;  // ":00:00,0", first byte lowest
    return AllBelowTen(clock.tail, ~uint64_t{0}) && (clock.tail & 0x00FF0000FF0000FFull) == 0 &&
           IsDigit(clock.colon[8]) && IsDigit(clock.colon[9]);
}
#endif

// "H:MM:SS,mmm" at `p` into four fields, within `end`; returns where it
// ends, or nullptr. Hours of one to seven digits (nine where words are not
// read little-endian), so that they cannot overflow.
const char* UsualClockAt(const char* p, const char* end, int32_t* fields) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    UsualClock clock;
    if (!FindUsualClock(p, end, clock)) {
        return nullptr;
    }
    const auto byte = [&clock](int i) {
        return static_cast<int32_t>((clock.tail >> (8 * i)) & 0xFF);
    };
    fields[0] = static_cast<int32_t>(DigitsValue(clock.hours, clock.hourDigits));
    fields[1] = byte(1) * 10 + byte(2);
    fields[2] = byte(4) * 10 + byte(5);
    fields[3] = byte(7) * 100 + TwoDigitsAt(clock.colon + 8);
    return clock.colon + 10;
#else
    if (end - p < 11) {
        return nullptr;
    }
    const char* const limit = std::min(p + 9, end - 10);
    int32_t hours = 0;
    const char* colon = p;
    for (unsigned d; colon < limit && (d = static_cast<unsigned char>(*colon) - unsigned{'0'}) < 10;
         ++colon) {
        hours = hours * 10 + static_cast<int32_t>(d);
    }
    const int minutes = TwoDigitsAt(colon + 1);
    const int seconds = TwoDigitsAt(colon + 4);
    const int high = TwoDigitsAt(colon + 7);
    const unsigned last = static_cast<unsigned char>(colon[9]) - unsigned{'0'};
    if (colon == p || colon[0] != ':' || colon[3] != ':' || colon[6] != ',' ||
        (minutes | seconds | high) < 0 || last >= 10) {
        return nullptr;
    }
    fields[0] = hours;
    fields[1] = minutes;
    fields[2] = seconds;
    fields[3] = high * 10 + static_cast<int>(last);
    return colon + 10;
#endif
}

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__

// Copies the clock "H:MM:SS,mmm" at `p` (1 to 7 hour digits) as the tag
// prints it, "H:MM:SS.CC": hours without leading zeros, the milliseconds cut
// to centiseconds, which for three digits are the first two. Returns the end
// of the clock, or nullptr.
const char* CopyUsualClock(const char* p, const char* end, char*& out) {
    UsualClock clock;
    if (!FindUsualClock(p, end, clock)) {
        return nullptr;
    }
    const int hourDigits = clock.hourDigits;
    const char* const colon = clock.colon;
    // Leading zeros go, but not the last hour digit.
    const uint64_t significant = clock.hours & ((uint64_t{1} << (8 * (hourDigits - 1))) - 1);
    const int zeros = significant != 0 ? __builtin_ctzll(significant) / 8 : hourDigits - 1;
    std::memcpy(out, p + zeros, 8);
    out += hourDigits - zeros;
    std::memcpy(out, colon, 6);  // ":MM:SS"
    out[6] = '.';
    out[7] = colon[7];
    out[8] = colon[8];
    out += 9;
    return colon + 10;
}
#endif

}  // namespace

// "H:MM:SS,mmm --> H:MM:SS,mmm", then anything but a digit (which would
// extend the last number). Every other shape goes to the general scanner.
bool ParseUsualTimeLine(std::string_view line, TimeRange& out) {
    const char* const end = line.data() + line.size();
    int32_t f[8];
    const char* p = UsualClockAt(line.data(), end, f);
    if (p == nullptr || end - p < 5 || std::memcmp(p, " --> ", 5) != 0) {
        return false;
    }
    p = UsualClockAt(p + 5, end, f + 4);
    if (p == nullptr || (p < end && IsDigit(*p))) {
        return false;
    }
    out = TimeRange{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]};
    return true;
}

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

int32_t ParseIndexOfPaddedLine(std::string_view line) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // One to eight digits, read as one word: the usual index line.
    if (line.size() - 1 < 8) {
        const int count = static_cast<int>(line.size());
        const uint64_t digits = Load8(line.data()) ^ (kOnes * '0');
        if (AllBelowTen(digits, ~uint64_t{0} >> (8 * (8 - count)))) {
            return static_cast<int32_t>(DigitsValue(digits, count));
        }
    }
#endif
    return ParseIndex(line);
}

bool ParseTimeLine(std::string_view line, TimeRange& out) {
    return ParseUsualTimeLine(line, out) || ScanTimeLine(line, out, nullptr);
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

size_t UsualTimeTag(std::string_view line, char* out) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    char* const start = out;
    const char* const end = line.data() + line.size();
    out = Literal(out, "<Time Begin=\"");
    const char* p = CopyUsualClock(line.data(), end, out);
    if (p == nullptr || end - p < 5 || std::memcmp(p, " --> ", 5) != 0) {
        return 0;
    }
    out = Literal(out, "\" End=\"");
    p = CopyUsualClock(p + 5, end, out);
    if (p == nullptr || (p < end && IsDigit(*p))) {
        return 0;
    }
    out = Literal(out, "\" /><clear/> ");
    return static_cast<size_t>(out - start);
#else
    (void)line;
    (void)out;
    return 0;
#endif
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

void AppendTimeTag(std::string& out, const TimeRange& range) {
    char tag[kMaxTimeTagLength];
    out.append(tag, FormatTimeTag(tag, range));
}

}  // namespace quillo
