// A destination opened for writing, whatever its kind, and put in place once
// complete: the conversion's document, srt2rt's presentation and mended files
// all go through it. A safe replacement that is not completed is removed, so
// that the file it was to replace keeps its bytes.
#pragma once

#include <memory>
#include <optional>

#include "conversion.h"

namespace quillo {

// A temporary waiting to replace a destination (destination_replace.cpp):
// behind an interface, so that the window, which replaces nothing, links none
// of it.
class PendingReplacement {
public:
    virtual ~PendingReplacement() = default;
    // Renames the temporary, closed, over the destination; false with the
    // system's code in `systemError`.
    virtual bool Commit(int& systemError) = 0;
    // Removes the temporary: the destination keeps its bytes.
    virtual void Abandon() = 0;
};

class OpenedDestination {
public:
    OpenedDestination() = default;
    OpenedDestination(const OpenedDestination&) = delete;
    OpenedDestination& operator=(const OpenedDestination&) = delete;
    ~OpenedDestination() { GiveUp(); }

    // Opens `destination`, asking `host` first when it would replace a file.
    // False once the host was told why not (or the question declined).
    bool Open(const Destination& destination, ProblemSink& host);
    TextWriter& Writer() { return *writer_; }
    // Whether anything is written at all (not for --check's Destination::None).
    bool Writes() const { return writer_ != nullptr; }
    // Whether the destination is a safe replacement, which leaves nothing
    // behind when it is not completed.
    bool Replacing() const { return replacement_ != nullptr; }

    // Closes the writer (a temporary is synced first) and puts a replacement
    // in place. Throws FileError when the close fails; false after telling the
    // host that the rename failed.
    bool Complete(ProblemSink& host);
    // After a failure: a replacement is removed; any other destination keeps
    // what was written, in whole lines (`partialLine` is dropped when the
    // failure cut an entry short). Never throws.
    void GiveUp(bool dropUnfinishedLine = false);

    // For a destination's opener: the writer to attach, and the replacement
    // that Complete commits.
    TextWriter& OwnWriter() { return *ownWriter_; }
    void Replaces(std::unique_ptr<PendingReplacement> replacement) {
        replacement_ = std::move(replacement);
    }

private:
    std::string path_;
    // Declared before the writer, which may hold its temporary open.
    std::unique_ptr<PendingReplacement> replacement_;
    std::optional<TextWriter> ownWriter_;
    TextWriter* writer_ = nullptr;
    bool done_ = false;
};

}  // namespace quillo
