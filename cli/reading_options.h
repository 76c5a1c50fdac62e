// The reading limits on srt2rt's command line (--max-cps and the others,
// --no-limits) and what each run holds a file to.
#pragma once

#include <string>

#include "code_page.h"
#include "reading_limits.h"
#include "subtitle_check.h"

namespace quillo::cli {

struct Options;

struct GivenLimits {
    ReadingLimits values;  // those given; the others 0
    unsigned given = 0;    // a bit a limit given
    bool none = false;     // --no-limits
};

// The option that sets `limit`, without its dashes: "max-cps".
const char* LimitOptionName(ReadingLimit limit);

// Reads `value` as the option's for `limit` into `into`; false, with what to
// say in `error`, when it does not read.
bool ParseLimit(ReadingLimit limit, const char* value, GivenLimits& into, std::string& error);

// --check holds each entry to every limit, at its default where the command
// line gives none (to none with --no-limits). A conversion and --fix hold it
// only to those given, so that a batch is not drowned in advice nobody asked
// for; -q, which spares a conversion the check, to none.
void HoldToLimits(const Options& options, const CodePage& walked, SubtitleCheck& check);

}  // namespace quillo::cli
