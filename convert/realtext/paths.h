// Deriving one path from another, walking the text character by character
// in the ANSI code page so a double-byte trail byte is never a '.' or a
// separator.
#pragma once

#include <string>
#include <string_view>

#include "code_page.h"

namespace quillo {

// The window's separator; the command-line converter on POSIX passes '/'.
inline constexpr char kBackslash = '\\';

// The text after the last separator, or the whole path when it has none.
std::string_view BareFileName(std::string_view path, const CodePage& codePage,
                              char separator = kBackslash);

// The path up to the first '.' of its last component (after the last
// separator); the whole path when that component has no '.'. A dot in a
// folder name never counts: D:\my.subs\film.srt gives D:\my.subs\film.
std::string Stem(std::string_view path, const CodePage& codePage, char separator = kBackslash);

bool ContainsDot(std::string_view path, const CodePage& codePage);

// `path`, with `extension` appended when the path holds no '.' at all.
std::string WithDefaultExtension(std::string_view path, std::string_view extension,
                                 const CodePage& codePage);

}  // namespace quillo
