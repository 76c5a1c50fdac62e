// The run when the system fails it: full disks at every point of the writing,
// a source that fails after opening, destinations that cannot be written.
// Each case checks the notice, every file left on disk, and the source.
#include <gtest/gtest.h>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#else
#include <sys/resource.h>

#include <csignal>
#endif

#include <cstdlib>
#include <filesystem>

#include "conversion.h"
#include "fault_support.h"
#include "messages.h"
#include "test_support.h"

namespace quillo {
namespace {

using test::FilesUnder;
using test::KnownSource;
using test::ManyEntries;
using test::Notice;
using test::ReadBytes;
using test::RealTextDocument;
using test::RecordingHost;
using test::SameBytes;
using test::ScratchDir;
using test::WriteBytes;
using Files = std::vector<std::string>;
using Notices = std::vector<Notice>;

constexpr size_t kBufferSize = 128 * 1024;  // what the writer holds before writing

const Notice kQuestion{Notice::Question, messages::kDestExists, messages::kWarningCaption};
const Notice kCannotOpenDest{Notice::Error, messages::kCannotOpenDest, messages::kErrorCaption};

Notice WriteFailure(const std::string& fullPath) {
    return {Notice::FileFailure, "write", fullPath};
}
Notice ReadFailure(const std::string& fullPath) {
    return {Notice::FileFailure, "read", fullPath};
}

class FaultTest : public ::testing::Test {
protected:
    RunOutcome Convert(const std::string& source, const std::string& dest) {
        return test::ConvertFiles(source, dest, true, CodePage::SingleByte(), host);
    }

    ScratchDir dir;
    std::string sourcePath = dir.Path("film.srt");
    std::string destPath = dir.Path("film.rt");
    RecordingHost host;
};

TEST_F(FaultTest, AFullDiskIsReportedOnceWhereverTheFirstWriteFails) {
    // Small: the only write is the one on closing. Large: the buffer fills
    // part-way through and that write fails; the run stops there.
    for (const size_t entries : {size_t{2}, size_t{8000}}) {
        const KnownSource source = ManyEntries(entries);
        ASSERT_EQ(source.document.size() > kBufferSize, entries > 2);
        WriteBytes(sourcePath, source.bytes);
        host.notices.clear();
        EXPECT_EQ(Convert(sourcePath, test::FullDevicePath()), RunOutcome::Stopped);
        // The device exists, so the overwrite question comes first.
        EXPECT_EQ(host.notices, (Notices{kQuestion, WriteFailure(test::FullDevicePath())}));
        EXPECT_EQ(FilesUnder(dir.Root()), Files{"film.srt"});
        EXPECT_TRUE(SameBytes(source.bytes, ReadBytes(sourcePath)));
    }
}

TEST_F(FaultTest, AFailureAfterAnEntryErrorIsReportedToo) {
    // The entry error is shown, then closing onto the full disk fails.
    WriteBytes(sourcePath, "1\r\n0:0:1,0 --> 0:0:2,0\r\nHi\r\n\r\n3\r\n");
    EXPECT_EQ(Convert(sourcePath, test::FullDevicePath()), RunOutcome::Stopped);
    EXPECT_EQ(host.notices, (Notices{kQuestion,
                                     {Notice::Error, "Line 2 . Line number error in .srt file.",
                                      messages::kErrorCaption},
                                     WriteFailure(test::FullDevicePath())}));
}

#ifndef _WIN32

// Lets this process write files only up to `bytes`, as a disk that fills up:
// the write that crosses the limit is cut short and the next one fails.
class FileSizeLimit {
public:
    explicit FileSizeLimit(size_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        savedSignal_ = std::signal(SIGXFSZ, SIG_IGN);  // fail the write instead of ending us
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, savedSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*savedSignal_)(int) = SIG_DFL;
};

TEST_F(FaultTest, ADiskFillingUpMidRunKeepsEverythingWrittenBeforeIt) {
    const KnownSource source = ManyEntries(30000);
    WriteBytes(sourcePath, source.bytes);
    const size_t room = 3 * kBufferSize + 12345;  // full during the fourth write
    ASSERT_GT(source.document.size(), room + kBufferSize);
    RunOutcome outcome;
    {
        const FileSizeLimit diskSize(room);
        outcome = Convert(sourcePath, destPath);
    }
    EXPECT_EQ(outcome, RunOutcome::Stopped);
    EXPECT_EQ(host.notices, Notices{WriteFailure(destPath)});
    EXPECT_TRUE(SameBytes(source.document.substr(0, room), ReadBytes(destPath)));
    EXPECT_TRUE(SameBytes(source.bytes, ReadBytes(sourcePath)));
}

#else

// Wine offers no way to fill a disk part-way, so a pipe whose reader stops
// after `room` bytes stands in for one: the writes after it fail.
TEST_F(FaultTest, ADestinationFillingUpMidRunKeepsEverythingWrittenBeforeIt) {
    const KnownSource source = ManyEntries(30000);
    WriteBytes(sourcePath, source.bytes);
    const size_t room = 3 * kBufferSize + 12345;
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 64 * 1024));
    // The reader runs on a thread of its own: the writer blocks on a full pipe.
    struct Consumer {
        HANDLE readEnd;
        size_t room;
        std::string received;
        static DWORD WINAPI Run(void* self) {
            Consumer& c = *static_cast<Consumer*>(self);
            char block[4096];
            while (c.received.size() < c.room) {
                DWORD count = 0;
                const DWORD want =
                    static_cast<DWORD>(std::min(sizeof block, c.room - c.received.size()));
                if (!ReadFile(c.readEnd, block, want, &count, nullptr) || count == 0) {
                    break;
                }
                c.received.append(block, count);
            }
            CloseHandle(c.readEnd);
            return 0;
        }
    } consumer{readEnd, room, {}};
    const HANDLE thread = CreateThread(nullptr, 0, &Consumer::Run, &consumer, 0, nullptr);
    ASSERT_NE(thread, nullptr);

