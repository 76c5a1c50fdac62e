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

struct TimeRange {
    int32_t beginHours, beginMinutes, beginSeconds, beginMilliseconds;
    int32_t endHours, endMinutes, endSeconds, endMilliseconds;
};

// True when all eight numbers are there; what follows the eighth is ignored.
bool ParseTimeLine(std::string_view line, TimeRange& out);

// Appends `<Time Begin="H:MM:SS.CC" End="H:MM:SS.CC" /><clear/> ` (with the
// trailing blank); fields print as printf's %d and %02d would.
void AppendTimeTag(std::string& out, const TimeRange& range);

}  // namespace quillo
