#include "wine_settings.h"

namespace quillo::gui {

namespace {

constexpr wchar_t kQuilloX11Settings[] = L"Software\\Wine\\AppDefaults\\Quillo.exe\\X11 Driver";
constexpr wchar_t kManaged[] = L"Managed";

std::optional<std::wstring> ReadText(HKEY key, const wchar_t* name) {
    wchar_t value[64] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    return std::wstring(value);
}

void WriteText(HKEY key, const wchar_t* name, const std::wstring& text) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

SelfManagedQuilloWindows::SelfManagedQuilloWindows() {
    if (!RunningUnderWine() || RegCreateKeyExW(HKEY_CURRENT_USER, kQuilloX11Settings, 0, nullptr, 0,
                                               KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                                               nullptr) != ERROR_SUCCESS) {
        key_ = nullptr;
        return;
    }
    previous_ = ReadText(key_, kManaged);
    WriteText(key_, kManaged, L"N");
}

SelfManagedQuilloWindows::~SelfManagedQuilloWindows() {
    if (!key_) {
        return;
    }
    if (previous_) {
        WriteText(key_, kManaged, *previous_);
    } else {
        RegDeleteValueW(key_, kManaged);
    }
    RegCloseKey(key_);
}

}  // namespace quillo::gui
