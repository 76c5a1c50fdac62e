#include "output_target.h"

#include "console_host.h"
#include "messages.h"
#include "os_paths.h"
#include "system_reason.h"

namespace quillo::cli {

bool OutputTarget::Open(const std::string& path, RunHost& host) {
    if (path == "-") {
        writer_.Attach(OsFile::StandardOutput(), "standard output");
        return true;
    }
    // Asked of the metadata: an unreadable file exists, and a FIFO is not
    // opened by the question.
    switch (StatusOf(path).kind) {
        case PathKind::Folder:
            ConsoleHost::Report(path, "is a folder");
            return false;
        case PathKind::Device: {
            OsFile device;
            if (!device.OpenDeviceForWriting(path)) {
                ConsoleHost::Report(path, WithReason("cannot open", device.SystemError()));
                return false;
            }
            writer_.Attach(std::move(device), path);
            return true;
        }
        case PathKind::File:
            if (!host.AskYesNo(messages::kDestExists, messages::kWarningCaption)) {
                return false;
            }
            break;
        case PathKind::Missing:
            break;
    }
    OsFile temporary = replacement_.Begin(path);
    if (!temporary.IsOpen()) {
        ConsoleHost::Report(path, WithReason("cannot write", replacement_.SystemError()));
        return false;
    }
    writer_.Attach(std::move(temporary), path);
    replacing_ = true;
    return true;
}

}  // namespace quillo::cli
