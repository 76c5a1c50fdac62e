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
    OpenedDestination out;
    if (!out.Open(Destination::Replacing(plan.smil), host)) {
        return false;
    }
    try {
        WriteSmilLines(out.Writer(), videoName, documentName);
        return out.Complete(host);
    } catch (const FileError& error) {
        out.GiveUp();
        Notice notice{NoticeKind::FileFailure, plan.smil};
        notice.operation = FileOperation::Write;
        notice.systemError = error.systemError;
        host.Tell(notice);
        return false;
    }
}

}  // namespace quillo::cli
