#include "message_box.h"

#include "text_encoding.h"

namespace framework {

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

std::wstring ExecutableTitle() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return L"Quillo";
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) {
        name.resize(dot);
    }
    return name;
}

void ShowUnexpectedError(HWND owner, const char* what) noexcept {
    try {
        std::wstring text = L"An unexpected error occurred";
        if (what != nullptr && *what != '\0') {
            text += L": " + WideFromAnsi(what);
        }
        text += L".";
        ShowMessageBox(owner, text, ExecutableTitle(), MB_OK | MB_ICONSTOP);
    } catch (...) {
        // Out of memory even for the notice: there is nothing left to tell with.
        MessageBoxW(owner, L"An unexpected error occurred.", L"Error", MB_OK | MB_ICONSTOP);
    }
}

}  // namespace framework
