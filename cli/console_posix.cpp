#include <unistd.h>

#include <cstdio>

#include "console.h"
#include "os_paths.h"

namespace quillo::cli {

bool InputIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

bool NamesADevice(const std::string& path) {
    return StatusOf(path).kind == PathKind::Device;
}

bool FileTextFromUtf8(const std::string& utf8, std::string& text) {
    text = utf8;
    return true;
}

void PrintError(std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    std::fflush(stderr);
}

void PrintOut(std::string_view utf8) {
    WriteOutBytes(utf8);
}

void WriteOutBytes(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

void PrintErrorLine(const std::string& utf8) {
    PrintError(utf8 + "\n");
}

}  // namespace quillo::cli