    // The writer adopts the pipe the way the command line adopts its output.
    const HANDLE savedOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, writeEnd);
    TextWriter dest;
    dest.Attach(OsFile::StandardOutput(), "the pipe");
    SetStdHandle(STD_OUTPUT_HANDLE, savedOutput);
    TextReader reader;
    ASSERT_TRUE(reader.Open(sourcePath));
    const RunOutcome outcome = quillo::Convert(Source::Open(reader), Destination::Open(dest),
                                               {true, CodePage::SingleByte(), host});
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(writeEnd);

    EXPECT_EQ(outcome, RunOutcome::Stopped);
    EXPECT_EQ(host.notices, Notices{WriteFailure("the pipe")});
    EXPECT_TRUE(SameBytes(source.document.substr(0, room), consumer.received));
    EXPECT_TRUE(SameBytes(source.bytes, ReadBytes(sourcePath)));
}

#endif

TEST_F(FaultTest, ASourceFailingAfterOpeningKeepsTheOpeningLines) {
    const std::string unreadable = test::UnreadableAfterOpeningPath();
    {
        TextReader probe;
        if (!probe.Open(unreadable)) {
            GTEST_SKIP() << unreadable << " does not open here";
        }
    }
    EXPECT_EQ(Convert(unreadable, destPath), RunOutcome::Stopped);
    EXPECT_EQ(host.notices, Notices{ReadFailure(unreadable)});
    // The opening lines were written before the first read: they stay.
    EXPECT_EQ(ReadBytes(destPath), RealTextDocument({}, false));
    EXPECT_EQ(FilesUnder(dir.Root()), Files{"film.rt"});
}

TEST_F(FaultTest, AMissingDestinationFolderIsReportedAndNothingIsCreated) {
    const KnownSource source = ManyEntries(3);
    WriteBytes(sourcePath, source.bytes);
    const char sep = test::NativeSeparator();
    for (const std::string& dest :
         {dir.Path("missing") + sep + "film.rt", dir.Path("missing") + sep + "deeper" + sep}) {
        host.notices.clear();
        EXPECT_EQ(Convert(sourcePath, dest), RunOutcome::Stopped);
        EXPECT_EQ(host.notices, Notices{kCannotOpenDest});
        EXPECT_EQ(FilesUnder(dir.Root()), Files{"film.srt"});
        EXPECT_EQ(ReadBytes(sourcePath), source.bytes);
    }
}

