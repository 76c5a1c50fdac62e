// A conversion's questions and notices, as message boxes owned by the window.
#pragma once

#include <run_host.h>

#include "framework/win32.h"

class WindowRunHost : public quillo::RunHost {
public:
    explicit WindowRunHost(HWND owner) : owner_(owner) {}

    bool Ask(const quillo::Notice& question) override;
    void Tell(const quillo::Notice& notice) override;

private:
    HWND owner_;
};
