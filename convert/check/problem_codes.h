// Every problem the check can report: its code, its severity and what it
// means in one line. --help, the man page and the read-mes list this table;
// a test fails when one of them misses a code. A code has one severity,
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

// Gap is the last code.
inline constexpr size_t kProblemCodeCount = static_cast<size_t>(ProblemCode::Gap) + 1;

// The table, a row a code in the codes' order (problem_codes.cpp: its text is
// in the program once, however many files report problems).
extern const ProblemCodeInfo kProblemCodes[kProblemCodeCount];

inline const ProblemCodeInfo& InfoOf(ProblemCode code) {
    return kProblemCodes[static_cast<size_t>(code)];
}

}  // namespace quillo
