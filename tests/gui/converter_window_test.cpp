// The converter window as a user meets it: texts, order, styles, start
// states, geometry and the enabling of the video controls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>

#include "dialog_units.h"
#include "expected_layout.h"
#include "quillo_test.h"
#include "text.h"
#include "window_query.h"

namespace quillo::gui {
namespace {

using ConverterWindowTest = QuilloTest;

// Within one pixel: rounding in the dialog manager may differ by that much.
void ExpectNear(const RECT& actual, const RECT& expected, const std::string& what) {
    EXPECT_LE(std::abs(actual.left - expected.left), 1) << what;
    EXPECT_LE(std::abs(actual.top - expected.top), 1) << what;
    EXPECT_LE(std::abs(actual.right - expected.right), 1) << what;
    EXPECT_LE(std::abs(actual.bottom - expected.bottom), 1) << what;
}

TEST_F(ConverterWindowTest, IsAModalFrameWithCaptionAndSystemMenuOnly) {
    HWND main = window().Handle();
    EXPECT_EQ(ClassNameOf(main), L"#32770");
    EXPECT_EQ(TextOf(main), kConverterCaption);
    const LONG style = StyleOf(main);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the window is not resizable";
    EXPECT_TRUE(ExStyleOf(main) & WS_EX_DLGMODALFRAME);
    EXPECT_TRUE(ExStyleOf(main) & WS_EX_APPWINDOW);
    EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr);
}

TEST_F(ConverterWindowTest, ShowsItsControlsInTabOrderWithTheirTextsAndStyles) {
    const std::vector<HWND> children = ChildrenOf(window().Handle());
    ASSERT_EQ(children.size(), std::size(kConverterControls));
    for (size_t i = 0; i < children.size(); ++i) {
        HWND child = children[i];
        const ExpectedControl& expected = kConverterControls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + ", id " + std::to_string(expected.id));
        EXPECT_EQ(ControlIdOf(child), expected.id);
        EXPECT_EQ(ClassNameOf(child), expected.className);
        EXPECT_EQ(TextOf(child), expected.text);
        EXPECT_TRUE(IsShown(child));
        EXPECT_EQ(IsEnabled(child), expected.enabledAtStart);
        const LONG style = StyleOf(child);
        EXPECT_EQ((style & WS_TABSTOP) != 0, expected.tabStop);
        EXPECT_EQ((style & WS_GROUP) != 0, expected.startsGroup);
        if (expected.className == std::wstring(L"Edit")) {
            // The dialog manager draws a template's border as a sunken edge.
            EXPECT_TRUE((style & WS_BORDER) || (ExStyleOf(child) & WS_EX_CLIENTEDGE));
            EXPECT_TRUE(style & ES_AUTOHSCROLL);
        } else if (expected.className == std::wstring(L"Button")) {
            EXPECT_EQ(static_cast<DWORD>(style & BS_TYPEMASK), expected.kind);
        }
    }
}

TEST_F(ConverterWindowTest, StartsWithVerifyTickedCreateUntickedAndFocusOnGenerate) {
    EXPECT_TRUE(window().Ticked(control::kVerifyLines));
    EXPECT_FALSE(window().Ticked(control::kCreateSmil));
    EXPECT_EQ(window().Text(control::kSource), L"");
    EXPECT_EQ(window().Text(control::kDest), L"");
    EXPECT_EQ(window().Text(control::kVideo), L"");
    EXPECT_EQ(FocusInThreadOf(window().Handle()), window().Control(control::kGenerate));
    DWORD_PTR defaultId = 0;
    SendMessageTimeoutW(window().Handle(), DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 5000, &defaultId);
    EXPECT_EQ(LOWORD(defaultId), IDOK);
}

TEST_F(ConverterWindowTest, ControlsSitWhereTheTemplatePlacesThem) {
    HWND main = window().Handle();
    const DialogBaseUnits units = MeasureDialogFont(L"MS Sans Serif", 8);
    ASSERT_GT(units.x, 0);
    ASSERT_GT(units.y, 0);

    RECT client;
    GetClientRect(main, &client);
    ExpectNear(client, ToPixels(kConverterSize, units), "client area of 319 x 139 units");

    const std::vector<HWND> children = ChildrenOf(main);
    ASSERT_EQ(children.size(), std::size(kConverterControls));
    for (size_t i = 0; i < children.size(); ++i) {
        ExpectNear(RectInClientOf(main, children[i]), ToPixels(kConverterControls[i].rect, units),
                   "control " + std::to_string(i + 1) + ", " + Narrow(kConverterControls[i].text));
    }
}

TEST_F(ConverterWindowTest, IsCentredOnTheScreen) {
    RECT frame;
    GetWindowRect(window().Handle(), &frame);
    RECT workArea;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    const int horizontalGap = (frame.left - workArea.left) - (workArea.right - frame.right);
    const int verticalGap = (frame.top - workArea.top) - (workArea.bottom - frame.bottom);
    EXPECT_LE(std::abs(horizontalGap), 1) << "left " << frame.left << ", right " << frame.right;
    EXPECT_LE(std::abs(verticalGap), 1) << "top " << frame.top << ", bottom " << frame.bottom;
}

TEST_F(ConverterWindowTest, CreateSmilEnablesAndDisablesTheVideoControls) {
    window().Toggle(control::kCreateSmil);
    EXPECT_TRUE(window().Enabled(control::kVideo));
    EXPECT_TRUE(window().Enabled(control::kBrowseVideo));

    window().SetText(control::kVideo, L"C:\\video\\film.rmvb");
    window().Toggle(control::kCreateSmil);
    EXPECT_FALSE(window().Enabled(control::kVideo));
    EXPECT_FALSE(window().Enabled(control::kBrowseVideo));
    EXPECT_EQ(window().Text(control::kVideo), L"C:\\video\\film.rmvb") << "the path stays";

    window().Toggle(control::kCreateSmil);
    EXPECT_TRUE(window().Enabled(control::kVideo));
    EXPECT_TRUE(window().Enabled(control::kBrowseVideo));
    EXPECT_EQ(window().Text(control::kVideo), L"C:\\video\\film.rmvb");
}

}  // namespace
}  // namespace quillo::gui
