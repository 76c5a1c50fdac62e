// A conversion's questions and notices, as message boxes owned by the window.
#pragma once

#include <run_host.h>

#include "framework/win32.h"

class WindowRunHost : public quillo::RunHost {
public:
    explicit WindowRunHost(HWND owner) : owner_(owner) {}

    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void ShowError(const std::string& text, const std::string& caption) override;
    void ShowFileFailure(quillo::FileOperation operation, const std::string& fullPath) override;

private:
    HWND owner_;
};
