// Opening a source as srt2rt does: standard input for "-", else the file,
// shared with other readers but with no writer.
#pragma once

#include <string>

#include "conversion.h"
#include "text_file.h"

namespace quillo::cli {

// The source a command-line name stands for.
Source SourceNamed(const std::string& source);

// False when it cannot be opened, with "cannot open: REASON" in `reason`.
bool OpenSource(const std::string& source, TextReader& in, std::string& reason);

}  // namespace quillo::cli
