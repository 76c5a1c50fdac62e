#include "subtitle_check.h"

#include <algorithm>

#include "srt_entries.h"
#include "subtitle_check_message.h"

namespace quillo {
namespace {

using namespace check_message;

constexpr int64_t kDocumentDuration = 3 * 3600 * 1000;  // the window's 3:00:00.00
// "0:0:0,0-->0:0:0,0": no time line is shorter.
constexpr size_t kShortestTimeLine = 17;

int64_t Milliseconds(int32_t hours, int32_t minutes, int32_t seconds, int32_t milliseconds) {
    return int64_t{hours} * 3600000 + int64_t{minutes} * 60000 + int64_t{seconds} * 1000 +
           milliseconds;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A decimal number as written (its sign and digits) that does not fit in 32
// bits: what the reading makes of it is known already.
bool PastThirtyTwoBits(std::string_view written) {
    const bool negative = !written.empty() && written[0] == '-';
    const size_t first = !written.empty() && (written[0] == '-' || written[0] == '+') ? 1 : 0;
    uint64_t magnitude = 0;
    for (size_t i = first; i < written.size(); ++i) {
        magnitude = magnitude * 10 + static_cast<uint64_t>(written[i] - '0');
        if (magnitude > (uint64_t{1} << 32)) {
            return true;  // and stays so, however many digits follow
        }
    }
    return magnitude > (negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1);
}

// The sign and digits of the number atol reads from `line`, or an empty view.
std::string_view NumberOf(std::string_view line) {
    size_t p = 0;
    while (p < line.size() && (IsBlank(line[p]) || line[p] == '\n' || line[p] == '\v' ||
                               line[p] == '\f' || line[p] == '\r')) {
        ++p;
    }
    const size_t start = p;
    if (p < line.size() && (line[p] == '+' || line[p] == '-')) {
        ++p;
    }
    const size_t digits = p;
    while (p < line.size() && line[p] >= '0' && line[p] <= '9') {
        ++p;
    }
    return p > digits ? line.substr(start, p - start) : std::string_view();
}

}  // namespace

void SubtitleCheck::LookCloser(const TextReader& source, std::string_view line) {
    const uint64_t number = source.LineNumber();
    if (number == 1) {
        FirstLine(source, line);
    }
    // In a UTF-16 or UTF-32 file every line is cut: the encoding says why.
    if (const size_t column = source.CutColumn(number);
        column != 0 && encoding_ == FileEncoding::Bytes) {
        Report(ProblemCode::Nul, number, column, 0,
               "a NUL byte cuts this line: the rest of it is lost");
    }
    // A CR left at the end of a line that had its LF.
    if (!line.empty() && line.back() == '\r' && !crCrLfSeen_ && !source.LineUnended()) {
        crCrLfSeen_ = true;
        Report(ProblemCode::CrCrLf, number, line.size(), 0,
               "lines end CR CR LF: an empty line keeps a CR, so it separates no entries and "
               "the entries after it join one (reported once)");
    }
}

void SubtitleCheck::FirstLine(const TextReader& source, std::string_view line) {
    encoding_ = EncodingOf(source.Head());
    if (line.substr(0, 3) == "\xEF\xBB\xBF") {
        Report(ProblemCode::Bom, 1, 1, 0, "the file starts with a UTF-8 byte-order mark",
               verify_ && ParseIndex(line) != 1
                   ? ", so entry 1's number reads as 0: convert with --no-verify"
                   : "");
    }
    crOnly_ = source.LineUnended() && line.find('\r') != std::string_view::npos;
}

bool SubtitleCheck::ExplainedInstead() {
    if (entry_.explained) {
        return true;
    }
    if (encoding_ != FileEncoding::Bytes) {
        // Every error of such a file is its symptom: the first says why.
        entry_.explained = true;
        if (!encodingReported_) {
            ReportEncoding(Severity::Error, entry_.ordinal);
        }
        return true;
    }
    if (entry_.cause == Cause::None) {
        return false;
    }
    entry_.explained = true;
    ReportCause();
    return true;
}

void SubtitleCheck::ReportEncoding(Severity severity, int32_t entry) {
    encodingReported_ = true;
    Say(severity, ProblemCode::Encoding, 1, 1, entry, "the file is ", EncodingName(encoding_),
        ": save it as UTF-8 or ANSI");
}

void SubtitleCheck::ReportCause() {
    const Entry entry{entry_.ordinal};
    if (entry_.cause == Cause::BlankLine) {
        const bool both = entry_.tabs && entry_.spaces;
        const Count blanks{static_cast<int64_t>(entry_.blanks),
                           both          ? "blank or tab"
                           : entry_.tabs ? "tab"
                                         : "blank",
                           both          ? "blanks and tabs"
                           : entry_.tabs ? "tabs"
                                         : "blanks"};
        Report(ProblemCode::BlankLine, entry_.line, 1, entry_.ordinal, entry,
               " starts with a line of ", blanks,
               ": a line of blanks is not empty, so it starts an entry; empty it or remove it");
        return;
    }
    Report(ProblemCode::MissingIndex, entry_.line, 1, entry_.ordinal, entry,
           " has no number line: the line read as its number is a time line; write the entry's "
           "number on a line of its own above it");
}

void SubtitleCheck::Index(const IndexLine& index) {
    ++counts_.entries;
    entry_.ordinal = index.ordinal;
    entry_.line = index.lineNumber;
    entry_.cause = Cause::None;
    entry_.explained = false;
    if (index.ordinal == 1 && crOnly_) {
        if (!ExplainedInstead()) {
            Report(ProblemCode::CrOnly, 1, 1, 1,
                   "the file has CR line ends and no LF, so it reads as one line: save it with CR "
                   "LF or LF line ends");
        }
        entry_.explained = true;
        return;
    }
    // The usual number line is a few digits: neither blank nor as long as a
    // time line.
    const std::string_view text = index.text;
    if (text.size() >= kShortestTimeLine || IsBlank(text[0])) {
        if (std::all_of(text.begin(), text.end(), IsBlank)) {
            entry_.cause = Cause::BlankLine;
            entry_.blanks = text.size();
            entry_.tabs = text.find('\t') != std::string_view::npos;
            entry_.spaces = text.find(' ') != std::string_view::npos;
        } else if (TimeRange unused;
                   ParseUsualTimeLine(text, unused) || ScanTimeLine(text, unused)) {
            entry_.cause = Cause::MissingIndex;
        }
    }
    if (!verify_) {
        return;
    }
    const int32_t number = index.Number();
    if (entry_.cause != Cause::None) {
        // The line is no number: the entry stands for the one it lacks (a
        // missing number line) or for none (a line of blanks), and the next
        // is measured against that.
        if (entry_.cause == Cause::MissingIndex) {
            previousNumber_ = havePreviousNumber_
                                  ? static_cast<int32_t>(static_cast<uint32_t>(previousNumber_) + 1)
                                  : index.ordinal;
            havePreviousNumber_ = true;
        }
        if (number != index.ordinal) {
            ExplainedInstead();
        }
        return;
    }
    if (text.size() > 9) {  // nine digits fit in 32 bits
        CheckIndexOverflow(index);
    }
    const bool follows = havePreviousNumber_ && int64_t{number} == int64_t{previousNumber_} + 1;
    havePreviousNumber_ = true;
    previousNumber_ = number;
    if (number == index.ordinal || follows || ExplainedInstead()) {
        return;
    }
    Report(ProblemCode::IndexMismatch, index.lineNumber, 1, index.ordinal, Entry{index.ordinal},
           " is numbered ", int64_t{number}, IndexLineQuote{index.text},
           "; entries must be numbered 1, 2, 3... (or convert with --no-verify)");
}

void SubtitleCheck::CheckIndexOverflow(const IndexLine& index) {
    const std::string_view written = NumberOf(index.text);
    if (written.empty() || !PastThirtyTwoBits(written)) {
        return;
    }
    Report(ProblemCode::Overflow, index.lineNumber,
           static_cast<size_t>(written.data() - index.text.data()) + 1, index.ordinal,
           Entry{index.ordinal}, "'s number ", Quoted{written, 24},
           " does not fit in 32 bits: it reads as ", int64_t{index.Number()});
}

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

void SubtitleCheck::TimeLine(const quillo::TimeLine& time) {
    TimeRange t;
    if (!time.Times(t)) {
        ReportTimeFormat(time);
        return;
    }
    const int64_t begin =
        Milliseconds(t.beginHours, t.beginMinutes, t.beginSeconds, t.beginMilliseconds);
    const int64_t end = Milliseconds(t.endHours, t.endMinutes, t.endSeconds, t.endMilliseconds);
    CheckSpan(time, t, begin, end);
    CheckFields(time, t);
    previousEntry_ = time.ordinal;
    previousBegin_ = begin;
    previousEnd_ = end;
    previousTimes_ = t;
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
        if (i != overflowed && (v < 0 || (unit != 0 && v > most))) {
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

void SubtitleCheck::Finish(const TextReader& source) {
    const TextReader::CtrlZ& z = source.CtrlZSeen();
    if (z.found && z.followed && z.line != 0) {
        Report(ProblemCode::CtrlZ, z.line, z.column, 0,
               "a Ctrl-Z byte ends the file here: what follows it is never read");
    }
    // A file in another encoding that converts all the same converts to
    // nothing: the encoding says why.
    if (encoding_ != FileEncoding::Bytes && !encodingReported_) {
        ReportEncoding(Severity::Warning, 0);
    } else if (counts_.entries == 0) {
        Report(ProblemCode::NoEntries, 1, 1, 0,
               "the file has no entries: the document will be empty");
    }
}

void SubtitleCheck::Run(TextReader& source) {
    ReadEntries(source, *this);
}

void SubtitleCheck::RunToFirstError(TextReader& source) {
    // The check, stopping the walk once it has an error.
    struct UpToAnError {
        SubtitleCheck& check;
        void Line(const TextReader& s, std::string_view line) { check.Line(s, line); }
        bool Index(const IndexLine& index) {
            check.Index(index);
            return check.Counts().errors == 0;
        }
        bool TimeLine(const quillo::TimeLine& time) {
            check.TimeLine(time);
            return check.Counts().errors == 0;
        }
        void Text(std::string_view line) { check.Text(line); }
        void EndEntry() { check.EndEntry(); }
        void Finish(const TextReader& s) { check.Finish(s); }
    } walk{*this};
    ReadEntries(source, walk);
}

CheckCounts CheckSubtitles(TextReader& source, bool verifyLineNumbers, ProblemSink& sink) {
    SubtitleCheck check(verifyLineNumbers, sink);
    check.Run(source);
    return check.Counts();
}

}  // namespace quillo
