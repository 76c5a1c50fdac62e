#include "srt_fields.h"

#include <cstddef>

namespace quillo {
namespace {

// The C locale's isspace, without its locale lookups.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads an optionally signed decimal at `pos`, accumulating in unsigned
// arithmetic so that overflow wraps instead of being undefined. Leading white
// space is skipped when `skipSpace`. Returns false when no digit follows.
bool ScanInteger(std::string_view text, size_t& pos, bool skipSpace, int32_t& out) {
    size_t p = pos;
    if (skipSpace) {
        while (p < text.size() && IsSpace(text[p])) {
            ++p;
        }
    }
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
        negative = text[p] == '-';
        ++p;
    }
    if (p == text.size() || !IsDigit(text[p])) {
        return false;
    }
    uint32_t value = 0;
    for (; p < text.size() && IsDigit(text[p]); ++p) {
        value = value * 10u + static_cast<uint32_t>(text[p] - '0');
    }
    if (negative) {
        value = 0u - value;
    }
    out = static_cast<int32_t>(value);  // modular since C++20, and on every compiler we use
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

// printf("%d") for minutes-and-smaller fields would be "%02d": at least
// `width` digits, zero-filled, the minus sign in front of the zeros.
void AppendNumber(std::string& out, int32_t value, int width) {
    char digits[12];
    int count = 0;
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0);
    if (value < 0) {
        out.push_back('-');
        --width;  // printf counts the sign in the field width
    }
    for (int i = count; i < width; ++i) {
        out.push_back('0');
    }
    while (count > 0) {
        out.push_back(digits[--count]);
    }
}

void AppendClock(std::string& out, int32_t hours, int32_t minutes, int32_t seconds,
                 int32_t milliseconds) {
    AppendNumber(out, hours, 1);
    out.push_back(':');
    AppendNumber(out, minutes, 2);
    out.push_back(':');
    AppendNumber(out, seconds, 2);
    out.push_back('.');
    AppendNumber(out, milliseconds / 10, 2);  // truncates toward zero, as C does
}

}  // namespace

int32_t ParseIndex(std::string_view line) {
    size_t pos = 0;
    int32_t value = 0;
    return ScanInteger(line, pos, true, value) ? value : 0;
}

bool ParseTimeLine(std::string_view line, TimeRange& out) {
    // Each %d skips white space itself; ':' and ',' must follow a number
    // directly; each blank around "-->" matches any run of white space.
    size_t pos = 0;
    TimeRange r{};
    bool ok = ScanInteger(line, pos, true, r.beginHours) && ScanLiteral(line, pos, ":") &&
              ScanInteger(line, pos, true, r.beginMinutes) && ScanLiteral(line, pos, ":") &&
              ScanInteger(line, pos, true, r.beginSeconds) && ScanLiteral(line, pos, ",") &&
              ScanInteger(line, pos, true, r.beginMilliseconds);
    if (!ok) {
        return false;
    }
    SkipSpace(line, pos);
    if (!ScanLiteral(line, pos, "-->")) {
        return false;
    }
    SkipSpace(line, pos);
    ok = ScanInteger(line, pos, true, r.endHours) && ScanLiteral(line, pos, ":") &&
         ScanInteger(line, pos, true, r.endMinutes) && ScanLiteral(line, pos, ":") &&
         ScanInteger(line, pos, true, r.endSeconds) && ScanLiteral(line, pos, ",") &&
         ScanInteger(line, pos, true, r.endMilliseconds);
    if (!ok) {
        return false;
    }
    out = r;
    return true;
}

void AppendTimeTag(std::string& out, const TimeRange& r) {
    out.append("<Time Begin=\"");
    AppendClock(out, r.beginHours, r.beginMinutes, r.beginSeconds, r.beginMilliseconds);
    out.append("\" End=\"");
    AppendClock(out, r.endHours, r.endMinutes, r.endSeconds, r.endMilliseconds);
    out.append("\" /><clear/> ");
}

}  // namespace quillo
