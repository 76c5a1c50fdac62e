#include "source_conversion.h"

#include "check_report.h"
#include "complete_output.h"
#include "console.h"
#include "console_host.h"
#include "output_target.h"
#include "presentation.h"
#include "source_file.h"
#include "system_reason.h"

namespace quillo::cli {
namespace {

using Stop = OutputOutcome::Stop;

void ReportStop(const OutputOutcome& outcome, const SourcePlan& plan) {
    const std::string atLine = plan.source + ":" + std::to_string(outcome.line);
    switch (outcome.stop) {
        case Stop::None:
        case Stop::Entry:  // the host told of it
            break;
        case Stop::Read:
            ConsoleHost::Report(atLine, WithReason("cannot read", outcome.systemError));
            break;
        case Stop::Memory:
            ConsoleHost::Report(atLine, "the line is too long to hold in memory");
            break;
        case Stop::Write:
            ConsoleHost::Report(plan.document, WithReason("cannot write", outcome.systemError));
            break;
        case Stop::Replace:
            ConsoleHost::Report(plan.document, WithReason("cannot replace", outcome.systemError));
            break;
    }
}

}  // namespace

bool ConvertSource(const SourcePlan& plan, const Options& options, const CodePage& codePage) {
    if (!plan.refusal.empty()) {
        PrintErrorLine(plan.refusal);
        return false;
    }
    TextReader in;
    if (std::string reason; !OpenSource(plan.source, in, reason)) {
        ConsoleHost::Report(plan.source, "cannot open: " + reason);
        return false;
    }
    ConsoleHost host(plan.source, plan.document, options.force);
    OutputTarget out;
    if (!out.Open(plan.document, host)) {
        return false;
    }
    ConversionWarnings warnings(plan.source);
    SubtitleCheck check(options.verifyLineNumbers, warnings);
    const OutputOutcome outcome =
        ConvertCompletely(in, out.Writer(), out.Replacement(), options.verifyLineNumbers, codePage,
                          host, options.quiet ? nullptr : &check);
    warnings.Finish();
    if (!outcome.Completed()) {
        ReportStop(outcome, plan);
        return false;
    }
    return plan.smil.empty() || WritePresentation(plan, *options.smilVideo, options.quiet);
}

}  // namespace quillo::cli
