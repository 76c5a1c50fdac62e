// The window's presentation file: written beside the document when asked for.
#pragma once

#include <string>

#include "code_page.h"
#include "conversion.h"
#include "smil.h"

namespace quillo {

struct SmilRequest {
    bool create = false;
    std::string videoPath;
    std::string sourcePath;  // the SMIL file is named after the source's stem
    std::string destPath;    // the RealText document the presentation streams
    char separator = kBackslash;
};

// Writes the presentation when it was asked for and a video is named,
// replacing any file of that name. Completed when there was nothing to do too.
RunOutcome WriteSmilFile(const SmilRequest& request, const CodePage& codePage, ProblemSink& host);

}  // namespace quillo
