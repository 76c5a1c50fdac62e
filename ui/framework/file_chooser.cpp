#include "file_chooser.h"

#include <commdlg.h>

namespace framework {

std::string ChooserFilter(std::string_view barSeparated) {
    // Closing bars or not, the list ends with exactly two NULs.
    while (!barSeparated.empty() && barSeparated.back() == '|') {
        barSeparated.remove_suffix(1);
    }
    std::string filter(barSeparated);
    for (char& ch : filter) {
        if (ch == '|') {
            ch = '\0';
        }
    }
    filter.append(2, '\0');
    return filter;
}

std::optional<std::string> ChooseExistingFile(HWND owner, const std::string& title,
                                              std::string_view filter) {
    const std::string chooserFilter = ChooserFilter(filter);
    char path[MAX_PATH] = "";

    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = chooserFilter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrTitle = title.c_str();
    request.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;

    if (!GetOpenFileNameA(&request)) {
        return std::nullopt;
    }
    return std::string(path);
}

}  // namespace framework
