#include "realtext_markup.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace quillo::realtext_markup {
namespace {

// A tag name of up to eight letters, lowered, as one number.
constexpr uint64_t Packed(std::string_view name) {
    uint64_t value = 0;
    for (char c : name) {
        value = value << 8 | static_cast<unsigned char>(c);
    }
    return value;
}

// The tags of the player's markup reference (its chapter on text tags):
// window, time and position, layout, appearance and hyperlinks. Their names
// are read without regard to case, as the document's own <Time> and <BR>.
// The style tags come first, in StyleTag's order: they are the usual ones.
struct KnownTag {
    uint64_t name;
    bool styled;
};
constexpr KnownTag kTags[] = {
    {Packed("b"), true},         {Packed("i"), true},       {Packed("u"), true},
    {Packed("s"), true},         {Packed("font"), true},    {Packed("br"), false},
    {Packed("a"), false},        {Packed("center"), false}, {Packed("clear"), false},
    {Packed("hr"), false},       {Packed("li"), false},     {Packed("ol"), false},
    {Packed("p"), false},        {Packed("pos"), false},    {Packed("pre"), false},
    {Packed("required"), false}, {Packed("time"), false},   {Packed("tl"), false},
    {Packed("tu"), false},       {Packed("ul"), false},     {Packed("window"), false},
};
constexpr size_t kLongestTag = 8;

// The character references it knows: the markup's own four, and the
// ISO 8859-1 names; any other shows as written. Names are case-sensitive.
constexpr std::string_view kReferences[] = {
    "lt",     "gt",     "amp",    "quot",   "nbsp",   "iexcl",  "cent",   "pound",  "curren",
    "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",   "laquo",  "not",    "shy",
    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",  "para",
    "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest",
    "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave",
    "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde",
    "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",  "Oslash", "Ugrave", "Uacute",
    "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",  "atilde",
    "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave",
    "iacute", "icirc",  "iuml",   "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde",
    "ouml",   "divide", "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",
    "yuml",
};

constexpr std::string_view kStyleNames[kStyleTagCount] = {"b", "i", "u", "s", "font"};

bool IsLetter(char c) {
    return static_cast<unsigned>((static_cast<unsigned char>(c) | 0x20u) - 'a') < 26;
}
bool IsAlphanumeric(char c) {
    return IsLetter(c) || static_cast<unsigned>(static_cast<unsigned char>(c) - '0') < 10;
}

// A tag at `at`: '<', an optional '/', a name the player knows, then '>',
// '/' or a blank, and a '>' further on the line that closes it. Returns its
// length (0 for none) and, for a style tag, whether it opens or closes it.
struct Tag {
    size_t length = 0;
    bool styled = false;
    bool closing = false;
    StyleTag style = StyleTag::Bold;
};
Tag TagAt(std::string_view line, size_t at) {
    Tag tag;
    size_t p = at + 1;
    tag.closing = p < line.size() && line[p] == '/';
    p += tag.closing ? 1 : 0;
    const size_t nameStart = p;
    uint64_t name = 0;
    for (; p < line.size() && IsLetter(line[p]); ++p) {
        name = name << 8 | (static_cast<unsigned char>(line[p]) | 0x20u);
    }
    if (p == nameStart || p - nameStart > kLongestTag || p == line.size()) {
        return tag;
    }
    const KnownTag* known = std::find_if(std::begin(kTags), std::end(kTags),
                                         [&](const KnownTag& t) { return t.name == name; });
    if (known == std::end(kTags)) {
        return tag;
    }
    const char after = line[p];
    size_t close = p;  // the usual <i>
    if (after != '>') {
        close = after == '/' || after == ' ' || after == '\t' ? line.find('>', p)
                                                              : std::string_view::npos;
        if (close == std::string_view::npos) {
            return tag;
        }
    }
    tag.length = close + 1 - at;
    // <b/> opens nothing.
    if (known->styled && (tag.closing || line[close - 1] != '/')) {
        tag.styled = true;
        tag.style = static_cast<StyleTag>(known - std::begin(kTags));
    }
    return tag;
}

// A reference at `at`: '&', a name it knows, ';'. Returns its length, 0 for none.
size_t KnownReferenceLength(std::string_view line, size_t at) {
    size_t p = at + 1;
    while (p < line.size() && IsAlphanumeric(line[p]) && p - at <= 8) {
        ++p;
    }
    if (p == line.size() || line[p] != ';') {
        return 0;
    }
    const std::string_view name = line.substr(at + 1, p - at - 1);
    const bool known =
        std::find(std::begin(kReferences), std::end(kReferences), name) != std::end(kReferences);
    return known ? p + 1 - at : 0;
}

// A numeric reference at `at`: "&#" and decimal digits, or "&#x" and hex
// digits, then ';'. Returns its length (0 for none) and its code, or
// UINT32_MAX past any code.
size_t NumericReferenceLength(std::string_view line, size_t at, uint32_t& code) {
    size_t p = at + 2;
    if (p >= line.size() || line[p - 1] != '#') {
        return 0;
    }
    const bool hex = line[p] == 'x' || line[p] == 'X';
    p += hex ? 1 : 0;
    const size_t first = p;
    code = 0;
    for (; p < line.size(); ++p) {
        const char c = line[p];
        const unsigned lower = static_cast<unsigned char>(c) | 0x20u;
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (hex && lower >= 'a' && lower <= 'f') {
            digit = lower - 'a' + 10;
        } else {
            break;
        }
        code = code > 0x10FFFF ? UINT32_MAX : code * (hex ? 16 : 10) + digit;
    }
    return p > first && p < line.size() && line[p] == ';' ? p + 1 - at : 0;
}

// The codes the player shows, as it shows the ISO 8859-1 names: that
// character set's printable ones.
bool IsShownCode(uint32_t code) {
    return (code >= 0x20 && code <= 0x7E) || (code >= 0xA0 && code <= 0xFF);
}

}  // namespace

bool ItemAt(std::string_view line, size_t at, MarkupItem& item, size_t& next) {
    switch (line[at]) {
        case '<': {
            const Tag tag = TagAt(line, at);
            if (tag.length == 0) {
                item = {MarkupItem::Kind::StrayLess, StyleTag::Bold, at, 1};
                next = at + 1;
                return true;
            }
            next = at + tag.length;
            item = {tag.closing ? MarkupItem::Kind::StyleClosed : MarkupItem::Kind::StyleOpened,
                    tag.style, at, tag.length};
            return tag.styled;
        }
        case '&':
            if (const size_t length = KnownReferenceLength(line, at); length != 0) {
                next = at + length;
                return false;
            }
            if (uint32_t code; const size_t length = NumericReferenceLength(line, at, code)) {
                next = at + length;
                item = {MarkupItem::Kind::UnshownCode, StyleTag::Bold, at, length};
                return !IsShownCode(code);
            }
            item = {MarkupItem::Kind::StrayAmpersand, StyleTag::Bold, at, 1};
            next = at + 1;
            return true;
        default:  // '{'
            next = at + 1;
            if (at + 1 >= line.size() || line[at + 1] != '\\') {
                return false;
            }
            const size_t close = line.find('}', at + 2);
            next = close == std::string_view::npos ? line.size() : close + 1;
            item = {MarkupItem::Kind::OverrideBlock, StyleTag::Bold, at, next - at};
            return true;
    }
}

}  // namespace quillo::realtext_markup

namespace quillo {

std::string_view StyleTagName(StyleTag tag) {
    return realtext_markup::kStyleNames[static_cast<size_t>(tag)];
}

}  // namespace quillo
