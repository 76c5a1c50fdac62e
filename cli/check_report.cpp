#include "check_report.h"

#include <cstring>

#include "console.h"
#include "text_builder.h"
#include "utf8.h"

namespace quillo::cli {
namespace {

void AppendNumber(std::string& out, uint64_t value) {
    char digits[kMaxDecimalDigits];
    out.append(digits, static_cast<size_t>(WriteDecimal(digits, value) - digits));
}

void AppendCount(std::string& out, uint64_t count, const char* singular, const char* plural) {
    AppendNumber(out, count);
    out += ' ';
    out += count == 1 ? singular : plural;
}

std::string_view SeverityName(Severity severity) {
    switch (severity) {
        case Severity::Error:
            return "error";
        case Severity::Warning:
            break;
        case Severity::Fixed:
            return "fixed";
    }
    return "warning";
}

// "FILE:LINE:COLUMN: severity: message [code]", or FILE alone for a problem
// of the whole file, then `end`, written at `p`, which has room for
// ProblemRoom(...) bytes; returns where it ends.
size_t ProblemRoom(std::string_view file, const Problem& problem, std::string_view end) {
    return file.size() + 2 * (kMaxDecimalDigits + 1) + SeverityName(problem.severity).size() +
           problem.message.size() + problem.Name().size() + end.size() + 7;
}
char* WriteProblem(char* p, std::string_view file, const Problem& problem,
                   std::string_view end = {}) {
    const auto put = [&p](std::string_view piece) {
        if (!piece.empty()) {  // an empty view may carry no pointer, which memcpy must not get
            std::memcpy(p, piece.data(), piece.size());
            p += piece.size();
        }
    };
    put(file);
    if (problem.line != 0) {
        *p++ = ':';
        p = WriteDecimal(p, problem.line);
        *p++ = ':';
        p = WriteDecimal(p, problem.column);
    }
    put(": ");
    put(SeverityName(problem.severity));
    put(": ");
    put(problem.message);
    put(" [");
    put(problem.Name());
    *p++ = ']';
    put(end);
    return p;
}

}  // namespace

std::string ShownName(std::string_view name) {
    std::string shown;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 15];
        } else {
            shown += c;
        }
    }
    return shown;
}

void OutputBuffer::Flush() {
    if (used_ != 0) {
        const std::string_view text(text_.data(), used_);
        const int error = toError_      ? PrintError(text)
                          : characters_ ? PrintOut(text)
                                        : WriteOutBytes(text);
        writeError_ = writeError_ != 0 ? writeError_ : error;
        used_ = 0;
    }
}

// `text` as the inside of a JSON string, written at `p`, which has room for
// 6 bytes a byte of it; returns where it ends. Runs of plain ASCII, nearly
// all of any message, are copied as they stand.
char* WriteJsonText(char* p, std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    for (size_t at = 0; at < text.size();) {
        size_t plain = at;
        while (plain < text.size()) {
            const unsigned char c = static_cast<unsigned char>(text[plain]);
            if (c < 0x20 || c >= 0x80 || c == '"' || c == '\\') {
                break;
            }
            ++plain;
        }
        if (plain > at) {
            std::memcpy(p, text.data() + at, plain - at);
            p += plain - at;
            at = plain;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c == '"' || c == '\\') {
            *p++ = '\\';
            *p++ = static_cast<char>(c);
            ++at;
        } else if (c < 0x20) {
            std::memcpy(p, "\\u00", 4);
            p[4] = kHex[c >> 4];
            p[5] = kHex[c & 15];
            p += 6;
            ++at;
        } else if (const size_t length = Utf8Length(text, at); length > 0) {
            std::memcpy(p, text.data() + at, length);
            p += length;
            at += length;
        } else {
            std::memcpy(p, "\\ufffd", 6);
            p += 6;
            ++at;
        }
    }
    return p;
}

std::string JsonString(std::string_view text) {
    std::string json(6 * text.size() + 2, '\0');
    char* p = json.data();
    *p++ = '"';
    p = WriteJsonText(p, text);
    *p++ = '"';
    json.resize(static_cast<size_t>(p - json.data()));
    return json;
}

void TextReport::Report(const Problem& problem) {
    // Written in place: a report may hold millions of lines.
    out_.Commit(WriteProblem(out_.Room(ProblemRoom(file_, problem, "\n")), file_, problem, "\n"));
    out_.FlushWhenFull();
}

