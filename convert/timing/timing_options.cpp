#include "timing_options.h"

namespace quillo {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Leading digits of `text` (at most `most` of them), consumed; false for none
// or too many.
bool Digits(std::string_view& text, size_t most, uint64_t& value, size_t* count = nullptr) {
    size_t n = 0;
    value = 0;
    while (n < text.size() && IsDigit(text[n])) {
        if (++n > most) {
            return false;
        }
        value = value * 10 + static_cast<uint64_t>(text[n - 1] - '0');
    }
    text.remove_prefix(n);
    if (count != nullptr) {
        *count = n;
    }
    return n > 0;
}

// SECONDS[.mmm], M:SS[.mmm] or H:MM:SS[.mmm] (',' for '.' as well), to the
// millisecond and within kLatestTime; the whole of `text`.
bool ReadClock(std::string_view text, int64_t& ms) {
    uint64_t parts[3];
    int count = 0;
    for (;;) {
        if (count == 3 || !Digits(text, 12, parts[count++])) {
            return false;
        }
        if (text.empty() || text[0] != ':') {
            break;
        }
        text.remove_prefix(1);
    }
    uint64_t fraction = 0;
    if (!text.empty() && (text[0] == '.' || text[0] == ',')) {
        text.remove_prefix(1);
        size_t digits = 0;
        if (!Digits(text, 3, fraction, &digits)) {
            return false;  // none, or finer than a millisecond
        }
        for (; digits < 3; ++digits) {
            fraction *= 10;
        }
    }
    if (!text.empty() || (count >= 2 && parts[count - 1] > 59) || (count == 3 && parts[1] > 59)) {
        return false;
    }
    uint64_t seconds = 0;
    for (int i = 0; i < count; ++i) {
        seconds = seconds * 60 + parts[i];  // 12 digits of hours times 3600 fits
    }
    if (seconds > static_cast<uint64_t>(kLatestTime / 1000)) {
        return false;
    }
    ms = static_cast<int64_t>(seconds * 1000 + fraction);
    return ms <= kLatestTime;
}

// 25, 23.976 (or 23,976) or 24000/1001, as scale / divisor, each of at most
// nine digits so that FROM/TO fits 64 bits.
bool ReadRate(std::string_view text, uint64_t& scale, uint64_t& divisor) {
    size_t whole = 0;
    if (!Digits(text, 9, scale, &whole)) {
        return false;
    }
    divisor = 1;
    if (!text.empty() && text[0] == '/') {
        text.remove_prefix(1);
        return Digits(text, 9, divisor) && text.empty();
    }
    if (!text.empty() && (text[0] == '.' || text[0] == ',')) {
        text.remove_prefix(1);
        for (size_t digits = whole; !text.empty() && IsDigit(text[0]); text.remove_prefix(1)) {
            if (++digits > 9) {
                return false;
            }
            scale = scale * 10 + static_cast<uint64_t>(text[0] - '0');
            divisor *= 10;
        }
    }
    return text.empty();
}

void Name(TimingRequest& request, std::string_view option, std::string_view value) {
    if (!request.option.empty()) {
        request.option += ' ';
    }
    request.option.append(option).append(value);
}

void AppendTime(std::string& out, int64_t ms) {
    TextBuilder text;
    AppendSubRipTime(text, ms);
    out.append(text.View());
}

}  // namespace

bool ReadShift(std::string_view value, TimingRequest& request, std::string& error) {
    if (request.shifted) {
        error = "option '--shift' is given twice: give the whole offset once";
        return false;
    }
    std::string_view clock = value;
    const bool back = !clock.empty() && clock[0] == '-';
    if (!clock.empty() && (clock[0] == '-' || clock[0] == '+')) {
        clock.remove_prefix(1);
    }
    int64_t ms;
    if (!ReadClock(clock, ms)) {
        error =
            "option '--shift' needs an OFFSET in seconds or as a clock, to the millisecond and "
            "within 99999:59:59,999, such as +1.5, -0.250, -00:00:02,500 or 1:02.3";
        return false;
    }
    request.shifted = true;
    request.shift = back ? -ms : ms;
    Name(request, "--shift=", value);
    return true;
}

