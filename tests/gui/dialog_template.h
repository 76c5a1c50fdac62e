// Dialog templates as they are stored in an executable's resources, in both
// the classic and the extended layout, read without creating any window.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quillo::gui {

// A rectangle in dialog units: x, y, width, height.
struct DialogUnitsRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const DialogUnitsRect& other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};
std::ostream& operator<<(std::ostream& out, const DialogUnitsRect& rect);

struct ControlTemplate {
    int id = 0;              // -1 for a control without an identifier of its own
    std::wstring className;  // predefined classes by name: "Button", "Edit", "Static"...
    std::wstring text;
    int textOrdinal = -1;  // a resource number in place of the text (icons), or -1
    DWORD style = 0;
    DWORD exStyle = 0;
    DialogUnitsRect rect;
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    DialogUnitsRect rect;
    std::wstring caption;
    int pointSize = 0;
    std::wstring typeface;
    std::vector<ControlTemplate> controls;
};

// Throws std::runtime_error when `bytes` is not a well-formed template.
DialogTemplate ParseDialogTemplate(std::string_view bytes);

}  // namespace quillo::gui
