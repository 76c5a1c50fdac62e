// --fix's run. The check and its report cost about what the fixer and the
// writing do, so where the source can be read a second time the check looks
// on from a thread of its own. It reads the source again, and the fixer's
// thread tells it, in one stream, how the mended file differs: which lines
// pass as they stood (nearly all, told as a count), the bytes of every other
// line, and each change as it is made. The check's thread says the changes
// and its problems in the stream's order, which is the order of one walk.
// Lines that cross from one core to the other are few: handing over every
// line would cost the check's thread more than reading the source again.
#include "mending_run.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "mended_stream.h"
#include "subtitle_fixer.h"
#include "worker_thread.h"

namespace quillo {
namespace {

// srt2rt.exe is kept within its download's size, and its speed is the
// conversion's: there the check walks beside the fixer.
#ifdef _WIN32
constexpr bool kCheckAside = false;
#else
constexpr bool kCheckAside = true;
#endif
// The check's thread needs little stack; under a limit on memory the
// system's default (8 MiB on Linux) would count against the fixer.
constexpr size_t kAsideStack = 256 * 1024;

using namespace mended_stream;

struct SourceChanged {};  // the second reading ended before the first

// The fixer's changes, on its thread: into the stream.
class StreamedFixes : public ProblemSink {
public:
    StreamedFixes(MendedStream& stream, bool wanted) : stream_(stream), wanted_(wanted) {}
    bool Wants(Severity) const override { return wanted_; }
    void Report(const Problem& problem) override { stream_.PutFix(problem); }

private:
    MendedStream& stream_;
    bool wanted_;  // asked again on the other side: a sink's wants only narrow
};

// The mended file's lines as the check's walk reads them, on the check's
// thread: the source's own, read again, where they pass as they stood, else
// the stream's. The changes met on the way are said, and the blocks of the
// mended file written, as they come.
class ReplayedLines {
public:
    ReplayedLines(MendedStream& stream, MendingReader& source, TextWriter& out, ProblemSink& fixes)
        : stream_(stream), source_(source), out_(out), fixes_(fixes) {}

    bool ReadLine(std::string_view& line) {
        line = {};
        if (walkEnded_) {
            return false;
        }
        if (passing_ > 0 && !holdingBig_) {
            Pass(line);  // nearly every line: the source's own, as it stood
            cutColumn_ = 0;
            ++lineNumber_;
            return true;
        }
        LineState state;
        bool odd = false;
        if (!Next(line, state, odd)) {
            walkEnded_ = true;
            return false;
        }
        cutColumn_ = 0;
        if (odd) {
            line = line.substr(0, state.walkLength);
            cutColumn_ = state.cutColumn;
            unended_ = state.unended;
            ctrlZ_ = state.ctrlZ;
        }
        ++lineNumber_;
        return true;
    }
    uint64_t LineNumber() const { return lineNumber_; }
    const TimeRange* UsualTimes() const { return timesLine_ == lineNumber_ ? &times_ : nullptr; }
    size_t CutColumn(uint64_t line) const { return line == lineNumber_ ? cutColumn_ : 0; }
    bool LineUnended() const { return unended_; }
    const TextReader::CtrlZ& CtrlZSeen() const { return ctrlZ_; }
    std::string_view Head() const { return {}; }  // the fixer's lines tell no encoding

