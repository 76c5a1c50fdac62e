// An executable opened only for its resources: nothing of it runs, so the
// 32-bit product can be inspected from a 64-bit test as well.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quillo::gui {

class ResourceFile {
public:
    // Throws std::runtime_error when the file cannot be opened.
    explicit ResourceFile(const std::wstring& path);
    ~ResourceFile();
    ResourceFile(const ResourceFile&) = delete;
    ResourceFile& operator=(const ResourceFile&) = delete;

    // The resource's bytes, or an empty view when there is none.
    std::string_view Find(LPCWSTR type, int id) const;
    std::wstring String(int id) const;

private:
    HMODULE module_;
};

}  // namespace quillo::gui
