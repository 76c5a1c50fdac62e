// What Windows users expect of a command-line program that their shell does
// not do for them: wildcards expanded by the program, and a window opened by
// Explorer that stays until it is read. Nothing to do on POSIX, whose shells
// expand wildcards and whose terminals stay.
#pragma once

#include <string>
#include <vector>

namespace quillo::cli {

// `sources` with each name whose file name holds '*' or '?' replaced by the
// files it matches, in Explorer's order; a name without them is kept as it
// stands, even when no such file exists. Each pattern that matches nothing
// goes to `unmatched`.
std::vector<std::string> ExpandWildcards(const std::vector<std::string>& sources,
                                         std::vector<std::string>& unmatched);

// When the program has a console of its own (a double-click, or files
// dropped on it in Explorer) and a person looks at it, waits for a key
// before the console closes.
void WaitWhenTheConsoleIsOurs();

}  // namespace quillo::cli
