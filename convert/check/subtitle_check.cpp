// The check of the file as a whole and of each entry's number line, and
// the causes that take the place of an entry's errors.
#include "subtitle_check.h"

#include <algorithm>

#include "mending_reader.h"
#include "srt_entries.h"
#include "subtitle_check_message.h"

namespace quillo {
namespace {

using namespace check_message;

// "0:0:0,0-->0:0:0,0": no time line is shorter.
constexpr size_t kShortestTimeLine = 17;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The sign and digits of the number atol reads from `line`, or an empty view.
// `line` without the UTF-8 byte-order marks it starts with, where --fix
// removes them: unless the bytes after them would read as UTF-16's or
// UTF-32's mark.
std::string_view WithoutRemovableMark(std::string_view line) {
    std::string_view unmarked = line;
    while (unmarked.substr(0, 3) == "\xEF\xBB\xBF") {
        unmarked.remove_prefix(3);
    }
    const std::string_view next = unmarked.substr(0, 2);
    return next == "\xFF\xFE" || next == "\xFE\xFF" || next == std::string_view("\0\0", 2)
               ? line
               : unmarked;
}

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

void SubtitleCheck::LookCloser(const LineFacts& facts, std::string_view line) {
    const uint64_t number = facts.number;
    if (number == 1) {
        FirstLine(facts, line);
    }
    if (const size_t column = facts.cutColumn; column != 0) {
        Report(ProblemCode::Nul, number, column, 0,
               "a NUL byte cuts this line: the rest of it is lost");
    }
    // A CR left at the end of a line that had its LF.
    if (!line.empty() && line.back() == '\r' && !crCrLfSeen_ && !facts.unended &&
        facts.cutColumn == 0 &&        // a CR before a NUL ends no line
        !crOnly_ && !crEndedLines_) {  // where CR alone ends lines, the last is one of them
        crCrLfSeen_ = true;
        Report(ProblemCode::CrCrLf, number, line.size(), 0,
               "lines end CR CR LF: an empty line keeps a CR, so it separates no entries and "
               "the entries after it join one (reported once)");
    }
}

void SubtitleCheck::FirstLine(const LineFacts& facts, std::string_view line) {
    encoding_ = EncodingOf(facts.head);
    if (encoding_ != FileEncoding::Bytes) {
        // Nothing converts, and all the rest would be of bytes read wrongly.
        ReportEncoding();
        return;
    }
    if (line.substr(0, 3) == "\xEF\xBB\xBF") {
        Report(ProblemCode::Bom, 1, 1, 0, "the file starts with a UTF-8 byte-order mark",
               verify_ && ParseIndex(line) != 1
                   ? ", so entry 1's number reads as 0: convert with --no-verify"
                   : "");
    }
    crOnly_ = facts.unended && line.find('\r') != std::string_view::npos;
    // A first line that holds two CRs or more: more lines end CR alone than
    // LF, as in a file of CR line ends that ends in an LF or CR CR LF. Told
    // as --fix's reader tells it, from as much of the file as it looks at.
    const std::string_view looked = line.substr(0, MendingReader::kHeadSize);
    const auto crs = std::count(looked.begin(), looked.end(), '\r');
    crEndedLines_ = !crOnly_ && (crs >= 2 || (crs == 1 && line.size() > looked.size()));
}

bool SubtitleCheck::ExplainedInstead() {
    if (entry_.explained) {
        return true;
    }
    if (encoding_ != FileEncoding::Bytes) {
        entry_.explained = true;  // by the file's encoding, on its first line
        return true;
    }
    if (entry_.cause == Cause::None) {
        return false;
    }
    entry_.explained = true;
    ReportCause();
    return true;
}

void SubtitleCheck::ReportEncoding() {
    Report(ProblemCode::Encoding, 1, 1, 0, "the file is ", EncodingName(encoding_),
           ", which srt2rt does not convert: srt2rt --fix transcodes it to UTF-8");
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
    if (entry_.cause == Cause::CrOnly) {
        Report(ProblemCode::CrOnly, 1, 1, entry_.ordinal,
               "lines end CR alone, more of them than end LF, so they read as one: save the "
               "file with CR LF or LF line ends");
        return;
    }
    Report(ProblemCode::MissingIndex, entry_.line, 1, entry_.ordinal, entry,
           " has no number line: the line read as its number is a time line; write the entry's "
           "number on a line of its own above it");
}

void SubtitleCheck::LookAtIndex(const IndexLine& index) {
    ++counts_.entries;
    entry_.ordinal = index.ordinal;
    entry_.line = index.lineNumber;
    // Entry 1 of a file of CR line ends holds many lines: its errors come of them.
    entry_.cause = index.ordinal == 1 && crEndedLines_ ? Cause::CrOnly : Cause::None;
    entry_.explained = false;
    entry_.errorsBefore = counts_.errors;
    // Nearly every number line: the entry's own number, in a few digits.
    const std::string_view text = index.text;
    if (verify_ && !crOnly_ && text.size() <= 9 && !IsBlank(text[0]) &&
        index.Number() == index.ordinal) {
        havePreviousNumber_ = true;
        previousNumber_ = index.ordinal;
        return;
    }
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
    if (entry_.cause == Cause::None && (text.size() >= kShortestTimeLine || IsBlank(text[0]))) {
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
    // A line with a clock and "-->" is a time line whether or not its times
    // read, unless it reads as the entry's own number. (Behind the file's
    // byte-order mark, which --fix removes, for entry 1.)
    if (const std::string_view unmarked = index.lineNumber == 1 ? WithoutRemovableMark(text) : text;
        entry_.cause == Cause::None && index.Number() != index.ordinal &&
        unmarked.substr(0, 3) != "\xEF\xBB\xBF" && HoldsAnArrowAfterAClock(unmarked)) {
        entry_.cause = Cause::MissingIndex;
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

void SubtitleCheck::FinishAt(const TextReader::CtrlZ& z) {
    if (z.found && z.followed && z.line != 0) {
        Report(ProblemCode::CtrlZ, z.line, z.column, 0,
               "a Ctrl-Z byte ends the file here: what follows it is never read");
    }
    if (counts_.entries == 0) {
        Report(ProblemCode::NoEntries, 1, 1, 0,
               "the file has no entries: the document will be empty");
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
