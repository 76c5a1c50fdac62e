// srt2rt's files on Windows: UTF-8 names opened through the wide API, so
// that any name Windows can hold works whatever the ANSI code page, and long
// ones through "\\?\".
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>

#include "os_file.h"
#include "os_paths.h"
#include "path_names.h"
#include "wide_path_win32.h"

namespace quillo {
namespace {

// Twelve hex digits that differ from run to run and call to call.
std::string UniqueSuffix() {
    static uint64_t counter = 0;
    LARGE_INTEGER ticks{};
    QueryPerformanceCounter(&ticks);
    uint64_t value = static_cast<uint64_t>(ticks.QuadPart) ^
                     (static_cast<uint64_t>(GetCurrentProcessId()) << 20) ^
                     (++counter * 0x9E3779B97F4A7C15u);
    std::string digits(12, '0');
    for (char& digit : digits) {
        digit = "0123456789abcdef"[value & 15];
        value >>= 4;
    }
    return digits;
}

FileIdentity IdentityOf(HANDLE handle) {
    // The 64-bit volume serial and 128-bit ID where the file system has them
    // (NTFS, ReFS; Wine gives them for standard handles too), else the
    // older 32-bit serial and 64-bit index. One file system answers one way.
    FILE_ID_INFO id{};
    if (GetFileInformationByHandleEx(handle, FileIdInfo, &id, sizeof id)) {
        uint64_t low = 0;
        uint64_t high = 0;
        std::memcpy(&low, id.FileId.Identifier, sizeof low);
        std::memcpy(&high, id.FileId.Identifier + sizeof low, sizeof high);
        return {id.VolumeSerialNumber, low, high, true};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) {
        return {};
    }
    return {info.dwVolumeSerialNumber,
            static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow, 0, true};
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// A handle that can do nothing but look: it opens files we may not read.
HANDLE OpenToLook(const WideString& path) {
    return CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

bool OsFile::OpenSharedRead(const std::string& path) {
    Close();
    // Other readers may open it too; nobody may write it while we read.
    HANDLE handle = CreateFileW(SystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return Hold(handle, static_cast<int>(GetLastError()));
}

bool OsFile::OpenDeviceForWriting(const std::string& path) {
    Close();
    HANDLE handle =
        CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error_ = static_cast<int>(GetLastError());
        return false;
    }
    if (GetFileType(handle) == FILE_TYPE_DISK) {
        // A file after all: writing it as it stands would mix old bytes and new.
        CloseHandle(handle);
        error_ = ERROR_FILE_EXISTS;
        return false;
    }
    return Hold(handle, 0);
}

bool OsFile::CreateTemporary(const std::string& folder, const std::string& like,
                             std::string& path) {
    Close();
    const DWORD old = GetFileAttributesW(SystemPath(like).c_str());
    const bool replacing = old != INVALID_FILE_ATTRIBUTES;
    // The read-only attribute is how a user keeps a file: MoveFileEx would
    // refuse it anyway, but only after all the writing.
    if (replacing && (old & FILE_ATTRIBUTE_READONLY) != 0) {
        error_ = ERROR_ACCESS_DENIED;
        return false;
    }
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD attributes = replacing && (old & kKept) != 0 ? old & kKept : FILE_ATTRIBUTE_NORMAL;
    HANDLE handle = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; handle == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        path = folder + ".srt2rt-" + UniqueSuffix() + ".tmp";
        // Shared for deleting, so that an interrupted run can remove it by name.
        handle = CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                             CREATE_NEW, attributes, nullptr);
        error = GetLastError();
        if (handle == INVALID_HANDLE_VALUE && error != ERROR_FILE_EXISTS &&
            error != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    return Hold(handle, static_cast<int>(error), true);
}

FileIdentity OsFile::Identity() const {
    if (!IsOpen() || GetFileType(handle_) != FILE_TYPE_DISK) {
        return {};
    }
    return IdentityOf(handle_);
}

PathStatus StatusOf(const std::string& path) {
    const WideString wide = SystemPath(path);
    if (wide.empty()) {
        return {};
    }
    if (StartsWith(wide, L"\\\\.\\")) {
        return {PathKind::Device, {}};  // NUL, CON, COM1, \\.\pipe\...
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const bool described = GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data);
    PathStatus status{described && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                          ? PathKind::Folder
                          : PathKind::File,
                      {}};
    // Wine describes a Unix device or FIFO (Z:\dev\null) as a file, or not
    // at all; only a handle tells what it is.
    HANDLE handle = OpenToLook(wide);
    if (handle == INVALID_HANDLE_VALUE && !described) {
        return {};
    }
    if (handle != INVALID_HANDLE_VALUE) {
        if (GetFileType(handle) != FILE_TYPE_DISK) {
            status.kind = PathKind::Device;
        } else {
            status.identity = IdentityOf(handle);
        }
        CloseHandle(handle);
    }
    return status;
}

std::string FinalTarget(const std::string& path) {
    const WideString wide = SystemPath(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return path;
    }
    HANDLE handle = OpenToLook(wide);
    if (handle == INVALID_HANDLE_VALUE) {
        return path;
    }
    WideString final(MAX_PATH, L'\0');
    DWORD length;
    while ((length = GetFinalPathNameByHandleW(
                handle, final.data(), static_cast<DWORD>(final.size()),
                FILE_NAME_NORMALIZED | VOLUME_NAME_DOS)) >= final.size()) {
        final.resize(length + 1);
    }
    CloseHandle(handle);
    if (length == 0) {
        return path;
    }
    final.resize(length);
    return Utf8FromWide(final);
}

int RenameOver(const std::string& from, const std::string& to) {
    const WideString source = SystemPath(from);
    const WideString target = SystemPath(to);
    // An existing file is replaced in a way that keeps its ACL, attributes
    // and streams; a rename would give it the temporary's. Not under Wine,
    // which keeps no ACLs, and whose ReplaceFileW deletes the file a Unix
    // symbolic link leads to, the link being invisible to it.
    if (!RunsUnderWine() && GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        // A file another program holds without letting it go is not
        // replaced; asked first, as a failed ReplaceFileW may leave a file
        // of its own making beside it.
        const HANDLE held = CreateFileW(
            target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (held == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) {
                return static_cast<int>(error);
            }
        } else {
            CloseHandle(held);
        }
        if (ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                         nullptr, nullptr)) {
            return 0;
        }
        const DWORD error = GetLastError();
        // Gone meanwhile, or removed by ReplaceFileW before it failed to move
        // the temporary into its place: a rename finishes, and the document
        // is not lost with the temporary.
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
            error != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
            return static_cast<int>(error);
        }
    }
    return MoveFileExW(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : static_cast<int>(GetLastError());
}

bool RemoveFile(const std::string& path) {
    return DeleteFileW(SystemPath(path).c_str()) != 0;
}

bool RunsUnderWine() {
    static const bool wine =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

std::string FileNameKey(std::string_view name) {
    const WideString wide = WideFromUtf8(name);
    WideString upper(wide.size(), L'\0');
    // Upper case without regard to language, as the file system compares.
    if (wide.empty() ||
        LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide.data(), static_cast<int>(wide.size()),
                     upper.data(), static_cast<int>(upper.size())) == 0) {
        return std::string(name);
    }
    return Utf8FromWide(upper);
}

}  // namespace quillo
