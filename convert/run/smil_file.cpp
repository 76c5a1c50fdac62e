#include "smil_file.h"

namespace quillo {

RunOutcome WriteSmilFile(const SmilRequest& request, const CodePage& codePage, RunHost& host) {
    if (!request.create || request.videoPath.empty()) {
        return RunOutcome::Completed;
    }
    TextWriter out;
    const std::string path = SmilPathFor(request.sourcePath, codePage, request.separator);
    if (!out.Open(path)) {
        // Asked for and not written: say so rather than end as if it had been.
        host.Tell({NoticeKind::CannotOpenSmil, path});
        return RunOutcome::Stopped;
    }
    try {
        WriteSmilLines(out, BareFileName(request.videoPath, codePage, request.separator),
                       BareFileName(request.destPath, codePage, request.separator));
        out.Close();
        return RunOutcome::Completed;
    } catch (const FileError& error) {
        try {
            out.Close();
        } catch (const FileError&) {
            // Already reporting the first failure.
        }
        Notice notice{NoticeKind::FileFailure, error.fullPath};
        notice.operation = error.operation;
        host.Tell(notice);
        return RunOutcome::Stopped;
    }
}

}  // namespace quillo
