// The window and srt2rt are two doors to one converter: for the same source
// and settings they must write the same bytes; after a failed entry only the
// window keeps what came before it.
#include <gtest/gtest.h>

#include "quillo_test.h"
#include "text.h"
#include "unique_handle.h"

namespace quillo::gui {
namespace {

using CliParityTest = QuilloTest;

// Runs srt2rt.exe with `arguments` in `folder`; returns its exit code.
DWORD RunCommandLine(const std::wstring& folder, const std::wstring& arguments) {
    std::wstring command = L"\"" + WindowsPath(Widen(SRT2RT_EXE_PATH)) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        folder.c_str(), &startup, &info)) {
        ADD_FAILURE() << "cannot start srt2rt: error " << GetLastError();
        return ~0u;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 60'000), WAIT_OBJECT_0) << "srt2rt hangs";
    DWORD code = ~0u;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

constexpr char kAwkwardSource[] =
    "\xEF\xBB\xBF"
    "1\r\n00:00:01,000-->00:00:02,005 X1:1\r\n<i>a|b</i> & \"c\"\r\n\r\n"
    "2\n-1:75:120,-15 --> 99999999999:0:0,1999\n\n\n"
    "3\r\n00:00:05,000 --> 00:00:06,000\r\nlast\x1A"
    "ignored";

TEST_F(CliParityTest, BothWriteTheSameDocument) {
    WriteBytes(Path(L"film.srt"), kAwkwardSource);
    window().Fill(Path(L"film.srt"), Path(L"window.rt"));
    window().Toggle(control::kVerifyLines);
    window().Click(control::kGenerate);
    quillo_.WaitForExit();

    EXPECT_EQ(RunCommandLine(folder_.Root(), L"--no-verify -o cli.rt film.srt"), 0u);
    const std::string fromWindow = ReadBytes(Path(L"window.rt"));
    EXPECT_GT(fromWindow.size(), 100u);
    EXPECT_EQ(ReadBytes(Path(L"cli.rt")), fromWindow);
}

// The window leaves the entries before the failed one, to show where it
// stopped; srt2rt, which never replaces a document by part of one, leaves none.
TEST_F(CliParityTest, AfterAFailedEntryOnlyTheWindowLeavesAPartialDocument) {
    WriteBytes(Path(L"film.srt"),
               "1\r\n0:0:1,0 --> 0:0:2,0\r\na|b\r\n\r\n2\r\n0:0:3,0 --> 0:0:4,0\r\nc\r\n\r\n"
               "4\r\n0:0:5,0 --> 0:0:6,0\r\nd\r\n");
    window().Fill(Path(L"film.srt"), Path(L"window.rt"));
    window().Click(control::kGenerate);
    ExpectErrorNotice(L"Line 3 . Line number error in .srt file.");
    EXPECT_TRUE(FileExists(Path(L"window.rt")));

    EXPECT_EQ(RunCommandLine(folder_.Root(), L"-o cli.rt film.srt"), 1u);
    EXPECT_FALSE(FileExists(Path(L"cli.rt")));
}

}  // namespace
}  // namespace quillo::gui
