// Temporaries that an interrupted run removes: srt2rt asks for the removal
// once, and lists each temporary while it exists. The window asks for none.
#pragma once

#include <string>

#ifdef _WIN32
#include "wide_path_win32.h"
#else
#include <signal.h>
#endif

namespace quillo {

// From now on Ctrl-C, SIGTERM, SIGHUP, SIGQUIT and SIGPIPE (POSIX), or a
// console's Ctrl-C, Ctrl-Break, close, log-off and shut-down events
// (Windows), first remove every listed file, then end the process as they
// would have. A signal ignored when this is called stays ignored. On POSIX a
// write past the file-size limit then fails, as on a full disk, instead of
// ending the process.
void RemoveTemporariesOnInterrupt();

// Lists `path` (UTF-8) for that removal until Unlist() or the end of the object.
class ListedTemporary {
public:
    explicit ListedTemporary(const std::string& path);
    ~ListedTemporary() { Unlist(); }
    ListedTemporary(const ListedTemporary&) = delete;
    ListedTemporary& operator=(const ListedTemporary&) = delete;

    void Unlist();

private:
#ifdef _WIN32
    WideString path_;  // in the form the handler passes to DeleteFileW
#else
    std::string path_;
#endif
    int slot_ = -1;
};

// While one lives, an interrupt waits: the removal never runs half-way
// through a rename, nor removes a file that was renamed into place.
class InterruptsHeldOff {
public:
    InterruptsHeldOff();
    ~InterruptsHeldOff();
    InterruptsHeldOff(const InterruptsHeldOff&) = delete;
    InterruptsHeldOff& operator=(const InterruptsHeldOff&) = delete;

private:
#ifndef _WIN32
    sigset_t saved_;
#endif
};

}  // namespace quillo
