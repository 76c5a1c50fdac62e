#include "retiming.h"

#include <new>

#include "console_host.h"
#include "mending_reader.h"
#include "os_paths.h"
#include "source_file.h"
#include "subtitle_fixer.h"
#include "sync_points.h"
#include "system_reason.h"

namespace quillo::cli {
namespace {

// --sync's walk over the lines --fix mends, which are written nowhere: what
// the fixer writes is let go entry by entry.
class MendedStarts {
public:
    MendedStarts(SyncStarts& starts, std::string& written) : starts_(starts), written_(written) {}
    template <typename Lines>
    void Line(const Lines&, std::string_view) {}
    void Index(const IndexLine& index) { starts_.Index(index); }
    bool TimeLine(const quillo::TimeLine& time) { return starts_.TimeLine(time); }
    void Text(const TextLine&) {}
    void EndEntry() { written_.clear(); }
    template <typename Lines>
    void Finish(const Lines&) {}

private:
    SyncStarts& starts_;
    std::string& written_;
};

// Reads `source` up to the last entry --sync names; false, with `reason`,
// when it cannot be opened or read. `wide`: it was not read, being UTF-16 or
// UTF-32, which the conversion and the check refuse on their own.
bool WalkForStarts(const std::string& source, bool mended, SyncStarts& starts, bool& wide,
                   ProblemCode& code, std::string& reason) {
    code = ProblemCode::CannotOpen;
    try {
        if (mended) {
            MendingReader reader;
            if (!OpenSource(source, reader, reason)) {
                return false;
            }
            std::string written;
            TextWriter nowhere;
            nowhere.AttachMemory(written, "-");
            Unheard unheard;
            SubtitleFixer fixer(reader, nowhere, unheard);
            MendedStarts walk(starts, written);
            ReadEntries(fixer, walk);
            return true;
        }
        TextReader in;
        if (!OpenSource(source, in, reason)) {
            return false;
        }
        wide = EncodingOf(in.ReadHeadNow()) != FileEncoding::Bytes;
        if (!wide) {
            ReadEntries(in, starts);
        }
        return true;
    } catch (const FileError& error) {
        reason = WithReason("cannot read", error.systemError);
    } catch (const std::bad_alloc&) {
        reason = "a line is too long to hold in memory";
    }
    code = ProblemCode::ReadError;
    return false;
}

}  // namespace

bool SourceRetiming::Prepare(const std::string& source, const Options& options, bool mended,
                             ProblemSink* report) {
    const TimingRequest& request = options.timing;
    if (request.option.empty()) {
        return true;
    }
    if (request.syncPoints == 0) {
        map_ = MapOf(request);
        return true;
    }
    SyncStarts starts(request);
    ProblemCode code = ProblemCode::Retime;
    std::string reason;
    uint64_t line = 0;
    int32_t entry = 0;
    TimeMap map;
    bool wide = false;
    if (StatusOf(source).kind == PathKind::Device) {
        // Read twice, a pipe given by its name would lose what the first reading took.
        reason = request.option +
                 ": --sync reads each source twice, and this one is a pipe or a device, which "
                 "cannot be; nothing is written";
    } else if (WalkForStarts(source, mended, starts, wide, code, reason)) {
        if (wide) {
            return true;  // refused all the same, for its encoding alone
        }
        code = ProblemCode::Retime;
        if (starts.Resolve(map, reason, line, entry)) {
            map_ = std::move(map);
            return true;
        }
        reason = request.option + ": " + reason + "; nothing is written";
    }
    if (report != nullptr) {
        report->Report({line, line != 0 ? 1u : 0u, Severity::Error, code, entry, reason});
    } else {
        ConsoleHost::Report(line != 0 ? source + ":" + std::to_string(line) : source, reason);
    }
    return false;
}

}  // namespace quillo::cli
