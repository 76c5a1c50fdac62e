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

// Every message of a limit in one shape, so that it is worded in one place:
// "entry N: <before><figure><after> (limit <limit><unit>)<tail>".
void SubtitleCheck::SayPastLimit(ProblemCode code, uint64_t line, size_t column,
                                 const PastLimit& past) {
    Report(code, line, column, entry_.ordinal, Entry{entry_.ordinal}, past);
}

// At the first text line of an entry whose times pass a limit: how long it
// shows, and after what.
void SubtitleCheck::SayPastTimeLimits() {
    const int64_t shown = read_.end - read_.begin;
    if (shown < read_.shortestShown) {
        SayPastLimit(ProblemCode::ShortDuration, read_.timeLine, 1,
                     {"shown for ", shown, read_.shortestShown, 3, " s", " s"});
    }
    if (shown > read_.longestShown) {
        SayPastLimit(ProblemCode::LongDuration, read_.timeLine, 1,
                     {"shown for ", shown, read_.longestShown, 3, " s", " s"});
    }
    const int64_t gap = read_.begin - read_.previousEnd;
    if (read_.previousEntry != 0 && gap >= 0 && gap < read_.leastGap) {
        TextBuilder after;
        after << " s after entry " << int64_t{read_.previousEntry} << " ends";
        SayPastLimit(ProblemCode::Gap, read_.timeLine, 1,
                     {"starts ", gap, read_.leastGap, 3, after.View(), " s"});
    }
}

void SubtitleCheck::StartReading() {
    // Its times, where they read, are the last the check read; its time line
    // is the line after its number.
    read_.StartEntry(entry_.ordinal, previousEntry_ == entry_.ordinal, previousBegin_, previousEnd_,
                     entry_.line + 1);
    if (read_.says) {
        SayPastTimeLimits();
    }
    if (read_.timed) {
        read_.previousEntry = entry_.ordinal;
        read_.previousEnd = read_.end;
    }
}

void SubtitleCheck::ReadText(std::string_view line, bool special) {
    const TextReading text = ReadingOf(line, special, *readingWalk_);
    if (read_.Count(text.characters, text.lines, text.longest)) {
        SayPastLimits(text.longest, text.longestAt);
    }
}

void SubtitleCheck::SayPastLimits(uint64_t longest, size_t at) {
    if (read_.lines > read_.mostLines && read_.pastLine == 0) {
        read_.pastLine = line_;
    }
    if (longest > read_.mostInALine) {
        SayPastLimit(ProblemCode::LineLength, line_, at + 1,
                     {"a line of ", static_cast<int64_t>(longest) * 1000,
                      limits_.Of(ReadingLimit::LineLength), 0, " characters", ""});
    }
}

// An entry with text past the reading speed's characters, or past the lines.
void SubtitleCheck::EndReading() {
    const int64_t shown = read_.end - read_.begin;
    if (read_.characters > read_.budget) {
        TextBuilder tail;
        tail << ": ";
        Append(tail, Count{static_cast<int64_t>(read_.characters), "character", "characters"});
        tail << " in ";
        Append(tail, Thousandths{shown});
        tail << " s";
        SayPastLimit(ProblemCode::ReadingSpeed, read_.timeLine, 1,
                     {"", ThousandthsPerSecond(read_.characters, shown), read_.fastest, 1,
                      " characters a second", "", tail.View()});
    }
    if (read_.pastLine != 0) {
        const int64_t mostLines = limits_.Of(ReadingLimit::LineCount);
        SayPastLimit(ProblemCode::LineCount, read_.pastLine, 1,
                     {"", static_cast<int64_t>(read_.lines) * 1000, mostLines, 0, " lines", ""});
    }
    // Said: the entries after it without text have nothing to say.
    read_.characters = 0;
    read_.pastLine = 0;
}

}  // namespace quillo
