#include "fault_support.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "test_support.h"
#include "text_file.h"

namespace fs = std::filesystem;

namespace quillo::test {

#ifdef _WIN32

// Wine shows the Linux root as drive Z:.
std::string FullDevicePath() {
    return "Z:\\dev\\full";
}
std::string UnreadableAfterOpeningPath() {
    return "Z:\\proc\\self\\mem";
}

ReadOnlyFile::ReadOnlyFile(std::string path) : path_(std::move(path)) {
    if (!SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY)) {
        failure_ = "cannot set the read-only attribute";
        return;
    }
    // Wine keeps the attribute as permission bits, which do not bind root.
    const HANDLE writer = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (writer != INVALID_HANDLE_VALUE) {
        CloseHandle(writer);
        failure_ = "the system lets writers open a read-only file (Wine running as root)";
    }
}

ReadOnlyFile::~ReadOnlyFile() {
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

namespace {

// Whether this process can open `path` for reading right now.
bool OpensHere(const std::string& path) {
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

}  // namespace

HeldElsewhere::HeldElsewhere(const std::string& path) {
    // The holder is this test program again, running only kHolderTest, which
    // opens the file named in its environment and waits for its input to end.
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string command = std::string("\"") + program +
                          "\" --gtest_also_run_disabled_tests --gtest_filter=" + kHolderTest;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE input = nullptr;
    HANDLE release = nullptr;
    if (!CreatePipe(&input, &release, &inherit, 0)) {
        failure_ = "cannot create a pipe";
        return;
    }
    SetHandleInformation(release, HANDLE_FLAG_INHERIT, 0);
    release_ = release;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    // Its report goes nowhere; its failures still reach the error output.
    const HANDLE nowhere =
        CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    startup.hStdOutput = nowhere;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    SetEnvironmentVariableA(kHolderVariable, path.c_str());
    const bool ok = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   nullptr, &startup, &started);
    SetEnvironmentVariableA(kHolderVariable, nullptr);
    CloseHandle(input);
    if (nowhere != INVALID_HANDLE_VALUE) {
        CloseHandle(nowhere);
    }
    if (!ok) {
        failure_ = "cannot start " + command;
        return;
    }
    CloseHandle(started.hThread);
    process_ = started.hProcess;
    // Held once this process can no longer open it.
    for (int i = 0; i < 200 && OpensHere(path); ++i) {
        Sleep(50);
    }
    if (OpensHere(path)) {
        failure_ = "the other process did not take the file within 10 s";
    }
}

HeldElsewhere::~HeldElsewhere() {
    if (release_ != nullptr) {
        CloseHandle(release_);
    }
    if (process_ != nullptr) {
        WaitForSingleObject(process_, 10000);
        CloseHandle(process_);
    }
}

unsigned long ExitCodeOfTestElsewhere(const char* test, const char* variable,
                                      const std::string& value) {
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string command =
        std::string("\"") + program + "\" --gtest_also_run_disabled_tests --gtest_filter=" + test;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    SetEnvironmentVariableA(variable, value.c_str());
    const bool ok = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &started);
    SetEnvironmentVariableA(variable, nullptr);
    if (!ok) {
        return ~0ul;
    }
    CloseHandle(started.hThread);
    WaitForSingleObject(started.hProcess, 60000);
    DWORD code = ~0ul;
    GetExitCodeProcess(started.hProcess, &code);
    CloseHandle(started.hProcess);
    return code;
}

#else

std::string FullDevicePath() {
    return "/dev/full";
}
// Opens and locks like a file, but offset 0 is unmapped memory: reading it gives EIO.
std::string UnreadableAfterOpeningPath() {
    return "/proc/self/mem";
}

