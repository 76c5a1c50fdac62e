#include "dialog.h"

#include <exception>

#include "application.h"
#include "message_box.h"
#include "window_placement.h"

namespace framework {

INT_PTR Dialog::DoModal(HWND owner) {
    const INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                        &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    window_ = nullptr;
    return result;
}

BOOL Dialog::OnInitDialog() {
    PushValues();
    return TRUE;
}

bool Dialog::OnCommand(WORD, WORD) {
    return false;
}

void Dialog::OnOK() {
    PullValues();
    EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void Dialog::ExchangeValues(const ValueExchange&) {}

bool Dialog::OnSysCommand(WPARAM) {
    return false;
}

bool Dialog::OnPaint() {
    return false;
}

HICON Dialog::OnQueryDragIcon() {
    return nullptr;
}

void Dialog::PullValues() {
    ExchangeValues(ValueExchange(window_, ValueExchange::Direction::Pull));
}

void Dialog::PushValues() {
    ExchangeValues(ValueExchange(window_, ValueExchange::Direction::Push));
}

void Dialog::EndDialog(INT_PTR result) {
    ::EndDialog(window_, result);
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->window_ = window;
        SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
    } else {
        dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    if (dialog == nullptr) {
        return FALSE;  // messages before WM_INITDIALOG
    }
    // An exception must not cross the system's frames: it would end the
    // process. Report it and keep the window, and the user's values, alive.
    try {
        return dialog->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        ShowUnexpectedError(window, error.what());
    } catch (...) {
        ShowUnexpectedError(window, nullptr);
    }
    return TRUE;
}

INT_PTR Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return InitDialog();
        case WM_COMMAND: {
            // Menus and accelerators carry no control, and no notification.
            const WORD notification = lParam == 0 ? 0 : HIWORD(wParam);
            return RouteCommand(notification, LOWORD(wParam)) ? TRUE : FALSE;
        }
        case WM_SYSCOMMAND:
            return OnSysCommand(wParam) ? TRUE : FALSE;
        case WM_PAINT:
            return OnPaint() ? TRUE : FALSE;
        case WM_QUERYDRAGICON:
            // One of the few messages whose answer is the procedure's return value.
            return reinterpret_cast<INT_PTR>(OnQueryDragIcon());
        case WM_HELP:
            OnHelpKey(*reinterpret_cast<const HELPINFO*>(lParam));
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL Dialog::InitDialog() {
    RECT before{};
    GetWindowRect(window_, &before);
    const BOOL result = OnInitDialog();

    // A dialog that did not place itself, and that the system does not
    // centre (DS_CENTER), is centred over its owner or on the screen.
    RECT after{};
    GetWindowRect(window_, &after);
    const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    if (before.left == after.left && before.top == after.top &&
        (style & (DS_CENTER | WS_CHILD)) == 0) {
        CenterWindow(window_);
    }
    return result;
}

bool Dialog::RouteCommand(WORD notification, WORD id) {
    if (OnCommand(notification, id)) {
        return true;
    }
    if (notification == BN_CLICKED && id == IDOK) {
        OnOK();
        return true;
    }
    if (notification == BN_CLICKED && id == IDCANCEL) {
        OnCancel();
        return true;
    }
    Application* application = Application::Current();
    return application != nullptr && application->OnCommand(notification, id);
}

void Dialog::OnHelpKey(const HELPINFO& info) {
    // Only F1 pressed in this dialog itself: not in a menu, and not in a
    // message box, which passes its F1 on to its owner.
    if (info.iContextType != HELPINFO_WINDOW) {
        return;
    }
    HWND item = static_cast<HWND>(info.hItemHandle);
    if (item != window_ && !IsChild(window_, item)) {
        return;
    }
    if (GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) {
        return;
    }
    RouteCommand(0, kHelpCommand);
}

}  // namespace framework
