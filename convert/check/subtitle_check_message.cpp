#include "subtitle_check_message.h"

namespace quillo {

void AppendQuotedLine(TextBuilder& out, std::string_view line, size_t shown) {
    out << '"';
    for (size_t i = 0; i < line.size() && i < shown; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c >= 0x7F) {
            static const char kHex[] = "0123456789ABCDEF";
            const char escaped[] = {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
            out << std::string_view(escaped, 4);
        } else {
            if (c == '"' || c == '\\') {
                out << '\\';
            }
            out << static_cast<char>(c);
        }
    }
    out << (line.size() > shown ? std::string_view("\"...") : std::string_view("\""));
}

namespace check_message {
namespace {

std::string_view Printed(const Clock& c, char (&text)[kMaxClockLength]) {
    return {text, FormatClockText(text, c.hours, c.minutes, c.seconds, c.milliseconds)};
}

}  // namespace

bool PrintAlike(const Clock& a, const Clock& b) {
    char first[kMaxClockLength];
    char second[kMaxClockLength];
    return Printed(a, first) == Printed(b, second);
}

void TellApart(Clock& a, Clock& b) {
    const bool differ = a.hours != b.hours || a.minutes != b.minutes || a.seconds != b.seconds ||
                        a.milliseconds != b.milliseconds;
    a.precise = b.precise = differ && PrintAlike(a, b);
}

void Append(TextBuilder& out, const Clock& c) {
    if (char* room = c.precise ? nullptr : out.Room(kMaxClockLength)) {
        // Nearly every clock said: printed in place.
        out.Commit(room + FormatClockText(room, c.hours, c.minutes, c.seconds, c.milliseconds));
        return;
    }
    char text[kMaxClockLength];
    std::string_view printed = Printed(c, text);
    if (c.precise && c.milliseconds >= 0 && c.milliseconds <= 999) {
        // The centiseconds give way to all three digits.
        printed.remove_suffix(2);
        const char digits[] = {static_cast<char>('0' + c.milliseconds / 100),
                               static_cast<char>('0' + c.milliseconds / 10 % 10),
                               static_cast<char>('0' + c.milliseconds % 10)};
        out << printed << std::string_view(digits, 3);
        return;
    }
    out << printed;
}

void Append(TextBuilder& out, Thousandths t) {
    char text[kMaxThousandthsLength];
    out << std::string_view(text, static_cast<size_t>(WriteThousandths(text, t.value) - text));
}

void Append(TextBuilder& out, const Figure& f) {
    int64_t shown = f.value;
    if (f.decimals < 3) {
        const int64_t step = f.decimals == 2 ? 10 : f.decimals == 1 ? 100 : 1000;
        const int64_t rounded = (f.value + step / 2) / step * step;
        if (rounded != f.limit && (rounded > f.limit) == (f.value > f.limit)) {
            shown = rounded;
        }
    }
    Append(out, Thousandths{shown});
}

void Append(TextBuilder& out, const PastLimit& past) {
    out << ": " << past.before;
    Append(out, Figure{past.figure, past.limit, past.decimals});
    out << past.after << " (limit ";
    Append(out, Thousandths{past.limit});
    out << past.unit << ")" << past.tail;
}

void Append(TextBuilder& out, IndexLineQuote q) {
    if (q.line.find_first_not_of("0123456789") != std::string_view::npos) {
        out << " (its index line reads ";
        AppendQuotedLine(out, q.line);
        out << ")";
    }
}

}  // namespace check_message
}  // namespace quillo
