#include "converter_window.h"

#include <string>

#include "wait.h"
#include "window_query.h"

namespace quillo::gui {

HWND ConverterWindow::Control(int id) const {
    return ControlOf(window_, id);
}

std::wstring ConverterWindow::Text(int id) const {
    return TextOf(Control(id));
}

void ConverterWindow::SetText(int id, const std::wstring& text) const {
    SetTextOf(Control(id), text);
}

bool ConverterWindow::Ticked(int id) const {
    return IsChecked(Control(id));
}

bool ConverterWindow::Enabled(int id) const {
    return IsEnabled(Control(id));
}

void ConverterWindow::Click(int id) const {
    PostClick(Control(id));
}

void ConverterWindow::Toggle(int id) const {
    const bool before = Ticked(id);
    Click(id);
    // The window handles the whole click before it answers the next query.
    WaitFor("check box " + std::to_string(id) + " to change", [&] { return Ticked(id) != before; });
}

void ConverterWindow::Fill(const std::wstring& source, const std::wstring& dest) const {
    SetText(control::kSource, source);
    SetText(control::kDest, dest);
}

}  // namespace quillo::gui
