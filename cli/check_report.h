// What srt2rt says of the problems a check finds: GNU-style lines or JSON
// Lines on standard output for --check, and the warnings of a conversion on
// standard error.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "subtitle_check.h"

namespace quillo::cli {

// Output gathered into large writes: a file may hold millions of problems.
class OutputBuffer {
public:
    // `toError`: on standard error (--fix's report, whose standard output may
    // be the mended file).
    explicit OutputBuffer(bool characters, bool toError = false)
        : text_(kFlushAt, '\0'), characters_(characters), toError_(toError) {}
    ~OutputBuffer() { Flush(); }
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // Room for `size` more bytes, written in place (no string grows a line at
    // a time), then committed up to where they end.
    char* Room(size_t size) {
        if (size > text_.size() - used_) {
            text_.resize(used_ + std::max(size, text_.size()));
        }
        return text_.data() + used_;
    }
    void Commit(const char* end) { used_ = static_cast<size_t>(end - text_.data()); }
    void Append(std::string_view text) {
        char* at = Room(text.size());
        if (!text.empty()) {
            std::memcpy(at, text.data(), text.size());
        }
        Commit(at + text.size());
    }
    void Flush();
    // The system's error of the first write that failed (a full disk), or 0:
    // a report that was lost is a failure of the run.
    int WriteError() const { return writeError_; }
    const char* StreamName() const { return toError_ ? "standard error" : "standard output"; }
    void FlushWhenFull() {
        if (used_ >= kFlushAt) {
            Flush();
        }
    }

private:
    static constexpr size_t kFlushAt = 64 * 1024;
    std::string text_;  // UTF-8, its first used_ bytes written
    size_t used_ = 0;
    bool characters_;  // text for a person (console characters) rather than bytes
    bool toError_;
    int writeError_ = 0;
};

// `name` as a message line shows it: control bytes (a newline, a tab, an
// escape) as \xNN, so that no file name can break a line of a report or
// forge one.
std::string ShownName(std::string_view name);

// "FILE:LINE:COLUMN: error|warning: MESSAGE [code]" for each problem, then
// "FILE: N entries, N errors, N warnings".
class TextReport : public ProblemSink {
public:
    TextReport(OutputBuffer& out, std::string_view file) : out_(out), file_(ShownName(file)) {}
    void Report(const Problem& problem) override;
    // With `fixing`, the counts of --fix: what was fixed and what is left.
    void Summary(const CheckCounts& counts, bool fixing = false);

private:
    OutputBuffer& out_;
    std::string file_;  // UTF-8
};

// One JSON object a line: {"file", "line", "column", "severity", "code",
// "entry", "message"} for each problem (and "figure" and "limit" for a
// reading limit's), then {"file", "entries", "errors", "warnings"}.
class JsonReport : public ProblemSink {
public:
    JsonReport(OutputBuffer& out, const std::string& file);
    void Report(const Problem& problem) override;
    // With `fixing`, the counts of --fix: what was fixed and what is left.
    void Summary(const CheckCounts& counts, bool fixing = false);

private:
    OutputBuffer& out_;
    std::string file_;  // already a JSON string, quotes included
};

// A conversion's warnings on standard error, "srt2rt: FILE:LINE:COLUMN:
// warning: ...": the first few, then how many more --check would list; and
// the error that stopped it, explained. Quiet, only that error.
class ConversionWarnings : public ProblemSink {
public:
    explicit ConversionWarnings(std::string_view file, bool quiet = false)
        : file_(ShownName(file)), quiet_(quiet) {}
    bool Wants(Severity severity) const override {
        return severity == Severity::Error ? !errorShown_ : !quiet_ && shown_ < kShown;
    }
    void Report(const Problem& problem) override;
    // Says how many of the check's warnings were left unsaid.
    void Finish(const CheckCounts& counts);
    // Whether the error that stopped the conversion was explained.
    bool ErrorShown() const { return errorShown_; }

private:
    static constexpr uint64_t kShown = 20;
    std::string file_;  // UTF-8
    bool quiet_;
    bool errorShown_ = false;
    uint64_t shown_ = 0;
};

// `text` as a JSON string, quotes included; bytes that are not UTF-8 become
// U+FFFD, so that the output stays valid JSON.
std::string JsonString(std::string_view text);

}  // namespace quillo::cli
