// A destination opened for writing, whatever its kind, and put in place once
// complete: the conversion's document, srt2rt's presentation and mended files
// all go through it. A safe replacement that is not completed is removed, so
// that the file it was to replace keeps its bytes.
#pragma once

#include <optional>

#include "conversion.h"
#include "safe_replacement.h"

namespace quillo {

class OpenedDestination {
public:
    OpenedDestination() = default;
    OpenedDestination(const OpenedDestination&) = delete;
    OpenedDestination& operator=(const OpenedDestination&) = delete;
    ~OpenedDestination() { GiveUp(); }

    // Opens `destination`, asking `host` first when it would replace a file.
    // False once the host was told why not (or the question declined).
    bool Open(const Destination& destination, RunHost& host);
    TextWriter& Writer() { return *writer_; }
    // Whether the destination is a safe replacement, which leaves nothing
    // behind when it is not completed.
    bool Replacing() const { return replacement_.has_value(); }

    // Closes the writer (a temporary is synced first) and puts a replacement
    // in place. Throws FileError when the close fails; false after telling the
    // host that the rename failed.
    bool Complete(RunHost& host);
    // After a failure: a replacement is removed; any other destination keeps
    // what was written, in whole lines (`partialLine` is dropped when the
    // failure cut an entry short). Never throws.
    void GiveUp(bool dropUnfinishedLine = false);

private:
    bool OpenReplacement(const std::string& path, RunHost& host);

    std::string path_;
    // Declared before the writer, which may hold its temporary open.
    std::optional<SafeReplacement> replacement_;
    std::optional<TextWriter> ownWriter_;
    TextWriter* writer_ = nullptr;
    bool done_ = false;
};

}  // namespace quillo
