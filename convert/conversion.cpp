#include "conversion.h"

#include <cstdint>

#include "messages.h"
#include "srt_entries.h"
#include "srt_fields.h"

namespace quillo {
namespace {

constexpr char kWindowLine[] =
    "<window duration=\"3:00:00.00\" width=\"640\" height=\"50\" wordwrap=\"true\" "
    "loop=\"true\" bgcolor=\"black\">";
constexpr const char* kOpeningLines[] = {
    kWindowLine,
    "<font color=\"white\" face=\"Arial\" size=\"+2\">",
    "<center>",
    "<b>",
};
constexpr const char* kClosingLines[] = {"</b>", "</center>", "</font>", "</window>"};

// A line with a "|" in a code page with lead bytes, walked character by
// character: a trail byte that happens to be "|" stays what it is. Rare, and
// kept out of the loop below.
[[gnu::noinline]] void PutWalkingBars(TextWriter& dest, std::string_view text,
                                      const CodePage& codePage) {
    codePage.Split(
        text, '|', [&dest](std::string_view piece) { dest.Put(piece); },
        [&dest] { dest.Put("<BR>"); });
}

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

// The message with the entry's ordinal in place of its "%d".
std::string EntryMessage(const char* format, int32_t entry) {
    std::string text = format;
    text.replace(text.find("%d"), 2, std::to_string(entry));
    return text;
}

// A conversion that checks nothing on the way.
struct NoCheck {
    void Line(const TextReader&, std::string_view) {}
    bool Index(int32_t, std::string_view, uint64_t) { return true; }
    bool TimeLine(int32_t, std::string_view, bool, uint64_t) { return true; }
};

// One that lets an observer look on; through its interface only, so that a
// program without checks links none.
struct Onlooker {
    EntryObserver& observer;
    void Line(const TextReader& source, std::string_view line) { observer.Line(source, line); }
    bool Index(int32_t ordinal, std::string_view line, uint64_t lineNumber) {
        return observer.Index(ordinal, line, lineNumber);
    }
    bool TimeLine(int32_t ordinal, std::string_view line, bool present, uint64_t lineNumber) {
        return observer.TimeLine(ordinal, line, present, lineNumber);
    }
};

// The conversion as a visitor of the entries: each entry goes straight into
// the output block, and the check alongside looks at it too.
template <typename Check>
class EntryWriter {
public:
    EntryWriter(TextWriter& dest, bool verifyLineNumbers, const CodePage& codePage, RunHost& host,
                Check& check)
        : dest_(dest),
          verify_(verifyLineNumbers),
          codePage_(codePage),
          host_(host),
          check_(check) {}

    void Line(const TextReader& source, std::string_view line) { check_.Line(source, line); }

    bool Index(int32_t ordinal, std::string_view line, uint64_t lineNumber) {
        check_.Index(ordinal, line, lineNumber);
        if (verify_ && ParseIndexOfPaddedLine(line) != ordinal) {
            host_.ShowEntryError(EntryMessage(messages::kLineNumberError, ordinal),
                                 messages::kErrorCaption, lineNumber);
            return false;
        }
        return true;
    }

    bool TimeLine(int32_t ordinal, std::string_view line, bool present, uint64_t lineNumber) {
        check_.TimeLine(ordinal, line, present, lineNumber);
        // No text line holds an LF, so nothing needs translating on the way.
        dest_.BeginLine();
        char* out = dest_.Reserve(kMaxTimeTagLength);
        size_t tagLength = UsualTimeTag(line, out != nullptr ? out : tag_);
        if (tagLength == 0) {
            TimeRange times;
            if (!ScanTimeLine(line, times)) {
                dest_.DiscardUnfinishedLine();
                host_.ShowEntryError(EntryMessage(messages::kTimeFormatError, ordinal),
                                     messages::kErrorCaption, lineNumber);
                return false;
            }
            tagLength = FormatTimeTag(out != nullptr ? out : tag_, times);
        }
        if (out != nullptr) {
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
        PutReplacingBars(dest_, line, codePage_);
    }

    void EndEntry() { dest_.EndLine(); }

private:
    TextWriter& dest_;
    bool verify_;
    const CodePage& codePage_;
    RunHost& host_;
    Check& check_;
    bool firstText_ = true;
    char tag_[kMaxTimeTagLength];
};

}  // namespace

bool ConvertStream(TextReader& source, TextWriter& dest, bool verifyLineNumbers,
                   const CodePage& codePage, RunHost& host, EntryObserver* observer) {
    for (const char* opening : kOpeningLines) {
        dest.WriteLine(opening);
    }
    bool converted;
    if (observer != nullptr) {
        Onlooker onlooker{*observer};
        EntryWriter<Onlooker> writer(dest, verifyLineNumbers, codePage, host, onlooker);
        converted = ReadEntries(source, writer);
        if (converted) {
            observer->Finish(source);
        }
    } else {
        NoCheck nothing;
        EntryWriter<NoCheck> writer(dest, verifyLineNumbers, codePage, host, nothing);
        converted = ReadEntries(source, writer);
    }
    if (!converted) {
        return false;
    }
    for (const char* closing : kClosingLines) {
        dest.WriteLine(closing);
    }
    return true;
}

RunOutcome ConvertAndClose(TextReader& source, TextWriter& dest, bool verifyLineNumbers,
                           const CodePage& codePage, RunHost& host, EntryObserver* observer) {
    try {
        const bool converted =
            ConvertStream(source, dest, verifyLineNumbers, codePage, host, observer);
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
        host.ShowFileFailure(error.operation, error.fullPath);
        return RunOutcome::Stopped;
    }
}

RunOutcome ConvertInto(TextReader& source, const std::string& destPath, bool verifyLineNumbers,
                       const CodePage& codePage, RunHost& host, EntryObserver* observer) {
    {
        TextReader existing;
        if (existing.Open(destPath) &&
            !host.AskYesNo(messages::kDestExists, messages::kWarningCaption)) {
            source.Close();
            return RunOutcome::Stopped;
        }
    }
    TextWriter dest;
    if (!dest.Open(destPath)) {
        source.Close();
        host.ShowError(messages::kCannotOpenDest, messages::kErrorCaption);
        return RunOutcome::Stopped;
    }
    return ConvertAndClose(source, dest, verifyLineNumbers, codePage, host, observer);
}

RunOutcome ConvertSubtitles(const ConversionRequest& request, const CodePage& codePage,
                            RunHost& host) {
    TextReader source;
    if (!source.Open(request.sourcePath)) {
        host.ShowError(messages::kCannotOpenSource, messages::kErrorCaption);
        return RunOutcome::Stopped;
    }
    return ConvertInto(source, request.destPath, request.verifyLineNumbers, codePage, host);
}

}  // namespace quillo
