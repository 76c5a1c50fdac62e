#include "reading_options.h"

#include "options.h"

namespace quillo::cli {
namespace {

struct LimitOption {
    const char* name;
    const char* unit;
    bool decimals;  // thousandths may be given, as in 0.7 or 17.5
};
constexpr LimitOption kLimitOptions[kReadingLimitCount] = {
    {"max-cps", "characters a second", true},
    {"max-line", "characters", false},
    {"max-lines", "lines", false},
    {"min-duration", "seconds", true},
    {"max-duration", "seconds", true},
    {"min-gap", "seconds", true},
};

// The most a limit may be, 1,000,000 of its unit: more than any file needs,
// and small enough that no figure against it overflows.
constexpr int64_t kMostThousandths = int64_t{1000000} * 1000;

// "20", "0.7", "17.25": digits, then with `decimals` a '.' and up to three
// more; nothing rounded.
bool ReadThousandths(const char* text, bool decimals, int64_t& out) {
    int64_t whole = 0;
    const char* p = text;
    for (; *p >= '0' && *p <= '9'; ++p) {
        whole = whole * 10 + (*p - '0');
        if (whole > kMostThousandths / 1000) {
            return false;
        }
    }
    if (p == text) {
        return false;
    }
    int64_t part = 0;
    if (*p == '.' && decimals) {
        const char* const first = ++p;
        for (int64_t scale = 100; *p >= '0' && *p <= '9'; ++p, scale /= 10) {
            if (scale == 0) {
                return false;  // a fourth decimal: not kept, so not taken
            }
            part += (*p - '0') * scale;
        }
        if (p == first) {
            return false;
        }
    }
    out = whole * 1000 + part;
    return *p == '\0' && out <= kMostThousandths;
}

}  // namespace

const char* LimitOptionName(ReadingLimit limit) {
    return kLimitOptions[static_cast<size_t>(limit)].name;
}

bool ParseLimit(ReadingLimit limit, const char* value, GivenLimits& into, std::string& error) {
    const LimitOption& option = kLimitOptions[static_cast<size_t>(limit)];
    const auto index = static_cast<size_t>(limit);
    if (!ReadThousandths(value, option.decimals, into.values.thousandths[index])) {
        error = std::string("option '--") + option.name + "' needs a " +
                (option.decimals ? "" : "whole ") + "number of " + option.unit +
                " from 0 (off) to 1000000" + (option.decimals ? ", with up to three decimals" : "");
        return false;
    }
    into.given |= 1u << index;
    return true;
}

void HoldToLimits(const Options& options, const CodePage& walked, SubtitleCheck& check) {
    const GivenLimits& limits = options.limits;
    ReadingLimits held = limits.values;
    if (options.check) {
        held = limits.none ? ReadingLimits{} : DefaultReadingLimits();
        for (size_t i = 0; i < kReadingLimitCount; ++i) {
            if ((limits.given >> i & 1u) != 0) {
                held.thousandths[i] = limits.values.thousandths[i];
            }
        }
    } else if (options.quiet && !options.fix) {
        return;
    }
    check.ReadAgainst(held, walked);
}

}  // namespace quillo::cli
