#include "presentation.h"

#include "console.h"
#include "console_host.h"
#include "destination.h"
#include "os_paths.h"
#include "path_names.h"
#include "smil.h"
#include "system_reason.h"

namespace quillo::cli {
namespace {

FileIdentity FolderOf(const std::string& path) {
    const std::string_view folder = FolderPart(path);
    return StatusOf(folder.empty() ? "." : std::string(folder)).identity;
}

// The name as the presentation holds it, in the ANSI code page as the
// window writes it; false, said, when a character has no place there: the
// player could not find the file by it.
bool NameInPresentation(const std::string& path, const SourcePlan& plan, std::string& text) {
    // Named as Windows opens it: "out.rt." is the file out.rt.
    if (FileTextFromUtf8(XmlAttributeText(FileNamePart(AsWindowsOpensIt(path))), text)) {
        return true;
    }
    ConsoleHost::Report(plan.smil, "not written: '" + path +
                                       "' has characters the ANSI code page lacks, so the "
                                       "presentation could not name it (rename the file)");
    return false;
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
    std::string videoName;
    std::string documentName;
    if (!NameInPresentation(video, plan, videoName) ||
        !NameInPresentation(plan.document, plan, documentName)) {
        return false;
    }

    ConsoleHost host(plan.smil, plan.smil, true);
    OpenedDestination out;
    if (!out.Open(Destination::Replacing(plan.smil), host)) {
        return false;
    }
    try {
        WriteSmilLines(out.Writer(), videoName, documentName);
        return out.Complete(host);
    } catch (const FileError& error) {
        out.GiveUp();
        Problem notice = RunProblem(ProblemCode::WriteError, plan.smil);
        notice.operation = FileOperation::Write;
        notice.systemError = error.systemError;
        host.Report(notice);
        return false;
    }
}

}  // namespace quillo::cli
