// A file's times moved as srt2rt's timing options ask (--shift, --fps,
// --sync): every time, in milliseconds, through one linear map, computed
// exactly and rounded once.
#pragma once

#include <cstdint>
#include <string>

#include "srt_fields.h"
#include "text_builder.h"

namespace quillo {

// The latest time a moved entry may take: 99999:59:59,999. The C library's
// reading holds any hours that fit 32 bits and the tag writes any, but a
// player that counts the tag's seconds in a 32-bit int holds only 596,523
// hours (and one that counts its milliseconds, 596). Five digits of hours
// keep the seconds far inside 32 bits (360,000,000 < 2^31): no moved time
// is one that only some readers take.
inline constexpr int64_t kLatestTime = int64_t{100000} * 3600000 - 1;

// t' = offset + (t - origin) * scale / divisor, in milliseconds, rounded to
// the nearest millisecond, halves away from zero. Exact for every time a
// SubRip line can hold: the product is taken in 128 bits.
class TimeMap {
public:
    TimeMap() = default;  // the identity
    // `scale` and `divisor` above 0; `option` names the map in messages.
    TimeMap(int64_t origin, int64_t offset, uint64_t scale, uint64_t divisor, std::string option);

    // Where `t` goes; false when it would not fit 64 bits. `t` and the
    // origin lie within ±2^62.
    bool Map(int64_t t, int64_t& moved) const;
    // The options that asked for it, as given ("--shift=-12.5").
    const std::string& Option() const { return option_; }

private:
    int64_t origin_ = 0;
    int64_t offset_ = 0;
    uint64_t scale_ = 1;
    uint64_t divisor_ = 1;
    std::string option_;
};

// An entry's two times through a map, and what is written of them.
struct RetimedTimes {
    enum class Outcome : uint8_t {
        Moved,
        BeginClamped,  // the begin fell before 0:00, the end after it: the begin is 0:00
        Outside,       // a time falls before 0:00 or past kLatestTime: nothing is written
    };
    Outcome outcome;
    int64_t begin, end;            // as read, in milliseconds
    int64_t movedBegin, movedEnd;  // where the map takes them
    bool beginFits, endFits;       // false where the map's result passed 64 bits
    TimeRange written;             // in range: hours, minutes 0-59, seconds 0-59, 0-999 ms
};
RetimedTimes Retime(const TimeMap& map, const TimeRange& read);

// "entry 5 (0:00:01,000 --> 0:00:02,000) would move by --shift=-3 to
// -0:00:02,000 --> -0:00:01,000, before 0:00:00,000": the entry, its times
// before and after, the option, and what is wrong or what was done.
void AppendRetiming(TextBuilder& out, int32_t entry, const RetimedTimes& times, const TimeMap& map);
// A time as SubRip writes it, H:MM:SS,mmm, with a '-' before a negative one.
void AppendSubRipTime(TextBuilder& out, int64_t milliseconds);

// Thrown by a run that must stop at a time it cannot move (--fix), once the
// report was told why: nothing of the file is to be written.
struct RetimingStopped {};

}  // namespace quillo
