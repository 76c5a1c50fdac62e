#include "resource_file.h"

#include <stdexcept>

#include "text.h"

namespace quillo::gui {

ResourceFile::ResourceFile(const std::wstring& path)
    : module_(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
    if (!module_) {
        throw std::runtime_error("cannot open the resources of " + Narrow(path));
    }
}

ResourceFile::~ResourceFile() {
    FreeLibrary(module_);
}

std::string_view ResourceFile::Find(LPCWSTR type, int id) const {
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
    if (!found) {
        return {};
    }
    HGLOBAL loaded = LoadResource(module_, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        return {};
    }
    return std::string_view(static_cast<const char*>(data), SizeofResource(module_, found));
}

std::wstring ResourceFile::String(int id) const {
    const wchar_t* text = nullptr;
    // A zero buffer size asks for a pointer into the resource itself.
    const int length =
        LoadStringW(module_, static_cast<UINT>(id), reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

}  // namespace quillo::gui