    // After the walk: the changes and the writing of the rest.
    void WriteTheRest() {
        std::string_view line;
        LineState state;
        bool odd;
        while (!streamEnded_) {
            Next(line, state, odd);
        }
    }

private:
    // Says the changes up to the next line and writes it; false at the end
    // of the walk or of the stream.
    bool Next(std::string_view& line, LineState& state, bool& odd) {
        if (holdingBig_) {
            holdingBig_ = false;
            stream_.ReleaseBigLine();
        }
        if (passing_ > 0) {
            return Pass(line);
        }
        for (;;) {
            const char* payload;
            switch (stream_.Next(payload)) {
                case Record::Pass:
                    std::memcpy(&passing_, payload, sizeof passing_);
                    return Pass(line);
                case Record::TimedPass:
                    std::memcpy(&times_, payload, sizeof times_);
                    timesLine_ = lineNumber_ + 1;
                    ++passing_;
                    return Pass(line);
                case Record::Line: {
                    LineHeader header;
                    std::memcpy(&header, payload, sizeof header);
                    line = std::string_view(payload + sizeof header, header.size);
                    return Mended(header.skipped);
                }
                case Record::BigLine: {
                    LineHeader header;
                    const char* data;
                    std::memcpy(&header, payload, sizeof header);
                    std::memcpy(&data, payload + sizeof header, sizeof data);
                    holdingBig_ = true;
                    line = std::string_view(data, header.size);
                    return Mended(header.skipped);
                }
                case Record::State:
                    std::memcpy(&state, payload, sizeof state);
                    odd = true;
                    break;
                case Record::Fix:
                    Say(payload);
                    break;
                case Record::Block: {
                    // Written where the fixer's writer would have written it:
                    // a write that fails stops the walk where it stopped it.
                    size_t size;
                    std::memcpy(&size, payload, sizeof size);
                    out_.WriteBlock(payload + sizeof size, size);
                    break;
                }
                case Record::WalkEnd:
                    return false;
                case Record::End:
                    streamEnded_ = true;
                    return false;
                case Record::Stop:
                    throw Stopped{};
            }
        }
    }
    bool Pass(std::string_view& line) {
        --passing_;
        if (!source_.ReadLine(line)) {
            throw SourceChanged{};
        }
        return true;
    }
    bool Mended(uint64_t skipped) {
        for (uint64_t i = 0; i < skipped && source_.SkipLine(); ++i) {
        }
        return true;
    }
    void Say(const char* payload) {
        FixHeader fix;
        std::memcpy(&fix, payload, sizeof fix);
        if (fixes_.Wants(Severity::Fixed)) {
            fixes_.Report({fix.line, fix.column, fix.severity, fix.code, fix.entry,
                           std::string_view(payload + sizeof fix, fix.messageSize)});
        }
    }

    MendedStream& stream_;
    MendingReader& source_;
    TextWriter& out_;
    ProblemSink& fixes_;
    uint64_t lineNumber_ = 0;
    uint64_t passing_ = 0;
    TimeRange times_;
    uint64_t timesLine_ = 0;  // the line they are of
    size_t cutColumn_ = 0;
    bool unended_ = false;
    TextReader::CtrlZ ctrlZ_;
    bool walkEnded_ = false;
    bool streamEnded_ = false;
    bool holdingBig_ = false;
};

// What the check's thread works with, on cache lines of its own (the check
// a copy, handed back when it is done).
struct alignas(64) Aside {
    Aside(MendedStream& toRead, size_t block, TextWriter& toWrite, ProblemSink& toSay,
          const SubtitleCheck& checking)
        : stream(toRead), source(block), out(toWrite), fixes(toSay), check(checking) {}

