// Modal message boxes, shown through the Unicode API so that no text depends
// on the ANSI code page for its display.
#pragma once

#include <string>

#include "win32.h"

namespace framework {

// Shows a message box owned by `owner`; returns the button pressed (IDOK, IDYES...).
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

// The executable's file name without its folder or extension ("Quillo"), the
// caption of the notices that are not the program's own messages.
std::wstring ExecutableTitle();

// Tells the user that something unforeseen went wrong; never throws.
void ShowUnexpectedError(HWND owner, const char* what) noexcept;

}  // namespace framework
