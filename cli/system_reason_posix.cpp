#include <cstring>

#include "system_reason.h"

#include <cerrno>

namespace quillo::cli {

std::string SystemReason(int code) {
    return code == 0 ? std::string() : std::string(std::strerror(code));
}

bool HeldByAnotherProgram(int code) {
    return code == EWOULDBLOCK || code == EAGAIN;
}

}  // namespace quillo::cli
