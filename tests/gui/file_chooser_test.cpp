// The three "..." choosers, driven through the real open-file chooser: their
// options, the paths they set and propose, and the push that follows.
#include <gtest/gtest.h>

#include "expected_documents.h"
#include "file_chooser.h"
#include "quillo_test.h"
#include "text.h"
#include "unique_handle.h"
#include "window_query.h"

namespace quillo::gui {
namespace {

class FileChooserTest : public QuilloTest {
protected:
    void SetUp() override {
        // The "no dot in the path" cases rely on a dot-free scratch folder.
        ASSERT_EQ(folder_.Root().find(L'.'), std::wstring::npos) << Narrow(folder_.Root());
    }

    FileChooserView Open(int browseButton) {
        window().Click(browseButton);
        return FileChooserView::WaitFor(quillo_);
    }

    void ChooseSource(const std::wstring& path) { Open(control::kBrowseSource).Choose(path); }
};

struct ChooserCase {
    int button;
    const wchar_t* title;
    std::vector<std::wstring> filters;
};

void PrintTo(const ChooserCase& chooser, std::ostream* out) {
    *out << Narrow(chooser.title);
}

class ChooserOptionsTest : public FileChooserTest,
                           public ::testing::WithParamInterface<ChooserCase> {};

TEST_P(ChooserOptionsTest, OpensOwnedResizableWithItsTitleAndFilters) {
    if (GetParam().button == control::kBrowseVideo) {
        window().Toggle(control::kCreateSmil);
    }
    const FileChooserView chooser = Open(GetParam().button);
    EXPECT_EQ(chooser.Title(), GetParam().title);
    EXPECT_EQ(chooser.Owner(), window().Handle());
    EXPECT_FALSE(IsEnabled(window().Handle())) << "the window waits for the chooser";
    EXPECT_EQ(chooser.FilterLabels(), GetParam().filters);
    EXPECT_EQ(chooser.SelectedFilter(), 0);
    EXPECT_FALSE(chooser.ReadOnlyBoxShown());
    EXPECT_TRUE(chooser.Resizable());
    EXPECT_EQ(chooser.FileNameText(), L"") << "no initial file name";
    chooser.Cancel();
    WaitFor("the window to be enabled again", [&] { return IsEnabled(window().Handle()); });
    EXPECT_TRUE(quillo_.StaysOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Choosers, ChooserOptionsTest,
    ::testing::Values(ChooserCase{control::kBrowseSource,
                                  L"Open subtitle file.",
                                  {L"Subtitles Files (*.srt)", L"All Files (*.*)"}},
                      ChooserCase{control::kBrowseDest,
                                  L"Choose destination file.",
                                  {L"Subtitles Files (*.rt)", L"All Files (*.*)"}},
                      ChooserCase{control::kBrowseVideo,
                                  L"Choose video file.",
                                  {L"Video Files (*.rmvb)", L"All Files (*.*)"}}),
    [](const ::testing::TestParamInfo<ChooserCase>& instance) {
        switch (instance.param.button) {
            case control::kBrowseSource:
                return "Source";
            case control::kBrowseDest:
                return "Destination";
            default:
                return "Video";
        }
    });

TEST_F(FileChooserTest, SourceProposesDestinationAndExistingVideo) {
    WriteBytes(Path(L"film.srt"), kTwoEntrySource);
    WriteBytes(Path(L"film.rmvb"), "video");
    ChooseSource(Path(L"film.srt"));
    EXPECT_EQ(window().Text(control::kSource), Path(L"film.srt"));
    EXPECT_EQ(window().Text(control::kDest), Path(L"film.rt"));
    EXPECT_EQ(window().Text(control::kVideo), Path(L"film.rmvb"));
    EXPECT_FALSE(window().Enabled(control::kVideo)) << "a proposal changes no enabling";
    EXPECT_FALSE(window().Ticked(control::kCreateSmil));
}

TEST_F(FileChooserTest, ChosenSourceConvertsToTheProposedDestination) {
    WriteBytes(Path(L"film.srt"), kTwoEntrySource);
    ChooseSource(Path(L"film.srt"));
    window().Click(control::kGenerate);
    quillo_.WaitForExit();
    EXPECT_EQ(ReadBytes(Path(L"film.rt")), TwoEntryDocument());
}

TEST_F(FileChooserTest, DotsInFolderNamesDoNotCount) {
    folder_.MakeFolder(L"my.subs");
    WriteBytes(Path(L"my.subs\\film.sub.srt"), kTwoEntrySource);
    WriteBytes(Path(L"my.subs\\film.rmvb"), "video");
    ChooseSource(Path(L"my.subs\\film.sub.srt"));
    EXPECT_EQ(window().Text(control::kDest), Path(L"my.subs\\film.rt"));
    EXPECT_EQ(window().Text(control::kVideo), Path(L"my.subs\\film.rmvb"));
}

TEST_F(FileChooserTest, ChosenFileWithoutExtensionGetsOne) {
    WriteBytes(Path(L"film"), kTwoEntrySource);
    WriteBytes(Path(L"out"), "");
    WriteBytes(Path(L"clip"), "");
    ChooseSource(Path(L"film"));
    EXPECT_EQ(window().Text(control::kSource), Path(L"film.srt"));
    EXPECT_EQ(window().Text(control::kDest), Path(L"film.rt"));

    Open(control::kBrowseDest).Choose(Path(L"out"));
    EXPECT_EQ(window().Text(control::kDest), Path(L"out.rt"));

    window().Toggle(control::kCreateSmil);
    Open(control::kBrowseVideo).Choose(Path(L"clip"));
    EXPECT_EQ(window().Text(control::kVideo), Path(L"clip.rmvb"));
}

TEST_F(FileChooserTest, MissingVideoKeepsTheLastPulledValue) {
    WriteBytes(Path(L"film.srt"), kTwoEntrySource);
    window().Toggle(control::kCreateSmil);  // pulls the empty video path
    window().SetText(control::kVideo, L"typed.rmvb");
    ChooseSource(Path(L"film.srt"));
    EXPECT_EQ(window().Text(control::kVideo), L"") << "the push shows the member's value";
    EXPECT_EQ(window().Text(control::kDest), Path(L"film.rt"));
}

TEST_F(FileChooserTest, VideoHeldOpenElsewhereIsNotProposed) {
    WriteBytes(Path(L"film.srt"), kTwoEntrySource);
    WriteBytes(Path(L"film.rmvb"), "video");
    UniqueHandle held(CreateFileW(Path(L"film.rmvb").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    ChooseSource(Path(L"film.srt"));
    EXPECT_EQ(window().Text(control::kDest), Path(L"film.rt"));
    EXPECT_EQ(window().Text(control::kVideo), L"");
}

TEST_F(FileChooserTest, CancelKeepsWhatWasTyped) {
    WriteBytes(Path(L"film.srt"), kTwoEntrySource);
    window().Fill(L"typed.srt", L"typed.rt");
    window().Toggle(control::kVerifyLines);
    Open(control::kBrowseSource).Cancel();
    Open(control::kBrowseDest).Cancel();
    EXPECT_EQ(window().Text(control::kSource), L"typed.srt");
    EXPECT_EQ(window().Text(control::kDest), L"typed.rt");
    EXPECT_FALSE(window().Ticked(control::kVerifyLines));
}

TEST_F(FileChooserTest, ConfirmingPushesEveryValue) {
    WriteBytes(Path(L"other.rt"), "");
    window().SetText(control::kSource, L"typed.srt");
    window().Toggle(control::kVerifyLines);
    Open(control::kBrowseDest).Choose(Path(L"other.rt"));
    EXPECT_EQ(window().Text(control::kDest), Path(L"other.rt"));
    EXPECT_EQ(window().Text(control::kSource), L"") << "typed text is replaced by the push";
    EXPECT_TRUE(window().Ticked(control::kVerifyLines)) << "the member still holds 1";
}

}  // namespace
}  // namespace quillo::gui
