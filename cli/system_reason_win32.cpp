#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "system_reason.h"
#include "wide_path_win32.h"

namespace quillo::cli {

std::string SystemReason(int code) {
    if (code == 0) {
        return {};
    }
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0 || text == nullptr) {
        return "system error " + std::to_string(code);
    }
    WideString reason(text, length);
    LocalFree(text);
    // The system's sentences end in a period and a line end; ours go on.
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' ||
                               reason.back() == L' ' || reason.back() == L'.')) {
        reason.pop_back();
    }
    return quillo::Utf8FromWide(reason);
}

bool HeldByAnotherProgram(int code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
}

}  // namespace quillo::cli
