// The system's open-file chooser.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "win32.h"

namespace framework {

// "label|pattern|label|pattern||" as the program writes its filters, turned
// into the chooser's form, where each part ends with a NUL and a second NUL
// ends the list.
std::string ChooserFilter(std::string_view barSeparated);

// Asks the user for an existing file, the window `owner` disabled meanwhile.
// Returns its full path, or nothing when the user cancels or the chooser
// fails (a path too long for it included).
std::optional<std::string> ChooseExistingFile(HWND owner, const std::string& title,
                                              std::string_view filter);

}  // namespace framework
