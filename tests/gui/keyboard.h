// Real key presses, through the system's input queue, for what only the
// keyboard reaches (the system menu, F1). They go to the foreground window.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace quillo::gui {

// Brings `window` to the foreground; throws GuiTimeout when it never gets there.
void MakeForeground(HWND window);

// Presses the keys in order and releases them in reverse: {VK_MENU, VK_SPACE} is Alt+Space.
void PressKeys(std::initializer_list<WORD> keys);

}  // namespace quillo::gui
