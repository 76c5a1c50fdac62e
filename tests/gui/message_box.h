// A message box that Quillo shows, read and answered from outside.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "quillo_process.h"
#include "screen_icon.h"

namespace quillo::gui {

class MessageBoxView {
public:
    // Waits for a message box of `quillo`; `besides` is a dialog already
    // open (such as the About box) that is not to be taken for one.
    static MessageBoxView WaitFor(const QuilloProcess& quillo, HWND besides = nullptr);

    HWND Handle() const { return box_; }
    HWND Owner() const { return GetWindow(box_, GW_OWNER); }
    std::wstring Text() const;
    std::wstring Caption() const;
    // The standard answers the box offers (IDOK, IDCANCEL, IDYES, IDNO...), in id order.
    std::vector<int> Buttons() const;
    // The button drawn as the default one, and the button with the focus:
    // together they decide what Enter presses.
    int DefaultButton() const;
    int FocusedButton() const;
    // Which of the system's icons the box shows, as seen on the screen.
    StandardIcon Icon() const;

    // Presses the button `id` and waits until the box has gone.
    void Answer(int id) const;

private:
    explicit MessageBoxView(HWND box) : box_(box) {}
    HWND box_;
};

}  // namespace quillo::gui