TEST_F(FaultTest, AReadOnlyDestinationIsLeftAsItWas) {
    const KnownSource source = ManyEntries(3);
    WriteBytes(sourcePath, source.bytes);
    const std::string old = "an older document\r\n";
    WriteBytes(destPath, old);
    {
        const test::ReadOnlyFile readOnly(destPath);
        if (!readOnly.Failure().empty()) {
            GTEST_SKIP() << "cannot make a file read-only: " << readOnly.Failure();
        }
        // It exists and can be read, so the question comes; then it cannot be written.
        EXPECT_EQ(Convert(sourcePath, destPath), RunOutcome::Stopped);
        EXPECT_EQ(host.notices, (Notices{kQuestion, kCannotOpenDest}));
    }
    EXPECT_EQ(ReadBytes(destPath), old);
    EXPECT_EQ(ReadBytes(sourcePath), source.bytes);
    EXPECT_EQ(FilesUnder(dir.Root()), (Files{"film.rt", "film.srt"}));
}

TEST_F(FaultTest, FilesHeldByAnotherProgramAreNeitherReadNorReplaced) {
    const KnownSource source = ManyEntries(3);
    WriteBytes(sourcePath, source.bytes);
    const std::string old = "an older document\r\n";
    WriteBytes(destPath, old);
    {
        const test::HeldElsewhere holder(destPath);
        ASSERT_EQ(holder.Failure(), "");
        // The existence probe cannot open it either: no question, just the notice.
        EXPECT_EQ(Convert(sourcePath, destPath), RunOutcome::Stopped);
        EXPECT_EQ(host.notices, Notices{kCannotOpenDest});
    }
    {
        const test::HeldElsewhere holder(sourcePath);
        ASSERT_EQ(holder.Failure(), "");
        host.notices.clear();
        EXPECT_EQ(Convert(sourcePath, destPath), RunOutcome::Stopped);
        EXPECT_EQ(host.notices,
                  (Notices{{Notice::Error, messages::kCannotOpenSource, messages::kErrorCaption}}));
    }
    EXPECT_EQ(ReadBytes(destPath), old);
    EXPECT_EQ(ReadBytes(sourcePath), source.bytes);
}

#ifdef _WIN32
// Runs only in the process that HeldElsewhere starts.
TEST(FileHolder, DISABLED_HoldsTheFileInItsEnvironment) {
    const char* path = std::getenv(test::kHolderVariable);
    ASSERT_NE(path, nullptr);
    TextReader held;
    ASSERT_TRUE(held.Open(path));
    char ignored[64];
    DWORD count = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), ignored, sizeof ignored, &count, nullptr) &&
           count > 0) {
    }
}
#endif

TEST_F(FaultTest, ADestinationLinkedToTheSourceNeverTruncatesIt) {
    const KnownSource source = ManyEntries(3);
    WriteBytes(sourcePath, source.bytes);
    const std::string hardLink = dir.Path("hard.rt");
    std::error_code error;
    std::filesystem::create_hard_link(sourcePath, hardLink, error);
    if (error) {
        GTEST_SKIP() << "no hard links here: " << error.message();
    }
    EXPECT_EQ(Convert(sourcePath, hardLink), RunOutcome::Stopped);
    EXPECT_EQ(host.notices, Notices{kCannotOpenDest});
    EXPECT_EQ(ReadBytes(sourcePath), source.bytes);
#ifndef _WIN32
    const std::string symbolicLink = dir.Path("symbolic.rt");
    std::filesystem::create_symlink(sourcePath, symbolicLink);
    host.notices.clear();
    EXPECT_EQ(Convert(sourcePath, symbolicLink), RunOutcome::Stopped);
    EXPECT_EQ(host.notices, Notices{kCannotOpenDest});
    EXPECT_EQ(ReadBytes(sourcePath), source.bytes);
#endif
}

}  // namespace
}  // namespace quillo
