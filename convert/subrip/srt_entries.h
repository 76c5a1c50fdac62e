// The shape of a SubRip file, walked once for whoever needs it: the
// conversion writes what it is handed, the check looks at it. Empty lines
// before, between and after entries are skipped; an entry is an index line,
// the line right after it as its time line (whatever it holds), and the
// non-empty lines up to the next empty line as its text.
#pragma once

#include <cstdint>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "byte_search.h"
#include "srt_fields.h"
#include "text_file.h"

namespace quillo {

// An entry's first line. Its number is read once, by the first visitor to ask.
class IndexLine {
public:
    IndexLine(std::string_view line, int32_t entry, uint64_t number)
        : text(line), ordinal(entry), lineNumber(number) {}
    // A line that whoever handed it out read already as the ordinal alone.
    static IndexLine HoldingItsOrdinal(std::string_view line, int32_t entry, uint64_t number) {
        IndexLine index(line, entry, number);
        index.number_ = entry;
        index.numberRead_ = true;
        return index;
    }

    std::string_view text;  // followed by kSearchPadding readable bytes
    int32_t ordinal;        // from 1, wrapping as a 32-bit int does
    uint64_t lineNumber;

    int32_t Number() const {
        if (!numberRead_) {
            number_ = ParseIndexOfPaddedLine(text);
            numberRead_ = true;
        }
        return number_;
    }

private:
    mutable int32_t number_ = 0;
    mutable bool numberRead_ = false;
};

// The line right after an index line. Its times are read once, by the first
// visitor to ask: the usual shape by the fast path, any other by the general
// scanner, which also tells where each number stands.
class TimeLine {
public:
    // `usual`: the line's times, when whoever handed it out read it already
    // as a line of the usual shape.
    TimeLine(std::string_view line, int32_t entry, bool read, uint64_t number,
             const TimeRange* usual = nullptr)
        : text(line), ordinal(entry), present(read), lineNumber(number) {
        if (usual != nullptr) {
            times_ = *usual;
            shape_ = Shape::Usual;
        }
    }

    std::string_view text;
    int32_t ordinal;
    bool present;  // false when the file ended after the index line: `text` is then empty
    uint64_t lineNumber;

    // The eight numbers; false when the line does not read.
    bool Times(TimeRange& out) const {
        if (shape_ == Shape::Unread) {
            Read();
        }
        out = times_;
        return shape_ != Shape::Unreadable;
    }
    // Whether the line has the usual shape, HH:MM:SS,mmm --> HH:MM:SS,mmm.
    bool Usual() const {
        if (shape_ == Shape::Unread) {
            Read();
        }
        return shape_ == Shape::Usual;
    }
    // Where the general scanner found each number, or where it stopped; only
    // for lines that are not of the usual shape.
    const TimeLineLayout& Layout() const { return layout_; }
    // The tag of a line of the usual shape, its times kept for the visitors
    // after this one (UsualTimeTagAndRange); 0 for any other line.
    size_t UsualTagKeepingTimes(char* out) const {
        if (shape_ != Shape::Unread) {
            return shape_ == Shape::Usual ? UsualTimeTag(text, out) : 0;
        }
        const size_t length = UsualTimeTagAndRange(text, out, times_);
        if (length != 0) {
            shape_ = Shape::Usual;
        }
        return length;
    }

private:
    enum class Shape : uint8_t { Unread, Usual, Other, Unreadable };
    void Read() const {
        shape_ = ParseUsualTimeLine(text, times_)       ? Shape::Usual
                 : ScanTimeLine(text, times_, &layout_) ? Shape::Other
                                                        : Shape::Unreadable;
    }
    mutable Shape shape_ = Shape::Unread;
    // Written by the first reading, before anyone reads them: left
    // uninitialised, as they are built once an entry.
    mutable TimeRange times_;
    mutable TimeLineLayout layout_;
};

// A text line of an entry. Whether it holds any byte a visitor looks for
// ('|', which becomes <BR>; '<', '&', '{', which the check reads as markup;
// '>', as in a time line's arrow) is found once, by the first visitor to
// ask: most lines hold none.
class TextLine {
public:
    // `plain`: whoever handed it out found none of those bytes in it already.
    explicit TextLine(std::string_view line, bool plain = false)
        : text(line), look_(plain ? Look::Plain : Look::Unread) {}

    std::string_view text;  // followed by kSearchPadding readable bytes

