// The operating system's file handle, opened without sharing. The only
// platform-specific part of the conversion core (os_posix.cpp, os_win32.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillo {

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

    bool IsOpen() const;

    // Reads up to `size` bytes; returns how many (0 at the end), or -1 on error.
    std::ptrdiff_t Read(char* buffer, size_t size);
    // Writes all `size` bytes; false on error (a full disk included).
    bool Write(const char* data, size_t size);
    // Releases the handle; false when the system reports a failure doing so.
    bool Close();

private:
#ifdef _WIN32
    void* handle_ = reinterpret_cast<void*>(static_cast<intptr_t>(-1));
#else
    int fd_ = -1;
#endif
    bool owned_ = true;  // false for adopted standard streams
};

// The absolute form of `path`, as the system would resolve it now; used in
// messages so the user sees which file failed.
std::string FullPathOf(const std::string& path);

}  // namespace quillo
