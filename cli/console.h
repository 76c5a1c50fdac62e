// The little the command line needs from the platform's console.
#pragma once

#include <string>
#include <string_view>

namespace quillo::cli {

// True when a person can answer questions on standard input.
bool InputIsTerminal();

// True when `path` names a device or a pipe, not a file anyone keeps:
// writing there replaces nothing (/dev/null).
bool NamesADevice(const std::string& path);

// `utf8` as text inside the files we write holds it: the ANSI code page on
// Windows, as the window writes; false when a character has no place there.
bool FileTextFromUtf8(const std::string& utf8, std::string& text);

// Writes UTF-8 text to standard error: as characters on a console, whose code
// page may hold fewer of them than the ANSI one, else as UTF-8, which keeps
// every name in a saved report.
// Returns 0, or the system's error when the stream cannot be written.
int PrintError(std::string_view utf8);
// The same, with a line end.
void PrintErrorLine(const std::string& utf8);

// UTF-8 text for a person on standard output, written as PrintError writes.
int PrintOut(std::string_view utf8);
// Bytes on standard output as they stand (JSON, which is UTF-8 everywhere).
int WriteOutBytes(std::string_view bytes);

}  // namespace quillo::cli
