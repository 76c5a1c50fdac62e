// The open-file chooser that Quillo shows, driven as a user would: a path
// typed into its file-name box and confirmed, or the chooser cancelled.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "quillo_process.h"

namespace quillo::gui {

class FileChooserView {
public:
    // Waits for the next file chooser of `quillo`.
    static FileChooserView WaitFor(const QuilloProcess& quillo);

    HWND Handle() const { return chooser_; }
    HWND Owner() const { return GetWindow(chooser_, GW_OWNER); }
    std::wstring Title() const;
    // The labels of the file-type list, and which one is selected.
    std::vector<std::wstring> FilterLabels() const;
    int SelectedFilter() const;
    bool ReadOnlyBoxShown() const;
    bool Resizable() const;
    std::wstring FileNameText() const;

    // Types `path` into the file-name box, confirms, and waits until the
    // chooser has gone.
    void Choose(const std::wstring& path) const;
    void Cancel() const;

private:
    explicit FileChooserView(HWND chooser) : chooser_(chooser) {}
    HWND FileNameBox() const;
    void WaitUntilGone() const;

    HWND chooser_;
};

}  // namespace quillo::gui
