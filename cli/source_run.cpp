#include "source_run.h"

#include "console.h"
#include "console_host.h"
#include "conversion.h"
#include "mending_run.h"
#include "os_paths.h"
#include "presentation.h"
#include "reading_options.h"
#include "retiming.h"
#include "source_file.h"
#include "subtitle_check.h"

namespace quillo::cli {
namespace {

// --check's and --fix's report of one file, as text or JSON Lines.
class FileReport {
public:
    FileReport(OutputBuffer& out, const std::string& file, bool json)
        : text_(out, file), json_(out, file), json_on_(json) {}
    ProblemSink& Sink() { return json_on_ ? static_cast<ProblemSink&>(json_) : text_; }
    void Summary(const CheckCounts& counts, bool fixing) {
        json_on_ ? json_.Summary(counts, fixing) : text_.Summary(counts, fixing);
    }

private:
    TextReport text_;
    JsonReport json_;
    bool json_on_;
};

// The host of --check and --fix: a source that does not open (and, for
// --check, one that cannot be read on) is a problem of the report, as the
// check's are; everything else goes to the console.
class ReportingHost : public ProblemSink {
public:
    ReportingHost(const std::string& source, ProblemSink& report, ConsoleHost& console,
                  bool readsInReport)
        : source_(source), report_(report), console_(console), readsInReport_(readsInReport) {}

    bool Ask(const Problem& question) override { return console_.Ask(question); }
    void Report(const Problem& problem) override {
        if (problem.code == ProblemCode::CannotOpen) {
            Say(0, ProblemCode::CannotOpen, SourceOpenFailure(source_, problem.systemError));
        } else if (readsInReport_ && problem.code == ProblemCode::ReadError) {
            Say(problem.line, ProblemCode::ReadError, "the file cannot be read on from here");
        } else if (readsInReport_ && problem.code == ProblemCode::OutOfMemory) {
            Say(problem.line, ProblemCode::ReadError, "the line is too long to hold in memory");
        } else {
            console_.Report(problem);
        }
    }
    // Said here and not by the check: to be added to its counts.
    uint64_t Errors() const { return errors_; }
    void Refuse(const std::string& why) { Say(0, ProblemCode::CannotOpen, why); }

private:
    void Say(uint64_t line, ProblemCode code, const std::string& message) {
        report_.Report({line, line == 0 ? 0u : 1u, Severity::Error, code, 0, message});
        ++errors_;
    }

