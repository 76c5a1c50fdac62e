#include "code_page.h"

namespace quillo {

CodePage CodePage::WithLeadByteRanges(
    std::initializer_list<std::pair<unsigned char, unsigned char>> ranges) {
    CodePage page;
    for (auto [first, last] : ranges) {
        for (unsigned b = first; b <= last; ++b) {
            page.lead_[b] = true;
            page.hasLeadBytes_ = true;
        }
    }
    return page;
}

size_t CodePage::FindFirst(std::string_view text, char ch) const {
    if (!hasLeadBytes_) {
        return text.find(ch);
    }
    for (size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
        if (text[pos] == ch) {
            return pos;
        }
    }
    return std::string_view::npos;
}

size_t CodePage::FindLast(std::string_view text, char ch) const {
    if (!hasLeadBytes_) {
        return text.rfind(ch);
    }
    size_t found = std::string_view::npos;
    for (size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
        if (text[pos] == ch) {
            found = pos;
        }
    }
    return found;
}

void CodePage::AppendReplacing(std::string& out, std::string_view text, char ch,
                               std::string_view replacement) const {
    Split(
        text, ch, [&out](std::string_view piece) { out.append(piece); },
        [&] { out.append(replacement); });
}

bool CodePage::Numbered(int number, CodePage& page) {
    switch (number) {
        case 0:
            page = SingleByte();
            return true;
        case 932:  // Shift_JIS
            page = WithLeadByteRanges({{0x81, 0x9F}, {0xE0, 0xFC}});
            return true;
        case 936:  // GBK
        case 949:  // UHC
        case 950:  // Big5
            page = WithLeadByteRanges({{0x81, 0xFE}});
            return true;
        default:
            return false;
    }
}

#ifndef _WIN32
// POSIX systems have no ANSI code page: bytes are taken one by one, which
// UTF-8 allows.
CodePage CodePage::System() {
    return SingleByte();
}
#endif

}  // namespace quillo
