#include "console_host.h"

#include <cstdio>

#include "check_report.h"
#include "console.h"
#include "messages.h"
#include "os_paths.h"
#include "path_names.h"
#include "source_file.h"
#include "system_reason.h"

namespace quillo::cli {

std::string DeviceRefusal(const std::string& name) {
    const std::string_view device = ReservedDeviceName(name);
    if (device.empty()) {
        return {};
    }
    return "names the device " + std::string(device) +
           ", which Windows keeps for itself: it is not a file (rename it, or use -o - for "
           "standard output)";
}

void ConsoleHost::Report(const std::string& file, const std::string& text) {
    PrintErrorLine("srt2rt: " + ShownName(file) + ": " + text);
}

bool ConsoleHost::Ask(const Problem&) {
    // The only question a run asks is whether to replace its destination.
    if (force_) {
        return true;
    }
    if (!InputIsTerminal()) {
        Report(dest_, "exists; left untouched (use --force to replace it)");
        return false;
    }
    PrintError("File '" + dest_ + "' exists. Overwrite? [y/N] ");
    // The first character decides; the rest of the line is read away so that
    // the next question of a batch starts on a fresh line.
    const int first = std::getchar();
    for (int c = first; c != '\n' && c != EOF;) {
        c = std::getchar();
    }
    const bool yes = first == 'y' || first == 'Y';
    if (!yes) {
        Report(dest_, "exists; left untouched");
    }
    return yes;
}

void ConsoleHost::Report(const Problem& notice) {
    switch (notice.code) {
        case ProblemCode::IndexMismatch:
        case ProblemCode::TimeFormat:
            stoppedAtAnEntry_ = true;
            // "FILE:LINE: text", where an editor can take the user straight there.
            Report(source_ + ":" + std::to_string(notice.line), messages::WindowText(notice));
            return;
        case ProblemCode::Retime:
            stoppedAtAnEntry_ = true;
            Report(source_ + ":" + std::to_string(notice.line),
                   "entry " + std::to_string(notice.entry) +
                       "'s times cannot be moved so: the conversion stops here");
            return;
        case ProblemCode::ReadError:
            Report(source_ + ":" + std::to_string(notice.line),
                   WithReason("cannot read", notice.systemError));
            return;
        case ProblemCode::WriteError:
            Report(dest_, WithReason("cannot write", notice.systemError));
            return;
        case ProblemCode::OutOfMemory:
            Report(source_ + ":" + std::to_string(notice.line),
                   "the line is too long to hold in memory");
            return;
        case ProblemCode::CannotOpen:
            Report(source_, SourceOpenFailure(source_, notice.systemError));
            return;
        case ProblemCode::Encoding:
            Report(source_,
                   "the file is " + std::string(EncodingName(notice.encoding)) +
                       ", which srt2rt does not convert: srt2rt --fix transcodes it to UTF-8");
            return;
        case ProblemCode::CannotOpenDest:
        case ProblemCode::CannotOpenSmil:
            Report(dest_, WithReason("cannot write", notice.systemError));
            return;
        case ProblemCode::DestinationIsFolder:
            Report(dest_, "is a folder");
            return;
        case ProblemCode::UnsureEncoding:
            Report(source_,
                   "not mended in place: its first bytes, without a byte-order mark, read as " +
                       std::string(EncodingName(notice.encoding)) +
                       ", and the mended file still has errors; look at it first with "
                       "srt2rt --fix -o OTHER.srt " +
                       source_);
            return;
        case ProblemCode::CannotReplace:
            Report(dest_, WithReason("cannot replace", notice.systemError));
            return;
        default:  // the question, asked through Ask; the check's own codes
            return;
    }
}

}  // namespace quillo::cli
