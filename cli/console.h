// The little the command line needs from the platform's console.
#pragma once

#include <string>

namespace quillo::cli {

// True when a person can answer questions on standard input.
bool InputIsTerminal();

// `utf8` in the encoding paths have here (the ANSI code page on Windows).
std::string LocalText(const std::string& utf8);

// Writes one line (in the local encoding) and a line end to standard error.
void PrintErrorLine(const std::string& line);

}  // namespace quillo::cli
