// Reading and driving the windows of another process. Reads go through
// SendMessageTimeout so a busy target can never block the test; actions that
// may open a modal box are posted, because a sent message would only return
// once that box has closed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quillo::gui {

std::wstring ClassNameOf(HWND window);
// The text as the window itself reports it (WM_GETTEXT), for controls.
std::wstring TextOf(HWND window);
// Replaces a control's text; only while no modal box runs in its thread.
void SetTextOf(HWND window, const std::wstring& text);

LONG StyleOf(HWND window);
LONG ExStyleOf(HWND window);
// The control identifier; -1 for controls without one of their own.
int ControlIdOf(HWND window);
bool IsChecked(HWND checkBox);
bool IsEnabled(HWND window);
bool IsShown(HWND window);

// Children in Z order, which is creation order and so the tab order.
std::vector<HWND> ChildrenOf(HWND parent);
std::vector<HWND> TopLevelWindowsOf(DWORD processId);

// A child of `parent` with `id`; throws when there is none.
HWND ControlOf(HWND parent, int id);
// The window rectangle of `child` in the client coordinates of `parent`.
RECT RectInClientOf(HWND parent, HWND child);
// The window that holds the keyboard focus in the thread that owns `window`.
HWND FocusInThreadOf(HWND window);
// The same, waiting until some window of that thread has the focus; a key
// posted before then would go nowhere.
HWND WaitForFocusIn(HWND window);

// Presses a button the way its own click would (BM_CLICK), without waiting.
void PostClick(HWND button);
void PostCommand(HWND dialog, int id);
// A key press, posted to `target` as the keyboard would deliver it.
void PostKey(HWND target, UINT virtualKey);

}  // namespace quillo::gui
