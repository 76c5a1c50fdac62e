#include "smil.h"

namespace quillo {

std::string SmilPathFor(const std::string& sourcePath, const CodePage& codePage, char separator) {
    return Stem(sourcePath, codePage, separator) + ".smil";
}

void WriteSmilLines(TextWriter& out, std::string_view videoName, std::string_view documentName) {
    std::string line;
    out.WriteLine("<smil>");
    out.WriteLine("<body>");
    out.WriteLine("<par>");
    line.append("<video src=\"").append(videoName).append("\"/>");
    out.WriteLine(line);
    line.assign("<textstream src=\"").append(documentName).append("\"/>");
    out.WriteLine(line);
    out.WriteLine("</par>");
    out.WriteLine("</body>");
    out.WriteLine("</smil>\t");
}

std::string XmlAttributeText(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

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
