// The check of an entry's text, which the document takes as it stands and
// the player reads as markup.
#include <cstring>
#include <iterator>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "subtitle_check.h"
#include "subtitle_check_message.h"
#include "utf8.h"

namespace quillo {
namespace {

// What a text line holds of what the check looks for, in one pass: lines are
// padded for the search, sixteen bytes at a time.
struct SpecialBytes {
    bool markup = false;   // '<', '&' or '{'
    bool bar = false;      // '|'
    bool greater = false;  // '>', as in an arrow
    bool high = false;     // a byte of 0x80 or more
};
SpecialBytes SpecialBytesOf(std::string_view line) {
    SpecialBytes found;
#ifdef __SSE2__
    unsigned markup = 0;
    unsigned bar = 0;
    unsigned greater = 0;
    unsigned high = 0;
    for (size_t at = 0; at < line.size(); at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + at));
        // Bytes past the end are the padding's or the next line's: masked off.
        const unsigned valid = line.size() - at >= 16 ? 0xFFFFu : (1u << (line.size() - at)) - 1;
        const auto hits = [&](char c) {
            return static_cast<unsigned>(
                _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(c))));
        };
        markup |= (hits('<') | hits('&') | hits('{')) & valid;
        bar |= hits('|') & valid;
        greater |= hits('>') & valid;
        high |= static_cast<unsigned>(_mm_movemask_epi8(bytes)) & valid;
    }
    found = {markup != 0, bar != 0, greater != 0, high != 0};
#else
    for (const char c : line) {
        found.markup = found.markup || c == '<' || c == '&' || c == '{';
        found.bar = found.bar || c == '|';
        found.greater = found.greater || c == '>';
        found.high = found.high || static_cast<unsigned char>(c) >= 0x80;
    }
#endif
    return found;
}

// Whether walking `line` in `page` takes the byte at `at` for the second of
// a character.
bool TakesForATrailByte(const CodePage& page, std::string_view line, size_t at) {
    size_t i = 0;
    while (i < at) {
        i += page.IsLeadByte(static_cast<unsigned char>(line[i])) && i + 1 < line.size() ? 2 : 1;
    }
    return i > at;
}

}  // namespace

void SubtitleCheck::LookAtSpecialText(std::string_view line) {
    const SpecialBytes bytes = SpecialBytesOf(line);
    if (bytes.markup) {
        LookAtMarkup(line);
    }
    // A '|' that may end a character needs a byte of 0x81 or more before it.
    if (barsWalkedIn_ != nullptr && bytes.bar && bytes.high) {
        LookAtBars(line);
    }
    if (bytes.greater) {
        LookForATimeLine(line);
    }
}

void SubtitleCheck::LookForATimeLine(std::string_view line) {
    using namespace check_message;
    // Where the entry failed, or line ends join entries, that was said.
    if (counts_.errors != entry_.errorsBefore || crCrLfSeen_ || crOnly_ || crEndedLines_) {
        return;
    }
    if (!ReadsAsATimeLine(line)) {
        return;
    }
    const Entry entry{entry_.ordinal};
    Report(ProblemCode::TimeInText, line_, 1, entry.ordinal, entry, "'s text holds a time line, ",
           Quoted{line, 40},
           ": the empty line before it is missing, so the entry it starts joins this one and its "
           "times show as text");
}

