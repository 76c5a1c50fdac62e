// srt2rt's conversion, which leaves no half document: written through a
// safe replacement (or to standard output or a device), the document is put
// in place only once complete and on the disk. The failures come back as
// data for the caller to word; only an entry that stops the conversion is
// shown through the host, as ConvertStream shows it.
#pragma once

#include <cstdint>
#include <functional>

#include "conversion.h"
#include "safe_replacement.h"

namespace quillo {

struct OutputOutcome {
    enum class Stop {
        None,     // complete, and in place
        Entry,    // an entry could not be read (the host was told)
        Read,     // the source failed a read
        Write,    // the destination (or its temporary) failed a write, sync or close
        Replace,  // the complete temporary could not be renamed over the destination
        Memory,   // the source's line does not fit in memory
    };
    Stop stop = Stop::None;
    int systemError = 0;  // errno or GetLastError for Read, Write and Replace
    uint64_t line = 0;    // Read, Memory: the source line being read (from 1)
    bool Completed() const { return stop == Stop::None; }
};

// Converts `source` into `dest` and closes both. With `replacement` (whose
// temporary `dest` writes), renames the document into place once complete;
// after any failure abandons it, so that the destination keeps its bytes.
OutputOutcome ConvertCompletely(TextReader& source, TextWriter& dest, SafeReplacement* replacement,
                                bool verifyLineNumbers, const CodePage& codePage, RunHost& host,
                                EntryObserver* observer = nullptr);

// The same for a file written by `write` (the presentation), which throws
// FileError on failure.
OutputOutcome WriteCompletely(TextWriter& dest, SafeReplacement* replacement,
                              const std::function<void(TextWriter&)>& write);

}  // namespace quillo
