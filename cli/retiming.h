// srt2rt's timing options for one source: the map its times go through, one
// for every source with --shift and --fps, found by a first walk of the
// source with --sync (standard input, which cannot be read twice, is refused
// with the options).
#pragma once

#include <optional>
#include <string>

#include "options.h"
#include "subtitle_check.h"
#include "time_map.h"

namespace quillo::cli {

class SourceRetiming {
public:
    // Works out `source`'s map, its entries read as --fix reads them when
    // `mended`, else as the conversion does; false, told to `report` (or
    // without one on standard error), when --sync cannot place them.
    bool Prepare(const std::string& source, const Options& options, bool mended,
                 ProblemSink* report);
    // nullptr without a timing option.
    const TimeMap* Map() const { return map_ ? &*map_ : nullptr; }

private:
    std::optional<TimeMap> map_;
};

}  // namespace quillo::cli
