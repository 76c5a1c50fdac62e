// srt2rt's timing options as given: --shift=OFFSET, --fps=FROM:TO and
// --sync=ENTRY@TIME[,ENTRY@TIME], read into what they ask of every time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "time_map.h"

namespace quillo {

struct TimingRequest {
    struct SyncPoint {
        int32_t entry;  // counted from 1, as messages count entries
        int64_t time;   // in milliseconds
    };
    bool shifted = false;
    int64_t shift = 0;  // milliseconds, after the rescaling
    bool rescaled = false;
    uint64_t scale = 1;  // FROM/TO as scale / divisor
    uint64_t divisor = 1;
    int syncPoints = 0;  // 0, 1 or 2
    SyncPoint sync[2] = {};
    std::string option;  // the options as messages name them: "--fps=23.976:25 --shift=-2"
};

// Each reads its option's value into `request`; false, with `error` worded
// for a usage error, when it does not parse or asks for nothing that can be.
bool ReadShift(std::string_view value, TimingRequest& request, std::string& error);
bool ReadFps(std::string_view value, TimingRequest& request, std::string& error);
bool ReadSync(std::string_view value, TimingRequest& request, std::string& error);

// The map of --shift and --fps: times rescaled, then shifted.
TimeMap MapOf(const TimingRequest& request);
// The map of --sync, from the starts of its entries in the file (`starts`,
// in milliseconds, one a point); false, with `error` worded, when the
// points would not keep the entries in their order.
bool SyncMapOf(const TimingRequest& request, const int64_t starts[2], TimeMap& map,
               std::string& error);

}  // namespace quillo
