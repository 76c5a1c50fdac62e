#include "console_host.h"

#include <cstdio>

#include "check_report.h"
#include "console.h"
#include "messages.h"
#include "os_paths.h"
#include "path_names.h"
#include "system_reason.h"

namespace quillo::cli {

std::string SourceOpenFailure(const std::string& source, int systemError) {
    // Windows denies access to a folder; say what it is.
    if (StatusOf(source).kind == PathKind::Folder) {
        return "cannot open: it is a folder";
    }
    return HeldByAnotherProgram(systemError) ? "cannot open: another program is writing it"
                                             : WithReason("cannot open", systemError);
}

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

bool ConsoleHost::Ask(const Notice&) {
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

void ConsoleHost::Tell(const Notice& notice) {
    switch (notice.kind) {
        case NoticeKind::LineNumberError:
        case NoticeKind::TimeFormatError:
            stoppedAtAnEntry_ = true;
            // "FILE:LINE: text", where an editor can take the user straight there.
            Report(source_ + ":" + std::to_string(notice.line), messages::WindowText(notice));
            return;
        case NoticeKind::TimeOutOfRange:
            stoppedAtAnEntry_ = true;
            Report(source_ + ":" + std::to_string(notice.line),
                   "entry " + std::to_string(notice.entry) +
                       "'s times cannot be moved so: the conversion stops here");
            return;
        case NoticeKind::FileFailure:
            if (notice.operation == FileOperation::Read) {
                Report(source_ + ":" + std::to_string(notice.line),
                       WithReason("cannot read", notice.systemError));
            } else {
                Report(dest_, WithReason("cannot write", notice.systemError));
            }
            return;
        case NoticeKind::OutOfMemory:
            Report(source_ + ":" + std::to_string(notice.line),
                   "the line is too long to hold in memory");
            return;
        case NoticeKind::CannotOpenSource:
            Report(source_, SourceOpenFailure(source_, notice.systemError));
            return;
        case NoticeKind::WideEncoding:
            Report(source_,
                   "the file is " + std::string(EncodingName(notice.encoding)) +
                       ", which srt2rt does not convert: srt2rt --fix transcodes it to UTF-8");
            return;
        case NoticeKind::CannotOpenDest:
        case NoticeKind::CannotOpenSmil:
            Report(dest_, WithReason("cannot write", notice.systemError));
            return;
        case NoticeKind::DestinationIsFolder:
            Report(dest_, "is a folder");
            return;
        case NoticeKind::CannotReplace:
            Report(dest_, WithReason("cannot replace", notice.systemError));
            return;
        case NoticeKind::DestinationExists:
            return;  // a question, asked through Ask
    }
}

}  // namespace quillo::cli
