#include "safe_replacement.h"

#include "os_paths.h"
#include "path_names.h"

namespace quillo {

OsFile SafeReplacement::Begin(const std::string& destination) {
    Abandon();
    target_ = FinalTarget(destination);
    OsFile file;
    std::string temporary;
    // Listed as soon as it exists: an interrupt in between would leave it.
    const InterruptsHeldOff held;
    // In the target's own folder: a rename within one file system is one step.
    if (!file.CreateTemporary(std::string(FolderPart(target_)), target_, temporary)) {
        error_ = file.SystemError();
        return file;
    }
    temporary_ = temporary;
    listed_ = std::make_unique<ListedTemporary>(temporary_);
    error_ = 0;
    return file;
}

bool SafeReplacement::Commit() {
    if (temporary_.empty()) {
        return false;
    }
    {
        const InterruptsHeldOff held;
        error_ = RenameOver(temporary_, target_);
        if (error_ == 0) {
            listed_->Unlist();
            temporary_.clear();
        }
    }
    if (error_ != 0) {
        Abandon();
        return false;
    }
    listed_.reset();
    return true;
}

void SafeReplacement::Abandon() {
    if (!temporary_.empty()) {
        const InterruptsHeldOff held;
        RemoveFile(temporary_);
        listed_->Unlist();
        temporary_.clear();
    }
    listed_.reset();
}

}  // namespace quillo
