// srt2rt --fix: each source mended into SubRip a strict reader takes, with a
// report of every change and of every problem left.
#pragma once

#include <string>

#include "check_report.h"
#include "code_page.h"
#include "options.h"

namespace quillo::cli {

// Mends `source` into -o's destination, standard output, or (with -i) the
// source itself, reporting to `report`; true when the mended file converts.
bool FixSource(const std::string& source, const Options& options, const CodePage& codePage,
               OutputBuffer& report);

}  // namespace quillo::cli
