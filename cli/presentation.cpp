#include "presentation.h"

#include "complete_output.h"
#include "console.h"
#include "console_host.h"
#include "os_paths.h"
#include "output_target.h"
#include "path_names.h"
#include "smil.h"
#include "system_reason.h"

namespace quillo::cli {
namespace {

FileIdentity FolderOf(const std::string& path) {
    const std::string_view folder = FolderPart(path);
    return StatusOf(folder.empty() ? "." : std::string(folder)).identity;
}

// The name as the presentation holds it; warns when the player could not
// find the file by it.
std::string NameInPresentation(const std::string& path, const SourcePlan& plan, bool quiet) {
    std::string text;
    if (!FileTextFromUtf8(XmlAttributeText(FileNamePart(path)), text) && !quiet) {
        ConsoleHost::Report(plan.smil, "warning: '" + path +
                                           "' has characters the ANSI code page lacks: the "
                                           "presentation will not find it");
    }
    return text;
}

}  // namespace

bool WritePresentation(const SourcePlan& plan, const std::string& video, bool quiet) {
    // The player looks for both beside the presentation, which lies beside
    // the document.
    if (!quiet && FolderOf(video) != FolderOf(plan.smil)) {
        ConsoleHost::Report(plan.smil, "warning: the video '" + video +
                                           "' is not in the presentation's folder: the "
                                           "presentation will not find it");
    }
    const std::string videoName = NameInPresentation(video, plan, quiet);
    const std::string documentName = NameInPresentation(plan.document, plan, quiet);

    ConsoleHost host(plan.smil, plan.smil, true);
    OutputTarget out;
    if (!out.Open(plan.smil, host)) {
        return false;
    }
    const OutputOutcome outcome = WriteCompletely(
        out.Writer(), out.Replacement(),
        [&](TextWriter& writer) { WriteSmilLines(writer, videoName, documentName); });
    if (!outcome.Completed()) {
        const bool replacing = outcome.stop == OutputOutcome::Stop::Replace;
        ConsoleHost::Report(plan.smil, WithReason(replacing ? "cannot replace" : "cannot write",
                                                  outcome.systemError));
        return false;
    }
    return true;
}

}  // namespace quillo::cli
