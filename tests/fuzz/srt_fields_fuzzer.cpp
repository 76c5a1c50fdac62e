// The index and time-line scanners and the time tag against plain readings
// of the same rules, and against the C library wherever its result is
// defined (no number long enough to overflow, no NUL to end the string).
// Every fast path must agree with the general code behind it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "../common/srt_field_helpers.h"
#include "fuzz_support.h"
#include "reference_model.h"
#include "srt_fields.h"
#include "text_file.h"

namespace quillo::fuzz {
namespace {

using test::AppendTimeTag;
using test::ParseTimeLine;

TimeFields FieldsOf(const TimeRange& r) {
    return {r.beginHours, r.beginMinutes, r.beginSeconds, r.beginMilliseconds,
            r.endHours,   r.endMinutes,   r.endSeconds,   r.endMilliseconds};
}

std::string Numbers(const TimeFields& fields) {
    std::string text;
    for (int32_t field : fields) {
        text += std::to_string(field) + " ";
    }
    return text;
}

// True when the C library reads `line` exactly as its rules say.
bool LibraryIsDefinedFor(std::string_view line) {
    size_t digits = 0;
    for (char c : line) {
        if (c == '\0') {
            return false;
        }
        digits = c >= '0' && c <= '9' ? digits + 1 : 0;
        if (digits > 9) {
            return false;
        }
    }
    return true;
}

// `line` as a C string, in memory kept from call to call.
const char* CString(std::string_view line) {
    static std::string storage;
    storage.assign(line);
    return storage.c_str();
}

// `line` followed by padding as the reader gives it, made of digits so that a
// fast path reading too far would take them for part of the number.
std::string_view Padded(std::string_view line, std::string& storage) {
    storage.assign(line).append(kSearchPadding, '7');
    return std::string_view(storage.data(), line.size());
}

void CheckIndex(std::string_view line) {
    const int32_t index = ParseIndex(line);
    RequireEqual(ReferenceIndex(line), index, [&] { return "the index of " + Printable(line); });
    static std::string storage;
    RequireEqual(index, ParseIndexOfPaddedLine(Padded(line, storage)),
                 [&] { return "the fast index of " + Printable(line); });
    if (LibraryIsDefinedFor(line)) {
        RequireEqual(std::atol(CString(line)), index,
                     [&] { return "atol's index of " + Printable(line); });
    }
}

void CheckTag(const TimeRange& range) {
    static std::string tag;
    tag.assign("text before ");
    AppendTimeTag(tag, range);
    RequireEqual("text before " + ReferenceTimeTag(FieldsOf(range)), tag,
                 [&] { return "the time tag of " + Numbers(FieldsOf(range)); });
}

void CheckTimeLine(std::string_view line) {
    TimeRange range{};
    const bool parsed = ParseTimeLine(line, range);
    const std::optional<TimeFields> expected = ReferenceTimeFields(line);
    Require(parsed == expected.has_value(), [&] {
        return "the time line " + Printable(line) + (parsed ? " parses" : " does not parse");
    });
    if (parsed) {
        Require(*expected == FieldsOf(range), [&] {
            return "the fields of " + Printable(line) + ": " + Numbers(FieldsOf(range)) +
                   "instead of " + Numbers(*expected);
        });
        CheckTag(range);
    }
    TimeRange general{};
    Require(ScanTimeLine(line, general) == parsed, [&] {
        return "the fast and general time-line readings disagree on " + Printable(line);
    });
    if (parsed) {
        Require(FieldsOf(general) == FieldsOf(range), [&] {
            return "the fast path's fields of " + Printable(line) + ": " +
                   Numbers(FieldsOf(range)) + "instead of " + Numbers(FieldsOf(general));
        });
    }
    char tag[kMaxTimeTagLength];
    if (const size_t length = UsualTimeTag(line, tag); length > 0) {
        Require(parsed,
                [&] { return "a tag is copied from the bad time line " + Printable(line); });
        static std::string formatted;
        formatted.clear();
        AppendTimeTag(formatted, general);
        RequireEqual(formatted, std::string_view(tag, length),
                     [&] { return "the copied tag of " + Printable(line); });
    }
    if (LibraryIsDefinedFor(line)) {
        int f[8] = {};
        const int stored = std::sscanf(CString(line), "%d:%d:%d,%d --> %d:%d:%d,%d", &f[0], &f[1],
                                       &f[2], &f[3], &f[4], &f[5], &f[6], &f[7]);
        Require(parsed == (stored == 8), [&] { return "sscanf disagrees on " + Printable(line); });
        if (parsed) {
            const TimeFields library{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]};
            Require(library == FieldsOf(range), [&] {
                return "sscanf's fields of " + Printable(line) + ": " + Numbers(library);
            });
        }
    }
}

// Eight fields taken straight from the input's bytes, so that every value,
// the most negative included, reaches the formatting.
void CheckTagOfRawFields(std::string_view input) {
    if (input.size() < 8 * sizeof(int32_t)) {
        return;
    }
    int32_t raw[8];
    std::memcpy(raw, input.data(), sizeof raw);
    CheckTag(TimeRange{raw[0], raw[1], raw[2], raw[3], raw[4], raw[5], raw[6], raw[7]});
}

}  // namespace
}  // namespace quillo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillo::fuzz;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // Every line on its own, as the run meets them, then the whole input.
    for (std::string_view rest = input; !rest.empty();) {
        const size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        CheckIndex(line);
        CheckTimeLine(line);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    CheckIndex(input);
    CheckTimeLine(input);
    CheckTagOfRawFields(input);
    return 0;
}
