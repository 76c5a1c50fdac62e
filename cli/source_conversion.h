// One source of a run converted: its document, then its presentation.
#pragma once

#include "code_page.h"
#include "options.h"
#include "run_plan.h"

namespace quillo::cli {

// Converts `plan`'s source and tells the user of every failure; true when
// everything asked for was written. An existing destination keeps its bytes
// unless the new document is complete.
bool ConvertSource(const SourcePlan& plan, const Options& options, const CodePage& codePage);

}  // namespace quillo::cli
