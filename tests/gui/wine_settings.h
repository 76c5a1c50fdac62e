// Wine settings that the GUI tests and the demo need while they drive Quillo.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace quillo::gui {

bool RunningUnderWine();

// On a virtual screen no window manager acknowledges that a window was
// hidden, and Wine waits two seconds for that at every closing box. While
// this object lives, Wine manages Quillo's windows itself (and draws their
// frames); the previous setting comes back when it goes.
class SelfManagedQuilloWindows {
public:
    SelfManagedQuilloWindows();
    ~SelfManagedQuilloWindows();
    SelfManagedQuilloWindows(const SelfManagedQuilloWindows&) = delete;
    SelfManagedQuilloWindows& operator=(const SelfManagedQuilloWindows&) = delete;

private:
    HKEY key_ = nullptr;
    std::optional<std::wstring> previous_;
};

}  // namespace quillo::gui
