// The About entry of the system menu, the About box it opens, and the help
// box that F1 brings up.
#include <gtest/gtest.h>

#include <cstdlib>

#include "expected_layout.h"
#include "keyboard.h"
#include "quillo_test.h"
#include "window_query.h"

namespace quillo::gui {
namespace {

// Twice the centre of the window's frame, so odd sizes need no rounding.
POINT DoubledCentreOf(HWND window) {
    RECT frame;
    GetWindowRect(window, &frame);
    return {frame.left + frame.right, frame.top + frame.bottom};
}

class AboutBoxTest : public QuilloTest {
protected:
    HWND WaitForAbout() const {
        return quillo_.WaitForDialog("the About box",
                                     [](HWND dialog) { return TextOf(dialog) == kAboutCaption; });
    }

    void PressOk(HWND about) const {
        PostCommand(about, IDOK);
        WaitFor("the About box to close", [about] { return !IsWindow(about); });
    }

    void OpenAboutByCommand(WPARAM command) const {
        PostMessageW(window().Handle(), WM_SYSCOMMAND, command, 0);
    }

    // Values that differ from every start value and would not survive a push.
    void SetUnusualValues() const {
        window().Fill(L"typed.srt", L"typed.rt");
        window().Toggle(control::kCreateSmil);
        window().SetText(control::kVideo, L"typed.rmvb");
        window().Toggle(control::kVerifyLines);
    }

    void ExpectUnusualValuesKept() const {
        EXPECT_EQ(window().Text(control::kSource), L"typed.srt");
        EXPECT_EQ(window().Text(control::kDest), L"typed.rt");
        EXPECT_EQ(window().Text(control::kVideo), L"typed.rmvb");
        EXPECT_TRUE(window().Ticked(control::kCreateSmil));
        EXPECT_TRUE(window().Enabled(control::kVideo));
        EXPECT_FALSE(window().Ticked(control::kVerifyLines));
    }
};

TEST_F(AboutBoxTest, LastItemOfTheSystemMenuOpensIt) {
    MakeForeground(window().Handle());
    PressKeysUntil({VK_MENU, VK_SPACE}, "the system menu to open", [&] {
        for (HWND top : TopLevelWindowsOf(quillo_.Id())) {
            if (ClassNameOf(top) == L"#32768" && IsShown(top)) {
                return true;
            }
        }
        return false;
    });
    // The menu opens on its first item; Up wraps round to the last one.
    PressKeys({VK_UP});
    PressKeys({VK_RETURN});
    PressOk(WaitForAbout());
    EXPECT_TRUE(quillo_.StaysOpen());
}

class AboutCommandTest : public AboutBoxTest, public ::testing::WithParamInterface<WPARAM> {};

TEST_P(AboutCommandTest, OpensTheAboutBoxOverTheWindow) {
    OpenAboutByCommand(GetParam());
    HWND about = WaitForAbout();
    EXPECT_EQ(GetWindow(about, GW_OWNER), window().Handle());
    EXPECT_FALSE(IsEnabled(window().Handle())) << "the About box is modal";

    const std::vector<HWND> children = ChildrenOf(about);
    ASSERT_EQ(children.size(), 4u);
    EXPECT_EQ(StyleOf(children[0]) & SS_TYPEMASK, SS_ICON);
    EXPECT_EQ(TextOf(children[1]), kAboutVersionText);
    EXPECT_FALSE(TextOf(children[2]).empty()) << "the maker's notice";
    EXPECT_EQ(ControlIdOf(children[3]), IDOK);
    EXPECT_EQ(TextOf(children[3]), L"OK");

    const POINT aboutCentre = DoubledCentreOf(about);
    const POINT mainCentre = DoubledCentreOf(window().Handle());
    EXPECT_LE(std::abs(aboutCentre.x - mainCentre.x), 2) << "centred over the converter window";
    EXPECT_LE(std::abs(aboutCentre.y - mainCentre.y), 2);

    PressOk(about);
    EXPECT_TRUE(quillo_.StaysOpen());
    EXPECT_TRUE(IsEnabled(window().Handle()));
}

// 16 is the entry's own command; the low four bits are not part of a command.
INSTANTIATE_TEST_SUITE_P(Commands, AboutCommandTest, ::testing::Values(0x10, 0x13),
                         [](const ::testing::TestParamInfo<WPARAM>& instance) {
                             return "Command" + std::to_string(instance.param);
                         });

enum class AboutExit { OkButton, EscapeKey, CloseBox };

const char* NameOf(AboutExit way) {
    switch (way) {
        case AboutExit::OkButton:
            return "Ok";
        case AboutExit::EscapeKey:
            return "Escape";
        case AboutExit::CloseBox:
            return "CloseBox";
    }
    return "";
}

void PrintTo(AboutExit way, std::ostream* out) {
    *out << NameOf(way);
}

class LeavingAboutTest : public AboutBoxTest, public ::testing::WithParamInterface<AboutExit> {};

TEST_P(LeavingAboutTest, ReturnsToTheWindowWithEveryValueKept) {
    SetUnusualValues();
    OpenAboutByCommand(0x10);
    HWND about = WaitForAbout();
    switch (GetParam()) {
        case AboutExit::OkButton:
            PostClick(ControlOf(about, IDOK));
            break;
        case AboutExit::EscapeKey:
            PostKey(WaitForFocusIn(about), VK_ESCAPE);
            break;
        case AboutExit::CloseBox:
            PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
    }
    WaitFor("the About box to close", [&] { return !IsWindow(about); });
    EXPECT_TRUE(quillo_.StaysOpen());
    ExpectUnusualValuesKept();
}

INSTANTIATE_TEST_SUITE_P(WaysOut, LeavingAboutTest,
                         ::testing::Values(AboutExit::OkButton, AboutExit::EscapeKey,
                                           AboutExit::CloseBox),
                         [](const ::testing::TestParamInfo<AboutExit>& instance) {
                             return std::string(NameOf(instance.param));
                         });

TEST_F(AboutBoxTest, F1OpensTheHelpBoxInTheWindow) {
    SetUnusualValues();
    MakeForeground(window().Handle());
    PressKeysUntil({VK_F1}, "the help box", [&] { return !quillo_.OtherDialogs().empty(); });
    const MessageBoxView help = MessageBoxView::WaitFor(quillo_);
    EXPECT_EQ(help.Owner(), window().Handle());
    EXPECT_FALSE(help.Text().empty());
    help.Answer(IDOK);
    EXPECT_TRUE(quillo_.StaysOpen());
    ExpectUnusualValuesKept();
}

TEST_F(AboutBoxTest, F1OpensTheHelpBoxInTheAboutBox) {
    OpenAboutByCommand(0x10);
    HWND about = WaitForAbout();
    MakeForeground(about);
    PressKeysUntil({VK_F1}, "the help box over the About box", [&] {
        for (HWND dialog : quillo_.OtherDialogs()) {
            if (GetWindow(dialog, GW_OWNER) == about) {
                return true;
            }
        }
        return false;
    });
    const MessageBoxView help = MessageBoxView::WaitFor(quillo_, about);
    EXPECT_EQ(help.Owner(), about);
    help.Answer(IDOK);
    EXPECT_TRUE(IsWindow(about)) << "the About box stays until it is closed";
}

}  // namespace
}  // namespace quillo::gui
