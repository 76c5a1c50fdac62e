// The converter window of a running Quillo, seen from outside: its controls
// by identifier, read and driven through window messages.
#pragma once

#include <windows.h>

#include <string>

namespace quillo::gui {

// The identifiers users and other programs rely on; checked against the
// running window, never taken from the program's own headers.
namespace control {
inline constexpr int kGenerate = IDOK;
inline constexpr int kCancel = IDCANCEL;
inline constexpr int kSource = 1000;
inline constexpr int kBrowseSource = 1001;
inline constexpr int kDest = 1002;
inline constexpr int kBrowseDest = 1003;
inline constexpr int kCreateSmil = 1004;
inline constexpr int kVideo = 1005;
inline constexpr int kBrowseVideo = 1006;
inline constexpr int kVerifyLines = 1007;
}  // namespace control

inline constexpr wchar_t kConverterCaption[] = L"subtitles converter - Quillo";

class ConverterWindow {
public:
    explicit ConverterWindow(HWND window) : window_(window) {}

    HWND Handle() const { return window_; }
    HWND Control(int id) const;

    std::wstring Text(int id) const;
    void SetText(int id, const std::wstring& text) const;
    bool Ticked(int id) const;
    bool Enabled(int id) const;
    // Posted, so a modal box the click opens does not block the test.
    void Click(int id) const;
    // Clicks a check box and waits until the click has been handled.
    void Toggle(int id) const;

    // The two paths a run needs, typed as a user would.
    void Fill(const std::wstring& source, const std::wstring& dest) const;

private:
    HWND window_;
};

}  // namespace quillo::gui
