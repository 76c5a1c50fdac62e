// The conversion with the check looking on, in the same walk: in a file of
// its own, so that the window, which never checks, links none of the check.
#include "conversion_run.h"
#include "subtitle_check.h"

namespace quillo {

RunOutcome Convert(const Source& source, const Destination& destination,
                   const ConversionOptions& options, SubtitleCheck& check) {
    return conversion_run::Run(
        source, destination, options, [&](TextReader& reader, OpenedDestination& opened) {
            return conversion_run::ConvertBetween(source.path, reader, opened, options, check);
        });
}

}  // namespace quillo
