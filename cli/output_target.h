// Where srt2rt writes a document or a presentation: standard output for "-",
// a device or FIFO written as it stands (there is nothing to replace), or a
// file replaced only once the new one is complete.
#pragma once

#include <string>

#include "run_host.h"
#include "safe_replacement.h"
#include "text_file.h"

namespace quillo::cli {

class OutputTarget {
public:
    // Opens `path`, asking `host` first when a file is there to replace.
    // False once the user was told why not (or declined).
    bool Open(const std::string& path, RunHost& host);

    TextWriter& Writer() { return writer_; }
    // The replacement to commit once the writer is closed; none for
    // standard output and devices.
    SafeReplacement* Replacement() { return replacing_ ? &replacement_ : nullptr; }

private:
    SafeReplacement replacement_;  // outlives the writer, which may hold its temporary
    TextWriter writer_;
    bool replacing_ = false;
};

}  // namespace quillo::cli
