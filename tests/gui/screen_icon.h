// Telling which of the system's standard icons a window shows, by comparing
// its pixels on the screen with the icons drawn here. Icon handles do not
// cross processes under Wine, so the screen is the one common ground.
#pragma once

#include <windows.h>

#include <ostream>

namespace quillo::gui {

enum class StandardIcon { None, Unknown, Stop, Exclamation, Information, Question };

std::ostream& operator<<(std::ostream& out, StandardIcon icon);

// The standard icon shown by `iconControl`, a visible static icon control;
// Unknown when it matches none of them.
StandardIcon RecogniseIcon(HWND iconControl);

}  // namespace quillo::gui
