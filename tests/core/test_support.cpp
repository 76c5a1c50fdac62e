#include "test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace quillo::test {

ScratchDir::ScratchDir() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path dir = fs::temp_directory_path() /
                         ("quillo-test-" + std::to_string(stamp) + "-" + std::to_string(++counter));
    fs::create_directories(dir);
    root_ = dir.string();
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::string ScratchDir::Path(const std::string& name) const {
    return root_ + NativeSeparator() + name;
}

char NativeSeparator() {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool Exists(const std::string& path) {
    return fs::exists(path);
}

bool RecordingHost::AskYesNo(const std::string& text, const std::string& caption) {
    notices.push_back({Notice::Question, text, caption});
    return answerYes_;
}

void RecordingHost::ShowError(const std::string& text, const std::string& caption) {
    notices.push_back({Notice::Error, text, caption});
}

void RecordingHost::ShowFileFailure(FileOperation operation, const std::string& fullPath) {
    notices.push_back(
        {Notice::FileFailure, operation == FileOperation::Read ? "read" : "write", fullPath});
}

}  // namespace quillo::test
