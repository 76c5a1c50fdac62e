// The fast paths of the field scanners: the usual index line and the usual
// time line, read eight bytes at a time. Each answers for the shapes it knows
// and leaves every other line to the general code in srt_fields.cpp, which
// the fuzzers hold it to.
#include <algorithm>
#include <cstring>

#include "srt_fields.h"

namespace quillo {
namespace {

// The four-word reading of the usual time line pays where words are 64 bits;
// on 32-bit builds each word is two, and the shorter paths do better.
constexpr bool kWordsAre64Bits = sizeof(void*) == 8;

// The word tricks below read bytes in memory order as a little-endian word.
constexpr bool kWordsAreLittleEndian =
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    true;
#else
    false;
#endif

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

bool IsDigit(char c) {
    return static_cast<unsigned>(static_cast<unsigned char>(c)) - unsigned{'0'} < 10;
}

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

// Two decimal digits at `p`, as a number; -1 when either is not a digit.
int TwoDigitsAt(const char* p) {
    const unsigned tens = static_cast<unsigned char>(p[0]) - unsigned{'0'};
    const unsigned ones = static_cast<unsigned char>(p[1]) - unsigned{'0'};
    return tens < 10 && ones < 10 ? static_cast<int>(tens * 10 + ones) : -1;
}

template <size_t N>
char* Literal(char* out, const char (&text)[N]) {
    std::memcpy(out, text, N - 1);
    return out + N - 1;
}

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

// The same clock read a byte at a time, where words are not little-endian:
// hours of up to nine digits, which cannot overflow either.
[[maybe_unused]] const char* UsualClockBytewise(const char* p, const char* end, int32_t* fields) {
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
}

// The four fields of a clock found by FindUsualClock.
[[gnu::always_inline]] inline void ReadUsualClock(const UsualClock& clock, int32_t* fields) {
    // Byte i of `pairs` is digit i times ten plus digit i + 1: minutes stand
    // in byte 1, seconds in byte 4 (no byte carries: each is at most 99).
    const uint64_t pairs = clock.tail * 10 + (clock.tail >> 8);
    const int32_t firstHour = static_cast<int32_t>(clock.hours & 0xFF);
    fields[0] = clock.hourDigits == 1 ? firstHour
                : clock.hourDigits == 2
                    ? static_cast<int32_t>((clock.hours * 10 + (clock.hours >> 8)) & 0xFF)
                    : static_cast<int32_t>(DigitsValue(clock.hours, clock.hourDigits));
    fields[1] = static_cast<int32_t>((pairs >> 8) & 0xFF);
    fields[2] = static_cast<int32_t>((pairs >> 32) & 0xFF);
    fields[3] = static_cast<int32_t>(clock.tail >> 56) * 100 + TwoDigitsAt(clock.colon + 8);
}

// Copies a clock found at `p` as the tag prints it, "H:MM:SS.CC": hours
// without leading zeros, the milliseconds cut to centiseconds, which for
// three digits are the first two.
[[gnu::always_inline]] inline void CopyUsualClock(const char* p, const UsualClock& clock,
                                                  char*& out) {
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
}

// "H:MM:SS,mmm" at `p` into four fields, within `end`; returns where it
// ends, or nullptr.
const char* UsualClockAt(const char* p, const char* end, int32_t* fields) {
    if constexpr (!kWordsAreLittleEndian) {
        return UsualClockBytewise(p, end, fields);
    }
    UsualClock clock;
    if (!FindUsualClock(p, end, clock)) {
        return nullptr;
    }
    ReadUsualClock(clock, fields);
    return clock.colon + 10;
}

// One clock of the tag: found at `p`, read into `fields` when given, copied.
[[gnu::always_inline]] inline const char* TagClock(const char* p, const char* end, char*& out,
                                                   int32_t* fields) {
    UsualClock clock;
    if (!FindUsualClock(p, end, clock)) {
        return nullptr;
    }
    if (fields != nullptr) {
        ReadUsualClock(clock, fields);
    }
    CopyUsualClock(p, clock, out);
    return clock.colon + 10;
}

// The tag of a usual time line, "<Time Begin=... /><clear/> ", its clocks
// copied from their digits and, when `fields` is given, read into it too; 0
// for any other line. Little-endian words only.
[[gnu::always_inline]] inline size_t UsualTag(std::string_view line, char* out, int32_t* fields) {
    char* const start = out;
    const char* const end = line.data() + line.size();
    out = Literal(out, "<Time Begin=\"");
    const char* p = TagClock(line.data(), end, out, fields);
    if (p == nullptr || end - p < 5 || std::memcmp(p, " --> ", 5) != 0) {
        return 0;
    }
    out = Literal(out, "\" End=\"");
    p = TagClock(p + 5, end, out, fields != nullptr ? fields + 4 : nullptr);
    if (p == nullptr || (p < end && IsDigit(*p))) {
        return 0;
    }
    out = Literal(out, "\" /><clear/> ");
    return static_cast<size_t>(out - start);
}

// Eight bytes as the little-endian word that holds them.
constexpr uint64_t Word(const char (&text)[9]) {
    uint64_t word = 0;
    for (int i = 7; i >= 0; --i) {
        word = word << 8 | static_cast<unsigned char>(text[i]);
    }
    return word;
}

uint32_t Byte(uint64_t word, int i) {
    return static_cast<uint32_t>(word >> (8 * i)) & 0xFF;
}

// The last two hour digits and the rest of a clock, "HH:MM:SS,mmm", at
// `c`, read as two words XOR its shape, which leaves every digit 0 to 9 and
// every separator 0; `hundreds` are the hours before the last two.
[[gnu::always_inline]] inline bool ClockWords(const char* c, int32_t hundreds, int32_t* fields) {
    const uint64_t a = Load8(c) ^ Word("00:00:00");      // HH:MM:SS
    const uint64_t b = Load8(c + 4) ^ Word("0:00,000");  // M:SS,mmm
    constexpr uint64_t kTenUp = 0x7676767676767676ull;   // lifts 10 and more to 0x80
    if (((a & 0x0000FF0000FF0000ull) | (b & 0x000000FF0000FF00ull)) != 0 ||
        (((a + kTenUp) | a | (b + kTenUp) | b) & kHighBits) != 0) {
        return false;
    }
    // Byte i of a pair word is digit i times ten plus digit i + 1.
    const uint64_t pa = a * 10 + (a >> 8);
    const uint64_t pb = b * 10 + (b >> 8);
    fields[0] = hundreds * 100 + static_cast<int32_t>(Byte(pa, 0));
    fields[1] = static_cast<int32_t>(Byte(pa, 3));
    fields[2] = static_cast<int32_t>(Byte(pa, 6));
    fields[3] = static_cast<int32_t>(Byte(pb, 5) * 10 + Byte(b, 7));
    return true;
}

// "HH:MM:SS,mmm --> HH:MM:SS,mmm" with hours of two to four digits, the same
// in both clocks, as nearly every file writes them: read a word at a time,
// without a search for the colons.
[[gnu::always_inline]] inline bool ParseWordwiseTimeLine(std::string_view line, TimeRange& out) {
    const char* const p = line.data();
    if (line.size() < 29) {
        return false;
    }
    // The hours end at the first ':', two to four bytes in.
    const int hours = p[2] == ':' ? 2 : p[3] == ':' ? 3 : p[4] == ':' ? 4 : 0;
    const size_t length = 2 * static_cast<size_t>(hours) + 25;
    if (hours == 0 || line.size() < length || (line.size() > length && IsDigit(p[length]))) {
        return false;
    }
    // The hours before the last two: none, one digit or two.
    const auto hundreds = [&](const char* clock, int32_t& value) {
        const unsigned first = static_cast<unsigned char>(clock[0]) - unsigned{'0'};
        const unsigned second = static_cast<unsigned char>(clock[1]) - unsigned{'0'};
        value = hours == 2   ? 0
                : hours == 3 ? static_cast<int32_t>(first)
                             : static_cast<int32_t>(first * 10 + second);
        return hours == 2 || (first < 10 && (hours == 3 || second < 10));
    };
    const char* const second = p + hours + 15;
    int32_t f[8];
    int32_t high[2];
    if (!hundreds(p, high[0]) || !hundreds(second, high[1]) ||
        std::memcmp(p + hours + 10, " --> ", 5) != 0 || !ClockWords(p + hours - 2, high[0], f) ||
        !ClockWords(second + hours - 2, high[1], f + 4)) {
        return false;
    }
    out = TimeRange{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]};
    return true;
}

// The bytes of a shape that hold a digit ('0' in it), as a word's mask.
constexpr uint64_t DigitMask(const char (&shape)[9]) {
    uint64_t mask = 0;
    for (int i = 7; i >= 0; --i) {
        mask = mask << 8 | (shape[i] == '0' ? 0xFF : 0);
    }
    return mask;
}

// Eight bytes of a time line, as a word and the mask of its digits.
struct Shape {
    uint64_t word;
    uint64_t digits;
};
constexpr Shape ShapeOf(const char (&text)[9]) {
    return {Word(text), DigitMask(text)};
}

// Eight bytes at `p` XOR `shape`: 0 to 9 for each digit, 0 for each
// separator; false when a byte does not fit the shape.
[[gnu::always_inline]] inline bool ShapedWord(const char* p, Shape shape, uint64_t& x) {
    x = Load8(p) ^ shape.word;
    return (x & ~shape.digits) == 0 && AllBelowTen(x, shape.digits);
}

// "HH:MM:SS,mmm --> HH:MM:SS,mmm" with two hour digits, as nearly every
// file writes every time line: four words checked against the shape, and
// the numbers read from them without a search.
[[gnu::always_inline]] inline bool ParseTwoDigitHourLine(std::string_view line, TimeRange& out) {
    static constexpr Shape kFirst = ShapeOf("00:00:00");
    static constexpr Shape kArrow = ShapeOf(",000 -->");
    static constexpr Shape kSecond = ShapeOf(" 00:00:0");
    static constexpr Shape kLast = ShapeOf("0:00,000");
    const char* const p = line.data();
    uint64_t a, b, c, d;
    if (line.size() < 29 || (line.size() > 29 && IsDigit(p[29])) || !ShapedWord(p, kFirst, a) ||
        !ShapedWord(p + 8, kArrow, b) || !ShapedWord(p + 16, kSecond, c) ||
        !ShapedWord(p + 21, kLast, d)) {
        return false;
    }
    // Byte i of a pair word is digit i times ten plus digit i + 1.
    const uint64_t pa = a * 10 + (a >> 8);
    const uint64_t pb = b * 10 + (b >> 8);
    const uint64_t pc = c * 10 + (c >> 8);
    const uint64_t pd = d * 10 + (d >> 8);
    const auto byte = [](uint64_t word, int i) {
        return static_cast<int32_t>((word >> (8 * i)) & 0xFF);
    };
    out = TimeRange{byte(pa, 0), byte(pa, 3), byte(pa, 6), byte(pb, 1) * 10 + byte(b, 3),
                    byte(pc, 1), byte(pc, 4), byte(pd, 2), byte(pd, 5) * 10 + byte(d, 7)};
    return true;
}

// One clock of the tag from a clock of two hour digits at `clock`: the
// hours without a leading zero, the milliseconds cut to centiseconds.
[[gnu::always_inline]] inline char* PutTwoDigitHourClock(char* out, const char* clock) {
    const int zero = clock[0] == '0' ? 1 : 0;
    const int kept = 8 - zero;  // "H:MM:SS" or "HH:MM:SS"
    std::memcpy(out, clock + zero, 8);
    out[kept] = '.';
    std::memcpy(out + kept + 1, clock + 9, 2);
    return out + kept + 3;
}

// One clock of the tag, "H:MM:SS.CC", from a clock of the wordwise shape at
// `clock` whose hours, `hourDigits` of them, read `hours`: the hours as %d
// prints them, the rest copied from the line.
[[gnu::always_inline]] inline char* PutWordwiseClock(char* out, const char* clock, int hourDigits,
                                                     int32_t hours) {
    if (hours < 10) {
        *out++ = static_cast<char>('0' + hours);
    } else if (hours < 100) {
        out[0] = static_cast<char>('0' + hours / 10);
        out[1] = static_cast<char>('0' + hours % 10);
        out += 2;
    } else {
        const int shown = hours < 1000 ? 3 : 4;
        for (int i = shown - 1, h = hours; i >= 0; --i, h /= 10) {
            out[i] = static_cast<char>('0' + h % 10);
        }
        out += shown;
    }
    const char* const colon = clock + hourDigits;
    std::memcpy(out, colon, 6);  // ":MM:SS"
    out[6] = '.';
    out[7] = colon[7];
    out[8] = colon[8];
    return out + 9;
}

// The tag of a line ParseWordwiseTimeLine reads, its times read into
// `range`; 0 for any other line. Nearly every time line takes this way.
[[gnu::always_inline]] inline size_t WordwiseTag(std::string_view line, char* out,
                                                 TimeRange& range) {
    const char* const p = line.data();
    char* const start = out;
    if (kWordsAre64Bits && ParseTwoDigitHourLine(line, range)) {
        out = Literal(out, "<Time Begin=\"");
        out = PutTwoDigitHourClock(out, p);
        out = Literal(out, "\" End=\"");
        out = PutTwoDigitHourClock(out, p + 17);
        out = Literal(out, "\" /><clear/> ");
        return static_cast<size_t>(out - start);
    }
    if (!ParseWordwiseTimeLine(line, range)) {
        return 0;
    }
    const int hours = p[2] == ':' ? 2 : p[3] == ':' ? 3 : 4;
    out = Literal(out, "<Time Begin=\"");
    out = PutWordwiseClock(out, p, hours, range.beginHours);
    out = Literal(out, "\" End=\"");
    out = PutWordwiseClock(out, p + hours + 15, hours, range.endHours);
    out = Literal(out, "\" /><clear/> ");
    return static_cast<size_t>(out - start);
}

}  // namespace

