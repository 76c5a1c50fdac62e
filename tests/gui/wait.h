// Waiting on another process's windows. Every wait polls against a deadline
// and reports a timeout as an exception that names what never happened, so a
// missing window fails its test instead of hanging the suite.
#pragma once

#include <windows.h>

#include <chrono>
#include <stdexcept>
#include <string>

namespace quillo::gui {

using Milliseconds = std::chrono::milliseconds;

// Long enough for Wine on a busy two-core machine, short enough that a stuck
// test ends well inside the suite's budget.
inline constexpr Milliseconds kStepTimeout{15000};

// How long a window must stay put before we call it "left open".
inline constexpr Milliseconds kSettleTime{400};

class GuiTimeout : public std::runtime_error {
public:
    explicit GuiTimeout(const std::string& what)
        : std::runtime_error("timed out waiting for " + what) {}
};

// Polls `probe` until it returns something truthy and returns that value;
// throws GuiTimeout naming `what` when the deadline passes first.
template <typename Probe>
auto WaitFor(const std::string& what, Probe&& probe, Milliseconds timeout = kStepTimeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto result = probe();
        if (result) {
            return result;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            throw GuiTimeout(what);
        }
        Sleep(15);
    }
}

}  // namespace quillo::gui
