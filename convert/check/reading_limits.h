// What a viewer can read of an entry in the time it shows: the limits of
// reading speed, line length, line count, duration and the gap after the
// entry before, and the characters counted against them. srt2rt's check
// holds a file to them when asked; the window never does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "code_page.h"

namespace quillo {

enum class ReadingLimit : uint8_t {
    CharactersPerSecond,  // the most
    LineLength,           // the most characters a line
    LineCount,            // the most lines an entry
    ShortestDuration,
    LongestDuration,
    ShortestGap,
};
inline constexpr size_t kReadingLimitCount = 6;

// Each limit in thousandths of its unit (characters a second, characters,
// lines, seconds), so that 0.7 s and 17.5 characters a second are exact;
// 0 turns a limit off.
struct ReadingLimits {
    int64_t thousandths[kReadingLimitCount] = {};

    int64_t Of(ReadingLimit limit) const { return thousandths[static_cast<size_t>(limit)]; }
    bool Any() const;
};

// 20 characters a second, 42 characters a line, 2 lines, 0.7 s to 7 s, no gap.
ReadingLimits DefaultReadingLimits();

// What a viewer reads of one text line: its characters, without tags or
// override blocks, a character reference as one, a '|' as the space of the
// line break it becomes, a multi-byte character as one (UTF-8 where the line
// is UTF-8, else a lead and a trail byte of `walked`'s as one); and the
// lines the player shows it as, one more at each '|'.
struct TextReading {
    uint64_t characters;
    uint64_t lines;
    uint64_t longest;  // the characters of the longest of those lines
    size_t longestAt;  // the byte where it starts
};
// `special`: whether the line may hold '|' or markup (TextLine's
// MayHoldSpecialBytes); most lines hold neither, and are counted fast. The
// line is followed by kSearchPadding readable bytes, as the reader's are.
TextReading ReadingOf(std::string_view line, bool special, const CodePage& walked);

// Whether `line` holds a byte of 0x80 or more: the characters of a line
// without are its bytes. Sixteen bytes at a time, in the line's padding.
inline bool HoldsHighBytes(std::string_view line) {
    const char* p = line.data();
    const char* const end = p + line.size();
#ifdef __SSE2__
    unsigned high = 0;
    for (; end - p > 16; p += 16) {
        high |= static_cast<unsigned>(
            _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
    }
    // The last 16 bytes or fewer; those past the end are the padding's.
    const unsigned last = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
    return (high | (last & ((1u << (end - p)) - 1))) != 0;
#else
    uint64_t high = 0;
    for (uint64_t word; end - p >= 8; p += 8) {
        std::memcpy(&word, p, 8);
        high |= word;
    }
    for (; p < end; ++p) {
        high |= static_cast<unsigned char>(*p);
    }
    return (high & 0x8080808080808080ull) != 0;
#endif
}

// What the check keeps to hold entries to the limits: the limits as the
// counts and times compare with them, the entry being read, and the last
// entry with text whose times read, for the gap. What costs a division is
// worked out once a run, what is worked out once an entry is kept for its
// lines, and a line costs a few additions and comparisons.
struct ReadingState {
    explicit ReadingState(const ReadingLimits& limits = {});

    // At the first text line of entry `ordinal`, whose time line is `line`:
    // `read` when its times (in milliseconds) read.
    void StartEntry(int32_t ordinal, bool read, int64_t from, int64_t to, uint64_t line) {
        entry = ordinal;
        characters = 0;
        lines = 0;
        pastLine = 0;
        timed = read;
        begin = from;
        end = to;
        timeLine = line;
        const int64_t shown = to - from;  // at or below 0, end-before-begin says so
        // A figure past the limit, ceil(characters / shown) > fastest, is as
        // many characters as pass this.
        budget = read && shown > 0 && shown <= budgetedTo
                     ? static_cast<uint64_t>(fastest * shown / 1000000)
                     : UINT64_MAX;
        const int64_t gap = from - previousEnd;  // below 0, order or overlap says so
        says = read && shown > 0 &&
               (shown < shortestShown || shown > longestShown ||
                (previousEntry != 0 && gap >= 0 && gap < leastGap));
    }
    // Counts a text line in; true when it passes the lines, or its longest
    // line the characters, that the limits allow.
    bool Count(uint64_t lineCharacters, uint64_t shownLines, uint64_t longest) {
        characters += lineCharacters + (lines != 0 ? 1 : 0);  // a line break as a space
        lines += shownLines;
        return longest > mostInALine || (lines > mostLines && pastLine == 0);
    }
    // Whether the entry, read to its end, passes the reading speed or the lines.
    bool PastAtTheEnd() const { return characters > budget || pastLine != 0; }

    // The limits, in their units; where one is off, a value no count passes.
    uint64_t mostInALine;
    uint64_t mostLines;
    int64_t shortestShown;  // milliseconds
    int64_t longestShown;
    int64_t leastGap;
    int64_t fastest;     // characters a second, in thousandths; 0 where off
    int64_t budgetedTo;  // the longest time the speed's budget is worked out for
    // The entry being read.
    int32_t entry = 0;   // its ordinal, from its first text line on
    bool timed = false;  // its times read
    bool says = false;   // its times pass a limit, said at its first text
    int64_t begin = 0;   // in milliseconds
    int64_t end = 0;
    uint64_t timeLine = 0;
    uint64_t budget = UINT64_MAX;  // the most characters the reading speed allows it
    uint64_t characters = 0;       // each line break as one
    uint64_t lines = 0;            // 0 before its first text line
    uint64_t pastLine = 0;         // where its lines pass the limit
    int32_t previousEntry = 0;
    int64_t previousEnd = 0;
};

// `value`, in thousandths, in decimal with the decimals it needs (23.4, 20,
// 0.04), written at `to`, which has room for kMaxThousandthsLength bytes;
// returns where it ends.
inline constexpr size_t kMaxThousandthsLength = 26;
char* WriteThousandths(char* to, int64_t value);

}  // namespace quillo
