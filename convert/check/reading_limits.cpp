#include "reading_limits.h"

#include "byte_search.h"
#include "realtext_markup.h"
#include "text_builder.h"
#include "utf8.h"

namespace quillo {

bool ReadingLimits::Any() const {
    for (const int64_t limit : thousandths) {
        if (limit != 0) {
            return true;
        }
    }
    return false;
}

ReadingState::ReadingState(const ReadingLimits& limits) {
    const auto most = [&](ReadingLimit limit) {
        const int64_t value = limits.Of(limit);
        return value == 0 ? UINT64_MAX : static_cast<uint64_t>(value / 1000);
    };
    mostInALine = most(ReadingLimit::LineLength);
    mostLines = most(ReadingLimit::LineCount);
    shortestShown = limits.Of(ReadingLimit::ShortestDuration);
    longestShown = limits.Of(ReadingLimit::LongestDuration);
    longestShown = longestShown == 0 ? INT64_MAX : longestShown;
    leastGap = limits.Of(ReadingLimit::ShortestGap);
    fastest = limits.Of(ReadingLimit::CharactersPerSecond);
    budgetedTo = fastest == 0 ? 0 : INT64_MAX / fastest;
}

ReadingLimits DefaultReadingLimits() {
    return {{20000, 42000, 2000, 700, 7000, 0}};
}

TextReading ReadingOf(std::string_view line, bool special, const CodePage& walked) {
    const bool high = HoldsHighBytes(line);
    if (!special && !high) {
        return {line.size(), 1, line.size(), 0};  // nearly every line
    }
    TextReading read{0, 1, 0, 0};
    uint64_t shown = 0;  // of the line the player shows from `start`
    size_t start = 0;
    const auto endLine = [&] {
        if (shown > read.longest) {
            read.longest = shown;
            read.longestAt = start;
        }
        read.characters += shown;
    };
    // Markup as the check reads it: a tag shows nothing, a reference one
    // character, an override block nothing; a '<' or '{' that begins none is
    // text. Returns where the text goes on.
    const auto markup = [&](size_t at) {
        const char c = line[at];
        MarkupItem item;
        if (c == '<' && ShortStyleTag(line.data() + at, line.data() + line.size(), item)) {
            return at + item.length;  // <i> and </i> above all
        }
        size_t next;
        const bool said = realtext_markup::ItemAt(line, at, item, next);
        shown += c == '&' || (c == '<' && said && item.kind == MarkupItem::Kind::StrayLess) ||
                         (c == '{' && !said)
                     ? 1
                     : 0;
        return next;
    };
    const auto lineBreak = [&](size_t at) {  // a '|': a line break, and its space
        endLine();
        ++read.characters;
        ++read.lines;
        shown = 0;
        start = at + 1;
    };
    if (!high) {
        // A byte a character: the runs between '|' and markup are their bytes.
        const char* const begin = line.data();
        const char* const end = begin + line.size();
        for (const char* p = begin;;) {
            const char* const hit = FindAnyOfPadded(p, end, '|', '<', '&', '{');
            shown += static_cast<uint64_t>(hit - p);
            if (hit == end) {
                break;
            }
            const auto at = static_cast<size_t>(hit - begin);
            if (*hit == '|') {
                lineBreak(at);
                p = hit + 1;
            } else {
                p = begin + markup(at);
            }
        }
        endLine();
        return read;
    }
    // A UTF-8 line is read as UTF-8 whatever the code page: its sequences
    // never hold an ASCII byte.
    const bool utf8 = IsUtf8(line);
    const bool doubleByte = !utf8 && walked.HasLeadBytes();
    for (size_t at = 0; at < line.size();) {
        const unsigned char c = static_cast<unsigned char>(line[at]);
        if (c >= 0x80) {
            at += utf8 ? Utf8Length(line, at)
                  : doubleByte && walked.IsLeadByte(c) && at + 1 < line.size() ? 2
                                                                               : 1;
            ++shown;
            continue;
        }
        if (c == '|') {
            lineBreak(at++);
        } else if (c == '<' || c == '&' || c == '{') {
            at = markup(at);
        } else {
            ++shown;
            ++at;
        }
    }
    endLine();
    return read;
}

char* WriteThousandths(char* to, int64_t value) {
    if (value < 0) {
        *to++ = '-';
    }
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : value;
    to = WriteDecimal(to, magnitude / 1000);
    if (uint64_t part = magnitude % 1000; part != 0) {
        *to++ = '.';
        for (uint64_t digit = 100; part != 0; digit /= 10) {
            *to++ = static_cast<char>('0' + part / digit);
            part %= digit;
        }
    }
    return to;
}

}  // namespace quillo
