// The whole run, in memory, against the plain reading of the rules: the exact
// document and notice, in three settings per input (verified or not, code
// page 932 or a single-byte one, blocks of every small size, a check of the
// entries alongside, and a destination that fills up part-way, as a full
// disk). And the check of the same input, alone and beside the run: it finds
// an error exactly when the run stops at one, and its first error names the
// same entry. And --fix of the same input holds its three promises: nothing
// is lost, a time line keeps its times unless the report says otherwise,
// mending a mended file changes nothing, a mended file has no error of a
// mendable kind, and a full disk cuts short what it says, in order. And the
// timing options: a retimed run stops where its check finds an error and
// differs from the plain one only in its times; --fix moves only the numbers
// of time lines, a shift and its opposite give its file back, --fps=A:B and
// B:A every time within 1 ms.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "code_page.h"
#include "conversion.h"
#include "fuzz_support.h"
#include "mending_run.h"
#include "messages.h"
#include "problem.h"
#include "reference_model.h"
#include "subtitle_check.h"
#include "text_file.h"
#include "time_map.h"
#include "timing_options.h"

namespace quillo::fuzz {
namespace {

struct Shown {
    enum Kind { Question, Error, ReadFailure, WriteFailure } kind;
    std::string text;
    std::string caption;
};

class Host : public ProblemSink {
public:
    bool Ask(const Problem& question) override {
        shown.push_back({Shown::Question, messages::WindowText(question),
                         messages::WindowCaption(question.code)});
        return true;
    }
    void Report(const Problem& notice) override {
        if (notice.code == ProblemCode::ReadError || notice.code == ProblemCode::WriteError) {
            shown.push_back(
                {notice.operation == FileOperation::Read ? Shown::ReadFailure : Shown::WriteFailure,
                 "", std::string(notice.file)});
            return;
        }
        lastCode = notice.code;
        lastEntry = notice.entry;
        shown.push_back(
            {Shown::Error, messages::WindowText(notice), messages::WindowCaption(notice.code)});
        if (said != nullptr) {
            *said += "notice " + shown.back().text + "\n";
        }
    }
    std::vector<Shown> shown;
    ProblemCode lastCode = ProblemCode::ReadError;
    int32_t lastEntry = 0;
    std::string* said = nullptr;  // the run's words, in order, problems included
};

// As srt2rt's: the warnings, and the error that stops the run, explained.
class RunWarnings : public ProblemSink {
public:
    explicit RunWarnings(std::string& said) : said_(said) {}
    bool Wants(Severity severity) const override {
        return severity == Severity::Error ? firstErrorEntry == 0 : shown_ < 3;
    }
    void Report(const Problem& problem) override {
        Require(problem.severity == Severity::Warning || firstErrorEntry == 0,
                "a conversion reports a second error");
        if (problem.severity == Severity::Error) {
            firstErrorEntry = problem.entry;
        } else {
            ++shown_;
        }
        said_ += std::to_string(problem.line) + ":" + std::to_string(problem.column) + " " +
                 std::string(problem.Name()) + " " + std::string(problem.message) + "\n";
    }
    int32_t firstErrorEntry = 0;

private:
    std::string& said_;
    int shown_ = 0;
};

struct Setting {
    bool verify;
    bool shiftJis;
    size_t readBlock;
    size_t writeBlock;
    size_t capacity;  // of the destination; SIZE_MAX for a disk with room
    bool withWarnings;
};

// Every problem, as the check describes it, with what each must say.
class Problems : public ProblemSink {
public:
    explicit Problems(bool describeWarnings) : describeWarnings_(describeWarnings) {}
    bool Wants(Severity severity) const override {
        return severity == Severity::Error || describeWarnings_;
    }
    void Report(const Problem& problem) override {
        Require(problem.line > 0 && problem.column > 0, "a problem has no place");
        Require(!problem.message.empty() && !problem.Name().empty(), "a problem has no text");
        if (problem.severity == Severity::Error) {
            Require(
                problem.entry > 0 || problem.Name() == "cr-only" || problem.Name() == "encoding",
                "an error names no entry");
            if (firstErrorEntry == 0) {
                firstErrorEntry = problem.entry;
            }
            ++errors;
        }
    }
    int32_t firstErrorEntry = 0;
    uint64_t errors = 0;

private:
    bool describeWarnings_;
};

// Whether srt2rt refuses `source` for its encoding.
bool IsWide(std::string_view source) {
    return EncodingOf(source.substr(0, TextReader::kHeadSize)) != FileEncoding::Bytes;
}

void CheckAgreesWithTheRun(std::string_view source, bool verify, size_t block,
                           const ReferenceRun& expected, bool describeWarnings) {
    TextReader& reader = KeptFor<TextReader>(block);
    reader.AttachMemory(source, "film.srt");
    Problems problems(describeWarnings);
    const CheckCounts counts = CheckSubtitles(reader, verify, problems);
    RequireEqual(static_cast<int64_t>(counts.errors), static_cast<int64_t>(problems.errors),
                 "the check counts other errors than it reports");
    if (IsWide(source)) {
        // srt2rt converts none of it, and says only why.
        Require(counts.errors == 1 && counts.warnings == 0,
                "a UTF-16 or UTF-32 file is not one encoding error alone");
        return;
    }
    Require((counts.errors == 0) == expected.notice.empty(), [&] {
        return std::string(counts.errors == 0
                               ? "the check finds no error where the run stops"
                               : "the check finds an error where the run completes") +
               (verify ? " (verified)" : " (not verified)");
    });
    if (counts.errors > 0) {
        RequireEqual(expected.failedEntry, problems.firstErrorEntry,
                     "the check's first error names another entry than the run");
    }
}

void Run(std::string_view source, const Setting& setting, const ReferenceRun& expected) {
    TextReader* reader = &KeptFor<TextReader>(setting.readBlock);
    TextWriter* writer = &KeptFor<TextWriter>(setting.writeBlock);

    static std::string document;
    document.clear();
    reader->AttachMemory(source, "film.srt");
    writer->AttachMemory(document, "film.rt", setting.capacity);
    std::string said;
    Host host;
    host.said = &said;
    RunWarnings warnings(said);
    SubtitleCheck check(setting.verify, warnings);
    static const CodePage kShiftJis = CodePage::WithLeadByteRanges({{0x81, 0x9F}, {0xE0, 0xFC}});
    const CodePage& codePage = setting.shiftJis ? kShiftJis : CodePage::SingleByte();
    // Every reading limit on, the gap too: they are warnings, and change no
    // error nor the document.
    ReadingLimits limits = DefaultReadingLimits();
    limits.thousandths[static_cast<size_t>(ReadingLimit::ShortestGap)] = 100;
    check.ReadAgainst(limits, codePage);
    const Source from = Source::AlreadyOpen(*reader);
    const Destination to = Destination::AlreadyOpen(*writer);
    // Checked, as srt2rt runs it: a UTF-16 or UTF-32 source is refused.
    const ConversionOptions options{setting.verify, codePage, host, setting.withWarnings};
    const RunOutcome outcome =
        setting.withWarnings ? Convert(from, to, options, check) : Convert(from, to, options);
    if (setting.withWarnings && IsWide(source)) {
        Require(outcome == RunOutcome::Stopped && document.empty() && host.shown.size() == 1 &&
                    host.lastCode == ProblemCode::Encoding,
                "a UTF-16 or UTF-32 source is not refused before anything is written");
        return;
    }

    std::vector<Shown> notices = host.shown;
    const bool fits = expected.document.size() <= setting.capacity;
    RequireEqual(std::string_view(expected.document)
                     .substr(0, std::min(expected.document.size(), setting.capacity)),
                 document, [&] {
                     return "the document differs (blocks of " + std::to_string(setting.readBlock) +
                            " and " + std::to_string(setting.writeBlock) + ")";
                 });
    if (!fits) {
        // The write that fills the disk fails; an entry error may come first,
        // when the writing that fails is the last one, on closing.
        Require(outcome == RunOutcome::Stopped && !notices.empty() &&
                    notices.back().kind == Shown::WriteFailure &&
                    notices.back().caption == "film.rt",
                "a full destination did not give the write-failure notice for it");
        notices.pop_back();
        Require(notices.size() <= (expected.notice.empty() ? 0u : 1u),
                "a full destination showed other notices than expected");
    } else {
        Require((outcome == RunOutcome::Completed) == expected.notice.empty(),
                "the run ends otherwise than expected");
        Require(notices.size() == (expected.notice.empty() ? 0u : 1u),
                "the run showed other notices than expected");
    }
    if (!notices.empty()) {
        Require(notices[0].kind == Shown::Error && notices[0].caption == messages::kErrorCaption,
                "an entry error is not an error notice");
        RequireEqual(expected.notice, notices[0].text, "the error notice differs");
    }
    if (setting.withWarnings && fits) {
        // The check beside the run explains the entry it stops at, and only that.
        RequireEqual(expected.failedEntry, warnings.firstErrorEntry,
                     "the check beside the run explains another entry than the one it stops at");
    }
}

// --fix in memory, with blocks of `block` bytes; `mendable` counts the errors
// left in the mended file of a kind --fix mends.
// `said` is every change and problem, in order; `failed` whether the mended
// file's disk filled up (after `room` bytes).
struct MendedFile {
    std::string bytes;
    uint64_t mendable = 0;
    std::string said;
    bool failed = false;
    std::vector<uint64_t> timesMended;  // the source lines whose times the report says it mended
};

MendedFile Fix(std::string_view source, size_t block, size_t room = SIZE_MAX) {
    class LeftOver : public ProblemSink {
    public:
        LeftOver(std::string& said, std::vector<uint64_t>& timesMended)
            : said_(said), timesMended_(timesMended) {}
        void Report(const Problem& problem) override {
            if (problem.severity == Severity::Fixed && problem.Name() == "time-format") {
                timesMended_.push_back(problem.line);
            }
            said_ += std::to_string(problem.line) + ":" + std::to_string(problem.column) + " " +
                     std::string(problem.Name()) + " " + std::to_string(problem.entry) + " " +
                     std::string(problem.message) + "\n";
            static const std::string_view kMendable[] = {
                "encoding",       "bom",           "cr-only",     "cr-cr-lf", "blank-line",
                "index-mismatch", "missing-index", "unclosed-tag"};
            if (problem.severity == Severity::Error &&
                std::find(std::begin(kMendable), std::end(kMendable), problem.Name()) !=
                    std::end(kMendable)) {
                found.push_back({problem.Name(), problem.line});
            }
        }
        std::vector<std::pair<std::string_view, uint64_t>> found;

    private:
        std::string& said_;
        std::vector<uint64_t>& timesMended_;
    };
    MendedFile mended;
    LeftOver left(mended.said, mended.timesMended);
    MendingReader reader(block);
    reader.AttachMemory(source, "film.srt");
    TextWriter& out = KeptFor<TextWriter>(1 + block % 50);
    out.AttachMemory(mended.bytes, "mended.srt", room);
    SubtitleCheck check(true, left);
    try {
        MendAndCheck(reader, out, left, check);
        out.Close();
    } catch (const FileError&) {
        out.Abandon();
        mended.failed = true;
        return mended;
    }
    // A line with no number where a number should be is no numbering to mend:
    // only its author knows what it is.
    std::vector<std::string_view> lines;
    for (std::string_view rest = mended.bytes; !rest.empty();) {
        const size_t end = rest.find("\r\n");
        lines.push_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
    }
    for (const auto& [code, line] : left.found) {
        const std::string_view text =
            line - 1 < lines.size() ? lines[line - 1] : std::string_view();
        size_t first = text.find_first_not_of(" \t\v\f");  // white space, a sign, a digit
        first += first < text.size() && (text[first] == '+' || text[first] == '-') ? 1 : 0;
        const bool numbered = first < text.size() && text[first] >= '0' && text[first] <= '9';
        mended.mendable += code != "index-mismatch" || numbered ? 1 : 0;
    }
    return mended;
}

// The lines of `bytes` that hold more than blanks, without their line ends,
// and their numbers.
struct FilledLine {
    std::string_view text;
    uint64_t number;
};
std::vector<FilledLine> FilledLines(std::string_view bytes) {
    std::vector<FilledLine> lines;
    for (uint64_t number = 1; !bytes.empty(); ++number) {
        const size_t lf = bytes.find('\n');
        std::string_view line = bytes.substr(0, lf);
        bytes = lf == std::string_view::npos ? std::string_view() : bytes.substr(lf + 1);
        while (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        // A line of blanks stays one when --fix closes an entry's tags after it.
        std::string_view filled = line;
        for (bool closer = true; closer;) {
            closer = false;
            for (std::string_view tag : {"</b>", "</i>", "</u>", "</s>", "</font>"}) {
                if (filled.size() >= tag.size() &&
                    filled.substr(filled.size() - tag.size()) == tag) {
                    filled.remove_suffix(tag.size());
                    closer = true;
                }
            }
        }
        if (filled.find_first_not_of(" \t") != std::string_view::npos) {
            lines.push_back({line, number});
        }
    }
    return lines;
}

bool AllDigits(std::string_view line) {
    return !line.empty() && line.find_first_not_of("0123456789") == std::string_view::npos;
}

// What follows the number a line starts with (after blanks and a sign); the
// line itself when it starts with none.
std::string_view AfterNumber(std::string_view line) {
    size_t at = line.find_first_not_of(" \t\n\v\f\r");
    if (at == std::string_view::npos) {
        return line;
    }
    at += line[at] == '+' || line[at] == '-' ? 1 : 0;
    const size_t digits = line.find_first_not_of("0123456789", at);
    const size_t end = digits == std::string_view::npos ? line.size() : digits;
    return end > at ? line.substr(end) : line;
}

// The closing tags --fix appends to an entry's last line, and nothing else.
bool OnlyClosingTags(std::string_view rest) {
    static const std::string_view kClosers[] = {"</b>", "</i>", "</u>", "</s>", "</font>"};
    while (!rest.empty()) {
        const auto closer =
            std::find_if(std::begin(kClosers), std::end(kClosers),
                         [rest](std::string_view c) { return rest.substr(0, c.size()) == c; });
        if (closer == std::end(kClosers)) {
            return false;
        }
        rest.remove_prefix(closer->size());
    }
    return true;
}

// Every line of the source that holds more than blanks is in the mended file,
// in order: as it stands, renumbered, its times rewritten, or with tags
// closed after it; and the mended file holds nothing else but inserted
// number lines. A line with a clock and "-->" is never renumbered, and its times change
// only where the report says so: what the conversion reads of them is what
// it read of the source.
void RequireNothingLost(std::string_view source, std::string_view mended,
                        const std::vector<uint64_t>& timesMended) {
    for (std::string_view* text : {&source, &mended}) {  // --fix may remove them
        while (text->substr(0, 3) == "\xEF\xBB\xBF") {
            text->remove_prefix(3);
        }
    }
    const std::vector<FilledLine> before = FilledLines(source);
    const std::vector<FilledLine> after = FilledLines(mended);
    size_t m = 0;
    const auto readsAsTime = [](std::string_view text) {
        TimeRange times;
        return !AllDigits(text) && ScanTimeLine(text, times);
    };
    for (const FilledLine& filled : before) {
        // Named, so that the lambdas below may take them (C++17 lambdas take no bindings).
        const std::string_view line = filled.text;
        const uint64_t number = filled.number;
        const bool timeLike = HoldsAnArrowAfterAClock(line);
        const bool mendReported =
            std::find(timesMended.begin(), timesMended.end(), number) != timesMended.end();
        for (;;) {
            Require(m < after.size(), [&] { return "a line is lost: " + Printable(line); });
            const std::string_view now = after[m].text;
            if (now == line ||
                (now.substr(0, line.size()) == line && OnlyClosingTags(now.substr(line.size())))) {
                break;
            }
            if (timeLike && readsAsTime(now)) {
                // Its times rewritten, as the report says (the promise of no
                // errors checks that they read).
                TimeRange was;
                TimeRange is;
                Require(mendReported || (ScanTimeLine(line, was) && ScanTimeLine(now, is) &&
                                         std::memcmp(&was, &is, sizeof was) == 0),
                        [&] {
                            return "a time line changes unreported: " + Printable(line) + " to " +
                                   Printable(now);
                        });
                break;
            }
            // A time line, renumbered, would have other hours.
            const bool renumbered =
                !timeLike && AfterNumber(now) != now && AfterNumber(now) == AfterNumber(line);
            Require(renumbered || AllDigits(now), [&] {
                return "the mended file has a line of its own: " + Printable(now) + " for " +
                       Printable(line);
            });
            // A number line: this line's, renumbered, or one inserted before it.
            if (!(AllDigits(now) && timeLike && m + 1 < after.size() &&
                  (after[m + 1].text == line || readsAsTime(after[m + 1].text)))) {
                break;
            }
            ++m;
        }
        ++m;
    }
    for (; m < after.size(); ++m) {
        Require(false, [&] {
            return "the mended file has a line of its own: " + Printable(after[m].text);
        });
    }
}

void CheckFix(std::string_view source, size_t block, size_t room) {
    const MendedFile once = Fix(source, block);
    // A disk that fills up part-way stops the walk: what was said before
    // is what the whole run says first.
    const size_t cut = once.bytes.empty() ? 0 : room % once.bytes.size();
    const MendedFile full = Fix(source, block, cut);
    Require(full.failed || once.bytes.empty(), "--fix does not fail on a full disk");
    RequireEqual(std::string_view(once.said).substr(0, full.said.size()),
                 std::string_view(full.said), "--fix on a full disk says otherwise");
    // From a line holding a NUL byte or a Ctrl-Z on, the file stands as it
    // is; a few NULs may even make its head read as UTF-16 or UTF-32 once its
    // line ends are CR LF.
    if (source.find('\0') == std::string_view::npos &&
        source.find('\x1A') == std::string_view::npos) {
        RequireEqual(0, static_cast<int64_t>(once.mendable),
                     "the mended file has an error of a kind --fix mends");
        const MendedFile twice = Fix(once.bytes, 1 + (block * 7) % 64);
        RequireEqual(std::string_view(once.bytes), std::string_view(twice.bytes),
                     "mending a mended file changes it");
    }
    // Files read as they stand (not transcoded, not split at CR) keep their
    // lines. Lines end CR alone where the head holds a CR and no LF, or two
    // CRs or more that end a line alone before its first LF.
    const std::string_view head = source.substr(0, 4096);
    size_t loneCrs = 0;
    bool splitAtCr = false;
    for (size_t at = 0;; ++at) {
        if (at == head.size() || head[at] == '\x1A') {
            splitAtCr = loneCrs > 0;
            break;
        }
        if (head[at] == '\n') {
            splitAtCr = loneCrs >= 2;
            break;
        }
        loneCrs += head[at] == '\r' && head.substr(at + 1, 1) != "\n" ? 1 : 0;
    }
    const bool bytesAsTheyStand =
        EncodingOf(source.substr(0, 64)) == FileEncoding::Bytes && !splitAtCr;
    if (bytesAsTheyStand && source.find('\x1A') == std::string_view::npos) {
        RequireNothingLost(source, once.bytes, once.timesMended);
    }
}

// --fix with a timing option; `stopped` when it met a time it cannot move.
struct RetimedFile {
    std::vector<std::string_view> lines;  // of `bytes`, split at LF
    std::string bytes;
    bool stopped = false;
    bool clamped = false;
};

RetimedFile FixRetimed(std::string_view source, size_t block, const TimeMap& map) {
    class Said : public ProblemSink {
    public:
        explicit Said(bool& clamped) : clamped_(clamped) {}
        void Report(const Problem& problem) override {
            clamped_ = clamped_ || problem.Name() == "retime-clamp";
        }

    private:
        bool& clamped_;
    };
    RetimedFile file;
    Said said(file.clamped);
    MendingReader reader(block);
    reader.AttachMemory(source, "film.srt");
    TextWriter& out = KeptFor<TextWriter>(1 + block % 50);
    out.AttachMemory(file.bytes, "moved.srt");
    SubtitleCheck check(true, said);
    try {
        MendAndCheck(reader, out, said, check, &map);
        out.Close();
    } catch (const RetimingStopped&) {
        out.Abandon();
        file.stopped = true;
    }
    for (size_t at = 0; at < file.bytes.size();) {
        const size_t lf = std::min(file.bytes.find('\n', at), file.bytes.size());
        file.lines.push_back(std::string_view(file.bytes).substr(at, lf - at));
        at = lf + 1;
    }
    return file;
}

// A time line's times in milliseconds, where its numbers stand, and whether
// each is written as a moved one would be (no sign, in its unit's range).
struct LineTimes {
    bool reads;
    int64_t begin, end;
    TimeLineLayout layout;
    bool canonical;
};
LineTimes TimesOf(std::string_view line) {
    LineTimes times{};
    TimeRange t;
    times.reads = ScanTimeLine(line, t, &times.layout);
    if (!times.reads) {
        return times;
    }
    const int32_t f[8] = {t.beginHours, t.beginMinutes, t.beginSeconds, t.beginMilliseconds,
                          t.endHours,   t.endMinutes,   t.endSeconds,   t.endMilliseconds};
    times.begin = int64_t{f[0]} * 3600000 + int64_t{f[1]} * 60000 + int64_t{f[2]} * 1000 + f[3];
    times.end = int64_t{f[4]} * 3600000 + int64_t{f[5]} * 60000 + int64_t{f[6]} * 1000 + f[7];
    times.canonical = true;
    for (int i = 0; i < 8; ++i) {
        const char first = line[times.layout.start[i]];
        const int32_t most = i % 4 == 0 ? INT32_MAX : i % 4 == 3 ? 999 : 59;
        times.canonical = times.canonical && first != '-' && first != '+' && f[i] >= 0 &&
                          f[i] <= most && times.layout.digits[i] <= 9;
    }
    return times;
}

// The bytes of a time line around its numbers.
std::string AroundTheNumbers(std::string_view line, const TimeLineLayout& layout) {
    std::string around;
    size_t at = 0;
    for (int i = 0; i < 8; ++i) {
        const size_t start = layout.start[i];
        const size_t sign = line[start] == '+' || line[start] == '-' ? 1 : 0;
        around.append(line.substr(at, start - at)).append("#");
        at = start + sign + layout.digits[i];
    }
    return around.append(line.substr(at));
}

// The timing options' promises on --fix's file, mended without them
// (`once`): only the numbers of time lines move, by the map; --shift=+X then
// --shift=-X gives the file back (but where a field needed another digit, or
// was not written as a moved one is); --fps=A:B then --fps=B:A gives every
// time back within 1 ms.
void CheckRetiming(std::string_view source, size_t block, std::string_view once, unsigned a,
                   unsigned b) {
    std::vector<std::string_view> original;
    for (size_t at = 0; at < once.size();) {
        const size_t lf = std::min(once.find('\n', at), once.size());
        original.push_back(once.substr(at, lf - at));
        at = lf + 1;
    }
    const int64_t x = (static_cast<int64_t>(a * 256 + b) * 7919) % 200001 - 100000;
    const int64_t shift = x == 0 ? 1 : x;
    const RetimedFile there = FixRetimed(source, block, TimeMap(0, shift, 1, 1, "--shift=X"));
    if (there.stopped) {
        return;
    }
    RequireEqual(static_cast<int64_t>(original.size()), static_cast<int64_t>(there.lines.size()),
                 "a shift changes the number of lines");
    bool inside = true;  // every time of the file between 0:00 and the latest
    for (size_t i = 0; i < original.size(); ++i) {
        if (original[i] == there.lines[i]) {
            continue;
        }
        const LineTimes was = TimesOf(original[i]);
        const LineTimes is = TimesOf(there.lines[i]);
        Require(was.reads && is.reads, [&] {
            return "a shift changes a line that is no time line: " + Printable(original[i]);
        });
        RequireEqual(AroundTheNumbers(original[i], was.layout),
                     AroundTheNumbers(there.lines[i], is.layout),
                     "a shift changes more of a time line than its numbers");
        inside = inside && was.begin >= 0 && was.end >= 0 && was.begin <= kLatestTime &&
                 was.end <= kLatestTime;
        Require(there.clamped || (is.begin == was.begin + shift && is.end == was.end + shift),
                [&] { return "a shift moves otherwise: " + Printable(there.lines[i]); });
    }
    if (!there.clamped) {
        const RetimedFile back =
            FixRetimed(there.bytes, 1 + block % 17, TimeMap(0, -shift, 1, 1, "--shift=-X"));
        Require(!back.stopped || !inside, "the opposite shift stops at a time it made");
        // A start that was before 0:00 in the source is clamped on the way back.
        for (size_t i = 0; i < original.size() && !back.stopped && !back.clamped; ++i) {
            if (original[i] == back.lines[i]) {
                continue;
            }
            const LineTimes was = TimesOf(original[i]);
            const LineTimes moved = TimesOf(there.lines[i]);
            const LineTimes is = TimesOf(back.lines[i]);
            Require(is.reads && is.begin == was.begin && is.end == was.end,
                    "a shift and its opposite move a time");
            bool sameDigits = true;
            for (int f = 0; f < 8; ++f) {
                sameDigits = sameDigits && moved.layout.digits[f] == was.layout.digits[f];
            }
            Require(!was.canonical || !sameDigits, [&] {
                return "a shift and its opposite do not give the line back: " +
                       Printable(original[i]) + " to " + Printable(back.lines[i]);
            });
        }
    }
    static const char* const kRates[] = {"23.976", "24",         "25",   "29.97",
                                         "30",     "24000/1001", "59.94"};
    const char* from = kRates[a % 7];
    const char* to = kRates[(a % 7 + 1 + b % 6) % 7];
    TimingRequest forth;
    TimingRequest backward;
    std::string error;
    Require(ReadFps(std::string(from) + ":" + to, forth, error) &&
                ReadFps(std::string(to) + ":" + from, backward, error),
            "a usual rate does not read");
    const RetimedFile rescaled = FixRetimed(source, block, MapOf(forth));
    if (rescaled.stopped || rescaled.clamped) {
        return;
    }
    const RetimedFile again = FixRetimed(rescaled.bytes, 1 + block % 23, MapOf(backward));
    for (size_t i = 0; i < original.size() && !again.stopped && !again.clamped; ++i) {
        if (original[i] == again.lines[i]) {
            continue;
        }
        const LineTimes was = TimesOf(original[i]);
        const LineTimes is = TimesOf(again.lines[i]);
        Require(was.reads && is.reads && std::abs(is.begin - was.begin) <= 1 &&
                    std::abs(is.end - was.end) <= 1,
                [&] {
                    return std::string("--fps=") + from + ":" + to +
                           " and back moves a time: " + Printable(original[i]) + " to " +
                           Printable(again.lines[i]);
                });
    }
}

// The document's lines without their time tags.
std::vector<std::string_view> Untimed(std::string_view document) {
    std::vector<std::string_view> lines;
    for (size_t at = 0; at < document.size();) {
        const size_t lf = std::min(document.find('\n', at), document.size());
        std::string_view line = document.substr(at, lf - at);
        if (line.substr(0, 12) == "<Time Begin=") {
            line.remove_prefix(std::min(line.size(), line.find("<clear/> ") + 9));
        }
        lines.push_back(line);
        at = lf + 1;
    }
    return lines;
}

// A retimed conversion, the check beside it checking the moved times: it
// stops exactly where the check finds its first error, and writes what the
// conversion without the map writes, but for the times.
void CheckRetimedRun(std::string_view source, const ReferenceRun& unmoved, unsigned a) {
    const TimeMap map(0, static_cast<int64_t>(a % 16) * 1000 - 8000, 1, 1, "--shift=X");
    TextReader& reader = KeptFor<TextReader>(1 + a % 19);
    reader.AttachMemory(source, "film.srt");
    static std::string document;
    document.clear();
    TextWriter& writer = KeptFor<TextWriter>(1 + a % 43);
    writer.AttachMemory(document, "film.rt");
    Host host;
    Problems problems(true);
    SubtitleCheck check(true, problems);
    check.RetimeWith(map);
    const ConversionOptions options{true, CodePage::SingleByte(), host, true, &map};
    const RunOutcome outcome =
        Convert(Source::AlreadyOpen(reader), Destination::AlreadyOpen(writer), options, check);
    if (IsWide(source)) {
        return;
    }
    Require((outcome == RunOutcome::Completed) == (problems.errors == 0),
            "a retimed run stops otherwise than its check finds errors");
    if (outcome != RunOutcome::Completed) {
        RequireEqual(problems.firstErrorEntry, host.lastEntry,
                     "a retimed run stops at another entry than its check's first error");
        return;
    }
    Require(unmoved.notice.empty(), "a retimed run completes where the run stops");
    const std::vector<std::string_view> moved = Untimed(document);
    const std::vector<std::string_view> plain = Untimed(unmoved.document);
    Require(moved == plain, "a retimed document differs but for its times");
}

}  // namespace
}  // namespace quillo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillo::fuzz;
    using quillo::kDefaultBlockSize;
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    // Small blocks and capacities steered by the input's last bytes, so that
    // the fuzzer can aim them at any line.
    const unsigned a = size > 0 ? data[size - 1] : 0;
    const unsigned b = size > 1 ? data[size - 2] : 0;
    const std::vector<std::string> lines = ReferenceLines(source);
    const ReferenceRun verified = ReferenceConversion(lines, true, false);
    const ReferenceRun unverified = ReferenceConversion(lines, false, true);
    Run(source, {true, false, kDefaultBlockSize, kDefaultBlockSize, SIZE_MAX, a % 2 == 0},
        verified);
    Run(source,
        {false, true, 1 + a % 37, b < 128 ? 1 + b % 200 : kDefaultBlockSize, SIZE_MAX, a % 2 == 1},
        unverified);
    const size_t room =
        verified.document.size() == 0 ? 0 : (a * 257u + b) % verified.document.size();
    Run(source, {true, false, 1 + a % 13, 1 + a % 90, room, b % 2 == 0}, verified);
    CheckAgreesWithTheRun(source, true, 1 + b % 29, verified, true);
    CheckAgreesWithTheRun(source, false, 1 + a % 61, unverified, false);
    CheckFix(source, 4 + b % 40, a * 257u + b);
    if (source.find('\0') == std::string_view::npos) {  // --fix refuses to move times past a NUL
        const MendedFile once = Fix(source, 4 + a % 40);
        CheckRetiming(source, 4 + a % 40, once.bytes, a, b);
    }
    CheckRetimedRun(source, verified, a ^ b);
    return 0;
}
