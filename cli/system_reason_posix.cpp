#include <cstring>

#include "system_reason.h"

namespace quillo::cli {

std::string SystemReason(int code) {
    return code == 0 ? std::string() : std::string(std::strerror(code));
}

}  // namespace quillo::cli