bool ReadFps(std::string_view value, TimingRequest& request, std::string& error) {
    if (request.rescaled) {
        error = "option '--fps' is given twice: give FROM:TO once";
        return false;
    }
    const size_t colon = value.find(':');
    uint64_t fromScale;
    uint64_t fromDivisor;
    uint64_t toScale;
    uint64_t toDivisor;
    if (colon == std::string_view::npos ||
        !ReadRate(value.substr(0, colon), fromScale, fromDivisor) ||
        !ReadRate(value.substr(colon + 1), toScale, toDivisor) || fromDivisor == 0 ||
        toDivisor == 0) {
        error =
            "option '--fps' needs FROM:TO, two frame rates such as 23.976:25 or 24000/1001:25 "
            "(at most nine digits each)";
        return false;
    }
    if (fromScale == 0 || toScale == 0) {
        error = "option '--fps' has a rate of 0: both rates must be above 0";
        return false;
    }
    // Times scale by FROM/TO: a film made for 23.976 frames a second runs
    // shorter at 25.
    request.rescaled = true;
    request.scale = fromScale * toDivisor;
    request.divisor = fromDivisor * toScale;
    Name(request, "--fps=", value);
    return true;
}

bool ReadSync(std::string_view value, TimingRequest& request, std::string& error) {
    if (request.syncPoints != 0) {
        error = "option '--sync' is given twice: give both points in one";
        return false;
    }
    // A TIME may hold a ',' itself: the points part at the ',' before the second '@'.
    std::string_view points[2] = {value, {}};
    int count = 1;
    const size_t firstAt = value.find('@');
    const size_t secondAt =
        firstAt == std::string_view::npos ? firstAt : value.find('@', firstAt + 1);
    if (secondAt != std::string_view::npos) {
        const size_t comma = value.rfind(',', secondAt);
        if (comma == std::string_view::npos || comma < firstAt) {
            count = 0;  // no place to part them: it does not read
        } else {
            points[0] = value.substr(0, comma);
            points[1] = value.substr(comma + 1);
            count = 2;
        }
    }
    bool reads = count > 0;
    for (int i = 0; i < count && reads; ++i) {
        std::string_view point = points[i];
        uint64_t entry = 0;
        reads = Digits(point, 10, entry) && entry >= 1 && entry <= INT32_MAX && !point.empty() &&
                point[0] == '@' && ReadClock(point.substr(1), request.sync[i].time);
        request.sync[i].entry = static_cast<int32_t>(entry);
    }
    if (!reads) {
        error =
            "option '--sync' needs ENTRY@TIME or ENTRY@TIME,ENTRY@TIME, entries counted from 1 "
            "and times as clocks or seconds: 1@0:00:12,500,800@1:02:03,000";
        return false;
    }
    if (count == 2) {
        const TimingRequest::SyncPoint& a = request.sync[0];
        const TimingRequest::SyncPoint& b = request.sync[1];
        if (a.entry == b.entry) {
            error = "option '--sync' names entry " + std::to_string(a.entry) +
                    " twice: the two points need two entries";
            return false;
        }
        if (a.entry > b.entry) {
            error = "option '--sync' names entry " + std::to_string(a.entry) + " before entry " +
                    std::to_string(b.entry) + ": give the earlier entry first";
            return false;
        }
        if (b.time <= a.time) {
            error = "option '--sync' puts entry " + std::to_string(b.entry) + " at ";
            AppendTime(error, b.time);
            error += ", not after entry " + std::to_string(a.entry) + " at ";
            AppendTime(error, a.time);
            error += ": the later entry needs the later time";
            return false;
        }
    }
    request.syncPoints = count;
    Name(request, "--sync=", value);
    return true;
}

TimeMap MapOf(const TimingRequest& request) {
    return TimeMap(0, request.shift, request.scale, request.divisor, request.option);
}

bool SyncMapOf(const TimingRequest& request, const int64_t starts[2], TimeMap& map,
               std::string& error) {
    const TimingRequest::SyncPoint* p = request.sync;
    if (request.syncPoints == 1) {
        map = TimeMap(starts[0], p[0].time, 1, 1, request.option);
        return true;
    }
    if (starts[1] <= starts[0]) {
        error = "entry " + std::to_string(p[1].entry) + " begins at ";
        AppendTime(error, starts[1]);
        error += ", not after entry " + std::to_string(p[0].entry) + " (";
        AppendTime(error, starts[0]);
        error += "): two points in that order would turn the times around";
        return false;
    }
    map = TimeMap(starts[0], p[0].time, static_cast<uint64_t>(p[1].time - p[0].time),
                  static_cast<uint64_t>(starts[1] - starts[0]), request.option);
    return true;
}

}  // namespace quillo
