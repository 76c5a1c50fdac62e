// Every problem of a SubRip file, located, in one pass: what stops the
// conversion (errors) and what converts but shows wrongly in a RealText
// player (warnings). Fed entry by entry by ReadEntries, on its own or beside
// a conversion.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "problem_codes.h"
#include "srt_entries.h"
#include "srt_fields.h"
#include "text_builder.h"
#include "text_file.h"

namespace quillo {

struct Problem {
    uint64_t line;  // from 1; 0 for the file as a whole
    size_t column;  // byte offset in the line, from 1; 0 with line 0
    Severity severity;
    std::string_view code;  // its name in kProblemCodes
    int32_t entry;          // the entry's ordinal; 0 where there is none
    std::string_view message;
};

class ProblemSink {
public:
    virtual ~ProblemSink() = default;
    // Whether problems of this severity are to be described at all: those
    // declined are only counted, which spares building their message.
    virtual bool Wants(Severity) const { return true; }
    // A problem that was declined, and so only counted.
    virtual void Skip(Severity) {}
    // The views hold only during the call.
    virtual void Report(const Problem& problem) = 0;
};

struct CheckCounts {
    uint64_t entries = 0;
    uint64_t errors = 0;
    uint64_t warnings = 0;
};

class SubtitleCheck {
public:
    SubtitleCheck(bool verifyLineNumbers, ProblemSink& sink)
        : verify_(verifyLineNumbers), sink_(sink) {}

    // The visitor of ReadEntries; it never stops the walk.
    void Line(const TextReader& source, std::string_view line) {
        // Only the first line, a line cut by a NUL and a line that ends in a
        // CR need a closer look.
        if (source.LineNumber() == 1 || source.CutColumn(source.LineNumber()) != 0 ||
            (!line.empty() && line.back() == '\r')) {
            LookCloser(source, line);
        }
    }
    void Index(const IndexLine& index);
    void TimeLine(const quillo::TimeLine& time);
    void Text(std::string_view) {}
    void EndEntry() {}
    // After the last line: what only the end of the file shows.
    void Finish(const TextReader& source);

    // Checks the whole of `source`. Throws FileError when the system fails a
    // read; what was found until then stands in Counts().
    void Run(TextReader& source);

    const CheckCounts& Counts() const { return counts_; }

private:
    void LookCloser(const TextReader& source, std::string_view line);
    void FirstLine(const TextReader& source, std::string_view line);
    // Counts the problem and, when the sink wants it, says it in `parts`.
    template <typename... Parts>
    void Report(ProblemCode code, uint64_t line, size_t column, int32_t entry,
                const Parts&... parts);
    void ReportTimeFormat(const quillo::TimeLine& time);
    void CheckSpan(const quillo::TimeLine& time, const TimeRange& t, int64_t begin, int64_t end);
    void CheckFields(const quillo::TimeLine& time, const TimeRange& t);

    bool verify_;
    ProblemSink& sink_;
    CheckCounts counts_;
    TextBuilder message_;  // built for each problem

    bool crOnly_ = false;  // the whole file is one line of CR-ended lines
    bool crCrLfSeen_ = false;
    bool havePreviousNumber_ = false;
    int32_t previousNumber_ = 0;
    // The last entry whose time line was read.
    int32_t previousEntry_ = 0;
    int64_t previousBegin_ = 0;
    int64_t previousEnd_ = 0;
    TimeRange previousTimes_{};
};

// Checks the whole of `source`, reporting every problem to `sink`. Throws
// FileError when the system fails a read.
CheckCounts CheckSubtitles(TextReader& source, bool verifyLineNumbers, ProblemSink& sink);

// Appends `value` in decimal, without a call to the C library: reports may
// hold millions of numbers.
void AppendDecimal(std::string& out, int64_t value);

// `line` in double quotes for a message: at most 60 bytes of it, control
// bytes and bytes of 0x80 or more as \xNN, quotes and backslashes escaped.
void AppendQuotedLine(TextBuilder& out, std::string_view line);

}  // namespace quillo
