// The SMIL presentation written at the end of a completed run, seen from the
// window: when it is written, what it holds, and what the user is told.
#include <gtest/gtest.h>

#include "expected_documents.h"
#include "quillo_test.h"

namespace quillo::gui {
namespace {

class SmilStepTest : public QuilloTest {
protected:
    // A source in subs\, its document in out\, and the video named by `video`.
    void Prepare(const std::wstring& video, bool createSmil) {
        folder_.MakeFolder(L"subs");
        folder_.MakeFolder(L"out");
        WriteBytes(Path(L"subs\\film.srt"), kTwoEntrySource);
        window().Fill(Path(L"subs\\film.srt"), Path(L"out\\film.rt"));
        if (createSmil) {
            window().Toggle(control::kCreateSmil);
        }
        window().SetText(control::kVideo, video);
    }

    void GenerateAndWaitForExit() {
        window().Click(control::kGenerate);
        quillo_.WaitForExit();
        EXPECT_EQ(ReadBytes(Path(L"out\\film.rt")), TwoEntryDocument());
    }
};

TEST_F(SmilStepTest, TickedBoxWritesThePresentationBesideTheSource) {
    Prepare(L"D:\\video\\film.rmvb", true);
    GenerateAndWaitForExit();
    EXPECT_EQ(ReadBytes(Path(L"subs\\film.smil")), SmilDocument("film.rmvb", "film.rt"));
    EXPECT_FALSE(FileExists(Path(L"out\\film.smil")));
}

TEST_F(SmilStepTest, VideoWithoutFolderIsNamedWhole) {
    Prepare(L"my clip&co.rmvb", true);
    GenerateAndWaitForExit();
    EXPECT_EQ(ReadBytes(Path(L"subs\\film.smil")), SmilDocument("my clip&co.rmvb", "film.rt"));
}

TEST_F(SmilStepTest, UntickedBoxWritesNoPresentation) {
    Prepare(L"D:\\video\\film.rmvb", false);
    GenerateAndWaitForExit();
    EXPECT_FALSE(FileExists(Path(L"subs\\film.smil")));
}

TEST_F(SmilStepTest, EmptyVideoWritesNoPresentation) {
    Prepare(L"", true);
    GenerateAndWaitForExit();
    EXPECT_FALSE(FileExists(Path(L"subs\\film.smil")));
}

TEST_F(SmilStepTest, ExistingPresentationIsReplacedWithoutAQuestion) {
    Prepare(L"film.rmvb", true);
    WriteBytes(Path(L"subs\\film.smil"),
               "an older presentation, somewhat longer than the new\r\n"
               "one, so that a missing truncation would show\r\n"
               "<smil></smil>\r\n<smil></smil>\r\n<smil></smil>\r\n");
    GenerateAndWaitForExit();
    EXPECT_EQ(ReadBytes(Path(L"subs\\film.smil")), SmilDocument("film.rmvb", "film.rt"));
}

TEST_F(SmilStepTest, PresentationOfADottedFolderStaysInIt) {
    folder_.MakeFolder(L"my.subs");
    WriteBytes(Path(L"my.subs\\film.srt"), kTwoEntrySource);
    window().Fill(Path(L"my.subs\\film.srt"), Path(L"film.rt"));
    window().Toggle(control::kCreateSmil);
    window().SetText(control::kVideo, L"film.rmvb");
    window().Click(control::kGenerate);
    quillo_.WaitForExit();
    EXPECT_EQ(ReadBytes(Path(L"my.subs\\film.smil")), SmilDocument("film.rmvb", "film.rt"));
    EXPECT_FALSE(FileExists(Path(L"my.smil")));
}

TEST_F(SmilStepTest, UnopenablePresentationIsReportedAndTheWindowStays) {
    Prepare(L"film.rmvb", true);
    folder_.MakeFolder(L"subs\\film.smil");  // a folder where the file would go
    window().Click(control::kGenerate);
    ExpectErrorNotice(L"Unable to open '.smil' file.");
    EXPECT_EQ(ReadBytes(Path(L"out\\film.rt")), TwoEntryDocument()) << "the document stands";
    EXPECT_TRUE(window().Ticked(control::kCreateSmil));
    EXPECT_EQ(window().Text(control::kVideo), L"film.rmvb");
}

TEST_F(SmilStepTest, FailedRunWritesNoPresentation) {
    folder_.MakeFolder(L"subs");
    WriteBytes(Path(L"subs\\film.srt"), "1\r\n00:00:01.000 --> 00:00:02,000\r\nHi\r\n");
    window().Fill(Path(L"subs\\film.srt"), Path(L"subs\\film.rt"));
    window().Toggle(control::kCreateSmil);
    window().SetText(control::kVideo, L"film.rmvb");
    window().Click(control::kGenerate);
    ExpectErrorNotice(L"Line 1 . Time format error in .srt file.");
    EXPECT_FALSE(FileExists(Path(L"subs\\film.smil")));
}

}  // namespace
}  // namespace quillo::gui
