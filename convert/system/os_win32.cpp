// Win32 files: share mode 0, so that every open fails while anyone else,
// this program included, holds the file.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <utility>

#include "os_file.h"

namespace quillo {

OsFile::OsFile(OsFile&& other) noexcept
    : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)),
      owned_(other.owned_),
      syncOnClose_(std::exchange(other.syncOnClose_, false)),
      error_(other.error_) {}

OsFile& OsFile::operator=(OsFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        owned_ = other.owned_;
        syncOnClose_ = std::exchange(other.syncOnClose_, false);
        error_ = other.error_;
    }
    return *this;
}

bool OsFile::Open(const std::string& path, Mode mode) {
    Close();
    const bool read = mode == Mode::Read;
    HANDLE handle =
        CreateFileA(path.c_str(), read ? GENERIC_READ : GENERIC_WRITE, 0, nullptr,
                    read ? OPEN_EXISTING : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return Hold(handle, static_cast<int>(GetLastError()));
}

bool OsFile::Hold(void* handle, int error, bool syncOnClose) {
    if (handle == INVALID_HANDLE_VALUE) {
        error_ = error;
        return false;
    }
    handle_ = handle;
    owned_ = true;
    syncOnClose_ = syncOnClose;
    return true;
}

OsFile OsFile::StandardInput() {
    OsFile file;
    file.handle_ = GetStdHandle(STD_INPUT_HANDLE);
    file.owned_ = false;
    return file;
}

OsFile OsFile::StandardOutput() {
    OsFile file;
    file.handle_ = GetStdHandle(STD_OUTPUT_HANDLE);
    file.owned_ = false;
    return file;
}

bool OsFile::IsOpen() const {
    return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr;
}

std::ptrdiff_t OsFile::Read(char* buffer, size_t size) {
    DWORD count = 0;
    const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    if (!ReadFile(handle_, buffer, want, &count, nullptr)) {
        // A pipe whose writer has gone is an ordinary end of input.
        const DWORD error = GetLastError();
        if (error == ERROR_BROKEN_PIPE) {
            return 0;
        }
        error_ = static_cast<int>(error);
        return -1;
    }
    return static_cast<std::ptrdiff_t>(count);
}

bool OsFile::Write(const char* data, size_t size) {
    while (size > 0) {
        DWORD count = 0;
        const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        if (!WriteFile(handle_, data, want, &count, nullptr)) {
            error_ = static_cast<int>(GetLastError());
            return false;
        }
        if (count == 0) {
            error_ = ERROR_DISK_FULL;
            return false;
        }
        data += count;
        size -= count;
    }
    return true;
}

bool OsFile::Close() {
    if (!IsOpen()) {
        handle_ = INVALID_HANDLE_VALUE;
        return true;
    }
    HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    if (!owned_) {
        return true;
    }
    bool closed = true;
    if (std::exchange(syncOnClose_, false) && !FlushFileBuffers(handle)) {
        error_ = static_cast<int>(GetLastError());
        closed = false;
    }
    if (!CloseHandle(handle) && closed) {
        error_ = static_cast<int>(GetLastError());
        closed = false;
    }
    return closed;
}

void OsFile::Discard() {
    syncOnClose_ = false;
    HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr && owned_) {
        CloseHandle(handle);
    }
}

std::string FullPathOf(const std::string& path) {
    char stackBuffer[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, stackBuffer, nullptr);
    if (length == 0) {
        return path;
    }
    if (length < MAX_PATH) {
        return std::string(stackBuffer, length);
    }
    std::string full(length, '\0');
    length = GetFullPathNameA(path.c_str(), length, full.data(), nullptr);
    full.resize(length);
    return full;
}

}  // namespace quillo
