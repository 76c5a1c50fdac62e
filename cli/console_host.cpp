#include "console_host.h"

#include <cstdio>

#include "console.h"
#include "messages.h"

namespace quillo::cli {
namespace {

// The window's file-failure text with the path in place of its "%1".
std::string FileFailureText(std::string text, std::string_view path) {
    if (const size_t at = text.find("%1"); at != std::string::npos) {
        text.replace(at, 2, Utf8FromLocal(std::string(path)));
    }
    return text;
}

}  // namespace

void ConsoleHost::Report(const std::string& file, const std::string& text) {
    PrintErrorLine("srt2rt: " + Utf8FromLocal(file) + ": " + text);
}

bool ConsoleHost::Ask(const Notice&) {
    // The only question a run asks is whether to replace its destination;
    // writing to a device (-o /dev/null, to validate) replaces nothing.
    if (force_ || NamesADevice(dest_)) {
        return true;
    }
    if (!InputIsTerminal()) {
        Report(dest_, "exists; left untouched (use --force to replace it)");
        return false;
    }
    PrintError("File '" + Utf8FromLocal(dest_) + "' exists. Overwrite? [y/N] ");
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
    const std::string text = messages::WindowText(notice);
    switch (notice.kind) {
        case NoticeKind::LineNumberError:
        case NoticeKind::TimeFormatError:
            stoppedAtAnEntry_ = true;
            // "FILE:LINE: text", where an editor can take the user straight there.
            Report(source_ + ":" + std::to_string(notice.line), text);
            return;
        case NoticeKind::FileFailure:
            Report(std::string(notice.file), FileFailureText(text, notice.file));
            return;
        case NoticeKind::CannotOpenDest:
        case NoticeKind::CannotOpenSmil:
        case NoticeKind::DestinationExists:
            Report(dest_, text);
            return;
        case NoticeKind::CannotOpenSource:
            Report(source_, text);
            return;
    }
}

}  // namespace quillo::cli
