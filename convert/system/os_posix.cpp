// POSIX files for the native build. Sharing of regular files is refused with
// an exclusive flock taken before anything else, so that a destination naming
// the source by another path fails to lock before it could be truncated.
// Devices, FIFOs and terminals are not files anyone shares a copy of: a lock
// on /dev/null would be system-wide and fail whoever else writes there.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "os_file.h"

namespace quillo {

OsFile::OsFile(OsFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      written_(other.written_),
      kicked_(other.kicked_),
      owned_(other.owned_),
      syncOnClose_(std::exchange(other.syncOnClose_, false)),
      error_(other.error_) {}

OsFile& OsFile::operator=(OsFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        written_ = other.written_;
        kicked_ = other.kicked_;
        owned_ = other.owned_;
        syncOnClose_ = std::exchange(other.syncOnClose_, false);
        error_ = other.error_;
    }
    return *this;
}

bool OsFile::Open(const std::string& path, Mode mode) {
    Close();
    const int flags = mode == Mode::Read ? O_RDONLY : (O_WRONLY | O_CREAT);
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    struct stat info {};
    bool usable = ::fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
    if (usable && S_ISREG(info.st_mode)) {
        // Only once the file is ours alone may it be emptied.
        usable =
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && (mode == Mode::Read || ::ftruncate(fd, 0) == 0);
    }
    return Hold(fd, usable, errno);
}

bool OsFile::Hold(int fd, bool usable, int error, bool syncOnClose) {
    if (!usable) {
        error_ = error;
        ::close(fd);
        return false;
    }
    fd_ = fd;
    owned_ = true;
    syncOnClose_ = syncOnClose;
    written_ = kicked_ = 0;
    return true;
}

OsFile OsFile::StandardInput() {
    OsFile file;
    file.fd_ = STDIN_FILENO;
    file.owned_ = false;
    return file;
}

OsFile OsFile::StandardOutput() {
    OsFile file;
    file.fd_ = STDOUT_FILENO;
    file.owned_ = false;
    return file;
}

bool OsFile::IsOpen() const {
    return fd_ >= 0;
}

std::ptrdiff_t OsFile::Read(char* buffer, size_t size) {
    for (;;) {
        const ssize_t count = ::read(fd_, buffer, size);
        if (count >= 0 || errno != EINTR) {
            error_ = count < 0 ? errno : error_;
            return count;
        }
    }
}

bool OsFile::Write(const char* data, size_t size) {
    while (size > 0) {
        const ssize_t count = ::write(fd_, data, size);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            error_ = errno;
            return false;
        }
        data += count;
        size -= static_cast<size_t>(count);
        written_ += static_cast<uint64_t>(count);
    }
#ifdef __linux__
    // A temporary is synced before it replaces a file. Asking the disk to
    // write it out as it grows lets that work run beside the conversion, so
    // that the sync on closing waits for the last few megabytes only.
    constexpr uint64_t kWriteOutStep = 8 << 20;
    if (syncOnClose_ && written_ - kicked_ >= kWriteOutStep) {
        ::sync_file_range(fd_, static_cast<off_t>(kicked_), static_cast<off_t>(written_ - kicked_),
                          SYNC_FILE_RANGE_WRITE);
        kicked_ = written_;
    }
#endif
    return true;
}

bool OsFile::Close() {
    if (fd_ < 0) {
        return true;
    }
    const int fd = std::exchange(fd_, -1);
    if (!owned_) {
        return true;
    }
    bool closed = true;
    if (std::exchange(syncOnClose_, false) && ::fsync(fd) != 0) {
        error_ = errno;
        closed = false;
    }
    if (::close(fd) != 0 && closed) {
        error_ = errno;
        closed = false;
    }
    return closed;
}

void OsFile::Discard() {
    syncOnClose_ = false;
    const int fd = std::exchange(fd_, -1);
    if (fd >= 0 && owned_) {
        ::close(fd);
    }
}

std::string FullPathOf(const std::string& path) {
    if (!path.empty() && path[0] == '/') {
        return path;
    }
    std::string cwd(4096, '\0');
    while (::getcwd(cwd.data(), cwd.size()) == nullptr) {
        if (errno != ERANGE) {
            return path;
        }
        cwd.resize(cwd.size() * 2);
    }
    cwd.resize(cwd.find('\0'));
    return cwd + (cwd.back() == '/' ? "" : "/") + path;
}

}  // namespace quillo
