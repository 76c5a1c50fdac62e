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

#include "code_page.h"
#include "os_file.h"

namespace quillo {

CodePage CodePage::System() {
    return SingleByte();
}

OsFile::OsFile(OsFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)), owned_(other.owned_) {}

OsFile& OsFile::operator=(OsFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        owned_ = other.owned_;
    }
    return *this;
}

bool OsFile::Open(const std::string& path, Mode mode) {
    Close();
    const int flags = mode == Mode::Read ? O_RDONLY : (O_WRONLY | O_CREAT);
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    bool usable = ::fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
    if (usable && S_ISREG(info.st_mode)) {
        // Only once the file is ours alone may it be emptied.
        usable =
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && (mode == Mode::Read || ::ftruncate(fd, 0) == 0);
    }
    if (!usable) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    owned_ = true;
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
            return false;
        }
        data += count;
        size -= static_cast<size_t>(count);
    }
    return true;
}

bool OsFile::Close() {
    if (fd_ < 0) {
        return true;
    }
    const int fd = std::exchange(fd_, -1);
    return !owned_ || ::close(fd) == 0;
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
