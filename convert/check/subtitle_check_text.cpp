// The check of an entry's text, which the document takes as it stands and
// the player reads as markup.
#include "subtitle_check.h"
#include "subtitle_check_message.h"

namespace quillo {

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
