#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "console.h"

namespace quillo::cli {

bool InputIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

bool NamesADevice(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

std::string Utf8FromLocal(const std::string& local) {
    return local;
}

void PrintError(const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    std::fflush(stderr);
}

void PrintOut(const std::string& utf8) {
    WriteOutBytes(utf8);
}

void WriteOutBytes(const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

void PrintErrorLine(const std::string& utf8) {
    PrintError(utf8 + "\n");
}

}  // namespace quillo::cli
