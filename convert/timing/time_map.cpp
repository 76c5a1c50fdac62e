#include "time_map.h"

#include <numeric>
#include <utility>

namespace quillo {
namespace {

// An unsigned 128-bit number: the 32-bit build has no __int128, and one way
// for both builds keeps them alike.
struct Wide {
    uint64_t high, low;
};

Wide Product(uint64_t a, uint64_t b) {
    const uint64_t a0 = a & 0xFFFFFFFFu;
    const uint64_t a1 = a >> 32;
    const uint64_t b0 = b & 0xFFFFFFFFu;
    const uint64_t b1 = b >> 32;
    const uint64_t low = a0 * b0;
    const uint64_t cross1 = a0 * b1;
    const uint64_t cross2 = a1 * b0;
    const uint64_t middle = (low >> 32) + (cross1 & 0xFFFFFFFFu) + (cross2 & 0xFFFFFFFFu);
    return {a1 * b1 + (cross1 >> 32) + (cross2 >> 32) + (middle >> 32),
            (middle << 32) | (low & 0xFFFFFFFFu)};
}

bool Less(Wide a, Wide b) {
    return a.high != b.high ? a.high < b.high : a.low < b.low;
}
Wide Sum(Wide a, Wide b) {
    const uint64_t low = a.low + b.low;
    return {a.high + b.high + (low < a.low ? 1 : 0), low};
}
Wide Difference(Wide a, Wide b) {  // a >= b
    return {a.high - b.high - (a.low < b.low ? 1 : 0), a.low - b.low};
}

// n / d to the nearest, halves up; false when that passes 63 bits.
bool RoundedQuotient(Wide n, uint64_t d, uint64_t& q) {
    if (n.high >= d) {
        return false;
    }
    uint64_t quotient;
    uint64_t rest;
    if (n.high == 0) {  // nearly every time: a shift, a rate of few digits
        quotient = n.low / d;
        rest = n.low % d;
    } else {
        quotient = 0;
        rest = n.high;  // below d: the quotient fits 64 bits
        for (int bit = 63; bit >= 0; --bit) {
            const bool carry = (rest >> 63) != 0;
            rest = (rest << 1) | ((n.low >> bit) & 1);
            quotient <<= 1;
            if (carry || rest >= d) {
                rest -= d;  // modulo 2^64, which the carry makes exact
                quotient |= 1;
            }
        }
    }
    quotient += rest >= d - rest ? 1 : 0;
    if (quotient > static_cast<uint64_t>(INT64_MAX)) {
        return false;
    }
    q = quotient;
    return true;
}

uint64_t Magnitude(int64_t v) {
    return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}

int64_t Milliseconds(int32_t hours, int32_t minutes, int32_t seconds, int32_t milliseconds) {
    return int64_t{hours} * 3600000 + int64_t{minutes} * 60000 + int64_t{seconds} * 1000 +
           milliseconds;
}

bool Inside(bool fits, int64_t t) {
    return fits && t >= 0 && t <= kLatestTime;
}

void Split(int64_t t, int32_t& hours, int32_t& minutes, int32_t& seconds, int32_t& ms) {
    hours = static_cast<int32_t>(t / 3600000);
    minutes = static_cast<int32_t>(t / 60000 % 60);
    seconds = static_cast<int32_t>(t / 1000 % 60);
    ms = static_cast<int32_t>(t % 1000);
}

void AppendMoved(TextBuilder& out, bool fits, int64_t t) {
    if (fits) {
        AppendSubRipTime(out, t);
    } else {
        out << "beyond ";
        AppendSubRipTime(out, kLatestTime);
    }
}

}  // namespace

TimeMap::TimeMap(int64_t origin, int64_t offset, uint64_t scale, uint64_t divisor,
                 std::string option)
    : origin_(origin), offset_(offset), option_(std::move(option)) {
    const uint64_t common = std::gcd(scale, divisor);
    scale_ = scale / common;
    divisor_ = divisor / common;
}

bool TimeMap::Map(int64_t t, int64_t& moved) const {
    // (offset * divisor + (t - origin) * scale) / divisor, signs apart.
    const int64_t delta = t - origin_;
    const Wide shift = Product(Magnitude(offset_), divisor_);
    const Wide scaled = Product(Magnitude(delta), scale_);
    const bool shiftBack = offset_ < 0;
    const bool scaledBack = delta < 0;
    Wide sum;
    bool negative;
    if (shiftBack == scaledBack) {
        sum = Sum(shift, scaled);  // each below 2^127
        negative = shiftBack;
    } else if (Less(shift, scaled)) {
        sum = Difference(scaled, shift);
        negative = scaledBack;
    } else {
        sum = Difference(shift, scaled);
        negative = shiftBack;
    }
    uint64_t magnitude;
    if (!RoundedQuotient(sum, divisor_, magnitude)) {
        return false;
    }
    moved = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

RetimedTimes Retime(const TimeMap& map, const TimeRange& read) {
    RetimedTimes r{};
    r.begin =
        Milliseconds(read.beginHours, read.beginMinutes, read.beginSeconds, read.beginMilliseconds);
    r.end = Milliseconds(read.endHours, read.endMinutes, read.endSeconds, read.endMilliseconds);
    r.beginFits = map.Map(r.begin, r.movedBegin);
    r.endFits = map.Map(r.end, r.movedEnd);
    int64_t begin = r.movedBegin;
    if (Inside(r.beginFits, r.movedBegin) && Inside(r.endFits, r.movedEnd)) {
        r.outcome = RetimedTimes::Outcome::Moved;
    } else if (r.beginFits && r.movedBegin < 0 && Inside(r.endFits, r.movedEnd) && r.movedEnd > 0) {
        // As subtitle editors do: the entry still shows, from the start.
        r.outcome = RetimedTimes::Outcome::BeginClamped;
        begin = 0;
    } else {
        r.outcome = RetimedTimes::Outcome::Outside;
        return r;
    }
    TimeRange& w = r.written;
    Split(begin, w.beginHours, w.beginMinutes, w.beginSeconds, w.beginMilliseconds);
    Split(r.movedEnd, w.endHours, w.endMinutes, w.endSeconds, w.endMilliseconds);
    return r;
}

void AppendSubRipTime(TextBuilder& out, int64_t milliseconds) {
    if (milliseconds < 0) {
        out << '-';
    }
    const uint64_t t = Magnitude(milliseconds);
    const auto pair = [&out](uint64_t v) {
        out << static_cast<char>('0' + v / 10) << static_cast<char>('0' + v % 10);
    };
    out << static_cast<int64_t>(t / 3600000) << ':';
    pair(t / 60000 % 60);
    out << ':';
    pair(t / 1000 % 60);
    out << ',' << static_cast<char>('0' + t % 1000 / 100);
    pair(t % 100);
}

void AppendRetiming(TextBuilder& out, int32_t entry, const RetimedTimes& times,
                    const TimeMap& map) {
    out << "entry " << int64_t{entry} << " (";
    AppendSubRipTime(out, times.begin);
    out << " --> ";
    AppendSubRipTime(out, times.end);
    out << ") would move by " << std::string_view(map.Option()) << " to ";
    AppendMoved(out, times.beginFits, times.movedBegin);
    out << " --> ";
    AppendMoved(out, times.endFits, times.movedEnd);
    if (times.outcome == RetimedTimes::Outcome::BeginClamped) {
        out << ": it begins at 0:00:00,000 instead";
    } else if (times.outcome == RetimedTimes::Outcome::Outside) {
        if (times.endFits && times.movedEnd <= 0) {
            out << ": it would end by 0:00:00,000 and never show";
        } else {
            out << ", past ";
            AppendSubRipTime(out, kLatestTime);
            out << ", the latest time srt2rt writes";
        }
    }
}

}  // namespace quillo
