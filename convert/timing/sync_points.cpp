#include "sync_points.h"

namespace quillo {

bool SyncStarts::TimeLine(const quillo::TimeLine& time) {
    if (found_ == request_.syncPoints || time.ordinal != request_.sync[found_].entry) {
        return true;
    }
    TimeRange t{};
    lines_[found_] = time.lineNumber;
    unreadable_ = !time.Times(t);
    starts_[found_++] = int64_t{t.beginHours} * 3600000 + int64_t{t.beginMinutes} * 60000 +
                        int64_t{t.beginSeconds} * 1000 + t.beginMilliseconds;
    return !unreadable_ && found_ < request_.syncPoints;
}

bool SyncStarts::Resolve(TimeMap& map, std::string& error, uint64_t& line, int32_t& entry) const {
    line = 0;
    entry = 0;
    if (found_ > 0 && unreadable_) {
        line = lines_[found_ - 1];
        entry = request_.sync[found_ - 1].entry;
        error = "entry " + std::to_string(entry) +
                "'s time line does not read, so it has no start to put in place";
        return false;
    }
    if (found_ < request_.syncPoints) {
        error = "the file has no entry " + std::to_string(request_.sync[found_].entry) +
                " (it has " + std::to_string(entries_) + (entries_ == 1 ? " entry)" : " entries)");
        return false;
    }
    if (!SyncMapOf(request_, starts_, map, error)) {
        line = lines_[1];
        entry = request_.sync[1].entry;
        return false;
    }
    return true;
}

}  // namespace quillo
