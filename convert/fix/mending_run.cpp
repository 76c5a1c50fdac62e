#include "mending_run.h"

#include <new>

#include "conversion_run.h"
#include "subtitle_fixer.h"

namespace quillo {

uint64_t MendAndCheck(MendingReader& source, TextWriter& out, ProblemSink& fixes,
                      SubtitleCheck& check, const TimeMap* map) {
    SubtitleFixer fixer(source, out, fixes);
    if (map != nullptr) {
        fixer.RetimeWith(*map);
    }
    ReadEntries(fixer, check);
    fixer.Finish();
    return fixer.Fixed();
}

MendOutcome Mend(const Source& source, const Destination& destination,
                 const ConversionOptions& options, SubtitleCheck& check, ProblemSink& fixes,
                 bool replacesItsSource) {
    // The check reads the mended lines, whose times the fixer moved already.
    ConversionOptions mended = options;
    mended.timeMap = nullptr;
    check.Follow(mended);
    MendOutcome outcome;
    outcome.run = conversion_run::Run<MendingReader>(
        source, destination, options, [&](MendingReader& reader, OpenedDestination& opened) {
            ProblemSink& host = options.host;
            try {
                outcome.fixed =
                    MendAndCheck(reader, opened.Writer(), fixes, check, options.timeMap);
                reader.Close();  // Windows renames nothing over a file still open
                if (replacesItsSource && reader.EncodingGuessed() && check.Counts().errors > 0) {
                    // Transcoded on a guess that the errors left put in doubt.
                    opened.GiveUp();
                    Problem unsure = RunProblem(ProblemCode::UnsureEncoding, source.path);
                    unsure.encoding = reader.Encoding();
                    host.Report(unsure);
                    return RunOutcome::Stopped;
                }
                return opened.Complete(host) ? RunOutcome::Completed : RunOutcome::Stopped;
            } catch (const RetimingStopped&) {
                opened.GiveUp();
                outcome.retimingStopped = true;
            } catch (const FileError& error) {
                opened.GiveUp();
                host.Report(FailureOf(error, reader.LineNumber() + 1));
            } catch (const std::bad_alloc&) {
                opened.GiveUp();
                host.Report(
                    RunProblem(ProblemCode::OutOfMemory, source.path, reader.LineNumber() + 1));
            }
            return RunOutcome::Stopped;
        });
    return outcome;
}

}  // namespace quillo
