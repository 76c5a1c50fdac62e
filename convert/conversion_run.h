// The conversion run behind both Convert overloads, as a template over what
// looks on beside the writer, so that the walk makes no virtual calls.
#pragma once

#include <optional>

#include "byte_search.h"
#include "conversion.h"
#include "srt_entries.h"
#include "srt_fields.h"

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
        if (options_.verifyLineNumbers && index.Number() != index.ordinal) {
            Fail(NoticeKind::LineNumberError, index.ordinal, index.lineNumber);
            return false;
        }
        return true;
    }

    bool TimeLine(const quillo::TimeLine& time) {
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
                Fail(NoticeKind::TimeFormatError, time.ordinal, time.lineNumber);
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

    void Text(std::string_view line) {
        if (!firstText_) {
            dest_.Put("<BR>");
        }
        firstText_ = false;
        PutReplacingBars(dest_, line, options_.codePage);
    }

    void EndEntry() { dest_.EndLine(); }
    void Finish(const TextReader&) {}

private:
    void Fail(NoticeKind kind, int32_t entry, uint64_t line) {
        Notice notice{kind, sourceName_};
        notice.entry = entry;
        notice.line = line;
        options_.host.Tell(notice);
    }

    TextWriter& dest_;
    const ConversionOptions& options_;
    std::string_view sourceName_;
    bool firstText_ = true;
    char tag_[kMaxTimeTagLength];
};

// The opened ends of a run: the caller's reader and writer, or ones of its own.
struct Ends {
    std::optional<TextReader> ownReader;
    std::optional<TextWriter> ownWriter;
    TextReader* reader = nullptr;
    TextWriter* writer = nullptr;
};

// Opens both ends, asking before replacing an existing destination; false
// after telling the host why not.
bool OpenEnds(const Source& source, const Destination& destination,
              const ConversionOptions& options, Ends& ends);

// Converts between the open ends, closes both and reports every failure.
template <typename... Onlookers>
RunOutcome ConvertBetween(const std::string& sourceName, Ends& ends,
                          const ConversionOptions& options, Onlookers&... onlookers) {
    TextReader& source = *ends.reader;
    TextWriter& dest = *ends.writer;
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
        if (converted) {
            for (const char* closing : kClosingLines) {
                dest.WriteLine(closing);
            }
        }
        source.Close();
        dest.Close();  // after a failed entry too: what was written must reach the disk
        return converted ? RunOutcome::Completed : RunOutcome::Stopped;
    } catch (const FileError& error) {
        // Closing happens as we unwind; what was written stays, in whole
        // lines: an entry cut short by a failed read is not written.
        if (error.operation == FileOperation::Read) {
            dest.DiscardUnfinishedLine();
        }
        source.Close();
        try {
            dest.Close();
        } catch (const FileError&) {
            // Already reporting the first failure.
        }
        Notice notice{NoticeKind::FileFailure, error.fullPath};
        notice.operation = error.operation;
        options.host.Tell(notice);
        return RunOutcome::Stopped;
    }
}

template <typename... Onlookers>
RunOutcome Run(const Source& source, const Destination& destination,
               const ConversionOptions& options, Onlookers&... onlookers) {
    Ends ends;
    if (!OpenEnds(source, destination, options, ends)) {
        return RunOutcome::Stopped;
    }
    return ConvertBetween(source.path, ends, options, onlookers...);
}

}  // namespace quillo::conversion_run