// "H:MM:SS,mmm --> H:MM:SS,mmm", then anything but a digit (which would
// extend the last number). Every other shape goes to the general scanner.
bool ParseUsualTimeLine(std::string_view line, TimeRange& out) {
    if (kWordsAreLittleEndian && ((kWordsAre64Bits && ParseTwoDigitHourLine(line, out)) ||
                                  ParseWordwiseTimeLine(line, out))) {
        return true;
    }
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

int32_t ParseIndexOfPaddedLine(std::string_view line) {
    // One to eight digits, read as one word: the usual index line.
    if (kWordsAreLittleEndian && line.size() - 1 < 8) {
        const int count = static_cast<int>(line.size());
        const uint64_t digits = Load8(line.data()) ^ (kOnes * '0');
        if (AllBelowTen(digits, ~uint64_t{0} >> (8 * (8 - count)))) {
            return static_cast<int32_t>(DigitsValue(digits, count));
        }
    }
    return ParseIndex(line);
}

size_t UsualTimeTag(std::string_view line, char* out) {
    if constexpr (!kWordsAreLittleEndian) {
        return 0;
    }
    TimeRange range;
    if (const size_t length = WordwiseTag(line, out, range); length != 0) {
        return length;
    }
    return UsualTag(line, out, nullptr);
}

size_t UsualTimeTagAndRange(std::string_view line, char* out, TimeRange& range) {
    if constexpr (!kWordsAreLittleEndian) {
        return 0;
    }
    if (const size_t length = WordwiseTag(line, out, range); length != 0) {
        return length;
    }
    int32_t f[8];
    const size_t length = UsualTag(line, out, f);
    if (length != 0) {
        range = TimeRange{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]};
    }
    return length;
}

}  // namespace quillo
