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

    std::string line;
    std::string entry;
    uint32_t entryCount = 0;  // unsigned so that a count past 2^31 wraps as in C
    bool haveLine = false;    // after an entry, `line` holds the line that closed it
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
        if (verifyLineNumbers && ParseIndex(line) != ordinal) {
            host.ShowError(EntryMessage(messages::kLineNumberError, ordinal),
                           messages::kErrorCaption);
            return false;
        }

        source.ReadLine(line);  // at the end of the file the time line is empty, and fails
        TimeRange times;
        if (!ParseTimeLine(line, times)) {
            host.ShowError(EntryMessage(messages::kTimeFormatError, ordinal),
                           messages::kErrorCaption);
            return false;
        }

        entry.clear();
        AppendTimeTag(entry, times);
        for (bool first = true; source.ReadLine(line) && !line.empty(); first = false) {
            if (!first) {
                entry.append("<BR>");
            }
            codePage.AppendReplacing(entry, line, '|', "<BR>");
        }
        dest.WriteLine(entry);
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
        // Closing happens as we unwind; what was written stays.
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
