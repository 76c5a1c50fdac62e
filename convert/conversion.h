// Converting a SubRip file into a RealText document in one pass.
#pragma once

#include <string>

#include "code_page.h"
#include "run_host.h"
#include "srt_entries.h"

namespace quillo {

struct ConversionRequest {
    std::string sourcePath;
    std::string destPath;
    bool verifyLineNumbers = true;
};

enum class RunOutcome {
    Completed,  // the whole document was written and closed
    Stopped,    // a notice was shown (or the overwrite declined); the user may retry
};

// Converts the source into the destination, asking `host` before replacing
// an existing destination and telling it of every failure. On failure the
// destination keeps what was written up to the failing entry.
RunOutcome ConvertSubtitles(const ConversionRequest& request, const CodePage& codePage,
                            RunHost& host);

// Converts an open source into a destination path, with the overwrite
// question; closes the source. (ConvertSubtitles after opening the source.)
// An `observer` (a check) looks at each entry on the way; it is told where
// the file ended only when the whole file was converted.
RunOutcome ConvertInto(TextReader& source, const std::string& destPath, bool verifyLineNumbers,
                       const CodePage& codePage, RunHost& host, EntryObserver* observer = nullptr);

// Converts between files already open, closes both and reports every failure.
RunOutcome ConvertAndClose(TextReader& source, TextWriter& dest, bool verifyLineNumbers,
                           const CodePage& codePage, RunHost& host,
                           EntryObserver* observer = nullptr);

// The conversion proper; throws FileError. Returns false after showing a
// line-number or time-format notice.
bool ConvertStream(TextReader& source, TextWriter& dest, bool verifyLineNumbers,
                   const CodePage& codePage, RunHost& host, EntryObserver* observer = nullptr);

}  // namespace quillo
