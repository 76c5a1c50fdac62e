// srt2rt's SMIL presentation: beside the document, named after it.
#pragma once

#include <string>

#include "run_plan.h"

namespace quillo::cli {

// Writes `plan.smil`, which plays `video` beside the document, replacing
// any file of that name without a question. Both are named by their bare
// file names, as the window names them, escaped as XML attribute values;
// unless `quiet`, a warning tells when the player will not find the video.
// True when it was written.
bool WritePresentation(const SourcePlan& plan, const std::string& video, bool quiet);

}  // namespace quillo::cli
