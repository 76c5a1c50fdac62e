// One source of a run, whatever srt2rt was asked to do with it: the one
// place that opens it, walks it and words what happened.
#pragma once

#include "check_report.h"
#include "code_page.h"
#include "options.h"
#include "run_plan.h"

namespace quillo::cli {

// Converts `plan`'s source (its document, then its presentation), checks it
// (--check) or mends it into its document (--fix), telling the user of every
// failure; --check's and --fix's reports go to `report`. True when everything
// asked for was written (--check: nothing was found; --fix: the mended file
// converts). An existing destination keeps its bytes unless the new file is
// complete.
bool RunSource(const SourcePlan& plan, const Options& options, const CodePage& codePage,
               OutputBuffer& report);

}  // namespace quillo::cli
