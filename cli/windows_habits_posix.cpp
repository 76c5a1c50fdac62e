#include "windows_habits.h"

namespace quillo::cli {

std::vector<std::string> ExpandWildcards(const std::vector<std::string>& sources,
                                         std::vector<std::string>&) {
    return sources;  // the shell expanded them
}

void WaitWhenTheConsoleIsOurs() {}

}  // namespace quillo::cli
