// The conversion with the check looking on, in the same walk, and srt2rt
// --check's walk with nothing written (Destination::None): in a file of its
// own, so that the window, which never checks, links none of the check.
#include "conversion_run.h"
#include "subtitle_check.h"

namespace quillo {

void SubtitleCheck::Follow(const ConversionOptions& run) {
    verify_ = run.verifyLineNumbers;
    barsWalkedIn_ = run.warnOfSplitCharacters ? &run.codePage : nullptr;
    timeMap_ = run.timeMap;
}

RunOutcome Convert(const Source& source, const Destination& destination,
                   const ConversionOptions& options, SubtitleCheck& check) {
    check.Follow(options);
    return conversion_run::Run(
        source, destination, options, [&](TextReader& reader, OpenedDestination& opened) {
            return conversion_run::ConvertBetween(source.path, reader, opened, options, check);
        });
}

}  // namespace quillo
