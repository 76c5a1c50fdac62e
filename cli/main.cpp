// srt2rt: the converter for batches and scripts, on the window's own core.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "check_report.h"
#include "code_page.h"
#include "console.h"
#include "console_host.h"
#include "fix_command.h"
#include "help.h"
#include "interrupt_cleanup.h"
#include "options.h"
#include "quillo_version.h"
#include "run_plan.h"
#include "source_conversion.h"
#include "source_file.h"
#include "system_reason.h"
#include "windows_habits.h"

#ifdef _WIN32
#include "wide_path_win32.h"
#endif

namespace quillo::cli {
namespace {

constexpr int kAllConverted = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;

// Every problem of one source on standard output; true when none was found.
bool Check(const std::string& source, const Options& options, const CodePage& codePage,
           OutputBuffer& out) {
    TextReport text(out, source);
    JsonReport json(out, source);
    ProblemSink& report = options.json ? static_cast<ProblemSink&>(json) : text;
    const auto summary = [&](const CheckCounts& counts) {
        options.json ? json.Summary(counts) : text.Summary(counts);
    };

    TextReader in;
    if (std::string reason = DeviceRefusal(source);
        !reason.empty() || !OpenSource(source, in, reason)) {
        report.Report({0, 0, Severity::Error, InfoOf(ProblemCode::CannotOpen).name, 0, reason});
        summary({0, 1, 0});
        return false;
    }
    SubtitleCheck check(options.verifyLineNumbers, report);
    if (!options.codePage) {
        check.WarnOfSplitCharacters(codePage);
    }
    HoldToLimits(options, codePage, check);
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
    } catch (const std::bad_alloc&) {
        counts = check.Counts();
        report.Report({in.LineNumber() + 1, 1, Severity::Error, InfoOf(ProblemCode::ReadError).name,
                       0, "the line is too long to hold in memory"});
        counts.errors += 1;
    }
    summary(counts);
    return counts.errors == 0 && counts.warnings == 0;
}

// Whether all of a report reached its stream; says so when not (a report
// on standard error that failed can only fail the run).
bool ReportWasWritten(OutputBuffer& out) {
    out.Flush();
    if (out.WriteError() == 0) {
        return true;
    }
    PrintErrorLine("srt2rt: " + std::string(out.StreamName()) + ": " +
                   WithReason("cannot write", out.WriteError()));
    return false;
}

int Run(const std::vector<std::string>& args) {
    const ParseResult parsed = ParseOptions(args);
    if (!parsed.error.empty()) {
        PrintErrorLine("srt2rt: " + parsed.error);
        PrintErrorLine("Try 'srt2rt --help'.");
        return kUsageError;
    }
    Options options = parsed.options;
    if (options.help) {
        std::fputs(HelpText().c_str(), stdout);
        return kAllConverted;
    }
    if (options.version) {
        std::fputs("srt2rt (Quillo) " QUILLO_VERSION "\n", stdout);
        return kAllConverted;
    }
    // cmd.exe hands "*.srt" over as it stands: srt2rt.exe expands it. A
    // pattern that matches nothing fails; the other sources go on.
    std::vector<std::string> unmatched;
    options.sources = ExpandWildcards(options.sources, unmatched);
    int unmatchedStatus = kAllConverted;
    for (const std::string& pattern : unmatched) {
        PrintErrorLine("srt2rt: " + pattern + ": no file matches");
        unmatchedStatus = kSomeFailed;
    }
    if (options.sources.empty()) {
        return unmatchedStatus;
    }
    const bool oneDestination = options.output || (options.fix && !options.inPlace);
    if (oneDestination && options.sources.size() > 1) {
        PrintErrorLine(
            "srt2rt: the patterns match " + std::to_string(options.sources.size()) +
            " files, but " +
            (options.output ? "-o names one destination" : "--fix without -i mends one"));
        PrintErrorLine("Try 'srt2rt --help'.");
        return kUsageError;
    }

    // How the text's characters are walked: as --codepage says, else in the
    // system's ANSI code page (single bytes on POSIX).
    CodePage codePage = CodePage::System();
    if (options.codePage) {
        CodePage::Numbered(*options.codePage, codePage);
    }
    if (options.check) {
        OutputBuffer out(!options.json);
        int status = unmatchedStatus;
        for (const std::string& source : options.sources) {
            if (!Check(source, options, codePage, out)) {
                status = kSomeFailed;
            }
        }
        return ReportWasWritten(out) ? status : kSomeFailed;
    }

    if (options.fix) {
        RemoveTemporariesOnInterrupt();
        OutputBuffer report(!options.json, true);
        int status = unmatchedStatus;
        for (const std::string& source : options.sources) {
            if (!FixSource(source, options, codePage, report)) {
                status = kSomeFailed;
            }
        }
        return ReportWasWritten(report) ? status : kSomeFailed;
    }

    // Nothing is written before every name is known to be safe to write.
    const RunPlan plan = PlanRun(options);
    if (!plan.collision.empty()) {
        PrintErrorLine(plan.collision);
        return kUsageError;
    }
    RemoveTemporariesOnInterrupt();
    int status = unmatchedStatus;
    for (const SourcePlan& source : plan.sources) {
        if (!ConvertSource(source, options, codePage)) {
            status = kSomeFailed;  // and go on with the others
        }
    }
    return status;
}

int RunCatching(const std::vector<std::string>& args) {
    try {
        return Run(args);
    } catch (const std::bad_alloc&) {
        PrintErrorLine("srt2rt: out of memory");
        return kSomeFailed;
    } catch (const std::exception& error) {
        PrintErrorLine(std::string("srt2rt: ") + error.what());
        return kSomeFailed;
    } catch (...) {
        // Nothing may unwind into the C runtime's frames.
        PrintErrorLine("srt2rt: an unexpected error stopped the run");
        return kSomeFailed;
    }
}

}  // namespace
}  // namespace quillo::cli

#ifdef _WIN32
// The UTF-16 command line, so that any file name converts whatever the
// ANSI code page; srt2rt holds its names in UTF-8 from here on.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(quillo::Utf8FromWide(argv[i]));
    }
    const int status = quillo::cli::RunCatching(args);
    quillo::cli::WaitWhenTheConsoleIsOurs();
    return status;
}
#else
int main(int argc, char** argv) {
    return quillo::cli::RunCatching(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
