// A conversion's questions and notices, as message boxes owned by the window.
#pragma once

#include <problem.h>

#include "framework/win32.h"

class WindowRunHost : public quillo::ProblemSink {
public:
    explicit WindowRunHost(HWND owner) : owner_(owner) {}

    bool Ask(const quillo::Problem& question) override;
    void Report(const quillo::Problem& notice) override;

private:
    HWND owner_;
};
