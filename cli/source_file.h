// Opening a source as srt2rt does: standard input for "-", else the file,
// shared with other readers but with no writer.
#pragma once

#include <string>

#include "conversion.h"
#include "text_file.h"

namespace quillo::cli {

// The source a command-line name stands for.
Source SourceNamed(const std::string& source);

// "cannot open: REASON" for a source that does not open.
std::string SourceOpenFailure(const std::string& source, int systemError);

// Opens `source` into `in`, a TextReader or --fix's MendingReader; false
// when it cannot be opened, with "cannot open: REASON" in `reason`.
template <typename Reader>
bool OpenSource(const std::string& source, Reader& in, std::string& reason) {
    int error = 0;
    if (quillo::OpenSource(SourceNamed(source), in, &error)) {
        return true;
    }
    reason = SourceOpenFailure(source, error);
    return false;
}

}  // namespace quillo::cli
