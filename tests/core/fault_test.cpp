// The run when the system fails it: full disks at every point of the writing,
// a source that fails after opening, destinations that cannot be written,
// and srt2rt's safe replacement at each point where a run can stop. Each
// case checks the notice, every file left on disk, and the source.
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
#include <functional>

#include "conversion.h"
#include "conversion_run.h"
#include "fault_support.h"
#include "interrupt_cleanup.h"
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
    const RunOutcome outcome =
        quillo::Convert(Source::AlreadyOpen(reader), Destination::AlreadyOpen(dest),
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

// srt2rt's safe replacement, stopped at each point where a run can stop.
enum class Fault { None, BrokenEntry, FullDisk, ReadError, Interrupt };

struct ReplacementCase {
    const char* name;
    Fault fault;
    int interrupt;       // the signal (POSIX) or console event (Windows) that ends the run
    const char* notice;  // what the host is told: an entry error, "read" or "write", or none
};

const ReplacementCase kReplacementCases[] = {
    {"a complete run", Fault::None, 0, nullptr},
    {"a failed entry", Fault::BrokenEntry, 0, "Line 6000 . Time format error in .srt file."},
    {"a full disk", Fault::FullDisk, 0, "write"},
    {"a failed read", Fault::ReadError, 0, "read"},
#ifdef _WIN32
    // Ctrl-Break, a closed console, log-off and shut-down take the same
    // handler; Wine generates none of them.
    {"Ctrl-C", Fault::Interrupt, CTRL_C_EVENT, nullptr},
#else
    {"SIGINT", Fault::Interrupt, SIGINT, nullptr},
    {"SIGTERM", Fault::Interrupt, SIGTERM, nullptr},
    {"SIGHUP", Fault::Interrupt, SIGHUP, nullptr},
    {"SIGKILL", Fault::Interrupt, SIGKILL, nullptr},  // nothing catches it
#endif
};

// Large enough that part of the document is on disk by this entry.
constexpr size_t kManyEntries = 8000;
constexpr int32_t kStopEntry = 6000;

// Does `act` when the run reaches entry kStopEntry.
class AtStopEntry {
public:
    explicit AtStopEntry(std::function<void()> act) : act_(std::move(act)) {}
    void Line(const TextReader&, std::string_view) {}
    void Index(const IndexLine& index) {
        if (index.ordinal == kStopEntry) {
            act_();
        }
    }
    void TimeLine(const quillo::TimeLine&) {}
    void Text(const quillo::TextLine&) {}
    void EndEntry() {}
    void Finish(const TextReader&) {}

private:
    std::function<void()> act_;
};

// The run as srt2rt makes it: the source read shared, the document written
// through a safe replacement of `dest`, with `interrupt` looking on.
RunOutcome ConvertReplacing(const std::string& source, const std::string& dest, ProblemSink& host,
                            AtStopEntry* interrupt = nullptr) {
    const ConversionOptions options{true, CodePage::SingleByte(), host};
    if (interrupt == nullptr) {
        return Convert(Source::Shared(source), Destination::Replacing(dest), options);
    }
    return conversion_run::Run(Source::Shared(source), Destination::Replacing(dest), options,
                               [&](TextReader& reader, OpenedDestination& opened) {
                                   return conversion_run::ConvertBetween(source, reader, opened,
                                                                         options, *interrupt);
                               });
}

#ifdef _WIN32
constexpr char kInterruptedTest[] = "InterruptedRun.DISABLED_RunsInItsEnvironment";
constexpr char kInterruptedVariable[] = "QUILLO_TEST_INTERRUPTED_RUN";
constexpr unsigned long kNotInterrupted = 77;

// Runs only in the process that the Ctrl-C cases start: the source, the
// destination and the console event in its environment, on a console of
// its own so that the event reaches nobody else.
TEST(InterruptedRun, DISABLED_RunsInItsEnvironment) {
    const char* setting = std::getenv(kInterruptedVariable);
    ASSERT_NE(setting, nullptr);
    const std::string text = setting;
    const size_t first = text.find('|');
    const size_t second = text.find('|', first + 1);
    const size_t third = text.find('|', second + 1);
    const DWORD event = static_cast<DWORD>(std::stoul(text.substr(0, first)));
    const std::string reached = text.substr(third + 1);
    FreeConsole();
    AllocConsole();
    SetConsoleCtrlHandler(nullptr, FALSE);
    RemoveTemporariesOnInterrupt();
    RecordingHost host;
    AtStopEntry interrupt([event, &reached] {
        WriteBytes(reached, "");  // part of the document is on disk by now
        GenerateConsoleCtrlEvent(event, 0);
        Sleep(30000);  // the console's handler ends the process meanwhile
    });
    ConvertReplacing(text.substr(first + 1, second - first - 1),
                     text.substr(second + 1, third - second - 1), host, &interrupt);
    ExitProcess(kNotInterrupted);
}
#endif

// The destination keeps its bytes until the new document is complete, and
// no temporary is left, except after SIGKILL, which nothing catches.
TEST_F(FaultTest, AReplacedDestinationKeepsItsBytesUntilTheDocumentIsComplete) {
    const std::string old = "an older document\r\n";
    for (const ReplacementCase& row : kReplacementCases) {
        SCOPED_TRACE(row.name);
        KnownSource source = ManyEntries(kManyEntries);
        if (row.fault == Fault::BrokenEntry) {
            const std::string index = "\r\n" + std::to_string(kStopEntry) + "\r\n";
            source.bytes[source.bytes.find(',', source.bytes.find(index))] = '.';
        }
        WriteBytes(sourcePath, source.bytes);
        WriteBytes(destPath, old);
        host.notices.clear();
        RunOutcome outcome = RunOutcome::Completed;
        switch (row.fault) {
            case Fault::None:
            case Fault::BrokenEntry:
                outcome = ConvertReplacing(sourcePath, destPath, host);
                break;
            case Fault::FullDisk: {
#ifdef _WIN32
                continue;  // Wine offers no disk to fill
#else
                const FileSizeLimit diskSize(3 * kBufferSize + 12345);
                outcome = ConvertReplacing(sourcePath, destPath, host);
                EXPECT_EQ(host.lastSystemError, EFBIG);
#endif
                break;
            }
            case Fault::ReadError:
                outcome = ConvertReplacing(test::UnreadableAfterOpeningPath(), destPath, host);
                EXPECT_NE(host.lastSystemError, 0);
                break;
            case Fault::Interrupt:
#ifdef _WIN32
            {
                // The run goes on in a process of its own, which the console's
                // handler ends: its exit code is then the system's
                // (STATUS_CONTROL_C_EXIT; Wine gives 0).
                const ScratchDir elsewhere;
                const std::string reached = elsewhere.Path("reached");
                EXPECT_NE(
                    test::ExitCodeOfTestElsewhere(kInterruptedTest, kInterruptedVariable,
                                                  std::to_string(row.interrupt) + "|" + sourcePath +
                                                      "|" + destPath + "|" + reached),
                    kNotInterrupted);
                EXPECT_TRUE(test::Exists(reached)) << "the run did not reach the stop";
            }
#else
                EXPECT_EQ(test::SignalThatEnds([&] {
                              RemoveTemporariesOnInterrupt();
                              AtStopEntry interrupt([&] { std::raise(row.interrupt); });
                              ConvertReplacing(sourcePath, destPath, host, &interrupt);
                          }),
                          row.interrupt);
#endif
            break;
        }
        if (row.fault != Fault::Interrupt) {
            // After the question, which the host answers Yes.
            EXPECT_EQ(outcome, row.notice == nullptr ? RunOutcome::Completed : RunOutcome::Stopped);
            ASSERT_EQ(host.notices.size(), row.notice == nullptr ? 1u : 2u);
            if (row.notice != nullptr) {
                EXPECT_EQ(host.notices[1].text, row.notice);
            }
        }
        const bool complete = row.fault == Fault::None;
        EXPECT_TRUE(SameBytes(complete ? source.document : old, ReadBytes(destPath)));
        EXPECT_TRUE(SameBytes(source.bytes, ReadBytes(sourcePath)));
        Files files = FilesUnder(dir.Root());
#ifndef _WIN32
        if (row.interrupt == SIGKILL) {
            // Left beside the destination, under a name that says whose it is.
            ASSERT_EQ(files.size(), 3u);
            EXPECT_EQ(files[0].rfind(".srt2rt-", 0), 0u) << files[0];
            std::filesystem::remove(dir.Path(files[0]));
            files.erase(files.begin());
        }
#endif
        EXPECT_EQ(files, (Files{"film.rt", "film.srt"}));
    }
}

}  // namespace
}  // namespace quillo
