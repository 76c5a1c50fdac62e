// The conversion run behind both Convert overloads, as a template over what
// looks on beside the writer, so that the walk makes no virtual calls.
#pragma once

#include <new>
#include <optional>
#include <type_traits>

#include "byte_search.h"
#include "conversion.h"
#include "destination.h"
#include "srt_entries.h"
#include "srt_fields.h"
#include "time_map.h"

namespace quillo::conversion_run {

inline constexpr char kWindowLine[] =
    "<window duration=\"3:00:00.00\" width=\"640\" height=\"50\" wordwrap=\"true\" "
    "loop=\"true\" bgcolor=\"black\">";
inline constexpr const char* kOpeningLines[] = {
    kWindowLine,
    "<font color=\"white\" face=\"Arial\" size=\"+2\">",
    "<center>",
    "<b>",
};
inline constexpr const char* kClosingLines[] = {"</b>", "</center>", "</font>", "</window>"};

// A line with a "|" in a code page with lead bytes, walked character by
// character: a trail byte that happens to be "|" stays what it is. Rare, and
// kept out of the loop.
void PutWalkingBars(TextWriter& dest, std::string_view text, const CodePage& codePage);

// Each "|" of a text line becomes <BR>. Lines from the reader are padded for
// the search.
[[gnu::always_inline]] inline void PutReplacingBars(TextWriter& dest, std::string_view text,
                                                    const CodePage& codePage) {
    const char* end = text.data() + text.size();
    const char* bar = FindBytePadded(text.data(), end, '|');
    if (bar == end) {
        dest.Put(text);  // most lines hold none
        return;
    }
    if (codePage.HasLeadBytes()) {
        PutWalkingBars(dest, text, codePage);
        return;
    }
    const char* from = text.data();
    do {
        dest.Put(std::string_view(from, static_cast<size_t>(bar - from)));
        dest.Put("<BR>");
        from = bar + 1;
    } while ((bar = FindBytePadded(from, end, '|')) != end);
    dest.Put(std::string_view(from, static_cast<size_t>(end - from)));
}

// The entries the conversion cannot write, where it stops: a number line
// that is not the entry's ordinal (when verified), a time line that does
// not read.
inline bool StopsAt(const IndexLine& index, bool verify) {
    return verify && index.Number() != index.ordinal;
}
inline bool StopsAt(const quillo::TimeLine& time) {
    TimeRange times;
    return !time.Times(times);
}

// The conversion as a visitor of the entries: each entry goes straight into
// the output block. It stops the walk at the first entry it cannot write.
// With others looking on, it keeps the times it reads for them.
template <bool kOthersLook>
class EntryWriter {
public:
    EntryWriter(TextWriter& dest, const ConversionOptions& options, std::string_view sourceName)
        : dest_(dest), options_(options), sourceName_(sourceName) {}

    void Line(const TextReader&, std::string_view) {}

    bool Index(const IndexLine& index) {
        if (StopsAt(index, options_.verifyLineNumbers)) {
            Fail(ProblemCode::IndexMismatch, index.ordinal, index.lineNumber);
            return false;
        }
        return true;
    }

    bool TimeLine(const quillo::TimeLine& time) {
        // Only a checked conversion is retimed (srt2rt's), so that the
        // window, which converts unchecked, links none of the retiming.
        if constexpr (kOthersLook) {
            if (__builtin_expect(options_.timeMap != nullptr, 0)) {
                return RetimedTimeLine(time);
            }
        }
        // No text line holds an LF, so nothing needs translating on the way.
        dest_.BeginLine();
        char* const reserved = dest_.Reserve(kMaxTimeTagLength);
        char* const out = reserved != nullptr ? reserved : tag_;
        // The usual shape is copied from its digits; any other is read.
        size_t tagLength =
            kOthersLook ? time.UsualTagKeepingTimes(out) : UsualTimeTag(time.text, out);
        if (tagLength == 0) {
            TimeRange times;
            if (!time.Times(times)) {
                dest_.DiscardUnfinishedLine();
                Fail(ProblemCode::TimeFormat, time.ordinal, time.lineNumber);
                return false;
            }
            tagLength = FormatTimeTag(out, times);
        }
        if (reserved != nullptr) {
            dest_.Commit(tagLength);
        } else {
            dest_.Put(std::string_view(tag_, tagLength));  // a block too small for a tag
        }
        firstText_ = true;
        return true;
    }

    void Text(const quillo::TextLine& line) {
        if (!firstText_) {
            dest_.Put("<BR>");
        }
        firstText_ = false;
        // With the check looking on, one search tells both whether the line
        // holds anything either cares for; alone, the writer looks for '|'.
        if (kOthersLook && !line.MayHoldSpecialBytes()) {
            dest_.Put(line.text);
            return;
        }
        PutReplacingBars(dest_, line.text, options_.codePage);
    }

    void EndEntry() { dest_.EndLine(); }
    void Finish(const TextReader&) {}

private:
    // With a timing option the digits cannot be copied: the times are read,
    // moved and written.
    [[gnu::noinline]] bool RetimedTimeLine(const quillo::TimeLine& time) {
        TimeRange times;
        if (!time.Times(times)) {
            Fail(ProblemCode::TimeFormat, time.ordinal, time.lineNumber);
            return false;
        }
        const RetimedTimes moved = Retime(*options_.timeMap, times);
        if (moved.outcome == RetimedTimes::Outcome::Outside) {
            Fail(ProblemCode::Retime, time.ordinal, time.lineNumber);
            return false;
        }
        dest_.BeginLine();
        dest_.Put(std::string_view(tag_, FormatTimeTag(tag_, moved.written)));
        firstText_ = true;
        return true;
    }

