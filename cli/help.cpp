#include "help.h"

#include "options.h"
#include "problem_codes.h"

namespace quillo::cli {
namespace {

constexpr size_t kWidth = 79;
constexpr size_t kIndent = 6;

// `text` folded at blanks to lines of at most kWidth, each after kIndent blanks.
void AppendFolded(std::string& out, std::string_view text) {
    size_t column = kWidth;  // so that the first word starts a line
    while (!text.empty()) {
        const size_t blank = text.find(' ');
        const std::string_view word = text.substr(0, blank);
        if (column + 1 + word.size() > kWidth) {
            out.append("\n").append(kIndent, ' ');
            column = kIndent;
        } else {
            out += ' ';
            ++column;
        }
        out.append(word);
        column += word.size();
        text = blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
    }
    out += '\n';
}

}  // namespace

std::string HelpText() {
    std::string help = kUsage;
    help += "\nProblems --check reports, by code:\n";
    for (size_t code = kFirstCheckCode; code < kProblemCodeCount; ++code) {
        const ProblemCodeInfo& info = kProblemCodes[code];
        help.append("  ").append(info.name).append(" (");
        help.append(info.severity == Severity::Error     ? "error"
                    : info.severity == Severity::Warning ? "warning"
                                                         : "fixed")
            .append("):");
        AppendFolded(help, info.summary);
    }
    return help;
}

}  // namespace quillo::cli
