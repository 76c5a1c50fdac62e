// Dialog units to pixels, measured the way the dialog manager measures the
// template's font, so the live window can be checked against its template.
#pragma once

#include <windows.h>

#include <string>

#include "dialog_template.h"

namespace quillo::gui {

struct DialogBaseUnits {
    int x = 0;  // average character width in pixels
    int y = 0;  // character height in pixels
};

DialogBaseUnits MeasureDialogFont(const std::wstring& typeface, int pointSize);

// `rect` in pixels relative to the dialog's client area.
RECT ToPixels(const DialogUnitsRect& rect, DialogBaseUnits units);

}  // namespace quillo::gui
