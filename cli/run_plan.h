// What a run of srt2rt will write, worked out before anything is written:
// each source's document and presentation, and what is refused so that no
// source, and no file another source writes, is ever written over.
#pragma once

#include <string>
#include <vector>

#include "options.h"

namespace quillo::cli {

struct SourcePlan {
    std::string source;    // "-" for standard input
    std::string document;  // "-" for standard output
    std::string smil;      // empty without --smil
    std::string refusal;   // a message: why this source is not converted, or empty
};

struct RunPlan {
    std::vector<SourcePlan> sources;
    // A message naming two sources whose files would meet (the same
    // destination, or one's output another's source): then nothing runs.
    std::string collision;
};

// The document is the source with its last extension replaced by ".rt" (or
// -o); the presentation is the document's name with ".smil".
RunPlan PlanRun(const Options& options);

}  // namespace quillo::cli
