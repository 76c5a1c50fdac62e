// srt2rt's paths as text: UTF-8, with '/' separating folders on every system
// and '\' too on Windows. Multi-byte UTF-8 sequences hold no ASCII byte, so
// a plain byte search never splits a character.
#pragma once

#include <string>
#include <string_view>

namespace quillo {

bool IsFolderSeparator(char c);

// The folder part of `path`, up to and including its last separator (on
// Windows also a drive's "C:"); empty for a bare file name.
std::string_view FolderPart(std::string_view path);

// What follows the folder part.
std::string_view FileNamePart(std::string_view path);

// `path` as Windows opens it: on Windows without the dots and blanks its
// file name ends with; as it stands elsewhere.
std::string_view AsWindowsOpensIt(std::string_view path);

// The device Windows reserves that `path`'s file name stands for (NUL, CON,
// PRN, AUX, COM1-9, LPT1-9, with any extension, dots or blanks), or empty;
// always empty elsewhere.
std::string_view ReservedDeviceName(std::string_view path);

// `path` with the last extension of its file name replaced by `extension`
// (".rt"), or `extension` appended when the name has none. A dot in a folder
// never counts, nor one that opens the name (".srt" is a name, not an
// extension); on Windows, nor dots and blanks at the end ("film.srt.").
std::string WithLastExtension(std::string_view path, std::string_view extension);

}  // namespace quillo
