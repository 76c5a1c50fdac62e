// Ways to make the system fail the converter on purpose, on both platforms
// the core tests run on, and sources whose document is known in advance.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace quillo::test {

// A device on which every write fails as on a full disk.
std::string FullDevicePath();

// A file that opens and then fails its first read with an I/O error.
std::string UnreadableAfterOpeningPath();

// Makes a file refuse writers while the object lives, then gives it back.
// Permission bits do not bind root, so as root the file is made immutable.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(std::string path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Empty when the file now refuses writers; otherwise why it could not be made so.
    const std::string& Failure() const { return failure_; }

private:
    std::string path_;
    std::string failure_;
    bool immutable_ = false;
};

// Holds a file open, without sharing, in another process while the object
// lives, as a player or an editor would.
class HeldElsewhere {
public:
    explicit HeldElsewhere(const std::string& path);
    ~HeldElsewhere();
    HeldElsewhere(const HeldElsewhere&) = delete;
    HeldElsewhere& operator=(const HeldElsewhere&) = delete;

    // Empty once the other process holds the file; otherwise what went wrong.
    const std::string& Failure() const { return failure_; }

private:
    std::string failure_;
#ifdef _WIN32
    void* process_ = nullptr;
    void* release_ = nullptr;  // the other process's input: closing it lets go
#else
    int process_ = -1;
    int release_ = -1;
#endif
};

#ifdef _WIN32
// The test that HeldElsewhere runs in the other process (a copy of this one).
inline constexpr char kHolderTest[] = "FileHolder.DISABLED_HoldsTheFileInItsEnvironment";
inline constexpr char kHolderVariable[] = "QUILLO_TEST_HOLD_FILE";

// Runs `test`, a disabled test of this program, in a copy of it with `value`
// in the environment variable `variable`; returns its exit code, or ~0u when
// it could not be started.
unsigned long ExitCodeOfTestElsewhere(const char* test, const char* variable,
                                      const std::string& value);
#else
// Runs `body` in a forked copy of this process, whose signals are at their
// defaults; returns the signal that ended it, or 0 when `body` returned.
int SignalThatEnds(const std::function<void()>& body);
#endif

// Every file under `root`, as paths relative to it, in order; folders are not listed.
std::vector<std::string> FilesUnder(const std::string& root);

// Compares large byte strings without printing them whole.
::testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual);

// A well-formed source of `entries` entries and the document it converts to.
struct KnownSource {
    std::string bytes;
    std::string document;
};
KnownSource ManyEntries(size_t entries);

}  // namespace quillo::test
