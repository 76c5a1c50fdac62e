#include "source_file.h"

#include "os_paths.h"
#include "system_reason.h"

namespace quillo::cli {

bool OpenSource(const std::string& source, TextReader& in, std::string& reason) {
    if (source == "-") {
        in.Attach(OsFile::StandardInput(), source);
        return true;
    }
    OsFile file;
    if (!file.OpenSharedRead(source)) {
        // Windows denies access to a folder; say what it is.
        reason = StatusOf(source).kind == PathKind::Folder ? std::string("it is a folder")
                                                           : SystemReason(file.SystemError());
        return false;
    }
    in.Attach(std::move(file), source);
    return true;
}

}  // namespace quillo::cli
