#include "mending_run.h"

#include "subtitle_fixer.h"

namespace quillo {

uint64_t MendAndCheck(MendingReader& source, TextWriter& out, ProblemSink& fixes,
                      SubtitleCheck& check, const TimeMap* map) {
    SubtitleFixer fixer(source, out, fixes);
    if (map != nullptr) {
        fixer.RetimeWith(*map);
    }
    ReadEntries(fixer, check);
    fixer.Finish();
    return fixer.Fixed();
}

}  // namespace quillo