    void Fail(ProblemCode code, int32_t entry, uint64_t line) {
        options_.host.Report(RunProblem(code, sourceName_, line, entry));
    }

    TextWriter& dest_;
    const ConversionOptions& options_;
    std::string_view sourceName_;
    bool firstText_ = true;
    char tag_[kMaxTimeTagLength];
};

// srt2rt --check's walk: the onlookers alone, nothing written. A failed read
// or a line too long to hold ends it where it stands, and the host is told.
template <typename... Onlookers>
RunOutcome WalkWithoutWriting(TextReader& source, ProblemSink& host, Onlookers&... onlookers) {
    try {
        SideBySide<Onlookers...> walk(onlookers...);
        ReadEntries(source, walk);
        source.Close();
        return RunOutcome::Completed;
    } catch (const FileError& error) {
        const uint64_t line = source.LineNumber() + 1;
        source.Close();
        host.Report(FailureOf(error, line));
    } catch (const std::bad_alloc&) {
        const uint64_t line = source.LineNumber() + 1;
        source.Close();
        host.Report(RunProblem(ProblemCode::OutOfMemory, {}, line));
    }
    return RunOutcome::Stopped;
}

// Converts `source` into the opened destination, closes both and reports
// every failure.
template <typename... Onlookers>
RunOutcome ConvertBetween(const std::string& sourceName, TextReader& source,
                          OpenedDestination& opened, const ConversionOptions& options,
                          Onlookers&... onlookers) {
    ProblemSink& host = options.host;
    if constexpr (sizeof...(Onlookers) != 0) {
        if (!opened.Writes()) {
            return WalkWithoutWriting(source, host, onlookers...);
        }
    }
    TextWriter& dest = opened.Writer();
    try {
        for (const char* opening : kOpeningLines) {
            dest.WriteLine(opening);
        }
        bool converted;
        if constexpr (sizeof...(Onlookers) == 0) {
            EntryWriter<false> writer(dest, options, sourceName);
            converted = ReadEntries(source, writer);
        } else {
            // The writer first, so that the onlookers find the times it read.
            EntryWriter<true> writer(dest, options, sourceName);
            SideBySide<EntryWriter<true>, Onlookers...> walk(writer, onlookers...);
            converted = ReadEntries(source, walk);
        }
        source.Close();
        if (!converted) {
            // A replacement leaves nothing; any other destination keeps the
            // entries before the failing one, and must reach the disk.
            opened.Replacing() ? opened.GiveUp() : dest.Close();
            return RunOutcome::Stopped;
        }
        for (const char* closing : kClosingLines) {
            dest.WriteLine(closing);
        }
        return opened.Complete(host) ? RunOutcome::Completed : RunOutcome::Stopped;
    } catch (const FileError& error) {
        // What was written stays, in whole lines: an entry cut short by a
        // failed read is not written.
        const uint64_t line = source.LineNumber() + 1;
        source.Close();
        opened.GiveUp(error.operation == FileOperation::Read);
        host.Report(FailureOf(error, error.operation == FileOperation::Read ? line : 0));
        return RunOutcome::Stopped;
    } catch (const std::bad_alloc&) {
        const uint64_t line = source.LineNumber() + 1;
        source.Close();
        opened.GiveUp(true);
        host.Report(RunProblem(ProblemCode::OutOfMemory, sourceName, line));
        return RunOutcome::Stopped;
    }
}
// Opens `source`, telling the host when it cannot; `own` holds a reader of
// the run's own.
template <typename Reader>
Reader* OpenSourceEnd(const Source& source, ProblemSink& host, std::optional<Reader>& own) {
    if constexpr (std::is_same_v<Reader, TextReader>) {
        if (source.kind == Source::Kind::Reader) {
            return source.reader;
        }
    }
    Reader& reader = own.emplace(source.blockSize);
    Problem notice = RunProblem(ProblemCode::CannotOpen, source.path);
    if (!OpenSource(source, reader, &notice.systemError)) {
        host.Report(notice);
        return nullptr;
    }
    return &reader;
}

// Whether `reader`'s file is UTF-16 or UTF-32, or its first read failed:
// then the host is told and the reader closed.
bool RefusedForItsEncoding(const std::string& sourceName, TextReader& reader, ProblemSink& host);

// The one way in: opens both ends, a `Reader` (the conversion's TextReader,
// --fix's MendingReader) on the source, and hands them to `convert(reader,
// opened)`, which walks between them and closes both.
template <typename Reader = TextReader, typename Between>
RunOutcome Run(const Source& source, const Destination& destination,
               const ConversionOptions& options, Between&& convert) {
    std::optional<Reader> ownReader;
    Reader* const reader = OpenSourceEnd(source, options.host, ownReader);
    if (reader == nullptr) {
        return RunOutcome::Stopped;
    }
    if constexpr (std::is_same_v<Reader, TextReader>) {
        if (options.refuseWideEncodings &&
            RefusedForItsEncoding(source.path, *reader, options.host)) {
            return RunOutcome::Stopped;
        }
    }
    OpenedDestination opened;
    if (!opened.Open(destination, options.host)) {
        reader->Close();
        return RunOutcome::Stopped;
    }
    return convert(*reader, opened);
}

}  // namespace quillo::conversion_run
