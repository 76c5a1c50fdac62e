#include "conversion.h"

#include <cstdint>

#include "messages.h"
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

// Each "|" of a text line becomes <BR>, as a character of the code page: a
// trail byte that happens to be "|" stays what it is. Lines from the reader
// are padded for the search.
void PutReplacingBars(TextWriter& dest, std::string_view text, const CodePage& codePage) {
    const char* end = text.data() + text.size();
    const char* bar = FindBytePadded(text.data(), end, '|');
    if (bar == end) {
        dest.Put(text);  // most lines hold none
        return;
    }
    if (codePage.HasLeadBytes()) {
        size_t start = 0;
        for (size_t pos; (pos = codePage.FindFirst(text.substr(start), '|')) != std::string_view::npos;) {
            dest.Put(text.substr(start, pos));
            dest.Put("<BR>");
            start += pos + 1;
        }
        dest.Put(text.substr(start));
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

}  // namespace

bool ConvertStream(TextReader& source, TextWriter& dest, bool verifyLineNumbers,
                   const CodePage& codePage, RunHost& host) {
    for (const char* opening : kOpeningLines) {
        dest.WriteLine(opening);
    }

    std::string_view line;    // valid until the next read
    uint32_t entryCount = 0;  // unsigned so that a count past 2^31 wraps as in C
    bool haveLine = false;    // after an entry, `line` holds the line that closed it
    char tag[kMaxTimeTagLength];
    for (;;) {
        if (!haveLine && !source.ReadLine(line)) {
            break;
        }
        haveLine = true;
        bool more = true;
        while (line.empty() && (more = source.ReadLine(line))) {
        }
        if (!more) {
            break;
        }

        ++entryCount;
        const int32_t ordinal = static_cast<int32_t>(entryCount);
        if (verifyLineNumbers && ParseIndexOfPaddedLine(line) != ordinal) {
            host.ShowError(EntryMessage(messages::kLineNumberError, ordinal),
                           messages::kErrorCaption);
            return false;
        }

        source.ReadLine(line);  // at the end of the file the time line is empty, and fails
        // The entry goes straight into the output block; no text line holds
        // an LF, so nothing needs translating on the way.
        dest.BeginLine();
        char* out = dest.Reserve(kMaxTimeTagLength);
        size_t tagLength = UsualTimeTag(line, out != nullptr ? out : tag);
        if (tagLength == 0) {
            TimeRange times;
            if (!ScanTimeLine(line, times)) {
                dest.DiscardUnfinishedLine();
                host.ShowError(EntryMessage(messages::kTimeFormatError, ordinal),
                               messages::kErrorCaption);
                return false;
            }
            tagLength = FormatTimeTag(out != nullptr ? out : tag, times);
        }
        if (out != nullptr) {
            dest.Commit(tagLength);
        } else {
            dest.Put(std::string_view(tag, tagLength));  // a block too small for a tag
        }
        for (bool first = true; source.ReadLine(line) && !line.empty(); first = false) {
            if (!first) {
                dest.Put("<BR>");
            }
            PutReplacingBars(dest, line, codePage);
        }
        dest.EndLine();
    }

    for (const char* closing : kClosingLines) {
        dest.WriteLine(closing);
    }
    return true;
}

RunOutcome ConvertAndClose(TextReader& source, TextWriter& dest, bool verifyLineNumbers,
                           const CodePage& codePage, RunHost& host) {
    try {
        const bool converted = ConvertStream(source, dest, verifyLineNumbers, codePage, host);
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
                       const CodePage& codePage, RunHost& host) {
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
    return ConvertAndClose(source, dest, verifyLineNumbers, codePage, host);
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
