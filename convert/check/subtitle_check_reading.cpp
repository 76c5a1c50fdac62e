// The check of what a viewer can read of each entry in the time it shows,
// against the limits it was given. An entry without text shows nothing to
// read: only entries with text are held to them.
#include <cstdint>

#include "subtitle_check.h"
#include "subtitle_check_message.h"

namespace quillo {
namespace {

using namespace check_message;

// Characters a second, in thousandths, rounded up: a figure past the limit
// never shows as the limit. (Beyond 18 million million characters, which
// no entry holds, it stops growing.)
int64_t ThousandthsPerSecond(uint64_t characters, int64_t milliseconds) {
    constexpr uint64_t kMillion = 1000000;
    const uint64_t most = UINT64_MAX / kMillion;
    const uint64_t scaled = (characters < most ? characters : most) * kMillion;
    const auto ms = static_cast<uint64_t>(milliseconds);
    const uint64_t figure = scaled / ms + (scaled % ms != 0 ? 1 : 0);
    return figure > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(figure);
}

}  // namespace

void SubtitleCheck::ReadTimes(const quillo::TimeLine& time, bool timed, int64_t begin,
                              int64_t end) {
    read_.timed = timed;
    read_.begin = begin;
    read_.end = end;
    read_.timeLine = time.lineNumber;
    read_.textLines = 0;
    read_.characters = 0;
    read_.lines = 0;
    read_.pastLine = 0;
}

// Every message of a limit in one shape, so that it is worded in one place:
// "entry N: <before><figure><after> (limit <limit><unit>)<tail>".
void SubtitleCheck::SayPastLimit(ProblemCode code, uint64_t line, size_t column,
                                 const PastLimit& past) {
    Report(code, line, column, entry_.ordinal, Entry{entry_.ordinal}, ": ", past.before,
           Figure{past.figure, past.limit, past.decimals}, past.after, " (limit ",
           Thousandths{past.limit}, past.unit, ")", past.tail);
}

// At the entry's first text line: how long it shows, and after what.
void SubtitleCheck::ReadFirstText() {
    if (!read_.timed) {
        return;
    }
    const int64_t shown = read_.end - read_.begin;  // at or below 0, end-before-begin says so
    const int64_t shortest = limits_.Of(ReadingLimit::ShortestDuration);
    const int64_t longest = limits_.Of(ReadingLimit::LongestDuration);
    if (shown > 0 && shortest != 0 && shown < shortest) {
        SayPastLimit(ProblemCode::ShortDuration, read_.timeLine, 1,
                     {"shown for ", shown, shortest, 3, " s", " s"});
    }
    if (shown > 0 && longest != 0 && shown > longest) {
        SayPastLimit(ProblemCode::LongDuration, read_.timeLine, 1,
                     {"shown for ", shown, longest, 3, " s", " s"});
    }
    // Before the end of the one before, order or overlap says so.
    const int64_t gap = read_.begin - read_.previousEnd;
    const int64_t least = limits_.Of(ReadingLimit::ShortestGap);
    if (read_.previousEntry != 0 && least != 0 && gap >= 0 && gap < least) {
        TextBuilder after;
        after << " s after entry " << int64_t{read_.previousEntry} << " ends";
        SayPastLimit(ProblemCode::Gap, read_.timeLine, 1,
                     {"starts ", gap, least, 3, after.View(), " s"});
    }
    read_.previousEntry = entry_.ordinal;
    read_.previousEnd = read_.end;
}

void SubtitleCheck::ReadText(const quillo::TextLine& line) {
    const TextReading text = ReadingOf(line.text, line.MayHoldSpecialBytes(), *readingWalk_);
    if (read_.textLines++ == 0) {
        ReadFirstText();
    } else {
        ++read_.characters;  // the line break, as a space
    }
    read_.characters += text.characters;
    const int64_t mostLines = limits_.Of(ReadingLimit::LineCount);
    read_.lines += text.lines;
    if (read_.pastLine == 0 && mostLines != 0 &&
        static_cast<int64_t>(read_.lines) * 1000 > mostLines) {
        read_.pastLine = line_;
    }
    const int64_t mostCharacters = limits_.Of(ReadingLimit::LineLength);
    if (mostCharacters != 0 && static_cast<int64_t>(text.longest) * 1000 > mostCharacters) {
        SayPastLimit(ProblemCode::LineLength, line_, text.longestAt + 1,
                     {"a line of ", static_cast<int64_t>(text.longest) * 1000, mostCharacters, 0,
                      " characters", ""});
    }
}

void SubtitleCheck::EndReading() {
    if (read_.textLines == 0) {
        return;
    }
    const int64_t shown = read_.end - read_.begin;
    const int64_t fastest = limits_.Of(ReadingLimit::CharactersPerSecond);
    if (read_.timed && shown > 0 && fastest != 0) {
        const int64_t speed = ThousandthsPerSecond(read_.characters, shown);
        if (speed > fastest) {
            TextBuilder tail;
            tail << ": ";
            Append(tail, Count{static_cast<int64_t>(read_.characters), "character", "characters"});
            tail << " in ";
            Append(tail, Thousandths{shown});
            tail << " s";
            SayPastLimit(ProblemCode::ReadingSpeed, read_.timeLine, 1,
                         {"", speed, fastest, 1, " characters a second", "", tail.View()});
        }
    }
    if (read_.pastLine != 0) {
        const int64_t mostLines = limits_.Of(ReadingLimit::LineCount);
        SayPastLimit(ProblemCode::LineCount, read_.pastLine, 1,
                     {"", static_cast<int64_t>(read_.lines) * 1000, mostLines, 0, " lines", ""});
    }
}

}  // namespace quillo