void SubtitleCheck::LookAtBars(std::string_view line) {
    using namespace check_message;
    static constexpr int kDoubleByte[] = {932, 936, 949, 950};
    for (size_t bar = line.find('|'); bar != std::string_view::npos;
         bar = line.find('|', bar + 1)) {
        if (bar == 0 || static_cast<unsigned char>(line[bar - 1]) < 0x81) {
            continue;  // no code page's lead byte before it
        }
        if (IsUtf8(line) || TakesForATrailByte(*barsWalkedIn_, line, bar)) {
            return;
        }
        int keeping[std::size(kDoubleByte)];
        size_t count = 0;
        for (const int number : kDoubleByte) {
            CodePage page;
            CodePage::Numbered(number, page);
            if (TakesForATrailByte(page, line, bar)) {
                keeping[count++] = number;
            }
        }
        // "932", "936 or 950", "936, 949 or 950"
        TextBuilder pages;
        for (size_t i = 0; i < count; ++i) {
            pages << (i == 0 ? "" : i + 1 == count ? " or " : ", ") << int64_t{keeping[i]};
        }
        if (count == 0) {
            continue;
        }
        const Entry entry{entry_.ordinal};
        Report(ProblemCode::SplitCharacter, line_, bar + 1, entry.ordinal, entry,
               "'s text has a \"|\" after the byte ", Hex{line[bar - 1]},
               ", which may be the second byte of a double-byte character: it becomes <BR> and "
               "cuts the character in two, unless --codepage gives the file's code page (",
               std::string_view(pages.View()), ")");
        return;  // one a line
    }
}

void SubtitleCheck::LookAtMarkup(std::string_view line) {
    using namespace check_message;
    const Entry entry{entry_.ordinal};
    ScanMarkup(line, [&](const MarkupItem& item) {
        const size_t column = item.at + 1;
        const unsigned bit = 1u << static_cast<unsigned>(item.style);
        OpenStyle& style = styles_[static_cast<size_t>(item.style)];
        switch (item.kind) {
            case MarkupItem::Kind::StrayLess:
                Report(ProblemCode::Markup, line_, column, entry.ordinal, entry, "'s text has ",
                       Quoted{line.substr(item.at), 16},
                       ": the player reads \"<\" as the start of a tag and hides what follows, up "
                       "to the next \">\"; write &lt; for \"<\"");
                return;
            case MarkupItem::Kind::StrayAmpersand:
                Report(ProblemCode::Markup, line_, column, entry.ordinal, entry, "'s text has ",
                       Quoted{line.substr(item.at), 16},
                       ": the player reads \"&\" as the start of a character reference it does "
                       "not know; write &amp; for \"&\"");
                return;
            case MarkupItem::Kind::UnshownCode:
                Report(ProblemCode::Markup, line_, column, entry.ordinal, entry, "'s text has ",
                       Quoted{line.substr(item.at, item.length), 16},
                       ", a character code the player cannot show: it shows the printable "
                       "characters of ISO 8859-1 (&#32; to &#126; and &#160; to &#255;)");
                return;
            case MarkupItem::Kind::OverrideBlock:
                Report(ProblemCode::OverrideTag, line_, column, entry.ordinal, entry,
                       "'s text has ", Quoted{line.substr(item.at, item.length), 32},
                       ", an override block the player does not read: it shows as text; remove "
                       "it");
                return;
            case MarkupItem::Kind::StyleOpened:
                if (style.depth++ == 0) {  // the outermost is the one left open
                    style.line = line_;
                    style.column = column;
                    openStyles_ |= bit;
                }
                return;
            case MarkupItem::Kind::StyleClosed:
                if (style.depth > 0 && --style.depth == 0) {
                    openStyles_ &= ~bit;
                }
                return;
        }
    });
}

void SubtitleCheck::ReportUnclosedStyles() {
    using namespace check_message;
    // In the order they were opened.
    while (openStyles_ != 0) {
        size_t first = kStyleTagCount;
        for (size_t s = 0; s < kStyleTagCount; ++s) {
            if ((openStyles_ >> s & 1u) != 0 &&
                (first == kStyleTagCount || styles_[s].line < styles_[first].line ||
                 (styles_[s].line == styles_[first].line &&
                  styles_[s].column < styles_[first].column))) {
                first = s;
            }
        }
        const std::string_view name = StyleTagName(static_cast<StyleTag>(first));
        Report(ProblemCode::UnclosedTag, styles_[first].line, styles_[first].column, entry_.ordinal,
               Entry{entry_.ordinal}, " opens <", name,
               "> and does not close it: the style runs into the entries after it; close it "
               "with </",
               name, ">");
        styles_[first].depth = 0;
        openStyles_ &= ~(1u << first);
    }
}

}  // namespace quillo
