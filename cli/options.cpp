#include "options.h"

#include <getopt.h>

#include <cstring>

#include "code_page.h"

namespace quillo::cli {

const char kUsage[] =
    "Usage: srt2rt [OPTIONS] SOURCE...\n"
    "       srt2rt --check [--no-verify] [--format=text|json] [LIMITS] SOURCE...\n"
    "       srt2rt --fix [-o DEST] [--format=text|json] SOURCE\n"
    "       srt2rt --fix -i [--format=text|json] SOURCE...\n"
    "Converts SubRip subtitles (.srt) into RealText documents (.rt), checks them,\n"
    "or mends them for a strict reader.\n"
    "\n"
    "  -o, --output=DEST   destination for a single SOURCE (\"-\" writes to standard output);\n"
    "                      without it SOURCE with its last extension replaced by \".rt\"\n"
    "      --smil=VIDEO    also write a SMIL presentation beside each document (its name\n"
    "                      with \".smil\") that plays VIDEO beside it\n"
    "      --no-verify     do not compare index lines with their ordinal\n"
    "      --codepage=N    walk the text's characters in code page N: 932, 936, 949 or\n"
    "                      950 (double-byte), 0 for single bytes or UTF-8; by default\n"
    "                      the system's ANSI code page (single bytes on POSIX)\n"
    "  -f, --force         replace existing destinations without asking\n"
    "  -q, --quiet         no warnings about what converts but may show wrongly\n"
    "      --check         report every problem of each SOURCE, convert nothing\n"
    "      --fix           mend what needs no judgment (encoding, line ends, numbering,\n"
    "                      '.' before the milliseconds, unclosed tags...) into SubRip on\n"
    "                      standard output or DEST; the report goes to standard error\n"
    "  -i, --in-place      with --fix: mend each SOURCE where it stands\n"
    "      --format=FORMAT --check's and --fix's report: text (FILE:LINE:COLUMN: ...)\n"
    "                      or json\n"
    "      --shift=OFFSET  move every time by OFFSET, in seconds or as a clock, to the\n"
    "                      millisecond: +1.5, -0.250, -00:00:02,500, 1:02.3\n"
    "      --fps=FROM:TO   rescale every time by FROM/TO, two frame rates: 23.976, 24,\n"
    "                      25, 29.97, 30, 50, 59.94 or a fraction such as 24000/1001;\n"
    "                      with --shift, rescaled first\n"
    "      --sync=ENTRY@TIME[,ENTRY@TIME]\n"
    "                      move the times so that entry ENTRY (counted from 1) starts\n"
    "                      at TIME, and the second at the second TIME, in one line\n"
    "                      through both; the source is read twice (not standard input\n"
    "                      or a pipe)\n"
    "\n"
    "LIMITS, of what a viewer can read: --check holds each entry with text to all\n"
    "of them, at these defaults; a conversion and --fix only to those given. 0 turns\n"
    "one off.\n"
    "      --max-cps=N     at most N characters a second (20)\n"
    "      --max-line=N    at most N characters a line (42)\n"
    "      --max-lines=N   at most N lines (2)\n"
    "      --min-duration=S, --max-duration=S\n"
    "                      shown for S seconds at least (0.7), at most (7)\n"
    "      --min-gap=S     at least S seconds after the entry before ends (0)\n"
    "      --no-limits     none of them: --check on the format alone\n"
    "\n"
    "  -h, --help          show this help (also -?, and /? on Windows)\n"
    "      --version       show the version\n"
    "\n"
    "The timing options move the document's times, --fix's SubRip times (every other\n"
    "byte as it was) and those --check checks, each to the nearest millisecond, halves\n"
    "away from zero. A time moved before 0:00 or past 99999:59:59,999 is an error and\n"
    "nothing is written (standard output keeps what went out before it), but for a\n"
    "begin before 0:00 whose end stays after it: that begins at 0:00, with a warning.\n"
    "For example:\n"
    "  srt2rt --fps=23.976:25 film.srt            a 23.976 fps film sped up to PAL's 25\n"
    "  srt2rt --shift=-12.5 film.srt              12.5 s of intro cut from the video\n"
    "  srt2rt --sync=1@0:00:20,300,812@1:49:55,000 film.srt\n"
    "                                             entry 1 starts at 0:00:20.3 and\n"
    "                                             entry 812 at 1:49:55, the rest between\n"
    "\n"
    "SOURCE \"-\" reads standard input (to convert it, give -o). \"--\" ends the options.\n"
    "On Windows, srt2rt expands * and ? in each SOURCE itself, and refuses the names of\n"
    "devices (NUL, CON, COM1...); messages sent to a file or a pipe are UTF-8.\n"
    "An existing destination keeps its bytes until the new document is complete.\n"
    "Exit status: 0 when every source converted (with --check: when nothing was found;\n"
    "with --fix: when every mended file converts), 1 when any failed (anything was\n"
    "found; an error is left), 2 for a usage error.\n";

namespace {

enum LongOnly {
    kSmil = 256,
    kNoVerify,
    kCodePage,
    kCheck,
    kFix,
    kFormat,
    kVersion,
    kShift,
    kFps,
    kSync,
    kNoLimits,
    kFirstLimit,  // then one a ReadingLimit, in its order
};

const option kLongOptions[] = {
    {"output", required_argument, nullptr, 'o'},
    {"smil", required_argument, nullptr, kSmil},
    {"no-verify", no_argument, nullptr, kNoVerify},
    {"codepage", required_argument, nullptr, kCodePage},
    {"force", no_argument, nullptr, 'f'},
    {"quiet", no_argument, nullptr, 'q'},
    {"check", no_argument, nullptr, kCheck},
    {"fix", no_argument, nullptr, kFix},
    {"in-place", no_argument, nullptr, 'i'},
    {"format", required_argument, nullptr, kFormat},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {"shift", required_argument, nullptr, kShift},
    {"fps", required_argument, nullptr, kFps},
    {"sync", required_argument, nullptr, kSync},
    {"max-cps", required_argument, nullptr, kFirstLimit},
    {"max-line", required_argument, nullptr, kFirstLimit + 1},
    {"max-lines", required_argument, nullptr, kFirstLimit + 2},
    {"min-duration", required_argument, nullptr, kFirstLimit + 3},
    {"max-duration", required_argument, nullptr, kFirstLimit + 4},
    {"min-gap", required_argument, nullptr, kFirstLimit + 5},
    {"no-limits", no_argument, nullptr, kNoLimits},
    {nullptr, 0, nullptr, 0},
};

// '-': operands come back in place (as 1), whatever POSIXLY_CORRECT says;
// ':': a missing value is told apart from an unknown option.
constexpr char kShortOptions[] = "-:o:fqih";

// What to say of the option getopt_long stopped at.
std::string Complaint(int code, const std::string& arg) {
    const std::string name = arg.substr(0, arg.find('='));
    if (code == ':') {
        return "option '" + name + "' needs a value";
    }
    if (name.compare(0, 2, "--") == 0 && name.size() > 2) {
        int matches = 0;
        for (const option* o = kLongOptions; o->name != nullptr; ++o) {
            matches += std::strncmp(o->name, name.c_str() + 2, name.size() - 2) == 0 ? 1 : 0;
        }
        if (matches > 1) {
            return "option '" + name + "' is ambiguous";
        }
        if (matches == 1 && name.size() < arg.size()) {
            return "option '" + name + "' takes no value";
        }
    }
    return "unknown option '" + arg + "'";
}

}  // namespace

ParseResult ParseOptions(const std::vector<std::string>& args) {
    ParseResult result;
    Options& options = result.options;
    auto fail = [&result](std::string message) {
        result.error = std::move(message);
        return result;
    };

    // Windows programs show their help for "/?", and "-?" is the same habit;
    // neither is ever a file's name.
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
#ifdef _WIN32
        const bool slashQuestion = arg == "/?";
#else
        const bool slashQuestion = false;
#endif
        if (arg == "-?" || slashQuestion) {
            options.help = true;
            return result;
        }
    }

