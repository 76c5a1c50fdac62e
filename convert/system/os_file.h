// The operating system's file handle, opened without sharing. The only
// platform-specific part of the conversion core (os_posix.cpp, os_win32.cpp;
// srt2rt's own ways to open in os_paths_posix.cpp, os_paths_win32.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillo {

// Who a file is, whatever path names it: st_dev and st_ino on POSIX, the
// volume serial number and file ID on Windows. Two identities are equal only
// when both are known. Wine gives the standard handles of a process no
// volume serial number (0); the file ID alone then decides, which errs on
// the side of refusing.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t index = 0;
    uint64_t indexHigh = 0;  // ReFS file IDs have 128 bits
    bool known = false;
    bool operator==(const FileIdentity& other) const {
        return known && other.known && index == other.index && indexHigh == other.indexHigh &&
               (volume == other.volume || volume == 0 || other.volume == 0);
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

class OsFile {
public:
    enum class Mode {
        Read,              // existing file, read only
        CreateOrTruncate,  // write only; created, or emptied once it is ours alone
    };
    enum class Result { Ok, Failed };

    OsFile() = default;
    OsFile(const OsFile&) = delete;
    OsFile& operator=(const OsFile&) = delete;
    OsFile(OsFile&& other) noexcept;
    OsFile& operator=(OsFile&& other) noexcept;
    ~OsFile() { Close(); }

    // Opens `path` so that no other opener, this process included, can open it
    // while we hold it, and so that we fail while anyone else holds it. On
    // POSIX this holds for regular files; devices, FIFOs and terminals open
    // unlocked. A folder never opens. Returns false (and stays closed) on any failure.
    bool Open(const std::string& path, Mode mode);

    // Adopts the process's standard input or output (for the command line).
    static OsFile StandardInput();
    static OsFile StandardOutput();

    // srt2rt's ways to open, with paths in UTF-8 on every system (the wide API
    // on Windows, long paths included). Each returns false, with the file
    // closed and SystemError() telling why, on any failure.
    //
    // An existing file for reading, shared with other readers but no writer:
    // FILE_SHARE_READ on Windows, a shared flock on POSIX regular files.
    bool OpenSharedRead(const std::string& path);
    // An existing device, FIFO or terminal, written as it stands: there is no
    // file to replace. Fails on a regular file or a folder.
    bool OpenDeviceForWriting(const std::string& path);
    // A new file of a name of its own in `folder` (a folder part ending in a
    // separator, or empty for the current folder), created for writing and
    // synced to the disk on closing; `path` receives its name. When `like`
    // names an existing file, the new one takes its permissions (and, on
    // POSIX, its owner and group where allowed); when `like` may not be
    // written, nothing is created.
    bool CreateTemporary(const std::string& folder, const std::string& like, std::string& path);

    bool IsOpen() const;
    // The system's code (errno, GetLastError) for the last failure, 0 before any.
    int SystemError() const { return error_; }
    // The open file's identity; unknown for what is not a regular file.
    FileIdentity Identity() const;

    // Reads up to `size` bytes; returns how many (0 at the end), or -1 on error.
    std::ptrdiff_t Read(char* buffer, size_t size);
    // Writes all `size` bytes; false on error (a full disk included).
    bool Write(const char* data, size_t size);
    // Releases the handle (syncing a temporary to the disk first); false when
    // the system reports a failure doing so.
    bool Close();
    // Releases the handle of a file given up: no sync, no report.
    void Discard();

private:
#ifdef _WIN32
    // Holds `handle` from now on when it is a handle; else keeps the
    // system's `error`. Returns whether it is held.
    bool Hold(void* handle, int error, bool syncOnClose = false);
    void* handle_ = reinterpret_cast<void*>(static_cast<intptr_t>(-1));
#else
    // Holds `fd` from now on when it is `usable`; else closes it and keeps
    // the system's `error`. Returns whether it is held.
    bool Hold(int fd, bool usable, int error, bool syncOnClose = false);

    int fd_ = -1;
    uint64_t written_ = 0;  // of a temporary, and how much of it the disk was
    uint64_t kicked_ = 0;   // asked to write out already
#endif
    bool owned_ = true;         // false for adopted standard streams
    bool syncOnClose_ = false;  // a temporary that replaces a file once complete
    int error_ = 0;
};

// The absolute form of `path`, as the system would resolve it now; used in
// messages so the user sees which file failed.
std::string FullPathOf(const std::string& path);

}  // namespace quillo
