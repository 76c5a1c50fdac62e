// --fix's run: the fixer mends the source into the mended file, and the
// check looks at the mended lines as a reader of that file would, to report
// what is left.
#pragma once

#include <cstddef>
#include <cstdint>

#include "mending_reader.h"
#include "subtitle_check.h"
#include "text_file.h"

namespace quillo {

struct MendingOptions {
    // Where the source can be read again, the check looks on from a thread of
    // its own, following the fixer that writes, which tells how far it got
    // every this many lines (tests pass few); 0 has the check walk beside
    // that fixer instead.
    uint64_t asideStep = 1024;
};

// Mends `source` into `out`. `fixes` is told of each change and the check's
// sink of what is left, in the order of one walk: what was changed while a
// line was mended comes after the check's problems of the lines before it.
// Returns how many changes were made. Throws FileError and std::bad_alloc as
// the fixer does, once everything that came before the failure was said.
uint64_t MendAndCheck(MendingReader& source, TextWriter& out, ProblemSink& fixes,
                      SubtitleCheck& check, const MendingOptions& options = {});

}  // namespace quillo
