// Every code the core reports: the run's own first, then every problem the
// check can report, each with its severity and what it means in one line.
// --help, the man page and the read-mes list the check's; a test fails when
// one of them misses a code. A code has one severity,
// except where the table says it turns to a warning in a file that converts
// all the same (the report then carries the severity it was given).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillo {

// Fixed: a problem srt2rt --fix mended (and, in the table, a change only
// --fix makes and says, which converts as it stood).
enum class Severity { Error, Warning, Fixed };

enum class ProblemCode : uint8_t {
    // The run's own, which the check never reports.
    DestinationExists,  // the one question: replace it?
    CannotOpenDest,
    DestinationIsFolder,  // srt2rt's: a folder stands where its destination would go
    CannotOpenSmil,
    WriteError,     // a write or close of the destination failed
    CannotReplace,  // srt2rt's: the complete document could not be renamed into place
    OutOfMemory,    // a line of the source is too long to hold in memory
    // srt2rt --fix -i's: transcoded on an encoding guessed without a
    // byte-order mark, the mended file still has errors: the source stays.
    UnsureEncoding,
    // The check's, which the run reports too where they stop it: cannot-open,
    // read-error, index-mismatch, time-format, and encoding for a UTF-16 or
    // UTF-32 source srt2rt refuses before writing anything.
    IndexMismatch,
    TimeFormat,
    CrOnly,
    Encoding,
    BlankLine,
    MissingIndex,
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
    NoEntries,
    Markup,
    UnclosedTag,
    OverrideTag,
    ZeroLength,
    Overflow,
    SplitCharacter,
    LfLineEnds,
    TimeInText,
    Retime,
    RetimeClamp,
    ReadingSpeed,
    LineLength,
    LineCount,
    ShortDuration,
    LongDuration,
    Gap,
};

struct ProblemCodeInfo {
    ProblemCode code;
    std::string_view name;
    Severity severity;
    std::string_view summary;
    // An error where it stops the conversion, a warning where the file
    // converts all the same.
    bool warningWhereConverted = false;
};

// Gap is the last code; the check's begin with IndexMismatch.
inline constexpr size_t kProblemCodeCount = static_cast<size_t>(ProblemCode::Gap) + 1;
inline constexpr size_t kFirstCheckCode = static_cast<size_t>(ProblemCode::IndexMismatch);

// The table, a row a code in the codes' order (problem_codes.cpp: its text is
// in the program once, however many files report problems).
extern const ProblemCodeInfo kProblemCodes[kProblemCodeCount];

inline const ProblemCodeInfo& InfoOf(ProblemCode code) {
    return kProblemCodes[static_cast<size_t>(code)];
}

}  // namespace quillo
