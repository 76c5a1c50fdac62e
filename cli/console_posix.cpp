#include <unistd.h>

#include <cstdio>

#include "console.h"

namespace quillo::cli {

bool InputIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

std::string LocalText(const std::string& utf8) {
    return utf8;
}

void PrintErrorLine(const std::string& line) {
    std::string out = line + "\n";
    std::fwrite(out.data(), 1, out.size(), stderr);
    std::fflush(stderr);
}

}  // namespace quillo::cli
