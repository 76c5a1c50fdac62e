// --fix's run: the fixer mends the source into the mended file, and the
// check looks at the mended lines as a reader of that file would, to report
// what is left.
#pragma once

#include <cstdint>

#include "conversion.h"
#include "mending_reader.h"
#include "subtitle_check.h"
#include "text_file.h"
#include "time_map.h"

namespace quillo {

// Mends `source` into `out` in one walk. `fixes` is told of each change and
// the check's sink of what is left, in the order of that walk: what was
// changed while a line was mended comes after the check's problems of the
// lines before it. Returns how many changes were made. Throws FileError and
// std::bad_alloc as the fixer does, once everything that came before the
// failure was said.
// With `map`, every time line's times are moved (SubtitleFixer::RetimeWith),
// and RetimingStopped thrown at one it cannot move.
uint64_t MendAndCheck(MendingReader& source, TextWriter& out, ProblemSink& fixes,
                      SubtitleCheck& check, const TimeMap* map = nullptr);

struct MendOutcome {
    RunOutcome run;
    uint64_t fixed = 0;  // the changes made
    // A time the timing options could not move stopped it (the check's sink
    // was told why): nothing is written.
    bool retimingStopped = false;
};

// The same through the one way in: opens both ends, mends, and puts the
// mended file in place, telling the host of every failure. With
// `replacesItsSource`, a file whose encoding was guessed without a
// byte-order mark is not put in place while errors are left
// (ProblemCode::UnsureEncoding): the source is the only copy.
MendOutcome Mend(const Source& source, const Destination& destination,
                 const ConversionOptions& options, SubtitleCheck& check, ProblemSink& fixes,
                 bool replacesItsSource);

}  // namespace quillo
