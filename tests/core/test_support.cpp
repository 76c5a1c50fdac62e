#include "test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "messages.h"

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

RunOutcome ConvertFiles(const std::string& source, const std::string& dest, bool verify,
                        const CodePage& codePage, ProblemSink& host) {
    return Convert(Source::File(source), Destination::File(dest), {verify, codePage, host});
}

bool RecordingHost::Ask(const quillo::Problem& question) {
    notices.push_back(
        {Notice::Question, messages::WindowText(question), messages::WindowCaption(question.code)});
    return answerYes_;
}

void RecordingHost::Report(const quillo::Problem& notice) {
    if (notice.systemError != 0) {
        lastSystemError = notice.systemError;
    }
    if (notice.code == ProblemCode::ReadError || notice.code == ProblemCode::WriteError) {
        notices.push_back({Notice::FileFailure,
                           notice.operation == FileOperation::Read ? "read" : "write",
                           std::string(notice.file)});
        return;
    }
    notices.push_back(
        {Notice::Error, messages::WindowText(notice), messages::WindowCaption(notice.code)});
}

}  // namespace quillo::test
