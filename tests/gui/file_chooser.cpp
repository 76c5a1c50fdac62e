#include "file_chooser.h"

#include <dlgs.h>

#include <stdexcept>

#include "window_query.h"

namespace quillo::gui {

namespace {

// The file-type list of the chooser (its standard identifier).
constexpr int kFileTypeList = cmb1;

bool IsFileChooser(HWND dialog) {
    return GetDlgItem(dialog, kFileTypeList) != nullptr &&
           (GetDlgItem(dialog, cmb13) != nullptr || GetDlgItem(dialog, edt1) != nullptr);
}

DWORD_PTR SendOrThrow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result)) {
        throw std::runtime_error("the file chooser did not answer");
    }
    return result;
}

}  // namespace

FileChooserView FileChooserView::WaitFor(const QuilloProcess& quillo) {
    return FileChooserView(quillo.WaitForDialog("a file chooser of Quillo", IsFileChooser));
}

std::wstring FileChooserView::Title() const {
    return TextOf(chooser_);
}

std::vector<std::wstring> FileChooserView::FilterLabels() const {
    HWND list = ControlOf(chooser_, kFileTypeList);
    const auto count = static_cast<int>(SendOrThrow(list, CB_GETCOUNT, 0, 0));
    std::vector<std::wstring> labels;
    for (int i = 0; i < count; ++i) {
        const auto length = SendOrThrow(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring label(length + 1, L'\0');
        SendOrThrow(list, CB_GETLBTEXT, static_cast<WPARAM>(i),
                    reinterpret_cast<LPARAM>(label.data()));
        label.resize(length);
        labels.push_back(label);
    }
    return labels;
}

int FileChooserView::SelectedFilter() const {
    return static_cast<int>(SendOrThrow(ControlOf(chooser_, kFileTypeList), CB_GETCURSEL, 0, 0));
}

bool FileChooserView::ReadOnlyBoxShown() const {
    HWND box = GetDlgItem(chooser_, chx1);
    return box && IsShown(box);
}

bool FileChooserView::Resizable() const {
    return (StyleOf(chooser_) & WS_THICKFRAME) != 0;
}

HWND FileChooserView::FileNameBox() const {
    // Explorer-style choosers use an editable combo box; older ones an edit.
    if (HWND combo = GetDlgItem(chooser_, cmb13); combo && IsShown(combo)) {
        if (HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr)) {
            return edit;
        }
        return combo;
    }
    return ControlOf(chooser_, edt1);
}

std::wstring FileChooserView::FileNameText() const {
    return TextOf(FileNameBox());
}

void FileChooserView::Choose(const std::wstring& path) const {
    SetTextOf(FileNameBox(), path);
    PostCommand(chooser_, IDOK);
    WaitUntilGone();
}

void FileChooserView::Cancel() const {
    PostCommand(chooser_, IDCANCEL);
    WaitUntilGone();
}

void FileChooserView::WaitUntilGone() const {
    gui::WaitFor("the file chooser to close", [this] { return !IsWindow(chooser_); });
}

}  // namespace quillo::gui
