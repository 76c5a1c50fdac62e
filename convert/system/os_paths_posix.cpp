// srt2rt's files on POSIX: paths are bytes, UTF-8 by convention.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>
#include <utility>

#include "os_file.h"
#include "os_paths.h"
#include "path_names.h"

namespace quillo {
namespace {

FileIdentity IdentityOf(const struct stat& info) {
    // Device 0 exists (a first block device), so the volume is always known:
    // keep it apart from Windows' "no volume" by setting a bit no dev_t uses.
    return {static_cast<uint64_t>(info.st_dev) | uint64_t{1} << 63,
            static_cast<uint64_t>(info.st_ino), 0, true};
}

// Twelve hex digits that differ from run to run and call to call.
std::string UniqueSuffix() {
    static uint64_t counter = 0;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    uint64_t value = static_cast<uint64_t>(now.tv_nsec) ^
                     (static_cast<uint64_t>(now.tv_sec) << 30) ^
                     (static_cast<uint64_t>(::getpid()) << 16) ^ (++counter * 0x9E3779B97F4A7C15u);
    std::string digits(12, '0');
    for (char& digit : digits) {
        digit = "0123456789abcdef"[value & 15];
        value >>= 4;
    }
    return digits;
}

}  // namespace

bool OsFile::OpenSharedRead(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    struct stat info {};
    bool usable = ::fstat(fd, &info) == 0;
    if (usable && S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        usable = false;
    }
    // Other readers may hold it too; a writer of ours holds it exclusively.
    // Devices are not locked: that lock would be system-wide.
    if (usable && S_ISREG(info.st_mode)) {
        usable = ::flock(fd, LOCK_SH | LOCK_NB) == 0;
    }
    return Hold(fd, usable, errno);
}

bool OsFile::OpenDeviceForWriting(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    struct stat info {};
    const bool looked = ::fstat(fd, &info) == 0;
    // A file since it was looked at: writing it as it stands would mix old
    // bytes and new.
    const bool device = looked && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
    return Hold(fd, device, looked ? EEXIST : errno);
}

bool OsFile::CreateTemporary(const std::string& folder, const std::string& like,
                             std::string& path) {
    Close();
    struct stat old {};
    const bool replacing = ::stat(like.c_str(), &old) == 0;
    // Write permission is what a user takes away to keep a file: a rename
    // would ignore it, so honour it here.
    if (replacing && ::access(like.c_str(), W_OK) != 0) {
        error_ = errno;
        return false;
    }
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        path = folder + ".srt2rt-" + UniqueSuffix() + ".tmp";
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    if (replacing) {
        // The owner first: changing it clears set-user-ID bits. Either may be
        // refused to an ordinary user, who then owns the new file.
        (void)!::fchown(fd, old.st_uid, old.st_gid);
        (void)!::fchmod(fd, old.st_mode & 07777);
    }
    return Hold(fd, true, 0, true);
}

FileIdentity OsFile::Identity() const {
    struct stat info {};
    // A pipe's too, so that a run never writes into the pipe it reads.
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 ||
        !(S_ISREG(info.st_mode) || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))) {
        return {};
    }
    return IdentityOf(info);
}

PathStatus StatusOf(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return {};
    }
    if (S_ISREG(info.st_mode)) {
        return {PathKind::File, IdentityOf(info)};
    }
    if (S_ISDIR(info.st_mode)) {
        return {PathKind::Folder, IdentityOf(info)};
    }
    // A pipe by its name (a FIFO, /dev/stdin of a pipe) is known by its
    // identity as well; a terminal is not, whoever else has it open.
    const bool pipe = S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode);
    return {PathKind::Device, pipe ? IdentityOf(info) : FileIdentity{}};
}

std::string FinalTarget(const std::string& path) {
    std::string current = path;
    // As many links as the system itself follows; past that, the system's
    // own calls fail on the path with ELOOP.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        std::string target(static_cast<size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        ssize_t length;
        while ((length = ::readlink(current.c_str(), target.data(), target.size())) ==
               static_cast<ssize_t>(target.size())) {
            target.resize(target.size() * 2);
        }
        if (length < 0) {
            return current;
        }
        target.resize(static_cast<size_t>(length));
        current = target[0] == '/' ? target : std::string(FolderPart(current)) + target;
    }
    return current;
}

int RenameOver(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return errno;
    }
    // The new name reaches the disk with its folder: without this sync a
    // power cut could still lose it. File systems that sync no folders say
    // EINVAL, and a read-only one cannot have been renamed in.
    const std::string_view folder = FolderPart(to);
    const int fd = ::open(folder.empty() ? "." : std::string(folder).c_str(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return 0;  // renamed; a folder we may not open we cannot sync either
    }
    const int synced = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return synced;
}

bool RemoveFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool RunsUnderWine() {
    return false;
}

std::string FileNameKey(std::string_view name) {
    return std::string(name);
}

}  // namespace quillo
