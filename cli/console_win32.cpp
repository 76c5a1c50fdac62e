#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>

#include "console.h"

namespace quillo::cli {
namespace {

std::wstring Widen(const std::string& text, UINT codePage) {
    const int size = static_cast<int>(text.size());
    std::wstring wide(
        static_cast<size_t>(MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

}  // namespace

bool InputIsTerminal() {
    return IsConsole(GetStdHandle(STD_INPUT_HANDLE));
}

std::string LocalText(const std::string& utf8) {
    const std::wstring wide = Widen(utf8, CP_UTF8);
    const int size = static_cast<int>(wide.size());
    std::string ansi(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr,
                                                             0, nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, ansi.data(), static_cast<int>(ansi.size()),
                        nullptr, nullptr);
    return ansi;
}

void PrintErrorLine(const std::string& line) {
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (IsConsole(err)) {
        // The console's own code page may differ from the ANSI one: write characters.
        const std::wstring wide = Widen(line + "\r\n", CP_ACP);
        DWORD written = 0;
        WriteConsoleW(err, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    std::string out = line + "\n";
    std::fwrite(out.data(), 1, out.size(), stderr);
    std::fflush(stderr);
}

}  // namespace quillo::cli
