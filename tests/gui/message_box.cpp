#include "message_box.h"

#include "window_query.h"

namespace quillo::gui {

namespace {

// Message boxes hold their text in a static control without an identifier.
constexpr int kMessageTextId = 0xFFFF;

HWND IconControlOf(HWND box) {
    for (HWND child : ChildrenOf(box)) {
        if (ClassNameOf(child) == L"Static" && (StyleOf(child) & SS_TYPEMASK) == SS_ICON) {
            return child;
        }
    }
    return nullptr;
}

}  // namespace

MessageBoxView MessageBoxView::WaitFor(const QuilloProcess& quillo, HWND besides) {
    return MessageBoxView(quillo.WaitForDialog("a message box of Quillo", [besides](HWND dialog) {
        const bool hasAnswer = GetDlgItem(dialog, IDOK) || GetDlgItem(dialog, IDYES);
        return dialog != besides && GetDlgItem(dialog, kMessageTextId) != nullptr && hasAnswer;
    }));
}

std::wstring MessageBoxView::Text() const {
    return TextOf(ControlOf(box_, kMessageTextId));
}

std::wstring MessageBoxView::Caption() const {
    return TextOf(box_);
}

std::vector<int> MessageBoxView::Buttons() const {
    std::vector<int> buttons;
    for (int id :
         {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO, IDTRYAGAIN, IDCONTINUE}) {
        HWND button = GetDlgItem(box_, id);
        if (button && IsShown(button)) {
            buttons.push_back(id);
        }
    }
    return buttons;
}

int MessageBoxView::DefaultButton() const {
    for (int id : Buttons()) {
        if ((StyleOf(GetDlgItem(box_, id)) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            return id;
        }
    }
    return 0;
}

int MessageBoxView::FocusedButton() const {
    HWND focus = FocusInThreadOf(box_);
    return focus && GetParent(focus) == box_ ? ControlIdOf(focus) : 0;
}

StandardIcon MessageBoxView::Icon() const {
    HWND icon = IconControlOf(box_);
    if (!icon || !IsShown(icon)) {
        return StandardIcon::None;
    }
    return RecogniseIcon(icon);
}

void MessageBoxView::Answer(int id) const {
    PostCommand(box_, id);
    gui::WaitFor("the message box to close", [this] { return !IsWindow(box_); });
}

}  // namespace quillo::gui