    bool MayHoldSpecialBytes() const {
        if (look_ == Look::Unread) {
            const char* const end = text.data() + text.size();
            look_ = FindAnyOfPadded(text.data(), end, '|', '<', '&', '{', '>') == end
                        ? Look::Plain
                        : Look::Special;
        }
        return look_ == Look::Special;
    }
    // Whether a visitor asked already.
    bool LookedAt() const { return look_ != Look::Unread; }

private:
    enum class Look : uint8_t { Unread, Plain, Special };
    mutable Look look_;
};

// Hands each entry of `source` to `visitor`, which answers
//   void Line(const Lines&, std::string_view line)        after every line read
//   Index(const IndexLine&)
//   TimeLine(const TimeLine&)
//   void Text(const TextLine&)
//   void EndEntry()
//   void Finish(const Lines&)                             once the file has ended
// A visitor that can stop the walk (the conversion, at an entry it cannot
// write) returns bool from Index and TimeLine, false to stop; one that cannot
// returns nothing. Returns false when the walk was stopped. Lines are views
// that hold until the next read.
template <typename Lines, typename Visitor>
bool ReadEntries(Lines& source, Visitor& visitor);

namespace entry_walk {

// Whether a line source tells the times of a usual time line it read
// (UsualTimes(): of the line handed out last, or nullptr).
template <typename Lines, typename = void>
struct TellsTimes : std::false_type {};
template <typename Lines>
struct TellsTimes<Lines, std::void_t<decltype(std::declval<const Lines&>().UsualTimes())>>
    : std::true_type {};

// Whether it tells of the line it handed out last that it is the entry's
// number line holding its ordinal (NumberIsOrdinal()), and of a text line
// that it holds none of TextLine's bytes (LineKnownPlain()): --fix's mended
// lines, which the fixer read already.
template <typename Lines, typename = void>
struct TellsWhatItRead : std::false_type {};
template <typename Lines>
struct TellsWhatItRead<Lines, std::void_t<decltype(std::declval<const Lines&>().NumberIsOrdinal())>>
    : std::true_type {};

// Calls `step`; true unless it returned false.
template <typename Step>
bool Goes(Step&& step) {
    if constexpr (std::is_same_v<decltype(step()), bool>) {
        return step();
    } else {
        step();
        return true;
    }
}

}  // namespace entry_walk

// Several visitors on one walk, each called in turn, without virtual calls.
// Each sees every step, the one that stops the walk included (the check
// beside the conversion sees the entry the conversion stops at); the walk
// stops when any of them stops it.
template <typename... Visitors>
class SideBySide {
public:
    explicit SideBySide(Visitors&... visitors) : visitors_(visitors...) {}

    template <typename Lines>
    void Line(const Lines& source, std::string_view line) {
        std::apply([&](auto&... v) { (v.Line(source, line), ...); }, visitors_);
    }
    bool Index(const IndexLine& index) {
        return std::apply(
            [&](auto&... v) {
                bool goes = true;  // every visitor is called, whatever the others say
                ((goes = entry_walk::Goes([&] { return v.Index(index); }) && goes), ...);
                return goes;
            },
            visitors_);
    }
    bool TimeLine(const quillo::TimeLine& time) {
        return std::apply(
            [&](auto&... v) {
                bool goes = true;
                ((goes = entry_walk::Goes([&] { return v.TimeLine(time); }) && goes), ...);
                return goes;
            },
            visitors_);
    }
    void Text(const quillo::TextLine& line) {
        std::apply([&](auto&... v) { (v.Text(line), ...); }, visitors_);
    }
    void EndEntry() {
        std::apply([](auto&... v) { (v.EndEntry(), ...); }, visitors_);
    }
    template <typename Lines>
    void Finish(const Lines& source) {
        std::apply([&](auto&... v) { (v.Finish(source), ...); }, visitors_);
    }

private:
    std::tuple<Visitors&...> visitors_;
};

// `Lines` hands out the lines: a TextReader, or anything with its ReadLine
// and LineNumber (the fixer's mended lines), and maybe UsualTimes.
template <typename Lines, typename Visitor>
bool ReadEntries(Lines& source, Visitor& visitor) {
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
            break;
        }
        haveLine = true;
        bool more = true;
        while (line.empty() && (more = read())) {
        }
        if (!more) {
            break;
        }

        const int32_t ordinal = static_cast<int32_t>(++entryCount);
        const uint64_t indexLine = source.LineNumber();
        if (!entry_walk::Goes([&] {
                if constexpr (entry_walk::TellsWhatItRead<Lines>::value) {
                    if (source.NumberIsOrdinal()) {
                        return visitor.Index(
                            IndexLine::HoldingItsOrdinal(line, ordinal, indexLine));
                    }
                }
                return visitor.Index(IndexLine(line, ordinal, indexLine));
            })) {
            return false;
        }
        const bool present = read();  // at the end of the file the time line is empty
        const TimeRange* usual = nullptr;
        if constexpr (entry_walk::TellsTimes<Lines>::value) {
            usual = present ? source.UsualTimes() : nullptr;
        }
        const TimeLine time(line, ordinal, present, present ? source.LineNumber() : indexLine,
                            usual);
        if (!entry_walk::Goes([&] { return visitor.TimeLine(time); })) {
            return false;
        }
        while (read() && !line.empty()) {
            if constexpr (entry_walk::TellsWhatItRead<Lines>::value) {
                visitor.Text(TextLine(line, source.LineKnownPlain()));
            } else {
                visitor.Text(TextLine(line));
            }
        }
        visitor.EndEntry();
    }
    visitor.Finish(source);
    return true;
}

}  // namespace quillo
