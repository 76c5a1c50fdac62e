#include "fix_command.h"

#include <new>

#include "console_host.h"
#include "destination.h"
#include "mending_reader.h"
#include "mending_run.h"
#include "os_paths.h"

namespace quillo::cli {
namespace {

bool OpenRaw(const std::string& source, MendingReader& reader, std::string& reason) {
    if (source == "-") {
        reader.Attach(OsFile::StandardInput(), source);
        return true;
    }
    OsFile file;
    if (!file.OpenSharedRead(source)) {
        reason = SourceOpenFailure(source, file.SystemError());
        return false;
    }
    reader.Attach(std::move(file), source);
    return true;
}

}  // namespace

bool FixSource(const std::string& source, const Options& options, const CodePage& codePage,
               OutputBuffer& out) {
    TextReport text(out, source);
    JsonReport json(out, source);
    ProblemSink& report = options.json ? static_cast<ProblemSink&>(json) : text;
    const auto summary = [&](const CheckCounts& counts) {
        options.json ? json.Summary(counts, true) : text.Summary(counts, true);
    };

    MendingReader reader;
    if (std::string reason = DeviceRefusal(source);
        !reason.empty() || !OpenRaw(source, reader, reason)) {
        report.Report({0, 0, Severity::Error, InfoOf(ProblemCode::CannotOpen).name, 0, reason});
        summary({0, 1, 0, 0});
        return false;
    }
    const std::string dest = options.inPlace ? source : options.output.value_or("-");
    if (const std::string why = DeviceRefusal(dest); !why.empty()) {
        ConsoleHost::Report(dest, why);
        return false;
    }
    if (!options.inPlace) {
        // Written while it is read, the source would be lost (or, appended
        // to, grow without end), standard input as much as a named file.
        const FileIdentity sourceIdentity =
            source == "-" ? OsFile::StandardInput().Identity() : StatusOf(source).identity;
        const FileIdentity destIdentity =
            dest == "-" ? OsFile::StandardOutput().Identity() : StatusOf(dest).identity;
        if (sourceIdentity == destIdentity) {
            ConsoleHost::Report(
                dest == "-" ? "standard output" : dest,
                source == "-" ? "is the source, standard input, itself"
                              : "is the source " + source + " itself: give -i to mend it in place");
            return false;
        }
    }
    // In place, the source is what the user asked to replace.
    ConsoleHost host(source, dest, options.force || options.inPlace);
    OpenedDestination opened;
    if (!opened.Open(dest == "-" ? Destination::Output() : Destination::Replacing(dest), host)) {
        return false;
    }
    // What is left is located in the mended file: named so when it is one.
    const std::string mended = dest == "-" ? source : dest;
    TextReport leftText(out, mended);
    JsonReport leftJson(out, mended);
    SubtitleCheck check(true, options.json ? static_cast<ProblemSink&>(leftJson) : leftText);
    if (!options.codePage) {
        check.WarnOfSplitCharacters(codePage);
    }
    HoldToLimits(options, codePage, check);
    CheckCounts counts;
    bool written = false;
    try {
        const uint64_t fixed = MendAndCheck(reader, opened.Writer(), report, check);
        counts = check.Counts();
        counts.fixed = fixed;
        reader.Close();  // Windows renames nothing over a file still open
        if (options.inPlace && reader.EncodingGuessed() && counts.errors > 0) {
            // Transcoded on a guess that the errors left put in doubt: the
            // only copy of the file is not the one to bet on it.
            opened.GiveUp();
            ConsoleHost::Report(
                source,
                "not mended in place: its first bytes, without a byte-order mark, read as " +
                    std::string(EncodingName(reader.Encoding())) +
                    ", and the mended file still has errors; look at it first with "
                    "srt2rt --fix -o OTHER.srt " +
                    source);
            return false;
        }
        written = opened.Complete(host);
    } catch (const FileError& error) {
        opened.GiveUp();
        Notice notice{NoticeKind::FileFailure, error.fullPath};
        notice.operation = error.operation;
        notice.systemError = error.systemError;
        notice.line = reader.LineNumber() + 1;
        host.Tell(notice);
    } catch (const std::bad_alloc&) {
        opened.GiveUp();
        Notice notice{NoticeKind::OutOfMemory, source};
        notice.line = reader.LineNumber() + 1;
        host.Tell(notice);
    }
    if (!written) {
        return false;
    }
    summary(counts);
    return counts.errors == 0;
}

}  // namespace quillo::cli
