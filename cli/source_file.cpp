#include "source_file.h"

#include "conversion.h"
#include "os_paths.h"
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

Source SourceNamed(const std::string& source) {
    return source == "-" ? Source::Input() : Source::Shared(source);
}

}  // namespace quillo::cli
