#include "smil_file.h"

namespace quillo {

RunOutcome WriteSmilFile(const SmilRequest& request, const CodePage& codePage, ProblemSink& host) {
    if (!request.create || request.videoPath.empty()) {
        return RunOutcome::Completed;
    }
    TextWriter out;
    const std::string path = SmilPathFor(request.sourcePath, codePage, request.separator);
    if (!out.Open(path)) {
        // Asked for and not written: say so rather than end as if it had been.
        host.Report(RunProblem(ProblemCode::CannotOpenSmil, path));
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
        host.Report(FailureOf(error));
        return RunOutcome::Stopped;
    }
}

}  // namespace quillo
