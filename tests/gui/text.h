// Conversions between the wide text of window APIs and the UTF-8 used in
// failure messages.
#pragma once

#include <string>
#include <string_view>

namespace quillo::gui {

std::string Narrow(std::wstring_view wide);
std::wstring Widen(std::string_view utf8);

}  // namespace quillo::gui
