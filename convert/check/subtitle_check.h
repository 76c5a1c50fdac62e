// Every problem of a SubRip file, located, in one pass: what stops the
// conversion (errors) and what converts but shows wrongly in a RealText
// player (warnings). Fed entry by entry by ReadEntries, on its own or beside
// a conversion. Where the cause of an error is known (the file's encoding, a
// line of blanks, a missing number line), the cause is reported in place of
// the errors it brings about, at the entry the conversion stops at.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "code_page.h"
#include "file_encoding.h"
#include "problem.h"
#include "reading_limits.h"
#include "realtext_markup.h"
#include "srt_entries.h"
#include "srt_fields.h"
#include "text_builder.h"
#include "text_file.h"
#include "time_map.h"

namespace quillo {

struct ConversionOptions;
namespace check_message {
struct PastLimit;
}

struct CheckCounts {
    uint64_t entries = 0;
    uint64_t errors = 0;
    uint64_t warnings = 0;
    uint64_t fixed = 0;  // --fix's mends
};

class SubtitleCheck {
public:
    SubtitleCheck(bool verifyLineNumbers, ProblemSink& sink)
        : verify_(verifyLineNumbers), sink_(&sink) {}
    // A check that rides a run, and takes its options from it (Follow).
    explicit SubtitleCheck(ProblemSink& sink) : sink_(&sink) {}

    // The visitor of ReadEntries; it stops the walk only when asked to stop
    // at its first error (StopAtFirstError). `Lines` is the walk's line
    // source: a TextReader, or the fixer's mended lines.
    template <typename Lines>
    void Line(const Lines& source, std::string_view line) {
        line_ = source.LineNumber();
        // Only the first line, a line cut by a NUL and a line that ends in a
        // CR need a closer look.
        const size_t cut = source.CutColumn(line_);
        if (line_ == 1 || cut != 0 || (!line.empty() && line.back() == '\r')) {
            LookCloser(
                {line_, cut, source.LineUnended(), line_ == 1 ? source.Head() : std::string_view()},
                line);
        }
    }
    bool Index(const IndexLine& index) {
        LookAtIndex(index);
        return !stopAtError_ || counts_.errors == 0;
    }
    bool TimeLine(const quillo::TimeLine& time) {
        LookAtTimeLine(time);
        return !stopAtError_ || counts_.errors == 0;
    }
    void Text(const quillo::TextLine& line) {
        // One search for all the check looks for (beside the writer, its answer).
        if (line.MayHoldSpecialBytes()) {
            LookAtSpecialText(line.text);
        }
        if (reading_) {
            // Out of the walk's loop, which runs without it, what is not
            // nearly every line: an entry's first, and one with '|', markup or
            // a multi-byte character. The line's pieces go by value, so that
            // the loop keeps it in registers.
            if (read_.entry != entry_.ordinal) {
                StartReading();
            }
            const size_t size = line.text.size();
            if (line.MayHoldSpecialBytes() || HoldsHighBytes(line.text)) {
                ReadText(line.text, line.MayHoldSpecialBytes());
            } else if (read_.Count(size, 1, size)) {
                SayPastLimits(size, 0);
            }
        }
    }
    void EndEntry() {
        if (openStyles_ != 0) {
            ReportUnclosedStyles();
        }
        if (reading_ && read_.PastAtTheEnd()) {
            EndReading();
        }
    }
    // After the last line: what only the end of the file shows.
    template <typename Lines>
    void Finish(const Lines& source) {
        if (line_ == 0) {
            FirstLine({0, 0, false, source.Head()}, {});  // no line: a Ctrl-Z opens the file
        }
        FinishAt(source.CtrlZSeen());
    }

    // Checks the whole of `source`. Throws FileError when the system fails a
    // read; what was found until then stands in Counts().
    void Run(TextReader& source);

    const CheckCounts& Counts() const { return counts_; }

    // Takes the run's options as the check's own: whether numbers are
    // verified, whether a '|' that a double-byte code page would keep inside
    // a character is warned of, and the timing options' map, through which
    // the times are checked as a retimed document has them
    // (conversion_checked.cpp).
    void Follow(const ConversionOptions& run);
    // Stops the walk at the end of the step that gives the first error, as
    // far as a conversion reads: to explain the entry that stopped one.
    void StopAtFirstError() { stopAtError_ = true; }
    // Checks the times as `map` moves them, for a check run on its own.
    void RetimeWith(const TimeMap& map) { timeMap_ = &map; }