    // getopt_long takes a C argument vector, program name first.
    std::vector<std::string> storage = args;
    std::vector<char*> argv{const_cast<char*>("srt2rt")};
    for (std::string& arg : storage) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(argv.size() - 1);

    opterr = 0;  // the complaints are ours
    optind = 0;  // 0 starts afresh in glibc and MinGW-w64 alike
    int outputs = 0;
    std::optional<std::string> format;
    for (int code;
         (code = getopt_long(argc, argv.data(), kShortOptions, kLongOptions, nullptr)) != -1;) {
        switch (code) {
            case 1:
                options.sources.emplace_back(optarg);
                break;
            case 'o':
                options.output = optarg;
                ++outputs;
                break;
            case kSmil:
                options.smilVideo = optarg;
                break;
            case kNoVerify:
                options.verifyLineNumbers = false;
                break;
            case kCodePage: {
                const std::string number = optarg;
                CodePage unused;
                if (number.empty() || number.size() > 3 ||
                    number.find_first_not_of("0123456789") != std::string::npos ||
                    !CodePage::Numbered(std::stoi(number), unused)) {
                    return fail("option '--codepage' needs 932, 936, 949, 950 or 0");
                }
                options.codePage = std::stoi(number);
                break;
            }
            case 'f':
                options.force = true;
                break;
            case 'q':
                options.quiet = true;
                break;
            case kCheck:
                options.check = true;
                break;
            case kFix:
                options.fix = true;
                break;
            case 'i':
                options.inPlace = true;
                break;
            case kFormat:
                if (std::strcmp(optarg, "text") != 0 && std::strcmp(optarg, "json") != 0) {
                    return fail("option '--format' needs 'text' or 'json'");
                }
                format = optarg;
                break;
            case kShift:
            case kFps:
            case kSync: {
                std::string error;
                const bool read = code == kShift ? ReadShift(optarg, options.timing, error)
                                  : code == kFps ? ReadFps(optarg, options.timing, error)
                                                 : ReadSync(optarg, options.timing, error);
                if (!read) {
                    return fail(error);
                }
                break;
            }
            case 'h':
                options.help = true;
                break;
            case kVersion:
                options.version = true;
                break;
            case kNoLimits:
                options.limits.none = true;
                break;
            default: {
                if (code >= kFirstLimit && code < kFirstLimit + int{kReadingLimitCount}) {
                    std::string error;
                    if (!ParseLimit(static_cast<ReadingLimit>(code - kFirstLimit), optarg,
                                    options.limits, error)) {
                        return fail(error);
                    }
                    break;
                }
                // A bad short option inside a cluster ("-fx") is named alone.
                // Within a cluster getopt has not moved on yet, so the
                // argument before it may be a long option: a letter srt2rt
                // does not know is named by itself whatever stands there.
                const std::string arg = argv[optind - 1];
                const bool unknownLetter =
                    optopt > 0 && optopt < 256 && std::strchr(kShortOptions, optopt) == nullptr;
                const bool shortOption =
                    unknownLetter || (optopt > 0 && optopt < 256 && arg.compare(0, 2, "--") != 0);
                return fail(Complaint(
                    code, shortOption ? std::string("-") + static_cast<char>(optopt) : arg));
            }
        }
    }
    for (int i = optind; i < argc; ++i) {
        options.sources.emplace_back(argv[i]);  // after "--"
    }

