#include "source_conversion.h"

#include "check_report.h"
#include "console.h"
#include "console_host.h"
#include "conversion.h"
#include "presentation.h"
#include "source_file.h"
#include "subtitle_check.h"

namespace quillo::cli {
namespace {

// The check's account of the entry that stopped a quiet conversion: -q spares
// the conversion the check's walk, so the file is read again, as far as the
// conversion read it. Standard input and pipes cannot be read again.
void ExplainStop(const std::string& source, SubtitleCheck& check) {
    TextReader in;
    std::string reason;
    if (source == "-" || NamesADevice(source) || !OpenSource(source, in, reason)) {
        return;
    }
    try {
        check.RunToFirstError(in);
    } catch (const FileError&) {
        // The conversion's own message stands alone.
    }
}

}  // namespace

bool ConvertSource(const SourcePlan& plan, const Options& options, const CodePage& codePage) {
    if (!plan.refusal.empty()) {
        PrintErrorLine(plan.refusal);
        return false;
    }
    ConsoleHost host(plan.source, plan.document, options.force);
    const ConversionOptions conversion{options.verifyLineNumbers, codePage, host, true};
    const Source from = SourceNamed(plan.source);
    const Destination to =
        plan.document == "-" ? Destination::Output() : Destination::Replacing(plan.document);
    // The check looks on, to warn and to explain the entry that stops the
    // conversion, if any.
    ConversionWarnings warnings(plan.source, options.quiet);
    SubtitleCheck check(options.verifyLineNumbers, warnings);
    if (!options.codePage) {
        check.WarnOfSplitCharacters(codePage);
    }
    HoldToLimits(options, codePage, check);
    const RunOutcome outcome =
        options.quiet ? Convert(from, to, conversion) : Convert(from, to, conversion, check);
    if (options.quiet && host.StoppedAtAnEntry()) {
        ExplainStop(plan.source, check);
    }
    warnings.Finish(check.Counts());
    if (outcome != RunOutcome::Completed) {
        return false;
    }
    return plan.smil.empty() || WritePresentation(plan, *options.smilVideo, options.quiet);
}

}  // namespace quillo::cli
