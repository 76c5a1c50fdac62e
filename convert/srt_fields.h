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
// reader's lines are: eight digits at once.
int32_t ParseIndexOfPaddedLine(std::string_view line);

struct TimeRange {
    int32_t beginHours, beginMinutes, beginSeconds, beginMilliseconds;
    int32_t endHours, endMinutes, endSeconds, endMilliseconds;
};

// True when all eight numbers are there; what follows the eighth is ignored.
// The usual "HH:MM:SS,mmm --> HH:MM:SS,mmm" is read by a fast path, any other
// shape by ScanTimeLine.
bool ParseTimeLine(std::string_view line, TimeRange& out);

// The general reading of the pattern, for every shape the rules allow.
bool ScanTimeLine(std::string_view line, TimeRange& out);

// `<Time Begin="H:MM:SS.CC" End="H:MM:SS.CC" /><clear/> ` (with the trailing
// blank); fields print as printf's %d and %02d would. FormatTimeTag writes it
// to `out`, which has room for kMaxTimeTagLength bytes, and returns its length.
inline constexpr size_t kMaxTimeTagLength = 128;
size_t FormatTimeTag(char* out, const TimeRange& range);
void AppendTimeTag(std::string& out, const TimeRange& range);

// The tag of a time line of the usual shape (as for ParseTimeLine's fast
// path, hours of up to seven digits), copied from its digits without reading
// the numbers: FormatTimeTag's bytes, or 0 for any other line. `out` needs
// kMaxTimeTagLength bytes.
size_t UsualTimeTag(std::string_view line, char* out);

}  // namespace quillo
