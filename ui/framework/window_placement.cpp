#include "window_placement.h"

#include <algorithm>

namespace framework {

void CenterWindow(HWND window) {
    HWND owner = GetWindow(window, GW_OWNER);
    const bool overOwner = owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner);

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(overOwner ? owner : window, MONITOR_DEFAULTTOPRIMARY),
                         &monitor)) {
        return;
    }
    const RECT area = monitor.rcWork;
    RECT target = area;
    if (overOwner) {
        GetWindowRect(owner, &target);
    }

    RECT rect{};
    GetWindowRect(window, &rect);
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    LONG left = (target.left + target.right) / 2 - width / 2;
    LONG top = (target.top + target.bottom) / 2 - height / 2;

    // Over an owner near a screen edge the window must still be reachable.
    left = std::max(area.left, std::min(left, area.right - width));
    top = std::max(area.top, std::min(top, area.bottom - height));
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace framework
