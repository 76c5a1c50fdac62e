// Every problem the check can report: its code, its severity and what it
// means in one line. --help, the man page and the read-mes list this table;
// a test fails when one of them misses a code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace quillo {

enum class Severity { Error, Warning };

enum class ProblemCode : uint8_t {
    IndexMismatch,
    TimeFormat,
    CrOnly,
    CannotOpen,
    ReadError,
    Bom,
    CrCrLf,
    CtrlZ,
    Nul,
    EndBeforeBegin,
    PastDuration,
    FieldRange,
    MsDigits,
    Order,
    Overlap,
};

struct ProblemCodeInfo {
    ProblemCode code;
    std::string_view name;
    Severity severity;
    std::string_view summary;
};

inline constexpr ProblemCodeInfo kProblemCodes[] = {
    {ProblemCode::IndexMismatch, "index-mismatch", Severity::Error,
     "an entry's number is neither its ordinal nor the previous number plus one (with "
     "verification)"},
    {ProblemCode::TimeFormat, "time-format", Severity::Error,
     "the time line does not read; the message names the likely cause (\".\", no \"-->\", an "
     "empty line)"},
    {ProblemCode::CrOnly, "cr-only", Severity::Error,
     "CR line ends and no LF: the file reads as one line"},
    {ProblemCode::CannotOpen, "cannot-open", Severity::Error, "the source cannot be opened"},
    {ProblemCode::ReadError, "read-error", Severity::Error, "a read fails part-way"},
    {ProblemCode::Bom, "bom", Severity::Warning,
     "a UTF-8 byte-order mark (it spoils entry 1's number unless --no-verify)"},
    {ProblemCode::CrCrLf, "cr-cr-lf", Severity::Warning,
     "lines end CR CR LF: the entries after the first join one (once a file)"},
    {ProblemCode::CtrlZ, "ctrl-z", Severity::Warning,
     "a Ctrl-Z ends the file there and something follows it"},
    {ProblemCode::Nul, "nul", Severity::Warning, "a NUL cuts its line there; the rest is lost"},
    {ProblemCode::EndBeforeBegin, "end-before-begin", Severity::Warning,
     "the end is at or before the begin"},
    {ProblemCode::PastDuration, "past-duration", Severity::Warning,
     "the end is past 3:00:00.000, the document's duration"},
    {ProblemCode::FieldRange, "field-range", Severity::Warning,
     "hours below 0, minutes or seconds outside 0-59, milliseconds outside 0-999"},
    {ProblemCode::MsDigits, "ms-digits", Severity::Warning,
     "milliseconds not written with three digits (\"01,50\" is 50 ms)"},
    {ProblemCode::Order, "order", Severity::Warning, "it begins before the previous entry begins"},
    {ProblemCode::Overlap, "overlap", Severity::Warning,
     "otherwise, it begins before the previous entry ends (its <clear/> cuts that one short)"},
};

constexpr bool TableFollowsTheCodes() {
    for (size_t i = 0; i < std::size(kProblemCodes); ++i) {
        if (static_cast<size_t>(kProblemCodes[i].code) != i) {
            return false;
        }
    }
    return true;
}
static_assert(TableFollowsTheCodes(), "kProblemCodes lists the codes in their order");

constexpr const ProblemCodeInfo& InfoOf(ProblemCode code) {
    return kProblemCodes[static_cast<size_t>(code)];
}

}  // namespace quillo
