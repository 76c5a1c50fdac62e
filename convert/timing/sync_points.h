// --sync's first walk of a file: the start of each entry it names, so that
// the map is known before the first time is written. The walk stops at the
// last of them; nothing is held but two times.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "srt_entries.h"
#include "timing_options.h"

namespace quillo {

class SyncStarts {
public:
    explicit SyncStarts(const TimingRequest& request) : request_(request) {}

    // The visitor of ReadEntries, over the lines a conversion or --fix reads.
    template <typename Lines>
    void Line(const Lines&, std::string_view) {}
    void Index(const IndexLine&) { ++entries_; }
    bool TimeLine(const quillo::TimeLine& time);  // false once the last point's entry is read
    void Text(const TextLine&) {}
    void EndEntry() {}
    template <typename Lines>
    void Finish(const Lines&) {}

    // After the walk: the file's map; false, with `error` worded and the
    // line and entry it is about (0 for the file as a whole), when an entry
    // is missing, its time line does not read, or the points would turn the
    // times around.
    bool Resolve(TimeMap& map, std::string& error, uint64_t& line, int32_t& entry) const;

private:
    const TimingRequest& request_;
    uint64_t entries_ = 0;
    int found_ = 0;            // points whose entry was read
    int64_t starts_[2] = {};   // their begins, in milliseconds
    uint64_t lines_[2] = {};   // their time lines
    bool unreadable_ = false;  // the last one read has a time line that does not read
};

}  // namespace quillo