    MendedStream& stream;
    MendingReader source;
    TextWriter& out;
    ProblemSink& fixes;
    SubtitleCheck check;
    // What ended the check's thread, if it failed: a write, a read (or the
    // source, changed under it), or memory.
    std::optional<FileError> failedWrite;
    bool failed = false;
};

void CheckAside(void* argument) {
    Aside& aside = *static_cast<Aside*>(argument);
    try {
        ReplayedLines lines(aside.stream, aside.source, aside.out, aside.fixes);
        ReadEntries(lines, aside.check);
        lines.WriteTheRest();
    } catch (const Stopped&) {
    } catch (const Cancelled&) {
    } catch (const SourceChanged&) {
        aside.failedWrite = FileError{FileOperation::Read, {}, 0};
        aside.failed = true;
    } catch (const FileError& error) {
        aside.failedWrite = error;
        aside.failed = true;
    } catch (...) {
        aside.failed = true;
    }
    aside.source.Close();  // its memory goes now
    aside.stream.CheckEnded();
}

// Whatever ends the run, the check's thread is let go and joined,
// and the writer writes for itself again (its last block when it closes).
class LetGo {
public:
    LetGo(MendedStream& stream, WorkerThread& thread, TextWriter& out)
        : stream_(stream), thread_(thread), out_(out) {}
    ~LetGo() {
        stream_.Cancel();
        thread_.Join();
        out_.OnWriteOut(nullptr, nullptr);
    }
    LetGo(const LetGo&) = delete;
    LetGo& operator=(const LetGo&) = delete;

private:
    MendedStream& stream_;
    WorkerThread& thread_;
    TextWriter& out_;
};

uint64_t MendBeside(MendingReader& source, TextWriter& out, ProblemSink& fixes,
                    SubtitleCheck& check) {
    SubtitleFixer fixer(source, out, fixes);
    ReadEntries(fixer, check);
    fixer.Finish();
    return fixer.Fixed();
}

}  // namespace

uint64_t MendAndCheck(MendingReader& source, TextWriter& out, ProblemSink& fixes,
                      SubtitleCheck& check, const MendingOptions& options) {
    if (!kCheckAside || options.asideStep == 0 || !source.CanBeReadAgain()) {
        return MendBeside(source, out, fixes, check);
    }
    // What the check's thread needs, taken before it starts: where memory is
    // short (a limit on it), the check walks beside the fixer instead.
    std::unique_ptr<MendedStream> streamHeld;
    std::unique_ptr<Aside> asideHeld;
    try {
        streamHeld = std::make_unique<MendedStream>(kDefaultBlockSize / 2, out.BlockSize());
        // Its reader needs no large block: it holds no long line.
        asideHeld = std::make_unique<Aside>(
            *streamHeld, std::min(source.BlockSize(), kDefaultBlockSize / 2), out, fixes, check);
    } catch (const std::bad_alloc&) {
        return MendBeside(source, out, fixes, check);
    }
    MendedStream& stream = *streamHeld;
    Aside& aside = *asideHeld;
    WorkerThread thread;
    if (!source.OpenAgain(aside.source) || !thread.Start(&CheckAside, &aside, kAsideStack)) {
        aside.source.Close();
        asideHeld.reset();
        streamHeld.reset();
        return MendBeside(source, out, fixes, check);
    }
    // This thread mends into the writer's blocks; the check's thread writes
    // them, in the stream, where the system calls cost it less.
    StreamedFixes streamed(stream, fixes.Wants(Severity::Fixed));
    SubtitleFixer fixer(source, out, streamed);
    {
        const LetGo letGo(stream, thread, out);
        out.OnWriteOut(&MendedStream::PutBlock, &stream);
        try {
            std::string_view line;
            uint64_t told = 0;
            const auto put = [&] {
                stream.PutLine(fixer, line, source.LineNumber());
                if (fixer.LineNumber() - told >= options.asideStep) {
                    told = fixer.LineNumber();
                    stream.HandOver();
                }
            };
            while (fixer.ReadLine(line)) {
                put();
            }
            stream.Put(Record::WalkEnd);
            while (fixer.ReadLineAfterTheWalk(line)) {
                put();
            }
            stream.Put(Record::End);
            thread.Join();
        } catch (const CheckGone&) {
            thread.Join();  // it failed: its failure is the run's
        } catch (...) {
            // Everything said before this failure goes out, and nothing after.
            try {
                stream.Put(Record::Stop);
            } catch (const CheckGone&) {
            }
            thread.Join();
            // A failure of the check's thread (a write) came earlier in the
            // stream than this one, which the fixer met reading on.
            if (!aside.failed) {
                throw;
            }
        }
    }
    if (aside.failedWrite) {
        throw *aside.failedWrite;
    }
    if (aside.failed) {
        throw std::bad_alloc();
    }
    check = aside.check;
    return fixer.Fixed();
}

}  // namespace quillo
