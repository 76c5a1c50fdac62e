#include "source_file.h"

#include "console_host.h"
#include "conversion.h"

namespace quillo::cli {

Source SourceNamed(const std::string& source) {
    return source == "-" ? Source::Input() : Source::Shared(source);
}

bool OpenSource(const std::string& source, TextReader& in, std::string& reason) {
    int error = 0;
    if (quillo::OpenSource(SourceNamed(source), in, &error)) {
        return true;
    }
    reason = SourceOpenFailure(source, error);
    return false;
}

}  // namespace quillo::cli
