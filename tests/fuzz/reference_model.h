// Deliberately plain readings of the converter's rules, written apart from
// the core so that the fuzz targets can compare the two: one byte at a time,
// 64-bit arithmetic reduced to 32 bits, the scanf pattern interpreted from
// its text, and the document built from a list of all lines.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillo::fuzz {

// The lines a text-mode read yields for a file holding `bytes`.
std::vector<std::string> ReferenceLines(std::string_view bytes);

// The file a text-mode write of `text` and a line end produces.
std::string ReferenceWrittenLine(std::string_view text);

// atol on a 32-bit long that wraps around.
int32_t ReferenceIndex(std::string_view line);

using TimeFields = std::array<int32_t, 8>;

// The eight numbers sscanf(line, "%d:%d:%d,%d --> %d:%d:%d,%d") stores, on a
// 32-bit int that wraps around; nothing when it stores fewer.
std::optional<TimeFields> ReferenceTimeFields(std::string_view line);

// The entry line's time tag, formatted by the C library from eight fields.
std::string ReferenceTimeTag(const TimeFields& fields);

struct ReferenceRun {
    std::string document;     // what the destination holds afterwards
    std::string notice;       // the error notice shown, empty when the run completes
    int32_t failedEntry = 0;  // the entry the notice names
};

// The run over `source`; `shiftJis` walks text lines in code page 932.
ReferenceRun ReferenceConversion(std::string_view source, bool verifyLineNumbers, bool shiftJis);
// The same from the source's lines, as ReferenceLines gives them.
ReferenceRun ReferenceConversion(const std::vector<std::string>& lines, bool verifyLineNumbers,
                                 bool shiftJis);

inline constexpr const char* kReferenceOpening =
    "<window duration=\"3:00:00.00\" width=\"640\" height=\"50\" wordwrap=\"true\" "
    "loop=\"true\" bgcolor=\"black\">\r\n"
    "<font color=\"white\" face=\"Arial\" size=\"+2\">\r\n"
    "<center>\r\n"
    "<b>\r\n";
inline constexpr const char* kReferenceClosing = "</b>\r\n</center>\r\n</font>\r\n</window>\r\n";

}  // namespace quillo::fuzz
