// How the check words its problems: the pieces messages are made of, each
// appended in place, and Say, which builds a message only when the sink
// wants it. Private to the check's own files.
#pragma once

#include <cassert>
#include <cstdint>
#include <string_view>

#include "srt_fields.h"
#include "subtitle_check.h"
#include "text_builder.h"
#include "time_map.h"

namespace quillo::check_message {

// A clock as the document prints it, H:MM:SS.CC, or with its milliseconds.
struct Clock {
    int32_t hours, minutes, seconds, milliseconds;
    bool precise = false;  // H:MM:SS.mmm
};
inline Clock BeginClock(const TimeRange& t) {
    return {t.beginHours, t.beginMinutes, t.beginSeconds, t.beginMilliseconds};
}
inline Clock EndClock(const TimeRange& t) {
    return {t.endHours, t.endMinutes, t.endSeconds, t.endMilliseconds};
}
// Whether two clocks print alike, as the document prints them.
bool PrintAlike(const Clock& a, const Clock& b);
// Two clocks of one message, with their milliseconds where the document's
// centiseconds would show them alike though they differ.
void TellApart(Clock& a, Clock& b);

struct Entry {
    int32_t ordinal;
};
struct Quoted {
    std::string_view text;
    size_t shown = 60;
};
// " (its index line reads "...")" where the line holds more than digits.
struct IndexLineQuote {
    std::string_view line;
};
// "1 digit", "3 digits".
struct Count {
    int64_t count;
    std::string_view singular;
    std::string_view plural;
};

// A byte as 0xNN.
struct Hex {
    char byte;
};
inline void Append(TextBuilder& out, Hex h) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const auto b = static_cast<unsigned char>(h.byte);
    out << "0x" << kDigits[b >> 4] << kDigits[b & 15];
}

// A reading limit's figure, in thousandths: shown rounded to `decimals`, or
// with all three where the rounded figure would not stand on its side of the
// limit (20.04 characters a second against 20).
struct Figure {
    int64_t value;
    int64_t limit;
    int decimals;
};
void Append(TextBuilder& out, const Figure& f);
// A value in thousandths, with the decimals it needs.
struct Thousandths {
    int64_t value;
};
void Append(TextBuilder& out, Thousandths t);

// A reading limit's message after "entry N": ": <before><figure><after>
// (limit <limit><unit>)<tail>", worded in one place (one part, so that the
// six messages build in one small function).
struct PastLimit {
    std::string_view before;
    int64_t figure;
    int64_t limit;
    int decimals;  // of the figure shown, where they keep it past the limit
    std::string_view after;
    std::string_view unit;
    std::string_view tail = {};
};
void Append(TextBuilder& out, const PastLimit& past);

// The measure a message's reading limit gives its problem; other parts give none.
template <typename Part>
void Note(const Part&, Measure&, const Measure*&) {}
inline void Note(const PastLimit& past, Measure& measure, const Measure*& noted) {
    measure = {past.figure, past.limit};
    noted = &measure;
}

inline void Append(TextBuilder& out, std::string_view text) {
    out << text;
}
template <size_t N>
void Append(TextBuilder& out, const char (&literal)[N]) {
    out << literal;
}
inline void Append(TextBuilder& out, int64_t value) {
    out << value;
}
inline void Append(TextBuilder& out, Entry e) {
    out << "entry " << int64_t{e.ordinal};
}
inline void Append(TextBuilder& out, Quoted q) {
    AppendQuotedLine(out, q.text, q.shown);
}
inline void Append(TextBuilder& out, Count c) {
    out << c.count << ' ' << (c.count == 1 ? c.singular : c.plural);
}
// What a timing option makes of an entry's times.
struct Retiming {
    int32_t entry;
    const RetimedTimes& times;
    const TimeMap& map;
};
inline void Append(TextBuilder& out, const Retiming& r) {
    AppendRetiming(out, r.entry, r.times, r.map);
}

void Append(TextBuilder& out, const Clock& c);
void Append(TextBuilder& out, IndexLineQuote q);

}  // namespace quillo::check_message

namespace quillo {

template <typename... Parts>
void SubtitleCheck::Say(Severity severity, ProblemCode code, uint64_t line, size_t column,
                        int32_t entry, const Parts&... parts) {
    // One table: a code goes out with its own severity, or as a warning where
    // the table allows it.
    assert(severity == InfoOf(code).severity ||
           (InfoOf(code).warningWhereConverted && severity == Severity::Warning));
    // In a UTF-16 or UTF-32 file, only the encoding is said: the rest would
    // be of its bytes read as they stand.
    if (encoding_ != FileEncoding::Bytes && code != ProblemCode::Encoding) {
        return;
    }
    ++(severity == Severity::Error ? counts_.errors : counts_.warnings);
    const unsigned bit = 1u << static_cast<unsigned>(severity);
    if ((declined_ & bit) != 0) {
        return;
    }
    if (!sink_->Wants(severity)) {
        declined_ |= bit;
        return;
    }
    message_.Clear();
    using check_message::Append;
    (Append(message_, parts), ...);
    Measure measure;  // read only where a reading limit noted it
    const Measure* noted = nullptr;
    (check_message::Note(parts, measure, noted), ...);
    sink_->Report({line, column, severity, code, entry, message_.View(), noted});
}

}  // namespace quillo
