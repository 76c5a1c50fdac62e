#include <unistd.h>

#include <cerrno>
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

namespace {

int WriteTo(FILE* stream, std::string_view bytes) {
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    return std::fflush(stream) == 0 && written ? 0 : (errno != 0 ? errno : EIO);
}

}  // namespace

int PrintError(std::string_view utf8) {
    return WriteTo(stderr, utf8);
}

int PrintOut(std::string_view utf8) {
    return WriteTo(stdout, utf8);
}

int WriteOutBytes(std::string_view bytes) {
    return WriteTo(stdout, bytes);
}

void PrintErrorLine(const std::string& utf8) {
    PrintError(utf8 + "\n");
}

}  // namespace quillo::cli
