#include "screen_icon.h"

#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "wait.h"

namespace quillo::gui {

namespace {

// A 32-bit top-down bitmap selected into its own memory device context.
class PixelCanvas {
public:
    PixelCanvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~PixelCanvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    HDC dc() const { return dc_; }
    void Fill(COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        RECT all = {0, 0, width_, height_};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    std::vector<std::uint32_t> Pixels() const {
        GdiFlush();
        const auto* first = static_cast<const std::uint32_t*>(bits_);
        return std::vector<std::uint32_t>(first, first + width_ * height_);
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
};

bool Close(std::uint32_t a, std::uint32_t b) {
    int difference = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        difference +=
            std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    }
    return difference <= 24;
}

// The share of the icon's opaque pixels that the screen shows unchanged.
double Likeness(const std::vector<std::uint32_t>& screen, LPCWSTR iconName, int width, int height) {
    HICON icon = LoadIconW(nullptr, iconName);
    PixelCanvas onBlack(width, height);
    PixelCanvas onWhite(width, height);
    onBlack.Fill(RGB(0, 0, 0));
    onWhite.Fill(RGB(255, 255, 255));
    DrawIconEx(onBlack.dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    DrawIconEx(onWhite.dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    const auto black = onBlack.Pixels();
    const auto white = onWhite.Pixels();
    int opaque = 0;
    int matching = 0;
    for (size_t i = 0; i < screen.size(); ++i) {
        if ((black[i] & 0xFFFFFF) == (white[i] & 0xFFFFFF)) {
            ++opaque;
            matching += Close(black[i], screen[i]) ? 1 : 0;
        }
    }
    return opaque == 0 ? 0.0 : static_cast<double>(matching) / opaque;
}

StandardIcon RecogniseOnce(HWND iconControl) {
    RECT rect;
    GetWindowRect(iconControl, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return StandardIcon::Unknown;
    }
    PixelCanvas screen(width, height);
    HDC screenDc = GetDC(nullptr);
    BitBlt(screen.dc(), 0, 0, width, height, screenDc, rect.left, rect.top, SRCCOPY);
    ReleaseDC(nullptr, screenDc);
    const auto pixels = screen.Pixels();

    const std::pair<StandardIcon, LPCWSTR> candidates[] = {
        {StandardIcon::Stop, IDI_HAND},
        {StandardIcon::Exclamation, IDI_EXCLAMATION},
        {StandardIcon::Information, IDI_ASTERISK},
        {StandardIcon::Question, IDI_QUESTION},
    };
    StandardIcon best = StandardIcon::Unknown;
    double bestLikeness = 0.0;
    double runnerUp = 0.0;
    for (const auto& [kind, name] : candidates) {
        const double likeness = Likeness(pixels, name, width, height);
        if (likeness > bestLikeness) {
            runnerUp = bestLikeness;
            bestLikeness = likeness;
            best = kind;
        } else if (likeness > runnerUp) {
            runnerUp = likeness;
        }
    }
    // A clear winner only: a half-painted box must not pass for an icon.
    return bestLikeness >= 0.9 && bestLikeness - runnerUp >= 0.1 ? best : StandardIcon::Unknown;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, StandardIcon icon) {
    switch (icon) {
        case StandardIcon::None:
            return out << "no icon";
        case StandardIcon::Unknown:
            return out << "an unknown icon";
        case StandardIcon::Stop:
            return out << "the stop icon";
        case StandardIcon::Exclamation:
            return out << "the exclamation icon";
        case StandardIcon::Information:
            return out << "the information icon";
        case StandardIcon::Question:
            return out << "the question icon";
    }
    return out;
}

StandardIcon RecogniseIcon(HWND iconControl) {
    // The box may still be painting when it first shows; give it a moment.
    StandardIcon seen = StandardIcon::Unknown;
    try {
        WaitFor(
            "a recognisable icon",
            [&] {
                seen = RecogniseOnce(iconControl);
                return seen != StandardIcon::Unknown;
            },
            Milliseconds(3000));
    } catch (const GuiTimeout&) {
    }
    return seen;
}

}  // namespace quillo::gui
