// The check of an entry's time line: whether it reads, and what the player
// makes of the times it holds.
#include <algorithm>

#include "subtitle_check.h"
#include "subtitle_check_message.h"

namespace quillo {
namespace {

using namespace check_message;

constexpr int64_t kDocumentDuration = 3 * 3600 * 1000;  // the window's 3:00:00.00

int64_t Milliseconds(int32_t hours, int32_t minutes, int32_t seconds, int32_t milliseconds) {
    return int64_t{hours} * 3600000 + int64_t{minutes} * 60000 + int64_t{seconds} * 1000 +
           milliseconds;
}

}  // namespace

void SubtitleCheck::ReportTimeFormat(const quillo::TimeLine& time) {
    if (ExplainedInstead()) {
        return;
    }
    const Entry entry{time.ordinal};
    const auto report = [&](size_t column, const auto&... parts) {
        Report(ProblemCode::TimeFormat, time.lineNumber, column, time.ordinal, entry, parts...);
    };
    if (!time.present) {
        report(1, " has no time line: the file ends after its index line");
        return;
    }
    if (time.text.empty()) {
        report(1, "'s time line is empty: an empty line follows its index line");
        return;
    }
    const TimeLineLayout& layout = time.Layout();
    const std::string_view line = time.text;
    const size_t column = layout.stop + 1;
    const char found = layout.stop < line.size() ? line[layout.stop] : '\0';
    if (layout.expected == ',' && found == '.') {
        report(column,
               "'s time line does not read: '.' before the milliseconds, where ',' is needed");
    } else if (layout.expected == '-') {
        report(column, "'s time line does not read: no '-->' between the two times");
    } else if (layout.stop >= line.size()) {
        report(column,
               "'s time line does not read: it ends before its eight numbers, HH:MM:SS,mmm --> "
               "HH:MM:SS,mmm");
    } else {
        const char expected[] = {'\'', layout.expected, '\'', '\0'};
        report(column, "'s time line does not read: ",
               layout.expected == '0' ? std::string_view("a number") : std::string_view(expected),
               " is needed here, as in HH:MM:SS,mmm --> HH:MM:SS,mmm: ", Quoted{line});
    }
}

void SubtitleCheck::LookAtTimeLine(const quillo::TimeLine& time) {
    TimeRange t;
    if (!time.Times(t)) {
        ReportTimeFormat(time);
        return;
    }
    // The span as the document will have it: moved, with a timing option.
    TimeRange shown = t;
    if (timeMap_ != nullptr && !LookAtRetiming(time, t, shown)) {
        return;
    }
    const int64_t begin = Milliseconds(shown.beginHours, shown.beginMinutes, shown.beginSeconds,
                                       shown.beginMilliseconds);
    const int64_t end =
        Milliseconds(shown.endHours, shown.endMinutes, shown.endSeconds, shown.endMilliseconds);
    // Nearly every entry is long enough to show, within the document, after
    // the one before, and written the usual way with minutes and seconds in
    // range: nothing to say, and no call to find it.
    if (end - begin < 10 || end > kDocumentDuration || begin < previousEnd_ ||
        begin < previousBegin_) {
        CheckSpan(time, shown, begin, end);
    }
    if (!time.Usual() ||
        std::max({t.beginMinutes, t.beginSeconds, t.endMinutes, t.endSeconds}) > 59) {
        CheckFields(time, t);
    }
    previousEntry_ = time.ordinal;
    previousBegin_ = begin;
    previousEnd_ = end;
    previousTimes_ = shown;
}

// The times a timing option gives the entry, in `moved`; false when they
// cannot be written, and the entry stops the conversion.
bool SubtitleCheck::LookAtRetiming(const quillo::TimeLine& time, const TimeRange& read,
                                   TimeRange& moved) {
    const RetimedTimes r = Retime(*timeMap_, read);
    if (r.outcome == RetimedTimes::Outcome::Moved) {
        moved = r.written;
        return true;
    }
    const bool clamped = r.outcome == RetimedTimes::Outcome::BeginClamped;
    if (!clamped && ExplainedInstead()) {
        return false;
    }
    Report(clamped ? ProblemCode::RetimeClamp : ProblemCode::Retime, time.lineNumber, 1,
           time.ordinal, Retiming{time.ordinal, r, *timeMap_});
    moved = r.written;
    return clamped;
}

// The entry's span, against itself, the document and the entry before it.
void SubtitleCheck::CheckSpan(const quillo::TimeLine& time, const TimeRange& t, int64_t begin,
                              int64_t end) {
    const Entry entry{time.ordinal};
    if (end <= begin) {
        Clock ends = EndClock(t);
        Clock begins = BeginClock(t);
        TellApart(ends, begins);
        Report(ProblemCode::EndBeforeBegin, time.lineNumber, 1, time.ordinal, entry, " ends at ",
               ends, end == begin ? ", as" : ", before", " it begins at ", begins);
    } else if (end - begin < 10 && PrintAlike(BeginClock(t), EndClock(t))) {
        Clock begins = BeginClock(t);
        Clock ends = EndClock(t);
        const Clock printed = begins;
        begins.precise = ends.precise = true;
        Report(ProblemCode::ZeroLength, time.lineNumber, 1, time.ordinal, entry, " begins at ",
               begins, " and ends at ", ends, ": both print as ", printed,
               ", so it shows for no time");
    }
    if (end > kDocumentDuration) {
        Report(ProblemCode::PastDuration, time.lineNumber, 1, time.ordinal, entry, " ends at ",
               EndClock(t), ", after the document's 3:00:00.00: cut short");
    }
    if (previousEntry_ == 0) {
        return;
    }
    if (begin < previousBegin_) {
        Clock begins = BeginClock(t);
        Clock before = BeginClock(previousTimes_);
        TellApart(begins, before);
        Report(ProblemCode::Order, time.lineNumber, 1, time.ordinal, entry, " begins at ", begins,
               ", before ", Entry{previousEntry_}, " begins at ", before);
    } else if (begin < previousEnd_) {
        Clock begins = BeginClock(t);
        Clock before = EndClock(previousTimes_);
        TellApart(begins, before);
        Report(ProblemCode::Overlap, time.lineNumber, 1, time.ordinal, entry, " begins at ", begins,
               ", before ", Entry{previousEntry_}, " ends at ", before,
               ": its <clear/> cuts that one short");
    }
}

// The fields as written: numbers past 32 bits, values out of their unit's
// range, then milliseconds not written with three digits.
void SubtitleCheck::CheckFields(const quillo::TimeLine& time, const TimeRange& t) {
    // The usual shape has hours of up to seven digits, two digits of minutes
    // and seconds, three of milliseconds: only minutes and seconds past 59
    // can be wrong.
    const bool usual = time.Usual();
    if (usual && std::max({t.beginMinutes, t.beginSeconds, t.endMinutes, t.endSeconds}) <= 59) {
        return;
    }
    TimeLineLayout columns;
    const auto where = [&]() -> const TimeLineLayout& {
        if (!usual) {
            return time.Layout();
        }
        TimeRange unused;  // the usual shape: read again, for the columns
        ScanTimeLine(time.text, unused, &columns);
        return columns;
    };
    // A field past 32 bits reads as another: said once, and not said again
    // as out of range or of too many digits.
    int overflowed = -1;
    for (int i = 0; i < 8 && !usual; ++i) {
        if (time.Layout().digits[i] > 9 && CheckOverflow(time, t, i)) {
            overflowed = i;
            break;
        }
    }
    const int32_t fields[8] = {t.beginHours, t.beginMinutes, t.beginSeconds, t.beginMilliseconds,
                               t.endHours,   t.endMinutes,   t.endSeconds,   t.endMilliseconds};
    static const char* const kNames[4] = {"hours", "minutes", "seconds", "milliseconds"};
    for (int i = 0; i < 8; ++i) {
        const int32_t v = fields[i];
        const int unit = i % 4;
        const int32_t most = unit == 3 ? 999 : 59;
        // Moved, they are written in range.
        if (i != overflowed && timeMap_ == nullptr && (v < 0 || (unit != 0 && v > most))) {
            Report(ProblemCode::FieldRange, time.lineNumber, where().start[i] + 1, time.ordinal,
                   Entry{time.ordinal}, i < 4 ? "'s begin " : "'s end ", kNames[unit], " are ",
                   int64_t{v}, unit == 0 ? ", below 0" : ", outside 0-",
                   unit == 0 ? "" : (unit == 3 ? "999" : "59"),
                   ": the document prints them as they stand (",
                   i < 4 ? BeginClock(t) : EndClock(t), ")");
            break;
        }
    }
    if (usual) {
        return;
    }
    const TimeLineLayout& layout = time.Layout();
    for (int i : {3, 7}) {
        if (layout.digits[i] != 3 && i != overflowed) {
            Report(ProblemCode::MsDigits, time.lineNumber, layout.start[i] + 1, time.ordinal,
                   Entry{time.ordinal}, i < 4 ? "'s begin" : "'s end", " milliseconds have ",
                   Count{static_cast<int64_t>(layout.digits[i]), "digit", "digits"},
                   ": they read as ", int64_t{fields[i]}, " ms (\"01,50\" is 50 ms, not 500)");
            break;
        }
    }
}

// Field `field` (0 to 7) of a time line the general scanner read; true when
// it was past 32 bits, and said so.
bool SubtitleCheck::CheckOverflow(const quillo::TimeLine& time, const TimeRange& t, int field) {
    const TimeLineLayout& layout = time.Layout();
    const size_t start = layout.start[field];
    const char first = time.text[start];
    const size_t sign = first == '-' || first == '+' ? 1 : 0;
    const std::string_view written = time.text.substr(start, sign + layout.digits[field]);
    if (!PastThirtyTwoBits(written)) {
        return false;
    }
    const int32_t fields[8] = {t.beginHours, t.beginMinutes, t.beginSeconds, t.beginMilliseconds,
                               t.endHours,   t.endMinutes,   t.endSeconds,   t.endMilliseconds};
    static const char* const kNames[4] = {"hours", "minutes", "seconds", "milliseconds"};
    Report(ProblemCode::Overflow, time.lineNumber, start + 1, time.ordinal, Entry{time.ordinal},
           field < 4 ? "'s begin " : "'s end ", kNames[field % 4], " ", Quoted{written, 24},
           " do not fit in 32 bits: they read as ", int64_t{fields[field]});
    return true;
}

}  // namespace quillo
