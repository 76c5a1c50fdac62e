#include "fuzz_support.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

namespace fs = std::filesystem;

namespace quillo::fuzz {
namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

File OpenFile(const std::string& path, const char* mode) {
    return File(std::fopen(path.c_str(), mode), &std::fclose);
}

// Millions of small files are written and read back: tmpfs keeps that off
// the disk and fast.
class ScratchFolder {
public:
    ScratchFolder() {
        std::error_code error;
        const fs::path base =
            fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        root_ = base / ("quillo-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(root_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path(const std::string& name) const { return (root_ / name).string(); }

private:
    fs::path root_;
};

}  // namespace

void Fail(std::string_view what) {
    std::fprintf(stderr, "\nFUZZ CHECK FAILED: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

void Fail(std::string_view what, std::string_view expected, std::string_view actual) {
    size_t differ = 0;
    while (differ < expected.size() && differ < actual.size() &&
           expected[differ] == actual[differ]) {
        ++differ;
    }
    const size_t from = differ > 40 ? differ - 40 : 0;
    std::fprintf(stderr,
                 "\nFUZZ CHECK FAILED: %.*s\n  first difference at byte %zu (of %zu expected, "
                 "%zu actual)\n  expected: %s\n  actual:   %s\n",
                 static_cast<int>(what.size()), what.data(), differ, expected.size(), actual.size(),
                 Printable(expected.substr(std::min(from, expected.size()))).c_str(),
                 Printable(actual.substr(std::min(from, actual.size()))).c_str());
    std::abort();
}

std::string Printable(std::string_view bytes) {
    constexpr size_t kShown = 160;
    std::string text = "\"";
    for (size_t i = 0; i < bytes.size() && i < kShown; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\' || c == '"') {
            text += '\\';
            text += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            text += escape;
        }
    }
    text += bytes.size() > kShown ? "\"..." : "\"";
    return text;
}

std::string ScratchPath(const std::string& name) {
    static const ScratchFolder folder;  // one per fuzzing process, gone when it exits
    return folder.Path(name);
}

void WriteFileBytes(const std::string& path, std::initializer_list<std::string_view> parts) {
    const File file = OpenFile(path, "wb");
    Require(file != nullptr, "cannot create a scratch file");
    for (std::string_view part : parts) {
        if (part.empty()) {
            continue;  // may have no data pointer at all, which fwrite must not get
        }
        Require(std::fwrite(part.data(), 1, part.size(), file.get()) == part.size(),
                "cannot write a scratch file");
    }
}

void ReadFileBytes(const std::string& path, std::string& bytes) {
    const File file = OpenFile(path, "rb");
    Require(file != nullptr, "cannot open a scratch file");
    bytes.clear();
    char block[64 * 1024];
    for (size_t count; (count = std::fread(block, 1, sizeof block, file.get())) > 0;) {
        bytes.append(block, count);
    }
}

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    ReadFileBytes(path, bytes);
    return bytes;
}

void RemoveFile(const std::string& path) {
    std::remove(path.c_str());
}

}  // namespace quillo::fuzz
