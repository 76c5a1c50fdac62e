// Placing a dialog where the user expects it.
#pragma once

#include "win32.h"

namespace framework {

// Centres `window` over its owner when the owner is visible and not
// minimised, otherwise on the work area of its monitor, keeping it inside
// that work area.
void CenterWindow(HWND window);

}  // namespace framework
