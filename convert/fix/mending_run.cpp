#include "mending_run.h"

#include "subtitle_fixer.h"

namespace quillo {

uint64_t MendAndCheck(MendingReader& source, TextWriter& out, ProblemSink& fixes,
                      SubtitleCheck& check) {
    SubtitleFixer fixer(source, out, fixes);
    ReadEntries(fixer, check);
    fixer.Finish();
    return fixer.Fixed();
}

}  // namespace quillo
