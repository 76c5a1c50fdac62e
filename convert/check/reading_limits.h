// What a viewer can read of an entry in the time it shows: the limits of
// reading speed, line length, line count, duration and the gap after the
// entry before, and the characters counted against them. srt2rt's check
// holds a file to them when asked; the window never does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

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

// The entry being read, and the one with text before it, for the check.
struct ReadingState {
    bool timed = false;  // its times read
    int64_t begin = 0;   // in milliseconds
    int64_t end = 0;
    uint64_t timeLine = 0;
    uint64_t textLines = 0;
    uint64_t characters = 0;  // each line break as one
    uint64_t lines = 0;
    uint64_t pastLine = 0;  // where its lines pass the limit, and the column
    size_t pastColumn = 0;
    // The last entry with text whose times read, for the gap.
    int32_t previousEntry = 0;
    int64_t previousEnd = 0;
};

// `value`, in thousandths, in decimal with the decimals it needs (23.4, 20,
// 0.04), written at `to`, which has room for kMaxThousandthsLength bytes;
// returns where it ends.
inline constexpr size_t kMaxThousandthsLength = 26;
char* WriteThousandths(char* to, int64_t value);

}  // namespace quillo
