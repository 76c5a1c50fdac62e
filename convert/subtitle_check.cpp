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

void Append(std::string& out, std::string_view text) {
    out.append(text);
}
void Append(std::string& out, int64_t value) {
    AppendDecimal(out, value);
}
void Append(std::string& out, Clock c) {
    char text[kMaxClockLength];
    out.append(text, FormatClockText(text, c.hours, c.minutes, c.seconds, c.milliseconds));
}
void Append(std::string& out, Entry e) {
    out += "entry ";
    Append(out, int64_t{e.ordinal});
}
void Append(std::string& out, Quoted q) {
    out += QuotedLine(q.line);
}

// The message, made anew from its pieces.
template <typename... Parts>
void Say(std::string& out, const Parts&... parts) {
    out.clear();
    (Append(out, parts), ...);
}

}  // namespace

void AppendDecimal(std::string& out, int64_t value) {
    char digits[24];
    int count = 0;
    uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        out += '-';
    }
    while (count > 0) {
        out += digits[--count];
    }
}

std::string QuotedLine(std::string_view line) {
    constexpr size_t kShown = 60;
    std::string quoted = "\"";
    for (size_t i = 0; i < line.size() && i < kShown; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c >= 0x7F) {
            static const char kHex[] = "0123456789ABCDEF";
            quoted += "\\x";
            quoted += kHex[c >> 4];
            quoted += kHex[c & 15];
        } else {
            if (c == '"' || c == '\\') {
                quoted += '\\';
            }
            quoted += static_cast<char>(c);
        }
    }
    quoted += line.size() > kShown ? "\"..." : "\"";
    return quoted;
}

void SubtitleCheck::Report(Severity severity, std::string_view code, uint64_t line, size_t column,
                           int32_t entry) {
    ++(severity == Severity::Error ? counts_.errors : counts_.warnings);
    if (Wants(severity)) {
        sink_.Report({line, column, severity, code, entry, message_});
    } else {
        sink_.Skip(severity);
    }
}

void SubtitleCheck::Line(const TextReader& source, std::string_view line) {
    const uint64_t number = source.LineNumber();
    if (number == 1) {
        FirstLine(source, line);
    }
    if (const size_t column = source.CutColumn(number); column != 0) {
        if (Wants(Severity::Warning)) {
            Say(message_, "a NUL byte cuts this line: the rest of it is lost");
        }
        Report(Severity::Warning, "nul", number, column, 0);
    }
    // A CR left at the end of a line that had its LF.
    if (!line.empty() && line.back() == '\r' && !crCrLfSeen_ && !source.LineUnended()) {
        crCrLfSeen_ = true;
        if (Wants(Severity::Warning)) {
            Say(message_,
                "lines end CR CR LF: an empty line keeps a CR, so it separates no entries and "
                "the entries after it join one (reported once)");
        }
        Report(Severity::Warning, "cr-cr-lf", number, line.size(), 0);
    }
}

void SubtitleCheck::FirstLine(const TextReader& source, std::string_view line) {
    if (line.substr(0, 3) == "\xEF\xBB\xBF") {
        if (Wants(Severity::Warning)) {
            Say(message_, "the file starts with a UTF-8 byte-order mark");
            if (verify_ && ParseIndex(line) != 1) {
                Append(message_, ", so entry 1's number reads as 0: convert with --no-verify");
            }
        }
        Report(Severity::Warning, "bom", 1, 1, 0);
    }
    crOnly_ = source.LineUnended() && line.find('\r') != std::string_view::npos;
}

