// Turning the program's byte strings into the UTF-16 text Windows displays,
// so that accented messages show right whatever the ANSI code page is.
#pragma once

#include <string>
#include <string_view>

namespace framework {

// Texts the program itself wrote (messages), which are UTF-8.
std::wstring WideFromUtf8(std::string_view text);
// Texts that came from the user or the system, such as paths, in the ANSI code page.
std::wstring WideFromAnsi(std::string_view text);

// `text` with every "%1" replaced by `argument`.
std::wstring ReplacePlaceholder(std::wstring text, std::wstring_view argument);

}  // namespace framework
