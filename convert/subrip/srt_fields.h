// The two structured lines of a SubRip entry, read with the C library's
// rules (atol, and scanf's "%d:%d:%d,%d --> %d:%d:%d,%d") but with 32-bit
// wrap-around on overflow, as the files written for those rules expect.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillo {

// atol: skip white space, optional sign, decimal digits up to the first other
// byte; no digits gives 0.
int32_t ParseIndex(std::string_view line);
// The same for a line followed by kSearchPadding readable bytes, as the
// reader's lines are: eight digits at once (srt_fields_fast.cpp).
int32_t ParseIndexOfPaddedLine(std::string_view line);

// Whether a number as written, its sign and digits, does not fit in 32 bits,
// and so reads as another.
bool PastThirtyTwoBits(std::string_view signAndDigits);

// Whether `line` holds "-->" after a ':', as a time line does whether or not
// its times read ("00:01:39 --> 00:01:41,04"); "3 -->" does not.
inline bool HoldsAnArrowAfterAClock(std::string_view line) {
    const size_t arrow = line.find("-->");
    return arrow != std::string_view::npos &&
           line.substr(0, arrow).find(':') != std::string_view::npos;
}

struct TimeRange {
    int32_t beginHours, beginMinutes, beginSeconds, beginMilliseconds;
    int32_t endHours, endMinutes, endSeconds, endMilliseconds;
};

// Where the general reading found each number (its sign or first digit, and
// how many digits it had), and where it stopped: after the eighth number, or
// at what it could not match, which was `expected` (a digit '0', ':', ',' or
// '-' for the arrow).
struct TimeLineLayout {
    size_t start[8];
    size_t digits[8];
    size_t stop;
    char expected;
};

// The general reading of the pattern, for every shape the rules allow: true
// when all eight numbers are there; what follows the eighth is ignored.
bool ScanTimeLine(std::string_view line, TimeRange& out, TimeLineLayout* layout = nullptr);
// Its fast path (srt_fields_fast.cpp): the usual shape, "H:MM:SS,mmm -->
// H:MM:SS,mmm" with hours of up to seven digits and nothing but a non-digit
// after it; false for every other line, which ScanTimeLine then reads.
bool ParseUsualTimeLine(std::string_view line, TimeRange& out);

// Whether a line found among an entry's text reads as a time line: a clock,
// "-->", and eight numbers (an entry whose empty line before it is missing).
inline bool ReadsAsATimeLine(std::string_view line) {
    TimeRange times;
    return HoldsAnArrowAfterAClock(line) &&
           (ParseUsualTimeLine(line, times) || ScanTimeLine(line, times));
}

// `<Time Begin="H:MM:SS.CC" End="H:MM:SS.CC" /><clear/> ` (with the trailing
// blank); fields print as printf's %d and %02d would. FormatTimeTag writes it
// to `out`, which has room for kMaxTimeTagLength bytes, and returns its length.
inline constexpr size_t kMaxTimeTagLength = 128;
size_t FormatTimeTag(char* out, const TimeRange& range);
// One clock of the tag, "H:MM:SS.CC", for messages about it: written to
// `out`, which has room for kMaxClockLength bytes; returns its length.
inline constexpr size_t kMaxClockLength = 48;
size_t FormatClockText(char* out, int32_t hours, int32_t minutes, int32_t seconds,
                       int32_t milliseconds);

// FormatTimeTag's fast path (srt_fields_fast.cpp): the tag of a time line of
// the usual shape (as ParseUsualTimeLine reads it), copied from its digits
// without reading the numbers; 0 for any other line. `out` needs
// kMaxTimeTagLength bytes.
size_t UsualTimeTag(std::string_view line, char* out);
// The same, reading the eight numbers on the way, for a conversion whose
// check needs them too: one reading of the line instead of two.
size_t UsualTimeTagAndRange(std::string_view line, char* out, TimeRange& range);

}  // namespace quillo