    if (options.help || options.version) {
        return result;
    }
    if (options.sources.empty()) {
        return fail("no source given");
    }
    if (format && !options.check && !options.fix) {
        return fail("--format is for the report of --check or --fix");
    }
    if (options.inPlace && !options.fix) {
        return fail("-i is for --fix");
    }
    if (options.limits.none && options.limits.given != 0) {
        return fail(
            "--no-limits holds the file to no reading limit: leave out --max-cps and the "
            "others");
    }
    options.json = format == "json";
    int standardInputs = 0;
    for (const std::string& source : options.sources) {
        standardInputs += source == "-" ? 1 : 0;
    }
    if (standardInputs > 1) {
        return fail("standard input ('-') can be read only once");
    }
    if (options.timing.syncPoints > 0 && (options.timing.shifted || options.timing.rescaled)) {
        return fail("--sync sets the whole move of the times: leave out --shift and --fps");
    }
    if (options.timing.syncPoints > 0 && standardInputs > 0) {
        return fail(
            "--sync reads each source twice, first for its entries' times, and standard input "
            "cannot be read twice: save it to a file");
    }
    if (options.check) {
        if (options.output || options.smilVideo || options.fix) {
            return fail("--check writes no file: leave out -o, --smil and --fix");
        }
        return result;
    }
    if (options.fix) {
        if (options.smilVideo || !options.verifyLineNumbers) {
            return fail(
                "--fix writes SubRip, numbered 1, 2, 3...: leave out --smil and --no-verify");
        }
        if (options.inPlace && (options.output || standardInputs > 0)) {
            return fail("-i mends each source where it stands: leave out -o and '-'");
        }
        if (!options.inPlace && options.sources.size() > 1) {
            return fail("--fix without -i mends one source; give -i to mend several in place");
        }
    }
    if (outputs > 1) {
        return fail("-o names the one destination: give it once");
    }
    if (options.output && options.sources.size() > 1) {
        return fail("-o names one destination, but " + std::to_string(options.sources.size()) +
                    " sources were given");
    }
    if (standardInputs > 0 && !options.output && !options.fix) {
        return fail("reading standard input needs -o");
    }
    if (options.smilVideo && options.output == "-") {
        return fail("--smil needs a destination file, not standard output");
    }
    if (options.output && options.output->empty()) {
        return fail("-o needs a destination");
    }
    if (options.smilVideo && options.smilVideo->empty()) {
        return fail("--smil needs a video");
    }
    return result;
}

}  // namespace quillo::cli
