#include "window_query.h"

#include <stdexcept>

#include "text.h"
#include "wait.h"

namespace quillo::gui {

namespace {

constexpr UINT kSendTimeoutMs = 5000;

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &result)) {
        throw std::runtime_error("window " + std::to_string(reinterpret_cast<uintptr_t>(window)) +
                                 " did not answer message " + std::to_string(message));
    }
    return static_cast<LRESULT>(result);
}

BOOL CALLBACK CollectWindowsOfProcess(HWND window, LPARAM param) {
    auto* request = reinterpret_cast<std::pair<DWORD, std::vector<HWND>*>*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == request->first) {
        request->second->push_back(window);
    }
    return TRUE;
}

}  // namespace

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<size_t>(length > 0 ? length : 0));
}

std::wstring TextOf(HWND window) {
    const auto length = static_cast<size_t>(SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    const auto copied = static_cast<size_t>(
        SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(copied);
    return text;
}

void SetTextOf(HWND window, const std::wstring& text) {
    if (!SendWithTimeout(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()))) {
        throw std::runtime_error("the control refused the text " + Narrow(text));
    }
}

LONG StyleOf(HWND window) {
    return GetWindowLongW(window, GWL_STYLE);
}

LONG ExStyleOf(HWND window) {
    return GetWindowLongW(window, GWL_EXSTYLE);
}

int ControlIdOf(HWND window) {
    // Templates store "no identifier" as 0xFFFF or 0xFFFFFFFF; both mean -1.
    const int id = GetDlgCtrlID(window);
    return (id & 0xFFFF) == 0xFFFF ? -1 : id;
}

bool IsChecked(HWND checkBox) {
    return SendWithTimeout(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsEnabled(HWND window) {
    return IsWindowEnabled(window) != FALSE;
}

bool IsShown(HWND window) {
    return IsWindowVisible(window) != FALSE;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    std::vector<HWND> windows;
    std::pair<DWORD, std::vector<HWND>*> request{processId, &windows};
    EnumWindows(CollectWindowsOfProcess, reinterpret_cast<LPARAM>(&request));
    return windows;
}

HWND ControlOf(HWND parent, int id) {
    HWND control = GetDlgItem(parent, id);
    if (!control) {
        throw std::runtime_error("the window has no control " + std::to_string(id));
    }
    return control;
}

RECT RectInClientOf(HWND parent, HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND FocusInThreadOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

HWND WaitForFocusIn(HWND window) {
    return WaitFor("a window of the program to take the focus",
                   [window] { return FocusInThreadOf(window); });
}

void PostClick(HWND button) {
    if (!PostMessageW(button, BM_CLICK, 0, 0)) {
        throw std::runtime_error("cannot post a click");
    }
}

void PostCommand(HWND dialog, int id) {
    if (!PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0)) {
        throw std::runtime_error("cannot post command " + std::to_string(id));
    }
}

void PostKey(HWND target, UINT virtualKey) {
    const UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    // Repeat count 1 and the scan code; a release also sets the previous-state
    // and transition bits (30 and 31), built unsigned to stay clear of the sign.
    const ULONG_PTR downBits = 1u | static_cast<ULONG_PTR>(scanCode) << 16;
    const auto down = static_cast<LPARAM>(downBits);
    const auto up = static_cast<LPARAM>(downBits | 0xC0000000u);
    PostMessageW(target, WM_KEYDOWN, virtualKey, down);
    PostMessageW(target, WM_KEYUP, virtualKey, up);
}

}  // namespace quillo::gui