void TextReport::Summary(const CheckCounts& counts, bool fixing) {
    std::string out;
    out += file_;
    out += ": ";
    AppendCount(out, counts.entries, "entry", "entries");
    if (!fixing) {
        out += ", ";
        AppendCount(out, counts.errors, "error", "errors");
        out += ", ";
        AppendCount(out, counts.warnings, "warning", "warnings");
    } else {
        out += ", ";
        AppendNumber(out, counts.fixed);
        out += " fixed";
        if (counts.errors != 0) {
            out += ", ";
            AppendCount(out, counts.errors, "error left", "errors left");
        }
        if (counts.warnings != 0) {
            out += ", ";
            AppendCount(out, counts.warnings, "warning left", "warnings left");
        }
        if (counts.errors == 0 && counts.warnings == 0) {
            out += ", nothing left";
        }
    }
    out += '\n';
    out_.Append(out);
    out_.Flush();
}

JsonReport::JsonReport(OutputBuffer& out, const std::string& file)
    : out_(out), file_(JsonString(file)) {}

void JsonReport::Report(const Problem& problem) {
    // Written in place, as the text report is: a report may hold millions of lines.
    const auto put = [](char* p, std::string_view piece) {
        if (!piece.empty()) {  // an empty view may carry no pointer, which memcpy must not get
            std::memcpy(p, piece.data(), piece.size());
        }
        return p + piece.size();
    };
    char* p = out_.Room(file_.size() + 6 * problem.message.size() + problem.Name().size() +
                        3 * (kMaxDecimalDigits + 1) + 2 * kMaxThousandthsLength + 120);
    p = put(p, "{\"file\":");
    p = put(p, file_);
    p = put(p, ",\"line\":");
    if (problem.line != 0) {
        p = WriteDecimal(p, problem.line);
        p = put(p, ",\"column\":");
        p = WriteDecimal(p, problem.column);
    } else {
        p = put(p, "null,\"column\":null");
    }
    p = put(p, ",\"severity\":\"");
    p = put(p, SeverityName(problem.severity));
    p = put(p, "\",\"code\":\"");
    p = put(p, problem.Name());
    p = put(p, "\",\"entry\":");
    if (problem.entry != 0) {
        p = WriteDecimal(p, static_cast<uint32_t>(problem.entry));
    } else {
        p = put(p, "null");
    }
    p = put(p, ",\"message\":\"");
    p = WriteJsonText(p, problem.message);
    p = put(p, "\"");
    if (problem.measure != nullptr) {  // a reading limit's, as numbers
        p = put(p, ",\"figure\":");
        p = WriteThousandths(p, problem.measure->figure);
        p = put(p, ",\"limit\":");
        p = WriteThousandths(p, problem.measure->limit);
    }
    p = put(p, "}\n");
    out_.Commit(p);
    out_.FlushWhenFull();
}

void JsonReport::Summary(const CheckCounts& counts, bool fixing) {
    std::string out;
    out += "{\"file\":";
    out += file_;
    out += ",\"entries\":";
    AppendNumber(out, counts.entries);
    if (fixing) {
        out += ",\"fixed\":";
        AppendNumber(out, counts.fixed);
    }
    out += ",\"errors\":";
    AppendNumber(out, counts.errors);
    out += ",\"warnings\":";
    AppendNumber(out, counts.warnings);
    out += "}\n";
    out_.Append(out);
    out_.Flush();
}

void ConversionWarnings::Report(const Problem& problem) {
    if (problem.severity == Severity::Error) {
        errorShown_ = true;
    } else {
        ++shown_;
    }
    std::string line(ProblemRoom(file_, problem, {}), '\0');
    line.resize(static_cast<size_t>(WriteProblem(line.data(), file_, problem) - line.data()));
    PrintErrorLine("srt2rt: " + line);
}

void ConversionWarnings::Finish(const CheckCounts& counts) {
    const uint64_t unsaid = quiet_ || counts.warnings < shown_ ? 0 : counts.warnings - shown_;
    if (unsaid > 0) {
        std::string line = "srt2rt: " + file_ + ": ";
        AppendCount(line, unsaid, "more warning", "more warnings");
        line += " ('srt2rt --check' lists them all)";
        PrintErrorLine(line);
    }
}

}  // namespace quillo::cli
