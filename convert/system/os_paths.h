// What srt2rt asks of the file system besides reading and writing, with
// paths in UTF-8 on every system (os_paths_posix.cpp, os_paths_win32.cpp).
// Nothing here opens a file to learn about it: an unreadable file exists,
// and a FIFO is never opened by a question.
#pragma once

#include <string>
#include <string_view>

#include "os_file.h"

namespace quillo {

enum class PathKind {
    Missing,  // nothing there (or nothing the system lets us see)
    File,     // a regular file
    Folder,
    Device,  // a device, FIFO, socket or pipe: written as it stands, never replaced
};

struct PathStatus {
    PathKind kind = PathKind::Missing;
    FileIdentity identity;  // known for files and folders (and, on POSIX, pipes)
};

// The file system's metadata on `path`, following symbolic links.
PathStatus StatusOf(const std::string& path);

// The path that `path` finally names once symbolic links are followed, so
// that replacing it replaces the link's target and leaves the link a link;
// `path` itself when it is no link.
std::string FinalTarget(const std::string& path);

// Renames `from` over `to` in one step that a crash cannot split; 0, or the
// system's error code.
int RenameOver(const std::string& from, const std::string& to);

// Removes a file; false when it could not be removed.
bool RemoveFile(const std::string& path);

// Whether this Windows program runs under Wine, which shows a Unix symbolic
// link as a plain file and has no Explorer to start it; false elsewhere.
bool RunsUnderWine();

// A file name (without folder) in the form that compares equal for every
// spelling of one name in one folder: itself on POSIX, upper case on Windows,
// whose file systems ignore case.
std::string FileNameKey(std::string_view name);

}  // namespace quillo
