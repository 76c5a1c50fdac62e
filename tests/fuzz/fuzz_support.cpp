#include "fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace quillo::fuzz {

void Fail(std::string_view what) {
    std::fprintf(stderr, "\nFUZZ CHECK FAILED: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

void Fail(std::string_view what, std::string_view expected, std::string_view actual) {
    size_t differ = 0;
    while (differ < expected.size() && differ < actual.size() &&
           expected[differ] == actual[differ]) {
        ++differ;
    }
    const size_t from = differ > 40 ? differ - 40 : 0;
    std::fprintf(stderr,
                 "\nFUZZ CHECK FAILED: %.*s\n  first difference at byte %zu (of %zu expected, "
                 "%zu actual)\n  expected: %s\n  actual:   %s\n",
                 static_cast<int>(what.size()), what.data(), differ, expected.size(), actual.size(),
                 Printable(expected.substr(std::min(from, expected.size()))).c_str(),
                 Printable(actual.substr(std::min(from, actual.size()))).c_str());
    std::abort();
}

std::string Printable(std::string_view bytes) {
    constexpr size_t kShown = 160;
    std::string text = "\"";
    for (size_t i = 0; i < bytes.size() && i < kShown; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\' || c == '"') {
            text += '\\';
            text += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            text += escape;
        }
    }
    text += bytes.size() > kShown ? "\"..." : "\"";
    return text;
}

}  // namespace quillo::fuzz
