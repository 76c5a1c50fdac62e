#include "subtitle_check.h"

#include <algorithm>

#include "srt_entries.h"

namespace quillo {
namespace {

constexpr int64_t kDocumentDuration = 3 * 3600 * 1000;  // the window's 3:00:00.00

int64_t Milliseconds(int32_t hours, int32_t minutes, int32_t seconds, int32_t milliseconds) {
    return int64_t{hours} * 3600000 + int64_t{minutes} * 60000 + int64_t{seconds} * 1000 +
           milliseconds;
}

// The pieces messages are made of, appended in place.
struct Clock {
    int32_t hours, minutes, seconds, milliseconds;
};
Clock BeginClock(const TimeRange& t) {
    return {t.beginHours, t.beginMinutes, t.beginSeconds, t.beginMilliseconds};
}
Clock EndClock(const TimeRange& t) {
    return {t.endHours, t.endMinutes, t.endSeconds, t.endMilliseconds};
}
struct Entry {
    int32_t ordinal;
};
struct Quoted {
    std::string_view line;
};

void Append(TextBuilder& out, std::string_view text) {
    out << text;
}
void Append(TextBuilder& out, const char* text) {
    out << std::string_view(text);
}
void Append(TextBuilder& out, int64_t value) {
    out << value;
}
void Append(TextBuilder& out, Clock c) {
    char text[kMaxClockLength];
    out << std::string_view(text,
                            FormatClockText(text, c.hours, c.minutes, c.seconds, c.milliseconds));
}
void Append(TextBuilder& out, Entry e) {
    out << "entry " << int64_t{e.ordinal};
}
void Append(TextBuilder& out, Quoted q) {
    AppendQuotedLine(out, q.line);
}

// " (its index line reads "...")" where the line holds more than digits.
struct IndexLineQuote {
    std::string_view line;
};
void Append(TextBuilder& out, IndexLineQuote q) {
    if (q.line.find_first_not_of("0123456789") != std::string_view::npos) {
        out << " (its index line reads ";
        AppendQuotedLine(out, q.line);
        out << ")";
    }
}

}  // namespace

void AppendDecimal(std::string& out, int64_t value) {
    char digits[24];
    char* const end = digits + sizeof digits;
    char* first = end;
    uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        *--first = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        *--first = '-';
    }
    out.append(first, static_cast<size_t>(end - first));
}

void AppendQuotedLine(TextBuilder& out, std::string_view line) {
    constexpr size_t kShown = 60;
    out << '"';
    for (size_t i = 0; i < line.size() && i < kShown; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c >= 0x7F) {
            static const char kHex[] = "0123456789ABCDEF";
            const char escaped[] = {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
            out << std::string_view(escaped, 4);
        } else {
            if (c == '"' || c == '\\') {
                out << '\\';
            }
            out << static_cast<char>(c);
        }
    }
    out << (line.size() > kShown ? std::string_view("\"...") : std::string_view("\""));
}

template <typename... Parts>
void SubtitleCheck::Report(ProblemCode code, uint64_t line, size_t column, int32_t entry,
                           const Parts&... parts) {
    const ProblemCodeInfo& info = InfoOf(code);
    ++(info.severity == Severity::Error ? counts_.errors : counts_.warnings);
    if (!sink_.Wants(info.severity)) {
        sink_.Skip(info.severity);
        return;
    }
    message_.Clear();
    (Append(message_, parts), ...);
    sink_.Report({line, column, info.severity, info.name, entry, message_.View()});
}

