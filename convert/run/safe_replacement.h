// A file replaced only by a complete one: written under a temporary name in
// the destination's folder (the target's, for a symbolic link, which stays a
// link) and renamed over the destination once synced and closed, so that the
// destination holds its old bytes or all the new ones, whatever happens in
// between. srt2rt's; the window writes its destination in place.
#pragma once

#include <memory>
#include <string>

#include "interrupt_cleanup.h"
#include "os_file.h"

namespace quillo {

class SafeReplacement {
public:
    SafeReplacement() = default;
    ~SafeReplacement() { Abandon(); }
    SafeReplacement(const SafeReplacement&) = delete;
    SafeReplacement& operator=(const SafeReplacement&) = delete;

    // Creates the temporary that will replace `destination` (UTF-8), with the
    // permissions of the file it replaces, and lists it for removal should
    // the process be interrupted. Returns it open for writing (synced when
    // closed), or closed with its SystemError() telling why.
    OsFile Begin(const std::string& destination);

    // Renames the temporary, which must be closed, over the destination; false
    // with SystemError() set, the temporary removed.
    bool Commit();

    // Removes the temporary, if any is left: the destination keeps its bytes.
    void Abandon();

    int SystemError() const { return error_; }
    const std::string& TemporaryPath() const { return temporary_; }

private:
    std::string target_;     // the file to replace
    std::string temporary_;  // empty once renamed or removed
    std::unique_ptr<ListedTemporary> listed_;
    int error_ = 0;
};

}  // namespace quillo