    const std::string& source_;
    ProblemSink& report_;
    ConsoleHost& console_;
    bool readsInReport_;
    uint64_t errors_ = 0;
};

ConversionOptions OptionsOf(const Options& options, const CodePage& codePage, ProblemSink& host) {
    return {options.verifyLineNumbers, codePage, host, true, nullptr, !options.codePage};
}

bool CheckSource(const SourcePlan& plan, const Options& options, const CodePage& codePage,
                 OutputBuffer& out) {
    FileReport report(out, plan.source, options.json);
    ConsoleHost console(plan.source, plan.source, false);
    ReportingHost host(plan.source, report.Sink(), console, true);
    SubtitleCheck check(report.Sink());
    HoldToLimits(options, codePage, check);
    SourceRetiming retiming;
    if (std::string why = DeviceRefusal(plan.source); !why.empty()) {
        host.Refuse(why);
    } else if (!retiming.Prepare(plan.source, options, false, &report.Sink())) {
        report.Summary({0, 1, 0}, false);
        return false;
    } else {
        // The check reports the encoding it is told of itself.
        ConversionOptions run = OptionsOf(options, codePage, host);
        run.refuseWideEncodings = false;
        run.timeMap = retiming.Map();
        Convert(SourceNamed(plan.source), Destination::None(), run, check);
    }
    CheckCounts counts = check.Counts();
    counts.errors += host.Errors();
    report.Summary(counts, false);
    return counts.errors == 0 && counts.warnings == 0;
}

// Written while it is read, the source would be lost (or, appended to, grow
// without end), standard input as much as a named file: why not, or empty.
std::string MendedOverItself(const std::string& source, const std::string& dest) {
    const FileIdentity sourceIdentity =
        source == "-" ? OsFile::StandardInput().Identity() : StatusOf(source).identity;
    const FileIdentity destIdentity =
        dest == "-" ? OsFile::StandardOutput().Identity() : StatusOf(dest).identity;
    if (sourceIdentity != destIdentity) {
        return {};
    }
    return source == "-" ? "is the source, standard input, itself"
                         : "is the source " + source + " itself: give -i to mend it in place";
}

bool MendSource(const SourcePlan& plan, const Options& options, const CodePage& codePage,
                OutputBuffer& out) {
    const std::string& source = plan.source;
    const std::string& dest = plan.document;
    FileReport report(out, source, options.json);
    // In place, the source is what the user asked to replace.
    ConsoleHost console(source, dest, options.force || options.inPlace);
    ReportingHost host(source, report.Sink(), console, false);
    if (std::string why = DeviceRefusal(source); !why.empty()) {
        host.Refuse(why);
        report.Summary({0, host.Errors(), 0, 0}, true);
        return false;
    }
    if (const std::string why = DeviceRefusal(dest); !why.empty()) {
        ConsoleHost::Report(dest, why);
        return false;
    }
    if (options.inPlace && StatusOf(source).kind == PathKind::Device) {
        // Read while it is written, a pipe would never end; a device has
        // nothing to replace.
        ConsoleHost::Report(
            source, "is a pipe or a device, not a file: -i replaces files in place (give -o)");
        return false;
    }
    if (!options.inPlace) {
        if (const std::string why = MendedOverItself(source, dest); !why.empty()) {
            ConsoleHost::Report(dest == "-" ? "standard output" : dest, why);
            return false;
        }
    }
    SourceRetiming retiming;
    if (!retiming.Prepare(source, options, true, &report.Sink())) {
        report.Summary({0, 1, 0, 0}, true);
        return false;
    }
    // What is left is located in the mended file: named so when it is one.
    FileReport left(out, dest == "-" ? source : dest, options.json);
    SubtitleCheck check(left.Sink());
    HoldToLimits(options, codePage, check);
    ConversionOptions run = OptionsOf(options, codePage, host);
    run.timeMap = retiming.Map();
    const MendOutcome mended = Mend(
        SourceNamed(source), dest == "-" ? Destination::Output() : Destination::Replacing(dest),
        run, check, report.Sink(), options.inPlace);
    if (mended.retimingStopped) {
        CheckCounts counts = check.Counts();
        counts.errors += 1;
        report.Summary(counts, true);
        return false;
    }
    if (mended.run != RunOutcome::Completed) {
        if (host.Errors() != 0) {
            report.Summary({0, host.Errors(), 0, 0}, true);  // it did not open
        }
        return false;
    }
    CheckCounts counts = check.Counts();
    counts.fixed = mended.fixed;
    report.Summary(counts, true);
    return counts.errors == 0;
}

// The check's account of the entry that stopped a quiet conversion: -q spares
// the conversion the check's walk, so the file is read again, as far as the
// conversion read it. Standard input and pipes cannot be read again, and the
// conversion's own message stands alone when the file cannot.
void ExplainStop(const SourcePlan& plan, const ConversionOptions& conversion,
                 SubtitleCheck& check) {
    if (plan.source == "-" || NamesADevice(plan.source)) {
        return;
    }
    Unheard unheard;
    const ConversionOptions quietly{
        conversion.verifyLineNumbers,    conversion.codePage, unheard, false, conversion.timeMap,
        conversion.warnOfSplitCharacters};
    check.StopAtFirstError();
    Convert(SourceNamed(plan.source), Destination::None(), quietly, check);
}

bool ConvertSource(const SourcePlan& plan, const Options& options, const CodePage& codePage) {
    if (!plan.refusal.empty()) {
        PrintErrorLine(plan.refusal);
        return false;
    }
    SourceRetiming retiming;
    if (!retiming.Prepare(plan.source, options, false, nullptr)) {
        return false;
    }
    ConsoleHost host(plan.source, plan.document, options.force);
    ConversionOptions conversion = OptionsOf(options, codePage, host);
    conversion.timeMap = retiming.Map();
    const Source from = SourceNamed(plan.source);
    const Destination to =
        plan.document == "-" ? Destination::Output() : Destination::Replacing(plan.document);
    // The check looks on, to warn and to explain the entry that stops the
    // conversion, if any.
    ConversionWarnings warnings(plan.source, options.quiet);
    SubtitleCheck check(warnings);
    HoldToLimits(options, codePage, check);
    // Retimed, it checks the moved times always, to say why one cannot be written.
    const bool quiet = options.quiet && retiming.Map() == nullptr;
    const RunOutcome outcome =
        quiet ? Convert(from, to, conversion) : Convert(from, to, conversion, check);
    if (quiet && host.StoppedAtAnEntry()) {
        ExplainStop(plan, conversion, check);
    }
    warnings.Finish(check.Counts());
    if (outcome != RunOutcome::Completed) {
        return false;
    }
    return plan.smil.empty() || WritePresentation(plan, *options.smilVideo, options.quiet);
}

}  // namespace

bool RunSource(const SourcePlan& plan, const Options& options, const CodePage& codePage,
               OutputBuffer& report) {
    if (options.check) {
        return CheckSource(plan, options, codePage, report);
    }
    if (options.fix) {
        return MendSource(plan, options, codePage, report);
    }
    return ConvertSource(plan, options, codePage);
}

}  // namespace quillo::cli
