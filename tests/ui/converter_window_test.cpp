// The converter window seen from inside its own process: what Wine does not
// let another process ask (window icons, system menu, drag icon), and values
// longer than any fixed buffer.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "converter_dlg.h"
#include "framework/value_exchange.h"
#include "resource.h"

namespace {

// The check to run once the window is up; the timer callback has no context of its own.
const std::function<void(HWND)>* pendingCheck = nullptr;

BOOL CALLBACK FindConverterWindow(HWND window, LPARAM found) {
    wchar_t caption[64] = L"";
    GetWindowTextW(window, caption, 64);
    if (std::wstring(caption) == L"subtitles converter - Quillo") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK RunPendingCheck(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND window = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindConverterWindow, reinterpret_cast<LPARAM>(&window));
    if (window == nullptr) {
        ADD_FAILURE() << "the converter window did not open";
        return;
    }
    (*pendingCheck)(window);
    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
}

// Opens the converter window modally, runs `check` on it, and closes it with Cancel.
void WithConverterWindow(const std::function<void(HWND)>& check) {
    pendingCheck = &check;
    SetTimer(nullptr, 0, 10, RunPendingCheck);
    CConverterDlg dialog;
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    pendingCheck = nullptr;
}

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) {
        return {0, 0};
    }
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor != nullptr) {
        DeleteObject(info.hbmColor);
    }
    DeleteObject(info.hbmMask);
    return {bitmap.bmWidth, bitmap.bmHeight};
}

TEST(ConverterWindow, ShowsIconOneAsLargeSmallAndDragIcon) {
    WithConverterWindow([](HWND window) {
        const auto big = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
        const auto small = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
        ASSERT_NE(big, nullptr);
        EXPECT_EQ(small, big);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(window, WM_QUERYDRAGICON, 0, 0)), big);
        const SIZE size = IconSize(big);
        EXPECT_EQ(size.cx, GetSystemMetrics(SM_CXICON));
        EXPECT_EQ(size.cy, GetSystemMetrics(SM_CYICON));
    });
}

TEST(ConverterWindow, SystemMenuEndsWithSeparatorAndAboutEntry) {
    WithConverterWindow([](HWND window) {
        HMENU menu = GetSystemMenu(window, FALSE);
        ASSERT_NE(menu, nullptr);
        const int count = GetMenuItemCount(menu);
        ASSERT_GE(count, 2);

        MENUITEMINFOW separator{};
        separator.cbSize = sizeof separator;
        separator.fMask = MIIM_FTYPE;
        ASSERT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(count - 2), TRUE, &separator));
        EXPECT_TRUE(separator.fType & MFT_SEPARATOR);

        wchar_t text[64] = L"";
        MENUITEMINFOW about{};
        about.cbSize = sizeof about;
        about.fMask = MIIM_ID | MIIM_STRING;
        about.dwTypeData = text;
        about.cch = 64;
        ASSERT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(count - 1), TRUE, &about));
        EXPECT_EQ(about.wID, static_cast<UINT>(IDM_ABOUTBOX));
        EXPECT_STREQ(text, L"&A propos de Quillo...");
    });
}

TEST(ConverterWindow, ExchangesPathsLongerThanAnyFixedBuffer) {
    WithConverterWindow([](HWND window) {
        using framework::ValueExchange;
        const std::string typed = "C:\\" + std::string(5000, 'a') + "\\film.srt";
        SetDlgItemTextA(window, IDC_SOURCE, typed.c_str());
        std::string pulled;
        ValueExchange(window, ValueExchange::Direction::Pull).Text(IDC_SOURCE, pulled);
        EXPECT_EQ(pulled, typed);

        std::string pushed = std::string(3000, 'b') + ".rt";
        ValueExchange(window, ValueExchange::Direction::Push).Text(IDC_DEST, pushed);
        EXPECT_EQ(GetWindowTextLengthA(GetDlgItem(window, IDC_DEST)), 3003);
    });
}

TEST(ConverterWindow, ExchangesCheckBoxesAsZeroOrOne) {
    WithConverterWindow([](HWND window) {
        using framework::ValueExchange;
        int flag = 7;
        ValueExchange(window, ValueExchange::Direction::Pull).Flag(IDC_VERIFY_LINES, flag);
        EXPECT_EQ(flag, 1);  // ticked by the first push

        CheckDlgButton(window, IDC_VERIFY_LINES, BST_UNCHECKED);
        ValueExchange(window, ValueExchange::Direction::Pull).Flag(IDC_VERIFY_LINES, flag);
        EXPECT_EQ(flag, 0);

        flag = 1;
        ValueExchange(window, ValueExchange::Direction::Push).Flag(IDC_CREATE_SMIL, flag);
        EXPECT_EQ(IsDlgButtonChecked(window, IDC_CREATE_SMIL), BST_CHECKED);
    });
}

}  // namespace
