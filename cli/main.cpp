// srt2rt: the converter for batches and scripts, on the window's own core.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "code_page.h"
#include "console.h"
#include "console_host.h"
#include "help.h"
#include "interrupt_cleanup.h"
#include "options.h"
#include "os_paths.h"
#include "quillo_version.h"
#include "retiming.h"
#include "run_plan.h"
#include "source_run.h"
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
    if (options.fix && options.inPlace && !options.timing.option.empty()) {
        // Mended in place twice, a file's times would move twice.
        std::vector<FileIdentity> seen;
        for (const std::string& source : options.sources) {
            const FileIdentity identity = StatusOf(source).identity;
            for (size_t i = 0; identity.known && i < seen.size(); ++i) {
                if (seen[i] == identity) {
                    PrintErrorLine("srt2rt: " + options.sources[i] + " and " + source +
                                   " are one file: " + options.timing.option +
                                   " would move its times twice; nothing mended");
                    return kUsageError;
                }
            }
            seen.push_back(identity);
        }
    }
    std::vector<SourcePlan> plans;
    if (options.check || options.fix) {
        const std::string mended = options.output.value_or("-");
        for (const std::string& source : options.sources) {
            plans.push_back({source,
                             options.check     ? ""
                             : options.inPlace ? source
                                               : mended,
                             "", ""});
        }
    } else {
        // Nothing is written before every name is known to be safe to write.
        RunPlan plan = PlanRun(options);
        if (!plan.collision.empty()) {
            PrintErrorLine(plan.collision);
            return kUsageError;
        }
        plans = std::move(plan.sources);
    }
    if (!options.check) {
        RemoveTemporariesOnInterrupt();
    }
    // --check's report on standard output, --fix's on standard error (its
    // standard output may be the mended file).
    OutputBuffer report(!options.json, options.fix);
    int status = unmatchedStatus;
    for (const SourcePlan& source : plans) {
        if (!RunSource(source, options, codePage, report)) {
            status = kSomeFailed;  // and go on with the others
        }
    }
    if (!options.check && !options.fix) {
        return status;
    }
    return ReportWasWritten(report) ? status : kSomeFailed;
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
