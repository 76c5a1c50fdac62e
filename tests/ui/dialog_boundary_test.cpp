// An exception thrown by a handler must stop at the dialog procedure: past it
// lie the system's frames, where an i686 build with DWARF unwinding ends the
// program. The user is told, and the window stays until it is closed.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "framework/dialog.h"
#include "resource.h"

namespace {

class ThrowingDialog : public framework::DialogImpl<ThrowingDialog> {
public:
    explicit ThrowingDialog(std::function<void()> fault)
        : DialogImpl(IDD_ABOUTBOX), fault_(std::move(fault)) {}

    static framework::CommandTable<ThrowingDialog> Commands() {
        static constexpr framework::CommandRow<ThrowingDialog> kRows[] = {
            {BN_CLICKED, IDOK, &ThrowingDialog::OnOk},
        };
        return kRows;
    }

private:
    void OnOk() { fault_(); }

    std::function<void()> fault_;
};

// What the timer saw; its callback has no context of its own.
struct Observation {
    HWND dialog = nullptr;
    std::wstring noticeText;
    std::wstring noticeCaption;
    bool dialogAliveUnderNotice = false;
};
Observation* observation = nullptr;

BOOL CALLBACK CollectText(HWND child, LPARAM text) {
    wchar_t buffer[256] = L"";
    GetWindowTextW(child, buffer, 256);
    // The notice's text is its one static control with words in it.
    wchar_t className[16] = L"";
    GetClassNameW(child, className, 16);
    if (std::wstring(className) == L"Static" && buffer[0] != L'\0') {
        *reinterpret_cast<std::wstring*>(text) = buffer;
    }
    return TRUE;
}

BOOL CALLBACK FindNotice(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && window != observation->dialog &&
        GetWindow(window, GW_OWNER) == observation->dialog) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == nullptr) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// First tick: click OK in the dialog. Later ticks (running in the notice's own
// message loop): read the notice, answer it, then close the dialog.
void CALLBACK Step(HWND, UINT, UINT_PTR timer, DWORD) {
    if (observation->dialog == nullptr) {
        EnumThreadWindows(GetCurrentThreadId(), FindDialog,
                          reinterpret_cast<LPARAM>(&observation->dialog));
        if (observation->dialog != nullptr) {
            PostMessageW(observation->dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        return;
    }
    HWND notice = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindNotice, reinterpret_cast<LPARAM>(&notice));
    if (notice == nullptr) {
        return;
    }
    KillTimer(nullptr, timer);
    wchar_t caption[64] = L"";
    GetWindowTextW(notice, caption, 64);
    observation->noticeCaption = caption;
    EnumChildWindows(notice, CollectText, reinterpret_cast<LPARAM>(&observation->noticeText));
    observation->dialogAliveUnderNotice = IsWindow(observation->dialog) != FALSE;
    PostMessageW(notice, WM_COMMAND, IDOK, 0);
    PostMessageW(observation->dialog, WM_COMMAND, IDCANCEL, 0);
}

Observation RunThrowing(const std::function<void()>& fault) {
    Observation seen;
    observation = &seen;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, Step);
    ThrowingDialog dialog(fault);
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL) << "the dialog ended by its Cancel, not the fault";
    KillTimer(nullptr, timer);
    observation = nullptr;
    return seen;
}

TEST(DialogBoundary, ReportsAStandardExceptionWithItsTextAndKeepsTheDialog) {
    const Observation seen = RunThrowing([] { throw std::runtime_error("disk on fire"); });
    EXPECT_EQ(seen.noticeText, L"An unexpected error occurred: disk on fire.");
    EXPECT_EQ(seen.noticeCaption, L"ui_tests");
    EXPECT_TRUE(seen.dialogAliveUnderNotice);
}

TEST(DialogBoundary, ReportsAnyOtherExceptionWithoutText) {
    const Observation seen = RunThrowing([] { throw 42; });
    EXPECT_EQ(seen.noticeText, L"An unexpected error occurred.");
    EXPECT_TRUE(seen.dialogAliveUnderNotice);
}

}  // namespace
