// srt2rt --fix's walk: the fixer hands its mended lines to the check, and
// every change it makes and every problem the check finds reach their sinks
// in the order one walk gives. Where the system gives a second thread, the
// check and the reports run on it, fed the mended lines through a log, so
// that mending and checking share the work of two cores.
#pragma once

#include <cstdint>

#include "mending_reader.h"
#include "subtitle_check.h"
#include "text_file.h"

namespace quillo {

// Mends `source` into `out`, telling `changes` of each change (severity
// Fixed) and letting `check` look at every mended line. Returns how many
// changes were made. Throws FileError when the system fails a read or a
// write, std::bad_alloc when memory runs out; whatever was told until then
// stands.
uint64_t MendAndCheck(MendingReader& source, TextWriter& out, ProblemSink& changes,
                      SubtitleCheck& check);

// The same, on one thread: the fixer is the check's line source.
uint64_t MendBesideCheck(MendingReader& source, TextWriter& out, ProblemSink& changes,
                         SubtitleCheck& check);

}  // namespace quillo
