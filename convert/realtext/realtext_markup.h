// What a RealText player makes of an entry's text, which goes into the
// document as it stands: a '<' opens a tag and an '&' a character reference,
// as the player's markup reference defines them; the override blocks of other
// subtitle formats ("{\an8}"), common in SubRip files, mean nothing to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "byte_search.h"

namespace quillo {

// The tags whose style lasts until they are closed.
enum class StyleTag : uint8_t { Bold, Italic, Underline, Strike, Font };
inline constexpr size_t kStyleTagCount = 5;

// "b", "i", "u", "s", "font".
std::string_view StyleTagName(StyleTag tag);

struct MarkupItem {
    enum class Kind : uint8_t {
        StrayLess,       // a '<' that begins no tag the player knows, or one never closed by '>'
        StrayAmpersand,  // an '&' that begins no character reference the player knows
        UnshownCode,     // "&#NNN;" or "&#xHH;" for a code the player cannot show
        OverrideBlock,   // "{\...}", up to its '}' or the end of the line
        StyleOpened,     // <b>, <i>, <u>, <s>, <font ...>
        StyleClosed,     // </b>, </i>, </u>, </s>, </font>
    };
    Kind kind;
    StyleTag style;  // of StyleOpened and StyleClosed
    size_t at;       // where it starts in the line, from 0
    size_t length;   // its bytes: the tag, the reference, the block; 1 for a stray byte
};

// Whether `line` holds a '<', '&' or '{' at all: most text lines hold none.
// The line is followed by kSearchPadding readable bytes, as the reader's are.
inline bool MayHoldMarkup(std::string_view line) {
    const char* const end = line.data() + line.size();
    return FindAnyOfPadded(line.data(), end, '<', '&', '{') != end;
}

// Calls `found(const MarkupItem&)` for each item of `line` worth a word, in
// order; tags and references the player knows that change no style pass
// silently. The line is followed by kSearchPadding readable bytes.
template <typename Found>
void ScanMarkup(std::string_view line, Found&& found);

namespace realtext_markup {

// The item at `at`, which holds a '<', '&' or '{'; false when there is
// nothing to say of it. `next` is where the scan goes on.
bool ItemAt(std::string_view line, size_t at, MarkupItem& item, size_t& next);

}  // namespace realtext_markup

// The one-letter style tags, <i> and </i> above all, read in place: they
// are the markup of nearly every file.
inline bool ShortStyleTag(const char* at, const char* end, MarkupItem& item) {
    const bool closing = at[1] == '/';
    const char* const name = at + 1 + (closing ? 1 : 0);
    if (end - name < 2 || name[1] != '>') {
        return false;
    }
    StyleTag style;
    switch (name[0] | 0x20) {
        case 'b':
            style = StyleTag::Bold;
            break;
        case 'i':
            style = StyleTag::Italic;
            break;
        case 'u':
            style = StyleTag::Underline;
            break;
        case 's':
            style = StyleTag::Strike;
            break;
        default:
            return false;
    }
    item = {closing ? MarkupItem::Kind::StyleClosed : MarkupItem::Kind::StyleOpened, style, 0,
            static_cast<size_t>(name + 2 - at)};
    return true;
}

template <typename Found>
void ScanMarkup(std::string_view line, Found&& found) {
    const char* const end = line.data() + line.size();
    size_t from = 0;
    for (;;) {
        const char* hit = FindAnyOfPadded(line.data() + from, end, '<', '&', '{');
        if (hit == end) {
            return;
        }
        MarkupItem item;
        const size_t at = static_cast<size_t>(hit - line.data());
        if (*hit == '<' && ShortStyleTag(hit, end, item)) {
            item.at = at;
            from = at + item.length;
            found(item);
        } else if (realtext_markup::ItemAt(line, at, item, from)) {
            found(item);
        }
    }
}

}  // namespace quillo
