// What the core tells whoever runs it, as one event keyed by the one table
// of codes: the check's problems, --fix's changes, and the run's own (a
// source that does not open, a failed write, the question before replacing
// a file). The window, srt2rt and the tests each word them their own way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "file_encoding.h"
#include "problem_codes.h"
#include "text_file.h"

namespace quillo {

// What a reading limit's warning measured, and the limit, in thousandths of
// their unit (23.4 characters a second is 23400).
struct Measure {
    int64_t figure;
    int64_t limit;
};

struct Problem {
    uint64_t line;  // from 1; 0 for the file as a whole
    size_t column;  // byte offset in the line, from 1; 0 where there is none
    Severity severity;
    ProblemCode code;
    int32_t entry;                     // the entry's ordinal; 0 where there is none
    std::string_view message;          // the check's and --fix's words; the run's have none
    const Measure* measure = nullptr;  // a reading limit's warning's, or none
    // The run's: the path concerned (a file failure's full path), the failed
    // operation and the system's code (0 when it gave none), a refused
    // source's encoding.
    std::string_view file = {};
    FileOperation operation = FileOperation::Read;
    int systemError = 0;
    FileEncoding encoding = FileEncoding::Bytes;

    std::string_view Name() const { return InfoOf(code).name; }
};

// A run's event of its own, about `file`.
inline Problem RunProblem(ProblemCode code, std::string_view file, uint64_t line = 0,
                          int32_t entry = 0) {
    return {line, 0, Severity::Error, code, entry, {}, nullptr, file};
}

// A failed read (read-error, on `line`) or write (write-error) of an open file.
inline Problem FailureOf(const FileError& error, uint64_t line = 0) {
    Problem failure = RunProblem(
        error.operation == FileOperation::Read ? ProblemCode::ReadError : ProblemCode::WriteError,
        error.fullPath, line);
    failure.operation = error.operation;
    failure.systemError = error.systemError;
    return failure;
}

class ProblemSink {
public:
    virtual ~ProblemSink() = default;
    // Whether problems of this severity are to be described at all: those
    // declined are only counted, which spares building their message. Once
    // it declines a severity, it declines it for the rest of the file.
    virtual bool Wants(Severity) const { return true; }
    // The views hold only during the call.
    virtual void Report(const Problem& problem) = 0;
    // The one question a run asks, DestinationExists (Yes is the default):
    // true only for Yes. A sink that is never asked declines.
    virtual bool Ask(const Problem&) { return false; }
};

// Hears nothing, and asks for no wording: a walk whose failures another tells.
class Unheard : public ProblemSink {
public:
    bool Wants(Severity) const override { return false; }
    void Report(const Problem&) override {}
};

}  // namespace quillo
