#include "options.h"

namespace quillo::cli {

const char kUsage[] =
    "Usage: srt2rt [OPTIONS] SOURCE...\n"
    "       srt2rt --check [--no-verify] [--format=text|json] SOURCE...\n"
    "Converts SubRip subtitles (.srt) into RealText documents (.rt), or checks them.\n"
    "\n"
    "  -o, --output DEST   destination for a single SOURCE (\"-\" writes to standard output);\n"
    "                      without it each SOURCE's stem followed by \".rt\"\n"
    "      --smil VIDEO    also write a SMIL presentation beside each source (stem + \".smil\")\n"
    "                      that plays VIDEO beside the RealText document\n"
    "      --no-verify     do not compare index lines with their ordinal\n"
    "  -f, --force         replace existing destinations without asking\n"
    "  -q, --quiet         no warnings about what converts but may show wrongly\n"
    "      --check         report every problem of each SOURCE, convert nothing\n"
    "      --format=FORMAT --check's report: text (FILE:LINE:COLUMN: ...) or json\n"
    "  -h, --help          show this help\n"
    "      --version       show the version\n"
    "\n"
    "SOURCE \"-\" reads standard input (to convert it, give -o).\n"
    "Exit status: 0 when every source converted (with --check: when nothing was found),\n"
    "1 when any failed (anything was found), 2 for a usage error.\n";

ParseResult ParseOptions(const std::vector<std::string>& args) {
    ParseResult result;
    Options& options = result.options;
    auto fail = [&result](std::string message) {
        result.error = std::move(message);
        return result;
    };

    bool onlySources = false;
    std::optional<std::string> format;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlySources || arg == "-" || arg.empty() || arg[0] != '-') {
            options.sources.push_back(arg);
            continue;
        }
        // "--name=value" carries its value; otherwise the value is the next argument.
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (const size_t eq = arg.find('=');
            arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        auto value = [&](std::string& out) {
            if (inlineValue) {
                out = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) {
                return false;
            }
            out = args[++i];
            return true;
        };
        auto takesNoValue = [&] { return !inlineValue.has_value(); };

        std::string text;
        if (name == "--") {
            onlySources = true;
        } else if (name == "-o" || name == "--output") {
            if (!value(text)) {
                return fail("option '" + name + "' needs a destination");
            }
            options.output = text;
        } else if (name == "--smil") {
            if (!value(text)) {
                return fail("option '--smil' needs a video file");
            }
            options.smilVideo = text;
        } else if (name == "--no-verify" && takesNoValue()) {
            options.verifyLineNumbers = false;
        } else if ((name == "-f" || name == "--force") && takesNoValue()) {
            options.force = true;
        } else if ((name == "-q" || name == "--quiet") && takesNoValue()) {
            options.quiet = true;
        } else if (name == "--check" && takesNoValue()) {
            options.check = true;
        } else if (name == "--format") {
            if (!value(text) || (text != "text" && text != "json")) {
                return fail("option '--format' needs 'text' or 'json'");
            }
            format = text;
        } else if ((name == "-h" || name == "--help") && takesNoValue()) {
            options.help = true;
        } else if (name == "--version" && takesNoValue()) {
            options.version = true;
        } else {
            return fail("unknown option '" + arg + "'");
        }
    }

    if (options.help || options.version) {
        return result;
    }
    if (options.sources.empty()) {
        return fail("no source given");
    }
    if (format && !options.check) {
        return fail("--format is for --check's report");
    }
    options.json = format == "json";
    if (options.check) {
        if (options.output || options.smilVideo) {
            return fail("--check writes no file: leave out -o and --smil");
        }
        return result;
    }
    if (options.output && options.sources.size() > 1) {
        return fail("-o names one destination, but " + std::to_string(options.sources.size()) +
                    " sources were given");
    }
    for (const std::string& source : options.sources) {
        if (source == "-" && !options.output) {
            return fail("reading standard input needs -o");
        }
        if (source == "-" && options.smilVideo) {
            return fail("--smil names the presentation after its source: give a source file");
        }
    }
    if (options.smilVideo && options.output == "-") {
        return fail("--smil needs a destination file, not standard output");
    }
    return result;
}

}  // namespace quillo::cli
