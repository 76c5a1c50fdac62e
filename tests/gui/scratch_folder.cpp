#include "scratch_folder.h"

#include <windows.h>

#include <stdexcept>

#include "text.h"
#include "unique_handle.h"

namespace quillo::gui {

namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder() {
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) {
        throw std::runtime_error("no temporary directory");
    }
    root_ = std::wstring(temp, length) + L"quillo-gui-" + std::to_wstring(GetCurrentProcessId()) +
            L"-" + std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter);
    if (!CreateDirectoryW(root_.c_str(), nullptr)) {
        throw std::runtime_error("cannot create " + Narrow(root_));
    }
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(root_);
}

std::wstring ScratchFolder::Path(std::wstring_view relative) const {
    return root_ + L"\\" + std::wstring(relative);
}

std::wstring ScratchFolder::MakeFolder(std::wstring_view relative) const {
    const std::wstring path = Path(relative);
    if (!CreateDirectoryW(path.c_str(), nullptr)) {
        throw std::runtime_error("cannot create " + Narrow(path));
    }
    return path;
}

void WriteBytes(const std::wstring& path, std::string_view bytes) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file ||
        !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        throw std::runtime_error("cannot write " + Narrow(path));
    }
}

std::string ReadBytes(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw std::runtime_error("cannot read " + Narrow(path));
    }
    std::string bytes;
    char block[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), block, sizeof block, &got, nullptr) && got > 0) {
        bytes.append(block, got);
    }
    return bytes;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace quillo::gui