bool SubtitleCheck::Index(int32_t ordinal, std::string_view line, uint64_t lineNumber) {
    ++counts_.entries;
    if (ordinal == 1 && crOnly_) {
        message_ =
            "the file has CR line ends and no LF, so it reads as one line: save it with CR LF "
            "or LF line ends";
        Report(Severity::Error, "cr-only", 1, 1, 1);
        return true;
    }
    const int32_t number = ParseIndexOfPaddedLine(line);  // lines come from the reader
    const bool follows = havePreviousNumber_ && int64_t{number} == int64_t{previousNumber_} + 1;
    havePreviousNumber_ = true;
    previousNumber_ = number;
    if (!verify_ || number == ordinal || follows) {
        return true;
    }
    Say(message_, Entry{ordinal}, " is numbered ", int64_t{number});
    if (line.find_first_not_of("0123456789") != std::string_view::npos) {
        Append(message_, " (its index line reads ");
        Append(message_, Quoted{line});
        Append(message_, ")");
    }
    Append(message_, "; entries must be numbered 1, 2, 3... (or convert with --no-verify)");
    Report(Severity::Error, "index-mismatch", lineNumber, 1, ordinal);
    return true;
}

void SubtitleCheck::ReportTimeFormat(int32_t ordinal, std::string_view line, bool present,
                                     uint64_t lineNumber, const TimeLineLayout& layout) {
    size_t column = 1;
    if (!present) {
        Say(message_, Entry{ordinal}, " has no time line: the file ends after its index line");
    } else if (line.empty()) {
        Say(message_, Entry{ordinal},
            "'s time line is empty: an empty line follows its index line");
    } else {
        column = layout.stop + 1;
        Say(message_, Entry{ordinal}, "'s time line does not read: ");
        const char found = layout.stop < line.size() ? line[layout.stop] : '\0';
        if (layout.expected == ',' && found == '.') {
            message_ += "'.' before the milliseconds, where ',' is needed";
        } else if (layout.expected == '-') {
            message_ += "no '-->' between the two times";
        } else if (layout.stop >= line.size()) {
            message_ += "it ends before its eight numbers, HH:MM:SS,mmm --> HH:MM:SS,mmm";
        } else {
            const char expected[] = {'\'', layout.expected, '\'', '\0'};
            Say(message_, Entry{ordinal}, "'s time line does not read: ",
                layout.expected == '0' ? std::string_view("a number") : std::string_view(expected),
                " is needed here, as in HH:MM:SS,mmm --> HH:MM:SS,mmm: ", Quoted{line});
        }
    }
    Report(Severity::Error, "time-format", lineNumber, column, ordinal);
}

bool SubtitleCheck::TimeLine(int32_t ordinal, std::string_view line, bool present,
                             uint64_t lineNumber) {
    // The usual shape needs no layout; any other is read again by the
    // general scanner, which tells where each number stands.
    TimeRange times;
    TimeLineLayout layout;
    const bool usual = ParseUsualTimeLine(line, times);
    if (!usual && !ScanTimeLine(line, times, &layout)) {
        if (!(ordinal == 1 && crOnly_)) {  // already reported as the file's fault
            ReportTimeFormat(ordinal, line, present, lineNumber, layout);
        }
        return true;
    }
    CheckTimes(ordinal, line, times, usual ? nullptr : &layout, lineNumber);
    return true;
}

