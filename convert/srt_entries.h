// The shape of a SubRip file, walked once for whoever needs it: the
// conversion writes what it is handed, the check looks at it. Empty lines
// before, between and after entries are skipped; an entry is an index line,
// the line right after it as its time line (whatever it holds), and the
// non-empty lines up to the next empty line as its text.
#pragma once

#include <cstdint>
#include <string_view>

#include "text_file.h"

namespace quillo {

// Looks at the entries beside another visitor (a check beside the
// conversion), with the visitor's calls and, at the end, the reader's.
class EntryObserver {
public:
    virtual ~EntryObserver() = default;
    virtual void Line(const TextReader& source, std::string_view line) = 0;
    virtual bool Index(int32_t ordinal, std::string_view line, uint64_t lineNumber) = 0;
    virtual bool TimeLine(int32_t ordinal, std::string_view line, bool present,
                          uint64_t lineNumber) = 0;
    virtual void Finish(const TextReader& source) = 0;
};

// Hands each entry of `source` to `visitor`, which answers
//   void Line(const TextReader&, std::string_view line)   after every line read
//   bool Index(int32_t ordinal, std::string_view line, uint64_t lineNumber)
//   bool TimeLine(int32_t ordinal, std::string_view line, bool present, uint64_t lineNumber)
//   void Text(std::string_view line)
//   void EndEntry()
// Index and TimeLine return false to stop the walk, which then returns false.
// `present` is false when the file ended after the index line: the time line
// is then empty. Lines are views that hold until the next read. Entry
// ordinals count from 1 and wrap around as a 32-bit int does.
template <typename Visitor>
bool ReadEntries(TextReader& source, Visitor& visitor) {
    std::string_view line;
    uint32_t entryCount = 0;  // unsigned so that a count past 2^31 wraps as in C
    bool haveLine = false;    // after an entry, `line` holds the line that closed it
    const auto read = [&] {
        const bool got = source.ReadLine(line);
        if (got) {
            visitor.Line(source, line);
        }
        return got;
    };
    for (;;) {
        if (!haveLine && !read()) {
            return true;
        }
        haveLine = true;
        bool more = true;
        while (line.empty() && (more = read())) {
        }
        if (!more) {
            return true;
        }

        const int32_t ordinal = static_cast<int32_t>(++entryCount);
        if (!visitor.Index(ordinal, line, source.LineNumber())) {
            return false;
        }
        const uint64_t indexLine = source.LineNumber();
        const bool present = read();  // at the end of the file the time line is empty
        if (!visitor.TimeLine(ordinal, line, present, present ? source.LineNumber() : indexLine)) {
            return false;
        }
        while (read() && !line.empty()) {
            visitor.Text(line);
        }
        visitor.EndEntry();
    }
}

}  // namespace quillo
