#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>

#include "console.h"
#include "os_paths.h"
#include "wide_path_win32.h"

namespace quillo::cli {
namespace {

WideString Widen(std::string_view text, UINT codePage) {
    const int size = static_cast<int>(text.size());
    WideString wide(
        static_cast<size_t>(MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

int WriteTo(FILE* stream, std::string_view bytes) {
    SetLastError(0);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    if (std::fflush(stream) == 0 && written) {
        return 0;
    }
    const DWORD error = GetLastError();
    return error != 0 ? static_cast<int>(error) : ERROR_WRITE_FAULT;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

// As characters on a console, else in UTF-8: a saved report keeps every
// name, which the ANSI code page may not hold.
int PrintTo(DWORD which, FILE* stream, std::string_view utf8) {
    HANDLE handle = GetStdHandle(which);
    if (IsConsole(handle)) {
        const WideString wide = Widen(utf8, CP_UTF8);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return 0;
    }
    return WriteTo(stream, utf8);
}

}  // namespace

bool InputIsTerminal() {
    return IsConsole(GetStdHandle(STD_INPUT_HANDLE));
}

bool NamesADevice(const std::string& path) {
    return StatusOf(path).kind == PathKind::Device;  // NUL, CON and their kind
}

bool FileTextFromUtf8(const std::string& utf8, std::string& text) {
    if (GetACP() == CP_UTF8) {
        text = utf8;  // where the ANSI code page is UTF-8, which holds every character
        return true;
    }
    const WideString wide = Widen(utf8, CP_UTF8);
    const int size = static_cast<int>(wide.size());
    BOOL lost = FALSE;
    text.assign(static_cast<size_t>(WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                                        size, nullptr, 0, nullptr, &lost)),
                '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, text.data(),
                        static_cast<int>(text.size()), nullptr, &lost);
    return !lost;
}

int PrintError(std::string_view utf8) {
    return PrintTo(STD_ERROR_HANDLE, stderr, utf8);
}

int PrintOut(std::string_view utf8) {
    return PrintTo(STD_OUTPUT_HANDLE, stdout, utf8);
}

int WriteOutBytes(std::string_view bytes) {
    return WriteTo(stdout, bytes);
}

void PrintErrorLine(const std::string& utf8) {
    PrintError(utf8 + "\n");
}

}  // namespace quillo::cli
