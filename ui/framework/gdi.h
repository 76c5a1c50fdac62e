// Owners of the drawing and icon handles the window uses, so that each is
// released exactly once whatever happens.
#pragma once

#include <utility>

#include "win32.h"

namespace framework {

// An icon this program loaded for itself (not a shared one), destroyed with it.
class OwnedIcon {
public:
    OwnedIcon() = default;
    explicit OwnedIcon(HICON icon) : icon_(icon) {}
    OwnedIcon(const OwnedIcon&) = delete;
    OwnedIcon& operator=(const OwnedIcon&) = delete;
    OwnedIcon(OwnedIcon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
    OwnedIcon& operator=(OwnedIcon&& other) noexcept {
        std::swap(icon_, other.icon_);
        return *this;
    }
    ~OwnedIcon() {
        if (icon_ != nullptr) {
            DestroyIcon(icon_);
        }
    }

    HICON get() const { return icon_; }

private:
    HICON icon_ = nullptr;
};

// Loads an icon resource of this executable at the system's large icon size;
// empty when it cannot be loaded.
OwnedIcon LoadOwnIcon(int resourceId);

// One WM_PAINT's drawing: BeginPaint on construction, EndPaint on destruction.
class PaintSession {
public:
    explicit PaintSession(HWND window) : window_(window) { dc_ = BeginPaint(window_, &paint_); }
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;
    ~PaintSession() { EndPaint(window_, &paint_); }

    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

}  // namespace framework