namespace {

bool AcceptsWriters(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

bool SetImmutable(const std::string& path, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

}  // namespace

HeldElsewhere::HeldElsewhere(const std::string& path) {
    int ready[2];
    int release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) {
        failure_ = "cannot create pipes";
        return;
    }
    process_ = ::fork();
    if (process_ == 0) {
        // The holder: open the file the way the converter does, say whether
        // it worked, and keep it until the test closes the other end.
        ::close(ready[0]);
        ::close(release[1]);
        TextReader held;
        const char opened = held.Open(path) ? 'y' : 'n';
        (void)!::write(ready[1], &opened, 1);
        char ignored;
        while (::read(release[0], &ignored, 1) > 0) {
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char opened = 'n';
    if (process_ < 0 || ::read(ready[0], &opened, 1) != 1 || opened != 'y') {
        failure_ = "the other process could not open the file";
    }
    ::close(ready[0]);
}

HeldElsewhere::~HeldElsewhere() {
    if (release_ >= 0) {
        ::close(release_);
    }
    if (process_ > 0) {
        ::waitpid(process_, nullptr, 0);
    }
}

int SignalThatEnds(const std::function<void()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
            std::signal(signal, SIG_DFL);  // whatever the shell that started the tests did
        }
        body();
        ::_exit(0);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) {
        return -1;
    }
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

ReadOnlyFile::ReadOnlyFile(std::string path) : path_(std::move(path)) {
    ::chmod(path_.c_str(), 0444);
    if (AcceptsWriters(path_)) {
        immutable_ = SetImmutable(path_, true);
        if (!immutable_ || AcceptsWriters(path_)) {
            failure_ = "running as root, and this file system cannot make a file immutable";
        }
    }
}

ReadOnlyFile::~ReadOnlyFile() {
    if (immutable_) {
        SetImmutable(path_, false);
    }
    ::chmod(path_.c_str(), 0644);
}

#endif

namespace {

void AddFilesUnder(const fs::path& root, const fs::path& folder, std::vector<std::string>& files) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->is_directory(error)) {
#ifdef _WIN32
            // Wine lists a folder named by more than MAX_PATH characters as
            // if it were the current one; what lies that deep is checked by
            // name instead.
            if (it->path().native().size() >= 260) {
                continue;
            }
#endif
            AddFilesUnder(root, it->path(), files);
        } else {
            files.push_back(it->path().lexically_relative(root).string());
        }
    }
}

}  // namespace

std::vector<std::string> FilesUnder(const std::string& root) {
    std::vector<std::string> files;
    AddFilesUnder(root, root, files);
    std::sort(files.begin(), files.end());
    return files;
}

::testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual) {
    const auto [e, a] =
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    if (e == expected.end() && a == actual.end()) {
        return ::testing::AssertionSuccess();
    }
    const size_t at = static_cast<size_t>(e - expected.begin());
    const size_t from = at > 20 ? at - 20 : 0;
    return ::testing::AssertionFailure()
           << "the bytes differ first at offset " << at << " (expected " << expected.size()
           << " bytes, got " << actual.size() << ")\n  expected: ..."
           << ::testing::PrintToString(expected.substr(from, 60)) << "\n  actual:   ..."
           << ::testing::PrintToString(actual.substr(std::min(from, actual.size()), 60));
}

KnownSource ManyEntries(size_t entries) {
    KnownSource source;
    std::vector<std::string> lines;
    for (size_t i = 1; i <= entries; ++i) {
        const std::string n = std::to_string(i);
        const std::string seconds = std::to_string(i % 60);
        source.bytes += n + "\r\n0:" + std::to_string(i / 60 % 60) + ":" + seconds +
                        ",250 --> 1:00:" + seconds + ",999\r\nLine " + n + "|again\r\n\r\n";
        char minutes[8];
        std::snprintf(minutes, sizeof minutes, "%02zu", i / 60 % 60);
        const std::string ss = (i % 60 < 10 ? "0" : "") + seconds;
        lines.push_back("<Time Begin=\"0:" + std::string(minutes) + ":" + ss +
                        ".25\" End=\"1:00:" + ss + ".99\" /><clear/> Line " + n + "<BR>again");
    }
    source.document = RealTextDocument(lines);
    return source;
}

}  // namespace quillo::test
