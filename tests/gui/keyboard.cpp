#include "keyboard.h"

#include <vector>

#include "wait.h"

namespace quillo::gui {

void MakeForeground(HWND window) {
    WaitFor("the window to come to the foreground", [window] {
        if (GetForegroundWindow() != window) {
            SetForegroundWindow(window);
        }
        return GetForegroundWindow() == window;
    });
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    auto add = [&inputs](WORD key, DWORD flags) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (WORD key : keys) {
        add(key, 0);
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        add(*key, KEYEVENTF_KEYUP);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace quillo::gui