    // Holds each entry to `limits` (those that are not 0), its text read as
    // `walked` shows it (subtitle_check_reading.cpp); without a call, the
    // check reads nothing against them.
    void ReadAgainst(const ReadingLimits& limits, const CodePage& walked) {
        limits_ = limits;
        readingWalk_ = &walked;
        reading_ = limits.Any();
        read_ = ReadingState(limits);
    }

private:
    // What is known to make the entry being read fail, beyond its symptoms.
    enum class Cause : uint8_t { None, BlankLine, MissingIndex, CrOnly };
    struct EntryState {
        int32_t ordinal = 0;
        uint64_t line = 0;  // its first line
        Cause cause = Cause::None;
        uint64_t errorsBefore = 0;  // the file's errors when it began
        bool explained = false;     // its error was reported as its cause, the file's or its own
        size_t blanks = 0;          // a BlankLine's blanks and tabs
        bool tabs = false;
        bool spaces = false;
    };
    // Where a style tag that is still open was opened.
    struct OpenStyle {
        uint64_t line;
        size_t column;
        uint32_t depth;
    };

    // What the line source knows of the line just read.
    struct LineFacts {
        uint64_t number;
        size_t cutColumn;       // of the NUL that cut it, or 0
        bool unended;           // it was the file's last and had no line end
        std::string_view head;  // the file's first bytes, with line 1
    };
    void LookAtIndex(const IndexLine& index);
    void LookAtTimeLine(const quillo::TimeLine& time);
    void LookCloser(const LineFacts& facts, std::string_view line);
    void FirstLine(const LineFacts& facts, std::string_view line);
    void FinishAt(const TextReader::CtrlZ& z);
    // Counts the problem and, when the sink wants it, says it in `parts`.
    template <typename... Parts>
    void Say(Severity severity, ProblemCode code, uint64_t line, size_t column, int32_t entry,
             const Parts&... parts);
    template <typename... Parts>
    void Report(ProblemCode code, uint64_t line, size_t column, int32_t entry,
                const Parts&... parts) {
        Say(InfoOf(code).severity, code, line, column, entry, parts...);
    }
    // True when the error about to be reported for the entry is known to
    // come from the file's encoding or the entry's cause: that is reported
    // instead, once, and the symptom not at all.
    bool ExplainedInstead();
    void ReportEncoding();
    void ReportCause();
    void CheckIndexOverflow(const IndexLine& index);
    void ReportTimeFormat(const quillo::TimeLine& time);
    bool LookAtRetiming(const quillo::TimeLine& time, const TimeRange& read, TimeRange& moved);
    void CheckSpan(const quillo::TimeLine& time, const TimeRange& t, int64_t begin, int64_t end);
    void CheckFields(const quillo::TimeLine& time, const TimeRange& t);
    bool CheckOverflow(const quillo::TimeLine& time, const TimeRange& t, int field);
    void LookAtSpecialText(std::string_view line);
    void LookAtMarkup(std::string_view line);
    void LookAtBars(std::string_view line);
    void LookForATimeLine(std::string_view line);
    void ReportUnclosedStyles();
    // A reading limit's warning (subtitle_check_message.h words it).
    void SayPastLimit(ProblemCode code, uint64_t line, size_t column,
                      const check_message::PastLimit& past);
    // At an entry's first text line: its times against the limits.
    void StartReading();
    // A text line with '|', markup or a multi-byte character, `special` when
    // it may hold '|' or markup.
    void ReadText(std::string_view text, bool special);
    // Where a text line passes the limit of lines or, in its longest line of
    // `longest` characters at `at`, of characters.
    void SayPastLimits(uint64_t longest, size_t at);
    void SayPastTimeLimits();
    void EndReading();

    bool verify_ = true;
    bool stopAtError_ = false;
    const CodePage* barsWalkedIn_ = nullptr;
    const TimeMap* timeMap_ = nullptr;
    ProblemSink* sink_;
    unsigned declined_ = 0;  // a bit a severity the sink declined
    CheckCounts counts_;
    TextBuilder message_;  // built for each problem
    uint64_t line_ = 0;    // the line read last

    FileEncoding encoding_ = FileEncoding::Bytes;
    bool crOnly_ = false;        // the whole file is one line of CR-ended lines
    bool crEndedLines_ = false;  // more lines end CR alone than LF, and an LF ends the first
    bool crCrLfSeen_ = false;
    EntryState entry_;
    bool havePreviousNumber_ = false;
    int32_t previousNumber_ = 0;
    // The last entry whose time line was read.
    int32_t previousEntry_ = 0;
    int64_t previousBegin_ = 0;
    int64_t previousEnd_ = 0;
    TimeRange previousTimes_{};
    // The entry's style tags still open: a bit a tag, and where each opened.
    unsigned openStyles_ = 0;
    OpenStyle styles_[kStyleTagCount] = {};
    // Against the reading limits, when asked.
    bool reading_ = false;
    ReadingLimits limits_;
    const CodePage* readingWalk_ = nullptr;
    ReadingState read_;
};

// Checks the whole of `source`, reporting every problem to `sink`. Throws
// FileError when the system fails a read.
CheckCounts CheckSubtitles(TextReader& source, bool verifyLineNumbers, ProblemSink& sink);

// `line` in double quotes for a message: at most `shown` bytes of it, control
// bytes and bytes of 0x80 or more as \xNN, quotes and backslashes escaped.
void AppendQuotedLine(TextBuilder& out, std::string_view line, size_t shown = 60);

}  // namespace quillo