void SubtitleCheck::LookCloser(const TextReader& source, std::string_view line) {
    const uint64_t number = source.LineNumber();
    if (number == 1) {
        FirstLine(source, line);
    }
    if (const size_t column = source.CutColumn(number); column != 0) {
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
    if (line.substr(0, 3) == "\xEF\xBB\xBF") {
        Report(ProblemCode::Bom, 1, 1, 0, "the file starts with a UTF-8 byte-order mark",
               verify_ && ParseIndex(line) != 1
                   ? ", so entry 1's number reads as 0: convert with --no-verify"
                   : "");
    }
    crOnly_ = source.LineUnended() && line.find('\r') != std::string_view::npos;
}

void SubtitleCheck::Index(const IndexLine& index) {
    ++counts_.entries;
    if (index.ordinal == 1 && crOnly_) {
        Report(ProblemCode::CrOnly, 1, 1, 1,
               "the file has CR line ends and no LF, so it reads as one line: save it with CR LF "
               "or LF line ends");
        return;
    }
    if (!verify_) {
        return;
    }
    const int32_t number = index.Number();
    const bool follows = havePreviousNumber_ && int64_t{number} == int64_t{previousNumber_} + 1;
    havePreviousNumber_ = true;
    previousNumber_ = number;
    if (number == index.ordinal || follows) {
        return;
    }
    Report(ProblemCode::IndexMismatch, index.lineNumber, 1, index.ordinal, Entry{index.ordinal},
           " is numbered ", int64_t{number}, IndexLineQuote{index.text},
           "; entries must be numbered 1, 2, 3... (or convert with --no-verify)");
}

void SubtitleCheck::ReportTimeFormat(const quillo::TimeLine& time) {
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
        if (!(time.ordinal == 1 && crOnly_)) {  // already reported as the file's fault
            ReportTimeFormat(time);
        }
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
        Report(ProblemCode::EndBeforeBegin, time.lineNumber, 1, time.ordinal, entry, " ends at ",
               EndClock(t), end == begin ? ", as" : ", before", " it begins at ", BeginClock(t));
    }
    if (end > kDocumentDuration) {
        Report(ProblemCode::PastDuration, time.lineNumber, 1, time.ordinal, entry, " ends at ",
               EndClock(t), ", after the document's 3:00:00.00: cut short");
    }
    if (previousEntry_ == 0) {
        return;
    }
    if (begin < previousBegin_) {
        Report(ProblemCode::Order, time.lineNumber, 1, time.ordinal, entry, " begins at ",
               BeginClock(t), ", before ", Entry{previousEntry_}, " begins at ",
               BeginClock(previousTimes_));
    } else if (begin < previousEnd_) {
        Report(ProblemCode::Overlap, time.lineNumber, 1, time.ordinal, entry, " begins at ",
               BeginClock(t), ", before ", Entry{previousEntry_}, " ends at ",
               EndClock(previousTimes_), ": its <clear/> cuts that one short");
    }
}

// The fields as written: values out of their unit's range, then milliseconds
// not written with three digits.
void SubtitleCheck::CheckFields(const quillo::TimeLine& time, const TimeRange& t) {
    // The usual shape has hours from 0, two digits of minutes and seconds,
    // three of milliseconds: only minutes and seconds past 59 can be wrong.
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
    const int32_t fields[8] = {t.beginHours, t.beginMinutes, t.beginSeconds, t.beginMilliseconds,
                               t.endHours,   t.endMinutes,   t.endSeconds,   t.endMilliseconds};
    static const char* const kNames[4] = {"hours", "minutes", "seconds", "milliseconds"};
    for (int i = 0; i < 8; ++i) {
        const int32_t v = fields[i];
        const int unit = i % 4;
        const int32_t most = unit == 3 ? 999 : 59;
        if (v < 0 || (unit != 0 && v > most)) {
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
        if (layout.digits[i] != 3) {
            Report(ProblemCode::MsDigits, time.lineNumber, layout.start[i] + 1, time.ordinal,
                   Entry{time.ordinal}, i < 4 ? "'s begin" : "'s end", " milliseconds have ",
                   int64_t(layout.digits[i]), " digits: they read as ", int64_t{fields[i]},
                   " ms (\"01,50\" is 50 ms, not 500)");
            break;
        }
    }
}

void SubtitleCheck::Finish(const TextReader& source) {
    const TextReader::CtrlZ& z = source.CtrlZSeen();
    if (z.found && z.followed && z.line != 0) {
        Report(ProblemCode::CtrlZ, z.line, z.column, 0,
               "a Ctrl-Z byte ends the file here: what follows it is never read");
    }
}

void SubtitleCheck::Run(TextReader& source) {
    ReadEntries(source, *this);
}

CheckCounts CheckSubtitles(TextReader& source, bool verifyLineNumbers, ProblemSink& sink) {
    SubtitleCheck check(verifyLineNumbers, sink);
    check.Run(source);
    return check.Counts();
}

}  // namespace quillo
