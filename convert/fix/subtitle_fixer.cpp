#include "subtitle_fixer.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <iterator>

#include "srt_fields.h"

namespace quillo {
namespace {

constexpr char kCtrlZ = 0x1A;

// An empty line that may be searched as the reader's lines are.
constexpr char kPadding[kSearchPadding] = {};
constexpr std::string_view kEmptyLine(kPadding, 0);

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool AllBlanks(std::string_view line) {
    return std::all_of(line.begin(), line.end(), IsBlank);
}

// A time line read as a person would: blanks may stand around every number
// and separator, '.' may stand for the ',' before the milliseconds, and a
// clock may have no milliseconds at all (HH:MM:SS), which reads only one
// way. Numbers accumulate as the strict reading's do. `written` holds each
// number as it stands (its sign and digits, none for milliseconds left
// out); `tail` is where what follows the end time starts; `dot` the column
// (from 1) of the first '.', or 0.
struct LenientTime {
    int32_t fields[8];
    std::string_view written[8];
    bool noMilliseconds[2];
    size_t tail;
    size_t dot;
};

bool ReadLeniently(std::string_view line, LenientTime& time) {
    size_t at = 0;
    const auto skipBlanks = [&] {
        while (at < line.size() && IsBlank(line[at])) {
            ++at;
        }
    };
    const auto number = [&](int i) {
        skipBlanks();
        const size_t start = at;
        const bool negative = at < line.size() && line[at] == '-';
        at += at < line.size() && (line[at] == '+' || line[at] == '-') ? 1 : 0;  // as %d reads
        const size_t first = at;
        uint32_t value = 0;
        while (at < line.size() && line[at] >= '0' && line[at] <= '9') {
            value = value * 10u + static_cast<uint32_t>(line[at] - '0');
            ++at;
        }
        time.fields[i] = static_cast<int32_t>(negative ? 0u - value : value);
        time.written[i] = line.substr(start, at - start);
        return at > first;
    };
    const auto separator = [&](char wanted) {
        skipBlanks();
        if (at < line.size() && (line[at] == wanted || (wanted == ',' && line[at] == '.'))) {
            if (line[at] == '.' && time.dot == 0) {
                time.dot = at + 1;
            }
            ++at;
            return true;
        }
        return false;
    };
    // After the seconds: the end of the first clock (its arrow), or of the line.
    const auto clockEnds = [&](int half) {
        const size_t seconds = at;
        skipBlanks();
        const bool ends =
            half == 0 ? line.substr(at, 3) == "-->"
                      : at == line.size() || (seconds < at && line[at] != ',' && line[at] != '.' &&
                                              (line[at] < '0' || line[at] > '9'));
        at = seconds;
        return ends;
    };
    time.dot = 0;
    time.noMilliseconds[0] = time.noMilliseconds[1] = false;
    for (int i = 0; i < 8; ++i) {
        if (i == 4) {
            skipBlanks();
            if (line.substr(at, 3) != "-->") {
                return false;
            }
            at += 3;
        }
        if (!number(i)) {
            return false;
        }
        if (i % 4 == 2 && clockEnds(i / 4)) {
            time.noMilliseconds[i / 4] = true;
            time.fields[i + 1] = 0;
            time.written[i + 1] = {};
            ++i;
            continue;
        }
        if (i % 4 != 3 && !separator(i % 4 == 2 ? ',' : ':')) {
            return false;
        }
    }
    time.tail = at;
    return true;
}

// The sign and digits atol reads at the start of `line`, after white space;
// empty when it reads none.
std::string_view LeadingNumber(std::string_view line) {
    size_t at = line.find_first_not_of(" \t\n\v\f\r");
    if (at == std::string_view::npos) {
        return {};
    }
    const size_t start = at;
    if (line[at] == '+' || line[at] == '-') {
        ++at;
    }
    const size_t first = at;
    while (at < line.size() && line[at] >= '0' && line[at] <= '9') {
        ++at;
    }
    return at > first ? line.substr(start, at - start) : std::string_view();
}

// Whether a line that stands where entry `ordinal`'s number line should is
// that entry's time line, its number line missing: a number line holds no
// ':', as every time line does, so one that reads as a time line, signs and
// all, is one; and so is a line with a clock and "-->" whose number is not
// the entry's, whether or not its times read (renumbered, its hours would
// change), unless it starts with a byte-order mark that stays: a number
// line put before it would take the mark into the file.
bool IsMissingNumberLine(std::string_view line, int32_t written, int32_t ordinal) {
    const char* const end = line.data() + line.size();
    if (FindBytePadded(line.data(), end, ':') == end) {
        return false;
    }
    TimeRange strict;
    LenientTime time;
    return (written != ordinal && line.substr(0, 3) != "\xEF\xBB\xBF" &&
            HoldsAnArrowAfterAClock(line)) ||
           ScanTimeLine(line, strict) || ReadLeniently(line, time);
}

constexpr std::string_view kStyleCloser[kStyleTagCount] = {"</b>", "</i>", "</u>", "</s>",
                                                           "</font>"};

}  // namespace

SubtitleFixer::SubtitleFixer(MendingReader& source, TextWriter& out, ProblemSink& report)
    : source_(source), out_(out), report_(report) {}

void SubtitleFixer::Record(ProblemCode code, uint64_t line, size_t column, int32_t entry) {
    ++fixed_;
    if (!report_.Wants(Severity::Fixed)) {
        return;
    }
    report_.Report({line, column, Severity::Fixed, code, entry, message_.View()});
}

void SubtitleFixer::Queue(std::string_view line) {
    Queued& slot = queue_[(queueFront_ + queueSize_) % kQueue];
    // Before a line with a NUL or a Ctrl-Z, every line was searched for both.
    slot = {line, kQueue, false, !verbatim_, false, 0, false};
    // A DOS file's closing Ctrl-Z stays its last byte: a line end after it
    // would be something after the end of the file.
    slot.unended = endsInCtrlZ_ && !line.empty() && line.back() == kCtrlZ;
    endsInCtrlZ_ = endsInCtrlZ_ && !slot.unended;
    ++queueSize_;
}

void SubtitleFixer::QueueAsWritten(std::string_view line) {
    Queue(line);
    Queued& slot = queue_[(queueFront_ + queueSize_ - 1) % kQueue];
    slot.endAsWritten = true;
    slot.endCrs = source_.LineEndCrs();
    slot.endLf = source_.LineEndLf();
}

void SubtitleFixer::QueueCopy(std::initializer_list<std::string_view> pieces) {
    const size_t index = (queueFront_ + queueSize_) % kQueue;
    copies_[index].Clear();
    for (const std::string_view piece : pieces) {
        copies_[index].Append(piece);
    }
    Queue(copies_[index].View());
    queue_[index].copy = index;
}

void SubtitleFixer::QueueNumber(int32_t number) {
    TextBuilder text;
    text << int64_t{number};
    QueueCopy({text.View()});
}

bool SubtitleFixer::GoesOutAsItStands(std::string_view line) {
    // Not the first line, no line end to mend, not the last line unended.
    if (verbatim_ || !source_.LineReadPlainly() || (lfLeft_ && source_.LineEndCrs() == 0)) {
        return false;  // the first LF line end is said
    }
    const char* const end = line.data() + line.size();
    // The reader knows of nearly every line that it holds neither.
    const bool oddFree =
        source_.LineHoldsNoOddBytes() || FindAnyOfPadded(line.data(), end, '\0', kCtrlZ) == end;
    switch (expect_) {
        case Expect::Entry:
            if (line.empty()) {
                return true;
            }
            // A number line that is the entry's ordinal, with nothing else
            // of note in it.
            if (!oddFree || IsBlank(line[0]) || FindBytePadded(line.data(), end, ':') != end ||
                ParseIndexOfPaddedLine(line) != static_cast<int32_t>(entryCount_ + 1)) {
                return false;
            }
            ordinal_ = static_cast<int32_t>(++entryCount_);
            expect_ = Expect::TimeLine;
            numberLine_ = lineNumber_ + 1;  // handed out next, as it stands
            return true;
        case Expect::TimeLine:
            if (heldEmpty_ != 0 || line.empty() || map_ != nullptr || !oddFree ||
                !ParseUsualTimeLine(line, usualTimes_)) {
                return false;
            }
            usualTimesLine_ = lineNumber_ + 1;  // handed out next, as it stands
            expect_ = Expect::Text;
            openCount_ = 0;
            return true;
        case Expect::Text:
            // No style left open, none held, and nothing that could open one.
            if (holdingText_ || openCount_ != 0 || !oddFree) {
                return false;
            }
            // One search for the fixer's bytes and the check's alike: most
            // lines hold none, and the walk is told so.
            if (const char* special = FindAnyOfPadded(line.data(), end, '<', '&', '{', '|', '>');
                special == end) {
                plainLine_ = lineNumber_ + 1;
            } else if (FindAnyOfPadded(special, end, '<', '&', '{') != end ||
                       (map_ != nullptr && FindBytePadded(special, end, '>') != end)) {
                return false;  // markup to follow, or (retimed) maybe a time line
            }
            if (line.empty()) {
                expect_ = Expect::Entry;
            }
            return true;
    }
    return false;
}

void SubtitleFixer::Mend(std::string_view line) {
    endsInCtrlZ_ = source_.LineUnended() && !line.empty() && line.back() == kCtrlZ;
    if (source_.LineNumber() == 1) {
        const FileEncoding encoding = source_.Encoding();
        if (encoding != FileEncoding::Bytes) {
            Fix(ProblemCode::Encoding, 1, 1, 0, "the file was ", EncodingName(encoding),
                ": transcoded to UTF-8");
        }
        if (source_.CrOnly()) {
            Fix(ProblemCode::CrOnly, 1, 1, 0, "lines ended CR only: they end CR LF now");
        }
        std::string_view unmarked = line;
        while (unmarked.substr(0, 3) == "\xEF\xBB\xBF") {
            unmarked.remove_prefix(3);  // one, or a file saved twice with one
        }
        // Unless the bytes after it would then read as UTF-16's or UTF-32's mark.
        if (unmarked.size() != line.size() && unmarked.substr(0, 2) != "\xFF\xFE" &&
            unmarked.substr(0, 2) != "\xFE\xFF" &&
            unmarked.substr(0, 2) != std::string_view("\0\0", 2)) {
            Fix(ProblemCode::Bom, 1, 1, 0, "the UTF-8 byte-order mark: removed");
            line = unmarked;
        }
    }
    if (source_.CrCrLfLine() == source_.LineNumber()) {
        Fix(ProblemCode::CrCrLf, source_.LineNumber(), line.size() + 1, 0,
            "lines ended CR CR LF: they end CR LF now (said once)");
    }
    if (verbatim_) {
        // A time line a reader never sees would keep its times, unmoved.
        if (map_ != nullptr && ctrlZLine_ != 0 && HoldsAnArrowAfterAClock(line)) {
            StopRetiming(ctrlZLine_, ctrlZColumn_, "a Ctrl-Z before time lines");
        }
        QueueAsWritten(line);  // after a Ctrl-Z: no reader sees it, nothing is mended
        return;
    }
    // One search for both (the reader's lines are padded); most lines hold neither.
    const char* const end = line.data() + line.size();
    if (const char* found = FindAnyOfPadded(line.data(), end, '\0', kCtrlZ); found != end) {
        verbatim_ = true;
        const size_t column = static_cast<size_t>(found - line.data()) + 1;
        if (map_ != nullptr && (*found == '\0' || expect_ == Expect::TimeLine)) {
            StopRetiming(source_.LineNumber(), column,
                         *found == '\0' ? "a NUL byte" : "a Ctrl-Z in a time line");
        }
        ctrlZLine_ = source_.LineNumber();
        ctrlZColumn_ = column;
        if (line.find('\0') != std::string_view::npos) {
            // A reader cuts the line there; what the author meant by the rest
            // is not ours to guess: from here on the file stands as it is.
            ReleaseHeldEmpties();
            ReleaseHeldText();
        } else {
            // A reader's file ends at its Ctrl-Z: from the line that holds it
            // on, everything stands as it is.
            EndOfEntries();
        }
        QueueAsWritten(line);
        return;
    }
    if (lfLeft_ && source_.LineEndLf() && source_.LineEndCrs() == 0 && !source_.CrOnly()) {
        lfLeft_ = false;
        Fix(ProblemCode::LfLineEnds, source_.LineNumber(), line.size() + 1, 0,
            "lines ended LF: they end CR LF now, as the window writes them (said once)");
    }
    switch (expect_) {
        case Expect::Entry:
            EntryLine(line);
            break;
        case Expect::TimeLine:
            TimeLineLine(line);
            break;
        case Expect::Text:
            TextLine(line);
            break;
    }
}

void SubtitleFixer::ReleaseHeldEmpties() {
    // Handed out before anything queued after them: the queue is empty here.
    emptiesDue_ += heldEmpty_;
    heldEmpty_ = 0;
}

void SubtitleFixer::EndOfEntries() {
    if (expect_ == Expect::TimeLine) {
        ReleaseHeldEmpties();
    }
    if (expect_ == Expect::Text) {
        CloseEntry();
    }
    expect_ = Expect::Entry;
}

void SubtitleFixer::EntryLine(std::string_view line) {
    const uint64_t number = source_.LineNumber();
    if (line.empty()) {
        Queue(line);
        return;
    }
    if (AllBlanks(line)) {
        Fix(ProblemCode::BlankLine, number, 1, 0,
            "a line of blanks stood where an entry would start: emptied");
        Queue(kEmptyLine);
        return;
    }
    ordinal_ = static_cast<int32_t>(++entryCount_);
    // The reader's lines are padded for the fast reading.
    const int32_t written = ParseIndexOfPaddedLine(line);
    if (IsMissingNumberLine(line, written, ordinal_)) {
        Fix(ProblemCode::MissingIndex, number, 1, ordinal_, "entry ", int64_t{ordinal_},
            " had no number line: inserted");
        QueueNumber(ordinal_);
        expect_ = Expect::TimeLine;
        TimeLineLine(line);
        return;
    }
    const std::string_view digits = written != ordinal_ ? LeadingNumber(line) : std::string_view();
    if (written == ordinal_ || digits.empty()) {
        // A line with no number is text where a number should be (a title, an
        // empty line inside an entry): only its author knows what it is.
        Queue(line);
    } else {
        Fix(ProblemCode::IndexMismatch, number, 1, ordinal_, "entry ", int64_t{ordinal_},
            " was numbered ", int64_t{written}, ": renumbered");
        TextBuilder ordinal;  // what stands around it stays, however long
        ordinal << int64_t{ordinal_};
        QueueCopy({line.substr(0, static_cast<size_t>(digits.data() - line.data())), ordinal.View(),
                   line.substr(static_cast<size_t>(digits.data() + digits.size() - line.data()))});
    }
    expect_ = Expect::TimeLine;
}

bool SubtitleFixer::MendedTime(std::string_view line) {
    LenientTime time;
    if (!ReadLeniently(line, time) || std::any_of(std::begin(time.fields), std::end(time.fields),
                                                  [](int32_t f) { return f < 0; })) {
        return false;
    }
    // The numbers as they stand: two digits of milliseconds stay two, and
    // keep their warning, for only the author knows what they meant.
    TextBuilder text;
    for (int half = 0; half < 2; ++half) {
        const std::string_view* f = time.written + 4 * half;
        text << f[0] << ':' << f[1] << ':' << f[2] << ',';
        text << (time.noMilliseconds[half] ? std::string_view("000") : f[3]);
        if (half == 0) {
            text << " --> ";
        }
    }
    const uint64_t number = source_.LineNumber();
    QueueCopy({text.View(), line.substr(time.tail)});  // what follows stays, however long
    const bool noMilliseconds = time.noMilliseconds[0] || time.noMilliseconds[1];
    if (time.dot != 0) {
        Fix(ProblemCode::TimeFormat, number, time.dot, ordinal_, "entry ", int64_t{ordinal_},
            "'s time line had '.' before the milliseconds");
    } else if (!noMilliseconds) {
        Fix(ProblemCode::TimeFormat, number, 1, ordinal_, "entry ", int64_t{ordinal_},
            "'s time line had blanks inside its fields: rewritten");
    }
    if (noMilliseconds) {
        Fix(ProblemCode::TimeFormat, number, 1, ordinal_, "entry ", int64_t{ordinal_},
            time.noMilliseconds[0] && time.noMilliseconds[1]
                ? "'s time line had no milliseconds: ',000' added to both times"
            : time.noMilliseconds[0] ? "'s time line had no milliseconds in its start: ',000' added"
                                     : "'s time line had no milliseconds in its end: ',000' added");
    }
    return true;
}

void SubtitleFixer::TimeLineLine(std::string_view line) {
    if (line.empty()) {
        if (heldEmpty_++ == 0) {
            heldEmptyLine_ = source_.LineNumber();
        }
        return;
    }
    TimeRange strict;
    LenientTime lenient;
    const bool reads = ParseUsualTimeLine(line, strict) || ScanTimeLine(line, strict);
    if (heldEmpty_ > 0 && (reads || ReadLeniently(line, lenient))) {
        Fix(ProblemCode::TimeFormat, heldEmptyLine_, 1, ordinal_, "entry ", int64_t{ordinal_},
            heldEmpty_ == 1 ? " had an empty line between its number and its time line: removed"
                            : " had empty lines between its number and its time line: removed");
        heldEmpty_ = 0;
    }
    if (heldEmpty_ > 0) {
        // No rule reads it: the lines stay as they stand, read as a reader
        // reads them. The first empty line is the entry's time line; a
        // second ends the entry, else this line is its text.
        const bool entryEnded = heldEmpty_ > 1;
        ReleaseHeldEmpties();
        openCount_ = 0;
        expect_ = entryEnded ? Expect::Entry : Expect::Text;
        entryEnded ? EntryLine(line) : TextLine(line);
        return;
    }
    const bool mended = !reads && MendedTime(line);
    if (!mended) {
        Queue(line);  // as it stands, whether it reads or not
    }
    if (map_ != nullptr && (reads || mended)) {
        RetimeQueuedTimeLine();
    }
    expect_ = Expect::Text;
    openCount_ = 0;
}

void SubtitleFixer::StopRetiming(uint64_t line, size_t column, std::string_view why) {
    StopRetimingWith(line, column, "line ", static_cast<int64_t>(line), " holds ", why,
                     ": from there --fix leaves the file as it stands, and ",
                     std::string_view(map_->Option()),
                     " would not move its times (remove it first)");
}

void SubtitleFixer::StopRetimingSaid(uint64_t line, size_t column) {
    report_.Report({line, column, Severity::Error, ProblemCode::Retime, ordinal_, message_.View()});
    throw RetimingStopped{};
}

void SubtitleFixer::RetimeQueuedTimeLine() {
    const size_t index = (queueFront_ + queueSize_ - 1) % kQueue;
    Queued& slot = queue_[index];
    const std::string_view line = slot.text;
    TimeRange read;
    TimeLineLayout layout;
    if (!ScanTimeLine(line, read, &layout)) {
        return;  // mended lines read
    }
    const uint64_t number = source_.LineNumber();
    // A number past 32 bits reads as another: moving what it reads as would
    // write that other number in its place.
    for (int i = 0; i < 8; ++i) {
        const size_t start = layout.start[i];
        const size_t sign = line[start] == '+' || line[start] == '-' ? 1 : 0;
        if (const std::string_view written = line.substr(start, sign + layout.digits[i]);
            PastThirtyTwoBits(written)) {
            StopRetimingWith(number, start + 1, "entry ", int64_t{ordinal_}, "'s \"", written,
                             "\" does not fit in 32 bits, so ", std::string_view(map_->Option()),
                             " cannot move it (write the time as it is meant first)");
        }
    }
    const RetimedTimes moved = Retime(*map_, read);
    if (moved.outcome != RetimedTimes::Outcome::Moved) {
        message_.Clear();
        AppendRetiming(message_, ordinal_, moved, *map_);
        if (moved.outcome == RetimedTimes::Outcome::Outside) {
            StopRetimingSaid(number, 1);
        }
        Record(ProblemCode::RetimeClamp, number, 1, ordinal_);
    }
    // Each number in place of the one read, with as many digits where they
    // suffice ("00:01:02,500", "0:1:2,5"), more where they do not (hours past
    // 99 in "00:..."); every other byte as it was.
    const TimeRange& w = moved.written;
    const int32_t fields[8] = {w.beginHours, w.beginMinutes, w.beginSeconds, w.beginMilliseconds,
                               w.endHours,   w.endMinutes,   w.endSeconds,   w.endMilliseconds};
    retimed_.Clear();
    size_t at = 0;
    bool msDigitsSaid = false;
    for (int i = 0; i < 8; ++i) {
        const size_t start = layout.start[i];
        const size_t sign = line[start] == '+' || line[start] == '-' ? 1 : 0;
        retimed_.Append(line.substr(at, start - at));
        char digits[kMaxDecimalDigits];
        const size_t count =
            static_cast<size_t>(WriteDecimal(digits, static_cast<uint64_t>(fields[i])) - digits);
        // Milliseconds of fewer than three digits were read as srt2rt reads
        // them; moved into three, they no longer show that they were.
        if ((i == 3 || i == 7) && !msDigitsSaid && layout.digits[i] < 3 && count == 3) {
            msDigitsSaid = true;
            message_.Clear();
            message_ << "entry " << int64_t{ordinal_} << "'s milliseconds \""
                     << line.substr(start, sign + layout.digits[i]) << "\" were read as "
                     << int64_t{i == 3 ? read.beginMilliseconds : read.endMilliseconds}
                     << " ms, as srt2rt reads them, and moved to three digits: check the times";
            report_.Report({number, start + 1, Severity::Warning, ProblemCode::MsDigits, ordinal_,
                            message_.View()});
        }
        for (size_t zeros = layout.digits[i] > count ? layout.digits[i] - count : 0; zeros > 0;) {
            const size_t n = std::min<size_t>(zeros, 16);
            retimed_.Append(std::string_view("0000000000000000", n));
            zeros -= n;
        }
        retimed_.Append(std::string_view(digits, count));
        at = start + sign + layout.digits[i];
    }
    retimed_.Append(line.substr(at));
    std::swap(copies_[index], retimed_);
    slot.text = copies_[index].View();
    slot.copy = index;
}

void SubtitleFixer::ReleaseHeldText() {
    if (holdingText_) {
        QueueCopy({heldText_.View()});
        holdingText_ = false;
    }
}

void SubtitleFixer::CloseEntry() {
    if (openCount_ > 0 && holdingText_) {
        TextBuilder opened;
        TextBuilder closed;
        for (size_t i = openCount_; i-- > 0;) {
            opened << '<' << StyleTagName(open_[i]) << '>';
            closed << kStyleCloser[static_cast<size_t>(open_[i])];
        }
        const size_t end = heldText_.View().size();
        heldText_.Append(closed.View());
        // Behind a '<' or a "{\" that runs on to the end of the line, the
        // closing tags would be read as part of it: then the author decides.
        size_t closing = 0;
        bool other = false;
        ScanMarkup(heldText_.View(), [&](const MarkupItem& item) {
            if (item.at + item.length <= end) {
                return;
            }
            if (item.kind == MarkupItem::Kind::StyleClosed && item.at >= end) {
                ++closing;
            } else {
                other = true;  // something of the line runs into them
            }
        });
        if (closing == openCount_ && !other) {
            Fix(ProblemCode::UnclosedTag, heldTextLine_, end + 1, ordinal_, "entry ",
                int64_t{ordinal_}, " left ", opened.View(), " open: closed at its end");
        } else {
            PaddedLine unclosed;
            unclosed.Assign(heldText_.View().substr(0, end));
            std::swap(unclosed, heldText_);
        }
    }
    openCount_ = 0;
    ReleaseHeldText();
}

void SubtitleFixer::TextLine(std::string_view line) {
    if (line.empty()) {
        CloseEntry();
        Queue(line);
        expect_ = Expect::Entry;
        return;
    }
    // A time line in the text (its empty line missing) would keep its times.
    if (map_ != nullptr && ReadsAsATimeLine(line)) {
        StopRetimingWith(
            source_.LineNumber(), 1, "line ", int64_t(source_.LineNumber()),
            " reads as a time line in entry ", int64_t{ordinal_},
            "'s text, the empty line before it missing: ", std::string_view(map_->Option()),
            " would not move it (add the empty line first)");
    }
    ReleaseHeldText();
    if (MayHoldMarkup(line)) {  // the reader's lines are padded for the search
        ScanMarkup(line, [this](const MarkupItem& item) {
            if (item.kind == MarkupItem::Kind::StyleOpened && openCount_ < std::size(open_)) {
                open_[openCount_++] = item.style;
            } else if (item.kind == MarkupItem::Kind::StyleClosed) {
                for (size_t i = openCount_; i-- > 0;) {
                    if (open_[i] == item.style) {
                        std::copy(open_ + i + 1, open_ + openCount_, open_ + i);
                        --openCount_;
                        break;
                    }
                }
            }
        });
    }
    if (openCount_ == 0) {
        Queue(line);
        return;
    }
    // A style is open: the entry's last line may yet have to close it.
    heldText_.Assign(line);
    heldTextLine_ = source_.LineNumber();
    holdingText_ = true;
}

bool SubtitleFixer::ReadLine(std::string_view& line) {
    if (walkEnded_) {
        line = {};
        return false;
    }
    while (queueSize_ == 0 && emptiesDue_ == 0) {
        if (sourceEnded_) {
            line = {};
            return false;
        }
        std::string_view next;
        if (!source_.ReadLine(next)) {
            sourceEnded_ = true;
            if (!verbatim_) {
                EndOfEntries();
            }
            continue;
        }
        if (GoesOutAsItStands(next)) {
            // Nearly every line: out as it stands, without the queue.
            out_.PutLine(next);
            ++lineNumber_;
            line = next;
            return true;
        }
        Mend(next);
    }
    Queued next{kEmptyLine, kQueue, false, true, false, 0, false};
    if (emptiesDue_ > 0) {
        --emptiesDue_;
    } else {
        next = queue_[queueFront_];
        if (next.copy != kQueue) {
            std::swap(current_, copies_[next.copy]);  // kept until the next call
            next.text = current_.View();
        }
        queueFront_ = (queueFront_ + 1) % kQueue;
        --queueSize_;
    }
    const std::string_view text = next.text;
    // Lines hold no LF: they go out as they stand.
    out_.BeginLine();
    out_.Put(text);
    if (next.endAsWritten) {
        for (uint32_t i = 0; i < next.endCrs; ++i) {
            out_.Put("\r");
        }
        out_.EndLineWith(next.endLf ? "\n" : "");
    } else if (!next.unended) {
        out_.EndLine();
    }
    ++lineNumber_;
    line = text;
    // The converter cuts a line at a NUL and ends the file at a Ctrl-Z: the
    // walk sees the mended file as it will. Most lines hold neither.
    const char* const end = text.data() + text.size();
    if (next.plain || FindAnyOfPadded(text.data(), end, '\0', kCtrlZ) == end) {
        return true;
    }
    if (const void* z = ctrlZ_.found ? nullptr : std::memchr(text.data(), kCtrlZ, text.size())) {
        // What follows it includes the CR LF the line ends with, if any.
        const size_t column = static_cast<size_t>(static_cast<const char*>(z) - text.data());
        ctrlZ_ = {true, !next.unended || column + 1 < text.size(), lineNumber_, column + 1};
        line = text.substr(0, column);
        walkEnded_ = true;
    }
    if (const void* nul = std::memchr(line.data(), '\0', line.size())) {
        cutLine_ = lineNumber_;
        cutColumn_ = static_cast<size_t>(static_cast<const char*>(nul) - line.data()) + 1;
        line = line.substr(0, cutColumn_ - 1);
    }
    return true;
}

void SubtitleFixer::Finish() {
    // What follows a Ctrl-Z is mended and written, though no reader sees it.
    std::string_view line;
    do {
        walkEnded_ = false;
    } while (ReadLine(line));
    if (const uint64_t replaced = source_.Replaced(); replaced != 0) {
        Fix(ProblemCode::Encoding, 1, 1, 0, int64_t(replaced),
            replaced == 1 ? " code unit that is no character" : " code units that are no character",
            " (an unpaired surrogate, a NUL, a unit cut short at the end) became U+FFFD");
    }
}

}  // namespace quillo
