// The system's own words for why a file operation failed.
#pragma once

#include <string>

namespace quillo::cli {

// The text of an errno (POSIX) or GetLastError (Windows) code, in UTF-8,
// without a final period; empty for 0.
std::string SystemReason(int code);

// Whether the code says another program holds the file (a lock, a sharing
// mode), which the system words obscurely.
bool HeldByAnotherProgram(int code);

// "what: reason", or `what` alone when the system gave no reason.
inline std::string WithReason(const std::string& what, int code) {
    return code == 0 ? what : what + ": " + SystemReason(code);
}

}  // namespace quillo::cli
