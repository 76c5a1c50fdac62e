#include "dialog_units.h"

namespace quillo::gui {

DialogBaseUnits MeasureDialogFont(const std::wstring& typeface, int pointSize) {
    HDC screen = GetDC(nullptr);
    const int pixels = MulDiv(pointSize, GetDeviceCaps(screen, LOGPIXELSY), 72);
    HFONT font = CreateFontW(-pixels, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0,
                             0, PROOF_QUALITY, FF_DONTCARE, typeface.c_str());
    HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(screen, &metrics);
    static constexpr wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent = {};
    GetTextExtentPoint32W(screen, kAlphabet, 52, &extent);
    SelectObject(screen, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    // The average width of the alphabet, rounded to the nearest pixel.
    return {(extent.cx / 26 + 1) / 2, metrics.tmHeight};
}

RECT ToPixels(const DialogUnitsRect& rect, DialogBaseUnits units) {
    const int left = MulDiv(rect.x, units.x, 4);
    const int top = MulDiv(rect.y, units.y, 8);
    return {left, top, left + MulDiv(rect.width, units.x, 4),
            top + MulDiv(rect.height, units.y, 8)};
}

}  // namespace quillo::gui