void SubtitleCheck::CheckTimes(int32_t ordinal, std::string_view line, const TimeRange& t,
                               const TimeLineLayout* scanned, uint64_t lineNumber) {
    const int64_t begin =
        Milliseconds(t.beginHours, t.beginMinutes, t.beginSeconds, t.beginMilliseconds);
    const int64_t end = Milliseconds(t.endHours, t.endMinutes, t.endSeconds, t.endMilliseconds);
    const bool wanted = Wants(Severity::Warning);
    TimeLineLayout layout;
    const auto where = [&]() -> const TimeLineLayout& {
        if (scanned == nullptr) {  // the usual shape: read again, for the columns
            TimeRange unused;
            ScanTimeLine(line, unused, &layout);
            scanned = &layout;
        }
        return *scanned;
    };

    if (end <= begin) {
        if (wanted) {
            Say(message_, Entry{ordinal}, " ends at ", EndClock(t),
                end == begin ? ", as" : ", before", " it begins at ", BeginClock(t));
        }
        Report(Severity::Warning, "end-before-begin", lineNumber, 1, ordinal);
    }
    if (end > kDocumentDuration) {
        if (wanted) {
            Say(message_, Entry{ordinal}, " ends at ", EndClock(t),
                ", after the document's 3:00:00.00: cut short");
        }
        Report(Severity::Warning, "past-duration", lineNumber, 1, ordinal);
    }
    if (previousEntry_ != 0) {
        if (begin < previousBegin_) {
            if (wanted) {
                Say(message_, Entry{ordinal}, " begins at ", BeginClock(t), ", before ",
                    Entry{previousEntry_}, " begins at ", BeginClock(previousTimes_));
            }
            Report(Severity::Warning, "order", lineNumber, 1, ordinal);
        } else if (begin < previousEnd_) {
            if (wanted) {
                Say(message_, Entry{ordinal}, " begins at ", BeginClock(t), ", before ",
                    Entry{previousEntry_}, " ends at ", EndClock(previousTimes_),
                    ": its <clear/> cuts that one short");
            }
            Report(Severity::Warning, "overlap", lineNumber, 1, ordinal);
        }
    }
    // The usual shape has hours from 0, two digits of minutes and seconds,
    // three of milliseconds: only minutes and seconds past 59 can be wrong.
    const bool usual = scanned == nullptr;
    const bool fieldsInRange =
        usual && std::max({t.beginMinutes, t.beginSeconds, t.endMinutes, t.endSeconds}) <= 59;
    const int32_t fields[8] = {t.beginHours, t.beginMinutes, t.beginSeconds, t.beginMilliseconds,
                               t.endHours,   t.endMinutes,   t.endSeconds,   t.endMilliseconds};
    static const char* const kNames[4] = {"hours", "minutes", "seconds", "milliseconds"};
    for (int i = 0; i < 8 && !fieldsInRange; ++i) {
        const int32_t v = fields[i];
        const int unit = i % 4;
        const int32_t most = unit == 3 ? 999 : 59;
        if (v < 0 || (unit != 0 && v > most)) {
            if (wanted) {
                Say(message_, Entry{ordinal}, i < 4 ? "'s begin " : "'s end ", kNames[unit],
                    " are ", int64_t{v}, unit == 0 ? ", below 0" : ", outside 0-",
                    unit == 0 ? "" : (unit == 3 ? "999" : "59"),
                    ": the document prints them as they stand (",
                    i < 4 ? BeginClock(t) : EndClock(t), ")");
            }
            Report(Severity::Warning, "field-range", lineNumber, where().start[i] + 1, ordinal);
            break;
        }
    }
    // Fields as written, after what concerns the whole line. The usual shape
    // has three digits of milliseconds.
    for (int i : {3, 7}) {
        if (scanned != nullptr && scanned->digits[i] != 3) {
            if (wanted) {
                Say(message_, Entry{ordinal}, i < 4 ? "'s begin" : "'s end", " milliseconds have ",
                    int64_t(scanned->digits[i]), " digits: they read as ", int64_t{fields[i]},
                    " ms (\"01,50\" is 50 ms, not 500)");
            }
            Report(Severity::Warning, "ms-digits", lineNumber, scanned->start[i] + 1, ordinal);
            break;
        }
    }
    previousEntry_ = ordinal;
    previousBegin_ = begin;
    previousEnd_ = end;
    previousTimes_ = t;
}

void SubtitleCheck::Finish(const TextReader& source) {
    const TextReader::CtrlZ& z = source.CtrlZSeen();
    if (z.found && z.followed && z.line != 0) {
        if (Wants(Severity::Warning)) {
            message_ = "a Ctrl-Z byte ends the file here: what follows it is never read";
        }
        Report(Severity::Warning, "ctrl-z", z.line, z.column, 0);
    }
}

void SubtitleCheck::Run(TextReader& source) {
    ReadEntries(source, *this);
    Finish(source);
}

CheckCounts CheckSubtitles(TextReader& source, bool verifyLineNumbers, ProblemSink& sink) {
    SubtitleCheck check(verifyLineNumbers, sink);
    check.Run(source);
    return check.Counts();
}

}  // namespace quillo
