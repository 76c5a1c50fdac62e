// "Generate" from the outside: what it writes, every box it can show, and
// when the window stays open or the program ends.
#include <gtest/gtest.h>

#include "expected_documents.h"
#include "quillo_test.h"
#include "window_query.h"

namespace quillo::gui {
namespace {

using ConversionRunTest = QuilloTest;

constexpr char kSecondEntryMisnumbered[] =
    "1\r\n00:00:01,000 --> 00:00:02,500\r\nHi\r\n\r\n"
    "3\r\n00:00:03,000 --> 00:00:04,000\r\nThere\r\n";

constexpr char kFirstEntryLine[] = "<Time Begin=\"0:00:01.00\" End=\"0:00:02.50\" /><clear/> Hi";

TEST_F(ConversionRunTest, GenerateWritesTheDocumentAndEndsTheProgram) {
    WriteBytes(Path(L"film.srt"), kTwoEntrySource);
    window().Fill(Path(L"film.srt"), Path(L"film.rt"));
    window().Click(control::kGenerate);
    quillo_.WaitForExit();
    EXPECT_EQ(ReadBytes(Path(L"film.rt")), TwoEntryDocument());
    EXPECT_EQ(ReadBytes(Path(L"film.srt")), kTwoEntrySource);
}

TEST_F(ConversionRunTest, RelativePathsAreTakenFromTheWorkingFolder) {
    WriteBytes(Path(L"film.srt"), kTwoEntrySource);
    window().Fill(L"film.srt", L"film.rt");
    window().Click(control::kGenerate);
    quillo_.WaitForExit();
    EXPECT_EQ(ReadBytes(Path(L"film.rt")), TwoEntryDocument());
}

TEST_F(ConversionRunTest, MissingSourceIsReportedAndTheValuesStay) {
    window().Fill(Path(L"absent.srt"), Path(L"film.rt"));
    window().Click(control::kGenerate);
    ExpectErrorNotice(L"Unable to open '.srt' file.");
    EXPECT_EQ(window().Text(control::kSource), Path(L"absent.srt"));
    EXPECT_EQ(window().Text(control::kDest), Path(L"film.rt"));
    EXPECT_FALSE(FileExists(Path(L"film.rt")));
}

TEST_F(ConversionRunTest, EmptyPathsNeedNoCheckOfTheirOwn) {
    window().Click(control::kGenerate);
    ExpectErrorNotice(L"Unable to open '.srt' file.");
}

TEST_F(ConversionRunTest, ExistingDestinationIsOverwrittenOnYes) {
    WriteBytes(Path(L"film.srt"), kTwoEntrySource);
    WriteBytes(Path(L"film.rt"), "older document\r\n");
    window().Fill(Path(L"film.srt"), Path(L"film.rt"));
    window().Click(control::kGenerate);

    const MessageBoxView question = MessageBoxView::WaitFor(quillo_);
    EXPECT_EQ(question.Text(), L"File '.rt' exists. Do you really want to overwrite it?");
    EXPECT_EQ(question.Caption(), L"Warning");
    EXPECT_EQ(question.Buttons(), (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(question.DefaultButton(), IDYES);
    EXPECT_EQ(question.FocusedButton(), IDYES);
    EXPECT_EQ(question.Owner(), window().Handle());
    EXPECT_EQ(question.Icon(), StandardIcon::Exclamation);
    question.Answer(IDYES);

    quillo_.WaitForExit();
    EXPECT_EQ(ReadBytes(Path(L"film.rt")), TwoEntryDocument());
}

TEST_F(ConversionRunTest, ExistingDestinationIsLeftAsItWasOnNo) {
    const std::string older = "older document\r\nwith\x1A odd bytes\rkept";
    WriteBytes(Path(L"film.srt"), kTwoEntrySource);
    WriteBytes(Path(L"film.rt"), older);
    window().Fill(Path(L"film.srt"), Path(L"film.rt"));
    window().Click(control::kGenerate);

    MessageBoxView::WaitFor(quillo_).Answer(IDNO);
    EXPECT_TRUE(quillo_.StaysOpen());
    EXPECT_TRUE(quillo_.OtherDialogs().empty()) << "no further notice after No";
    EXPECT_EQ(ReadBytes(Path(L"film.rt")), older);
    EXPECT_EQ(window().Text(control::kDest), Path(L"film.rt"));
}

TEST_F(ConversionRunTest, UnopenableDestinationIsReported) {
    WriteBytes(Path(L"film.srt"), kTwoEntrySource);
    window().Fill(Path(L"film.srt"), Path(L"no such folder\\film.rt"));
    window().Click(control::kGenerate);
    ExpectErrorNotice(L"Unable to open '.rt' file.");
    EXPECT_EQ(ReadBytes(Path(L"film.srt")), kTwoEntrySource);
}

TEST_F(ConversionRunTest, DestinationNamingTheSourceLeavesTheSourceIntact) {
    WriteBytes(Path(L"film.srt"), kTwoEntrySource);
    // The same file through another spelling of its path.
    window().Fill(Path(L"film.srt"), folder_.Root() + L"\\.\\FILM.SRT");
    window().Click(control::kGenerate);
    ExpectErrorNotice(L"Unable to open '.rt' file.");
    EXPECT_EQ(ReadBytes(Path(L"film.srt")), kTwoEntrySource);
}

TEST_F(ConversionRunTest, LineNumberErrorStopsTheRunAndKeepsWhatWasWritten) {
    WriteBytes(Path(L"film.srt"), kSecondEntryMisnumbered);
    window().Fill(Path(L"film.srt"), Path(L"film.rt"));
    window().Click(control::kGenerate);
    ExpectErrorNotice(L"Line 2 . Line number error in .srt file.");
    EXPECT_EQ(ReadBytes(Path(L"film.rt")), RealTextDocument({kFirstEntryLine}, false));
    EXPECT_TRUE(window().Ticked(control::kVerifyLines));
}

TEST_F(ConversionRunTest, TimeFormatErrorStopsTheRunAndKeepsWhatWasWritten) {
    WriteBytes(Path(L"film.srt"),
               "1\r\n00:00:01,000 --> 00:00:02,500\r\nHi\r\n\r\n"
               "2\r\n00:00:03.000 --> 00:00:04.000\r\nThere\r\n");
    window().Fill(Path(L"film.srt"), Path(L"film.rt"));
    window().Click(control::kGenerate);
    ExpectErrorNotice(L"Line 2 . Time format error in .srt file.");
    EXPECT_EQ(ReadBytes(Path(L"film.rt")), RealTextDocument({kFirstEntryLine}, false));
}

TEST_F(ConversionRunTest, UntickedVerifyIsReadWhenGenerateIsPressed) {
    WriteBytes(Path(L"film.srt"), kSecondEntryMisnumbered);
    window().Fill(Path(L"film.srt"), Path(L"film.rt"));
    window().Toggle(control::kVerifyLines);
    window().Click(control::kGenerate);
    quillo_.WaitForExit();
    EXPECT_EQ(ReadBytes(Path(L"film.rt")),
              RealTextDocument({kFirstEntryLine,
                                "<Time Begin=\"0:00:03.00\" End=\"0:00:04.00\" /><clear/> There"}));
}

TEST_F(ConversionRunTest, CorrectedValuesConvertOnTheNextPress) {
    WriteBytes(Path(L"film.srt"), kTwoEntrySource);
    window().Fill(Path(L"film.sub"), Path(L"film.rt"));
    window().Click(control::kGenerate);
    ExpectErrorNotice(L"Unable to open '.srt' file.");
    window().SetText(control::kSource, Path(L"film.srt"));
    window().Click(control::kGenerate);
    quillo_.WaitForExit();
    EXPECT_EQ(ReadBytes(Path(L"film.rt")), TwoEntryDocument());
}

TEST_F(ConversionRunTest, FullDiskGivesTheFrameworkWriteNotice) {
    WriteBytes(Path(L"film.srt"), kTwoEntrySource);
    window().Fill(Path(L"film.srt"), L"Z:\\dev\\full");
    window().Click(control::kGenerate);
    // The device exists, so the overwrite question comes first.
    MessageBoxView::WaitFor(quillo_).Answer(IDYES);
    ExpectErrorNotice(L"Disque plein lors de l'acc\u00e8s \u00e0 Z:\\dev\\full.", L"Quillo");
    EXPECT_EQ(ReadBytes(Path(L"film.srt")), kTwoEntrySource);
}

// The three ways out that end the window with Cancel.
enum class WayOut { CancelButton, EscapeKey, CloseBox };

const char* NameOf(WayOut way) {
    switch (way) {
        case WayOut::CancelButton:
            return "Annuler";
        case WayOut::EscapeKey:
            return "Escape";
        case WayOut::CloseBox:
            return "CloseBox";
    }
    return "";
}

void PrintTo(WayOut way, std::ostream* out) {
    *out << NameOf(way);
}

class LeavingTest : public QuilloTest, public ::testing::WithParamInterface<WayOut> {};

TEST_P(LeavingTest, EndsTheProgramWithoutWritingAnything) {
    WriteBytes(Path(L"film.srt"), kTwoEntrySource);
    window().Fill(Path(L"film.srt"), Path(L"film.rt"));
    window().Toggle(control::kCreateSmil);
    window().SetText(control::kVideo, Path(L"film.rmvb"));
    switch (GetParam()) {
        case WayOut::CancelButton:
            window().Click(control::kCancel);
            break;
        case WayOut::EscapeKey:
            PostKey(WaitForFocusIn(window().Handle()), VK_ESCAPE);
            break;
        case WayOut::CloseBox:
            PostMessageW(window().Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
    }
    quillo_.WaitForExit();
    EXPECT_FALSE(FileExists(Path(L"film.rt")));
    EXPECT_FALSE(FileExists(Path(L"film.smil")));
    EXPECT_EQ(ReadBytes(Path(L"film.srt")), kTwoEntrySource);
}

INSTANTIATE_TEST_SUITE_P(WaysOut, LeavingTest,
                         ::testing::Values(WayOut::CancelButton, WayOut::EscapeKey,
                                           WayOut::CloseBox),
                         [](const ::testing::TestParamInfo<WayOut>& instance) {
                             return std::string(NameOf(instance.param));
                         });

TEST(StartWithArgumentsTest, ArgumentsAreIgnored) {
    ScratchFolder folder;
    WriteBytes(folder.Path(L"film.srt"), kTwoEntrySource);
    QuilloProcess quillo(folder.Root(), L"film.srt other.rt /s -x");
    EXPECT_EQ(quillo.Window().Text(control::kSource), L"");
    EXPECT_EQ(quillo.Window().Text(control::kDest), L"");
    EXPECT_TRUE(quillo.Window().Ticked(control::kVerifyLines));
    quillo.Window().Fill(folder.Path(L"film.srt"), folder.Path(L"film.rt"));
    quillo.Window().Click(control::kGenerate);
    quillo.WaitForExit();
    EXPECT_EQ(ReadBytes(folder.Path(L"film.rt")), TwoEntryDocument());
    EXPECT_FALSE(FileExists(folder.Path(L"other.rt")));
}

}  // namespace
}  // namespace quillo::gui
