// Field readings the tests compare against: the whole time-line reading (the
// fast path, then the general scanner) and the tag appended to a string.
#pragma once

#include <string>
#include <string_view>

#include "srt_fields.h"

namespace quillo::test {

inline bool ParseTimeLine(std::string_view line, TimeRange& out) {
    return ParseUsualTimeLine(line, out) || ScanTimeLine(line, out, nullptr);
}

inline void AppendTimeTag(std::string& out, const TimeRange& range) {
    char tag[kMaxTimeTagLength];
    out.append(tag, FormatTimeTag(tag, range));
}

}  // namespace quillo::test
