#include "console_host.h"

#include <cstdio>

#include "console.h"
#include "messages.h"

namespace quillo::cli {

void ConsoleHost::Report(const std::string& file, const std::string& text) {
    PrintErrorLine("srt2rt: " + Utf8FromLocal(file) + ": " + text);
}

bool ConsoleHost::AskYesNo(const std::string&, const std::string&) {
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

void ConsoleHost::ShowError(const std::string& text, const std::string&) {
    // Each notice is about one file: name the one the user must look at.
    const bool aboutDest = text == messages::kCannotOpenDest;
    Report(aboutDest ? dest_ : source_, text);
}

void ConsoleHost::ShowEntryError(const std::string& text, const std::string&, uint64_t line) {
    // "FILE:LINE: text", where an editor can take the user straight there.
    Report(source_ + ":" + std::to_string(line), text);
}

void ConsoleHost::ShowFileFailure(FileOperation operation, const std::string& fullPath) {
    std::string text = messages::FileFailureTemplate(operation);
    if (const size_t at = text.find("%1"); at != std::string::npos) {
        text.replace(at, 2, Utf8FromLocal(fullPath));
    }
    Report(fullPath, text);
}

}  // namespace quillo::cli
