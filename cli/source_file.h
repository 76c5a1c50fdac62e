// Opening a source as srt2rt does: standard input for "-", else the file,
// shared with other readers but with no writer.
#pragma once

#include <string>

#include "text_file.h"

namespace quillo::cli {

// False when it cannot be opened, with the reason in words.
bool OpenSource(const std::string& source, TextReader& in, std::string& reason);

}  // namespace quillo::cli
