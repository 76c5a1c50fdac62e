// What a conversion needs from whoever runs it: the window, the command-line
// converter and the tests each answer these in their own way.
#pragma once

#include <cstdint>
#include <string>

#include "text_file.h"

namespace quillo {

class RunHost {
public:
    virtual ~RunHost() = default;
    // A yes/no question (Yes is the default); true only for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    // An error notice with an OK button.
    virtual void ShowError(const std::string& text, const std::string& caption) = 0;
    // The notice of an entry that cannot be read, which stands on line
    // `line` of the source; the window shows it as any other.
    virtual void ShowEntryError(const std::string& text, const std::string& caption,
                                uint64_t line) {
        (void)line;
        ShowError(text, caption);
    }
    // A read, write or close of `fullPath` failed (see messages::FileFailureTemplate).
    virtual void ShowFileFailure(FileOperation operation, const std::string& fullPath) = 0;
};

}  // namespace quillo
