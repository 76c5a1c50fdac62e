// Real key presses, through the system's input queue, for what only the
// keyboard reaches (the system menu, F1). They go to the foreground window.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "wait.h"

namespace quillo::gui {

// Brings `window` to the foreground; throws GuiTimeout when it never gets there.
void MakeForeground(HWND window);

// Presses the keys in order and releases them in reverse: {VK_MENU, VK_SPACE} is Alt+Space.
void PressKeys(std::initializer_list<WORD> keys);

// Presses the keys, again every few seconds, until `done` returns something
// truthy, and returns that. X hands the focus over on its own time, so on a
// busy machine a first press can reach the old focus and be lost.
template <typename Done>
auto PressKeysUntil(std::initializer_list<WORD> keys, const std::string& what, Done&& done) {
    constexpr Milliseconds kRetryAfter{2500};
    const auto deadline = std::chrono::steady_clock::now() + kStepTimeout;
    for (;;) {
        PressKeys(keys);
        try {
            return WaitFor(what, done, kRetryAfter);
        } catch (const GuiTimeout&) {
            if (std::chrono::steady_clock::now() >= deadline) {
                throw;
            }
        }
    }
}

}  // namespace quillo::gui
