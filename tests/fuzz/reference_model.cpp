#include "reference_model.h"

#include <cstdio>

namespace quillo::fuzz {
namespace {

constexpr uint64_t kWord = uint64_t{1} << 32;

bool IsCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsDecimal(char c) {
    return c >= '0' && c <= '9';
}

int32_t FromWord(uint64_t word) {
    return word >= kWord / 2
               ? static_cast<int32_t>(static_cast<int64_t>(word) - static_cast<int64_t>(kWord))
               : static_cast<int32_t>(word);
}

// One "%d" conversion at `at`; nothing when it fails to match.
std::optional<int32_t> ScanDecimal(std::string_view text, size_t& at) {
    while (at < text.size() && IsCSpace(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        negative = text[at] == '-';
        ++at;
    }
    if (at >= text.size() || !IsDecimal(text[at])) {
        return std::nullopt;
    }
    uint64_t word = 0;
    while (at < text.size() && IsDecimal(text[at])) {
        word = (word * 10 + static_cast<uint64_t>(text[at] - '0')) % kWord;
        ++at;
    }
    return FromWord(negative ? (kWord - word) % kWord : word);
}

bool IsShiftJisLead(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Appends `line` to `out`, each "|" character broken into <BR>.
void AppendWithBarsBroken(std::string& out, std::string_view line, bool shiftJis) {
    for (size_t i = 0; i < line.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(line[i]);
        if (shiftJis && IsShiftJisLead(byte) && i + 1 < line.size()) {
            out += line.substr(i, 2);
            ++i;
        } else if (byte == '|') {
            out += "<BR>";
        } else {
            out += static_cast<char>(byte);
        }
    }
}

std::string EntryNotice(const char* format, uint32_t entry) {
    char text[96];
    std::snprintf(text, sizeof text, format, FromWord(entry));
    return text;
}

}  // namespace

std::vector<std::string> ReferenceLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string line;
    line.reserve(bytes.size());  // one allocation, however long the line grows
    bool started = false;        // the current line holds at least one byte
    bool cut = false;            // a NUL was met: the rest of the line is lost
    for (char byte : bytes) {
        if (byte == '\x1A') {
            break;
        }
        if (byte == '\n') {
            if (!cut && !line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines.push_back(line);
            line.clear();
            started = cut = false;
            continue;
        }
        started = true;
        cut = cut || byte == '\0';
        if (!cut) {
            line += byte;
        }
    }
    if (started) {
        lines.push_back(line);
    }
    return lines;
}

std::string ReferenceWrittenLine(std::string_view text) {
    std::string file;
    file.reserve(2 * text.size() + 2);
    for (char byte : text) {
        if (byte == '\n') {
            file += '\r';
        }
        file += byte;
    }
    return file + "\r\n";
}

int32_t ReferenceIndex(std::string_view line) {
    size_t at = 0;
    return ScanDecimal(line, at).value_or(0);
}

std::optional<TimeFields> ReferenceTimeFields(std::string_view line) {
    TimeFields fields{};
    size_t stored = 0;
    size_t at = 0;
    for (std::string_view format = "%d:%d:%d,%d --> %d:%d:%d,%d"; !format.empty();) {
        if (format.substr(0, 2) == "%d") {
            const std::optional<int32_t> value = ScanDecimal(line, at);
            if (!value) {
                return std::nullopt;
            }
            fields[stored++] = *value;
            format.remove_prefix(2);
        } else if (IsCSpace(format[0])) {
            while (at < line.size() && IsCSpace(line[at])) {
                ++at;
            }
            format.remove_prefix(1);
        } else {
            if (at >= line.size() || line[at] != format[0]) {
                return std::nullopt;
            }
            ++at;
            format.remove_prefix(1);
        }
    }
    return fields;
}

std::string ReferenceTimeTag(const TimeFields& f) {
    char tag[160];
    std::snprintf(tag, sizeof tag,
                  "<Time Begin=\"%d:%02d:%02d.%02d\" End=\"%d:%02d:%02d.%02d\" /><clear/> ", f[0],
                  f[1], f[2], f[3] / 10, f[4], f[5], f[6], f[7] / 10);
    return tag;
}

ReferenceRun ReferenceConversion(std::string_view source, bool verifyLineNumbers, bool shiftJis) {
    return ReferenceConversion(ReferenceLines(source), verifyLineNumbers, shiftJis);
}

ReferenceRun ReferenceConversion(const std::vector<std::string>& lines, bool verifyLineNumbers,
                                 bool shiftJis) {
    size_t next = 0;
    static const std::string kNoLine;
    std::string_view line;
    auto read = [&] {
        line = next < lines.size() ? lines[next] : kNoLine;
        return next++ < lines.size();
    };

    ReferenceRun run{kReferenceOpening, ""};
    uint32_t entry = 0;
    bool written = false;
    for (;;) {
        if (!written && !read()) {
            break;
        }
        bool ended = false;
        while (line.empty() && !ended) {
            ended = !read();
        }
        if (ended) {
            break;
        }
        ++entry;
        if (verifyLineNumbers && ReferenceIndex(line) != FromWord(entry)) {
            run.notice = EntryNotice("Line %d . Line number error in .srt file.", entry);
            run.failedEntry = FromWord(entry);
            return run;
        }
        read();
        const std::optional<TimeFields> fields = ReferenceTimeFields(line);
        if (!fields) {
            run.notice = EntryNotice("Line %d . Time format error in .srt file.", entry);
            run.failedEntry = FromWord(entry);
            return run;
        }
        run.document += ReferenceTimeTag(*fields);
        for (int count = 0; read() && !line.empty(); ++count) {
            run.document += count > 0 ? "<BR>" : "";
            AppendWithBarsBroken(run.document, line, shiftJis);
        }
        run.document += "\r\n";
        written = true;
    }
    run.document += kReferenceClosing;
    return run;
}

}  // namespace quillo::fuzz
