// srt2rt: the converter for batches and scripts, on the window's own core.
#include <cstdio>
#include <string>
#include <vector>

#include "check_report.h"
#include "code_page.h"
#include "console.h"
#include "console_host.h"
#include "conversion.h"
#include "help.h"
#include "messages.h"
#include "options.h"
#include "paths.h"
#include "quillo_version.h"
#include "smil.h"

namespace quillo::cli {
namespace {

constexpr int kAllConverted = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// A source as the command line names it: "-" is standard input.
Source SourceNamed(const std::string& name) {
    return name == "-" ? Source::Input() : Source::File(name);
}

// The check's account of the entry that stopped a quiet conversion: -q spares
// the conversion the check's walk, so the file is read again, as far as the
// conversion read it. Standard input and pipes cannot be read again.
void ExplainStop(const std::string& source, SubtitleCheck& check) {
    TextReader in;
    if (source == "-" || NamesADevice(source) || !OpenSource(Source::File(source), in)) {
        return;
    }
    try {
        check.RunToFirstError(in);
    } catch (const FileError&) {
        // The conversion's own message stands alone.
    }
}

// A source ("-" for standard input) into its destination ("-" for standard
// output, which is never asked about).
bool Convert(const std::string& source, const Options& options, const CodePage& codePage) {
    const std::string dest =
        options.output ? *options.output : Stem(source, codePage, kSeparator) + ".rt";
    ConsoleHost host(source, dest, options.force);
    const ConversionOptions conversion{options.verifyLineNumbers, codePage, host};
    const Source from = SourceNamed(source);
    const Destination to = dest == "-" ? Destination::Output() : Destination::File(dest);
    // The check looks on, to warn and to explain the entry that stops the
    // conversion, if any.
    ConversionWarnings warnings(Utf8FromLocal(source), options.quiet);
    SubtitleCheck check(options.verifyLineNumbers, warnings);
    const RunOutcome outcome = options.quiet ? quillo::Convert(from, to, conversion)
                                             : quillo::Convert(from, to, conversion, check);
    if (options.quiet && host.StoppedAtAnEntry()) {
        ExplainStop(source, check);
    }
    warnings.Finish();
    if (outcome != RunOutcome::Completed || !options.smilVideo) {
        return outcome == RunOutcome::Completed;
    }
    const SmilRequest smil{true, *options.smilVideo, source, dest, kSeparator};
    const std::string smilPath = SmilPathFor(source, codePage, kSeparator);
    ConsoleHost smilHost(smilPath, smilPath, true);
    return WriteSmilFile(smil, codePage, smilHost) == RunOutcome::Completed;
}

// Every problem of one source on standard output; true when none was found.
bool Check(const std::string& source, const Options& options, OutputBuffer& out) {
    const std::string name = Utf8FromLocal(source);
    TextReport text(out, name);
    JsonReport json(out, name);
    ProblemSink& report = options.json ? static_cast<ProblemSink&>(json) : text;
    const auto summary = [&](const CheckCounts& counts) {
        options.json ? json.Summary(counts) : text.Summary(counts);
    };

    TextReader in;
    if (!OpenSource(SourceNamed(source), in)) {
        report.Report({0, 0, Severity::Error, InfoOf(ProblemCode::CannotOpen).name, 0,
                       "cannot be opened: it does not exist, is a folder, or another program "
                       "holds it"});
        summary({0, 1, 0});
        return false;
    }
    SubtitleCheck check(options.verifyLineNumbers, report);
    CheckCounts counts;
    try {
        check.Run(in);
        counts = check.Counts();
    } catch (const FileError&) {
        // What was found up to the failed read stands; the rest is unknown.
        counts = check.Counts();
        report.Report({in.LineNumber() + 1, 1, Severity::Error, InfoOf(ProblemCode::ReadError).name,
                       0, "the file cannot be read on from here"});
        counts.errors += 1;
    }
    summary(counts);
    return counts.errors == 0 && counts.warnings == 0;
}

int Run(const std::vector<std::string>& args) {
    const ParseResult parsed = ParseOptions(args);
    if (!parsed.error.empty()) {
        PrintErrorLine("srt2rt: " + Utf8FromLocal(parsed.error));
        PrintErrorLine("Try 'srt2rt --help'.");
        return kUsageError;
    }
    const Options& options = parsed.options;
    if (options.help) {
        std::fputs(HelpText().c_str(), stdout);
        return kAllConverted;
    }
    if (options.version) {
        std::fputs("srt2rt (Quillo) " QUILLO_VERSION "\n", stdout);
        return kAllConverted;
    }

    if (options.check) {
        OutputBuffer out(!options.json);
        int status = kAllConverted;
        for (const std::string& source : options.sources) {
            if (!Check(source, options, out)) {
                status = kSomeFailed;
            }
        }
        return status;
    }

    const CodePage codePage = CodePage::System();
    int status = kAllConverted;
    for (const std::string& source : options.sources) {
        if (!Convert(source, options, codePage)) {
            status = kSomeFailed;  // and go on with the others
        }
    }
    return status;
}

}  // namespace
}  // namespace quillo::cli

int main(int argc, char** argv) {
    try {
        return quillo::cli::Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        quillo::cli::PrintErrorLine(std::string("srt2rt: ") + error.what());
        return 1;
    }
}
