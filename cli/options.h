// The command line of srt2rt.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "reading_options.h"
#include "timing_options.h"

namespace quillo::cli {

struct Options {
    std::vector<std::string> sources;   // "-" is standard input
    std::optional<std::string> output;  // "-" is standard output
    std::optional<std::string> smilVideo;
    bool verifyLineNumbers = true;
    bool force = false;
    bool check = false;    // report every problem instead of converting
    bool fix = false;      // mend each source into SubRip instead of converting
    bool inPlace = false;  // --fix: each source mended where it stands
    bool json = false;     // --check's report as JSON Lines
    bool quiet = false;    // no warnings during a conversion
    // --codepage: how a line's characters are walked (0 for single bytes or
    // UTF-8); without it the system's ANSI code page (single bytes on POSIX).
    std::optional<int> codePage;
    // --shift, --fps and --sync; its option is empty without them.
    TimingRequest timing;
    GivenLimits limits;  // --max-cps and the others, --no-limits
    bool help = false;
    bool version = false;
};

struct ParseResult {
    Options options;
    std::string error;  // non-empty for a usage error
};

ParseResult ParseOptions(const std::vector<std::string>& args);

extern const char kUsage[];

}  // namespace quillo::cli
