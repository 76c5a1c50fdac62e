// srt2rt --help: the usage, then every problem code --check reports.
#pragma once

#include <string>

namespace quillo::cli {

std::string HelpText();

}  // namespace quillo::cli
