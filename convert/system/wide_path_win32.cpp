#include "wide_path_win32.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>

namespace quillo {
namespace {

bool IsContinuation(std::string_view text, size_t at) {
    return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
}

unsigned Bits(std::string_view text, size_t at) {
    return static_cast<unsigned char>(text[at]) & 0x3Fu;
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

WideString WideFromUtf8(std::string_view text) {
    WideString wide;
    wide.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned lead = static_cast<unsigned char>(text[i]);
        uint32_t code = 0xFFFD;  // what a byte outside any sequence becomes
        size_t length = 1;
        if (lead < 0x80) {
            code = lead;
        } else if (lead >= 0xC2 && lead < 0xE0 && IsContinuation(text, i + 1)) {
            code = (lead & 0x1Fu) << 6 | Bits(text, i + 1);
            length = 2;
        } else if (lead >= 0xE0 && lead < 0xF0 && IsContinuation(text, i + 1) &&
                   IsContinuation(text, i + 2)) {
            const uint32_t value =
                (lead & 0x0Fu) << 12 | Bits(text, i + 1) << 6 | Bits(text, i + 2);
            if (value >= 0x800) {  // surrogates included: they are what WTF-8 keeps
                code = value;
                length = 3;
            }
        } else if (lead >= 0xF0 && lead < 0xF5 && IsContinuation(text, i + 1) &&
                   IsContinuation(text, i + 2) && IsContinuation(text, i + 3)) {
            const uint32_t value = (lead & 0x07u) << 18 | Bits(text, i + 1) << 12 |
                                   Bits(text, i + 2) << 6 | Bits(text, i + 3);
            if (value >= 0x10000 && value <= 0x10FFFF) {
                code = value;
                length = 4;
            }
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            wide += static_cast<wchar_t>(0xD800 + (code >> 10));
            wide += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(code);
        }
        i += length;
    }
    return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
    std::string utf8;
    utf8.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t code = static_cast<uint16_t>(text[i]);
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) {
            const uint32_t low = static_cast<uint16_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | code >> 6);
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            utf8 += static_cast<char>(0xE0 | code >> 12);
            utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | code >> 18);
            utf8 += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

WideString SystemPath(const std::string& path) {
    const WideString wide = WideFromUtf8(path);
    // "\\.\C:\..." names a file as "\\?\C:\..." does: taken as that form, not
    // for a device.
    if (StartsWith(wide, L"\\\\.\\") && wide.size() >= 6 && wide[5] == L':' &&
        ((wide[4] | 0x20) >= L'a' && (wide[4] | 0x20) <= L'z') &&
        (wide.size() == 6 || wide[6] == L'\\' || wide[6] == L'/')) {
        const WideString full = SystemPath(Utf8FromWide(wide.substr(4)));
        return StartsWith(full, L"\\\\?\\") ? full : L"\\\\?\\" + full;
    }
    if (wide.empty() || StartsWith(wide, L"\\\\?\\") || StartsWith(wide, L"\\\\.\\")) {
        return wide;
    }
    WideString full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return wide;  // the file functions will say what is wrong with it
        }
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.resize(length);
    }
    // MAX_PATH counts the final NUL. Devices come back as "\\.\NUL".
    if (full.size() < MAX_PATH || StartsWith(full, L"\\\\.\\") || StartsWith(full, L"\\\\?\\")) {
        return full;
    }
    if (StartsWith(full, L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

}  // namespace quillo
