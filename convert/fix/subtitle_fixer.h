// srt2rt --fix: a SubRip file mended for a strict reader in one pass, saying
// what it changed. It mends only what needs no judgment: the encoding, a
// byte-order mark, line ends, lines of blanks where an entry would start,
// the numbering, a missing number line, a time line with '.' before the
// milliseconds, blanks inside it or no milliseconds (each number kept as
// written), an empty line before the time line, and
// style tags left open at the end of an entry. Every other line is written as
// it stands.
//
// The fixer sits between the reader and the entry walk: each mended line is
// written out and then handed to the walk, so that the check beside it
// reports what is left in the mended file.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "mending_reader.h"
#include "padded_line.h"
#include "realtext_markup.h"
#include "subtitle_check.h"
#include "text_file.h"
#include "time_map.h"

namespace quillo {

class SubtitleFixer {
public:
    // Mends the lines of `source` into `out`, telling `report` of each change
    // (severity Fixed).
    SubtitleFixer(MendingReader& source, TextWriter& out, ProblemSink& report);

    // The walk's line source: the next mended line, already written out. The
    // view holds until the next call. A Ctrl-Z ends the mended file for the
    // walk, as it does for the converter; Finish mends and writes the rest.
    bool ReadLine(std::string_view& line);
    uint64_t LineNumber() const { return lineNumber_; }
    size_t CutColumn(uint64_t line) const { return cutLine_ == line ? cutColumn_ : 0; }
    // Every mended line ends CR LF, but the one a Ctrl-Z cuts for the walk.
    bool LineUnended() const { return walkEnded_; }
    const TextReader::CtrlZ& CtrlZSeen() const { return ctrlZ_; }
    // What the check tells the encoding from: nothing, as the mended file is
    // UTF-8 or the source's bytes as the reader took them, its encoding told
    // from the source's own head.
    std::string_view Head() const { return {}; }

    // The times of the last line handed out, when it was read as a time line
    // of the usual shape; else nullptr.
    const TimeRange* UsualTimes() const {
        return usualTimesLine_ == lineNumber_ ? &usualTimes_ : nullptr;
    }
    // Whether the last line handed out is known to be the entry's number
    // line holding its ordinal, or a text line with none of the bytes a
    // visitor looks for: read so by the fixer, not again by the walk.
    bool NumberIsOrdinal() const { return numberLine_ == lineNumber_; }
    bool LineKnownPlain() const { return plainLine_ == lineNumber_; }
    // Moves every time line's times by `map`, rewriting only its numbers;
    // a time it cannot move is an error said to the report, and
    // RetimingStopped thrown: nothing of the file is to be kept.
    void RetimeWith(const TimeMap& map) { map_ = &map; }
    // Mends and writes what the walk did not pull (after a Ctrl-Z).
    void Finish();
    uint64_t Fixed() const { return fixed_; }

private:
    enum class Expect : uint8_t { Entry, TimeLine, Text };

    // Whether the source's next line goes out as it stands, with nothing to
    // mend, hold or say (the state moves on as the mending would move it).
    bool GoesOutAsItStands(std::string_view line);
    void Mend(std::string_view line);  // into the queue, saying what it changed
    void EntryLine(std::string_view line);
    void TimeLineLine(std::string_view line);
    void TextLine(std::string_view line);
    void CloseEntry();
    void EndOfEntries();
    void ReleaseHeldEmpties();
    void ReleaseHeldText();
    bool MendedTime(std::string_view line);
    // A line as the source has it (a view, handed on before the next read).
    void Queue(std::string_view line);
    // The same, with its line end as the source has it.
    void QueueAsWritten(std::string_view line);
    // A line of the fixer's own making, or one held back: copied.
    void QueueCopy(std::initializer_list<std::string_view> pieces);
    void QueueNumber(int32_t number);
    // The time line queued last, its numbers moved by the map.
    void RetimeQueuedTimeLine();
    // A line --fix leaves as it stands, with a time the map would not move.
    [[noreturn]] void StopRetiming(uint64_t line, size_t column, std::string_view why);
    // The same, in `parts`: an error said, RetimingStopped thrown.
    template <typename... Parts>
    [[noreturn]] void StopRetimingWith(uint64_t line, size_t column, const Parts&... parts) {
        message_.Clear();
        (message_ << ... << parts);
        StopRetimingSaid(line, column);
    }
    [[noreturn]] void StopRetimingSaid(uint64_t line, size_t column);
    // Tells the report of a change, in `parts` (built whether the report wants
    // it or not: changes are few).
    template <typename... Parts>
    void Fix(ProblemCode code, uint64_t line, size_t column, int32_t entry, const Parts&... parts) {
        message_.Clear();
        (message_ << ... << parts);
        Record(code, line, column, entry);
    }
    void Record(ProblemCode code, uint64_t line, size_t column, int32_t entry);

    MendingReader& source_;
    TextWriter& out_;
    ProblemSink& report_;
    TextBuilder message_;
    uint64_t fixed_ = 0;

    Expect expect_ = Expect::Entry;
    int32_t ordinal_ = 0;
    uint32_t entryCount_ = 0;
    uint64_t heldEmpty_ = 0;   // empty lines after an index line, held back
    uint64_t emptiesDue_ = 0;  // empty lines released, to be handed out first
    uint64_t heldEmptyLine_ = 0;
    bool holdingText_ = false;
    PaddedLine heldText_;  // an entry's last text line, for closing its tags
    uint64_t heldTextLine_ = 0;
    StyleTag open_[16];
    size_t openCount_ = 0;

    // Mended lines not yet handed out, oldest first: views of the source's
    // current line, or copies in `copies_` (most lines pass without a copy).
    static constexpr size_t kQueue = 4;
    struct Queued {
        std::string_view text;
        size_t copy;  // its slot in copies_, or kQueue for a view
        bool unended;
        bool plain;  // known to hold no NUL and no Ctrl-Z
        // Past a Ctrl-Z or a NUL, the line ends as it did in the source.
        bool endAsWritten;
        uint32_t endCrs;
        bool endLf;
    };
    Queued queue_[kQueue];
    PaddedLine copies_[kQueue];
    size_t queueFront_ = 0;
    size_t queueSize_ = 0;
    PaddedLine current_;  // the copy last handed to the walk
    const TimeMap* map_ = nullptr;
    PaddedLine retimed_;
    TimeRange usualTimes_;
    uint64_t usualTimesLine_ = 0;  // the line they are of
    uint64_t numberLine_ = 0;      // the last number line that went out holding its ordinal
    uint64_t plainLine_ = 0;       // the last text line that went out known to be plain

    uint64_t lineNumber_ = 0;  // of the mended file
    uint64_t cutLine_ = 0;
    size_t cutColumn_ = 0;
    TextReader::CtrlZ ctrlZ_;
    bool walkEnded_ = false;
    bool endsInCtrlZ_ = false;  // the source's last bytes, unended, end in a Ctrl-Z
    bool verbatim_ = false;     // past a Ctrl-Z or a NUL
    uint64_t ctrlZLine_ = 0;    // where the Ctrl-Z that made it so stands
    size_t ctrlZColumn_ = 0;
    bool lfLeft_ = true;  // no LF line end was mended (and said) yet
    bool sourceEnded_ = false;
};

}  // namespace quillo
