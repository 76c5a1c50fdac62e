// UTF-8 as the reports and checks read it.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillo {

// The length of the UTF-8 sequence at `at` in `text`, or 0 when none starts
// there (a stray byte, an overlong lead, a sequence cut short).
inline size_t Utf8Length(std::string_view text, size_t at) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0x80                   ? 1
                          : lead >= 0xC2 && lead < 0xE0 ? 2
                          : lead >= 0xE0 && lead < 0xF0 ? 3
                          : lead >= 0xF0 && lead < 0xF5 ? 4
                                                        : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

// Whether `text` is UTF-8 throughout, where no ASCII byte is ever part of
// another character.
inline bool IsUtf8(std::string_view text) {
    for (size_t at = 0, length; at < text.size(); at += length) {
        if ((length = Utf8Length(text, at)) == 0) {
            return false;
        }
    }
    return true;
}

}  // namespace quillo
