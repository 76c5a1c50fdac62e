// What a conversion needs from whoever runs it: the window, the command-line
// converter and the tests each answer these in their own way.
#pragma once

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
    // A read, write or close of `fullPath` failed (see messages::FileFailureTemplate).
    virtual void ShowFileFailure(FileOperation operation, const std::string& fullPath) = 0;
};

}  // namespace quillo
