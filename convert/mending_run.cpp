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
constexpr size_t kChunks = 4;
// Room for a record past a chunk's nominal size: a change's message, and
// what stands around it.
constexpr size_t kRecordRoom = TextBuilder::kCapacity + 256;

enum class Record : uint8_t {
    Pass,       // so many lines as the source has them, next
    TimedPass,  // one, a time line of the usual shape, and its times
    Line,       // a mended line, its bytes in the chunk, after so many source lines skipped
    BigLine,    // the same, longer than a chunk, left where the fixer holds it
    State,      // what the next line brings besides its bytes: a NUL's cut, a Ctrl-Z
    Block,      // bytes of the mended file for the check's thread to write, as they stand
    Fix,        // a change
    WalkEnd,    // the fixer's walk is over: what follows is changes only
    Stop,       // the fixer failed: nothing follows
    End,
};

// A mended line in the stream: how many source lines its mending read (the
// check's reader skips them), and its size.
struct LineHeader {
    uint64_t skipped;
    size_t size;
};

// A line whose walk is not simply its bytes, ended CR LF: what the check
// asks of a line source besides the line itself.
struct LineState {
    size_t walkLength;  // the walk's line is this much of it
    size_t cutColumn;
    bool unended;  // for the walk
    TextReader::CtrlZ ctrlZ;
};

// A change as the stream carries it, its message's bytes after it.
struct FixHeader {
    uint64_t line;
    size_t column;
    Severity severity;
    std::string_view code;  // the code table's own
    int32_t entry;
    size_t messageSize;
};

struct Stopped {};        // the fixer failed: the check goes no further
struct Cancelled {};      // the run is over, whatever the check was doing
struct SourceChanged {};  // the second reading ended before the first
struct CheckGone {};      // the check's thread failed: the fixer stops

// The stream from the fixer's thread to the check's: a ring of chunks of
// records, handed over a chunk at a time. (Aligned, so that nothing else
// shares its last cache line.)
class alignas(64) MendedStream {
public:
    // `block`: the most a block of the writer holds.
    MendedStream(size_t chunk, size_t block)
        : chunk_(std::max<size_t>(chunk, 1)), room_(chunk_ + kRecordRoom + block) {
        for (auto& bytes : chunks_) {
            // Lines handed to the walk are followed by readable padding.
            bytes.reset(new char[room_ + kSearchPadding]());
        }
        filling_ = chunks_[0].get();
    }

    // The fixer's side: the line it handed out last, `walked` as the walk
    // sees it, its mending having read the source up to line `sourceLine`.
    void PutLine(const SubtitleFixer& fixer, std::string_view walked, uint64_t sourceLine) {
        const uint64_t skipped = sourceLine - sourceLine_;
        sourceLine_ = sourceLine;
        // Longer lines come by the stream, where the fixer holds them: the
        // check's reader holds no long line a second time.
        if (fixer.PassedAsItStood() && skipped == 1 && walked.size() <= chunk_) {
            if (const TimeRange* times = fixer.UsualTimes()) {
                // Read once: the check's thread reads the times, not the line.
                std::memcpy(Append(Record::TimedPass, sizeof *times), times, sizeof *times);
                return;
            }
            ++passing_;  // nearly every line
            return;
        }
        const std::string_view line = fixer.LineWritten();
        if (line.size() != walked.size() || fixer.LineUnended()) {
            const LineState state{walked.size(), fixer.CutColumn(fixer.LineNumber()),
                                  fixer.LineUnended(), fixer.CtrlZSeen()};
            std::memcpy(Append(Record::State, sizeof state), &state, sizeof state);
        }
        const LineHeader header{skipped, line.size()};
        if (line.size() > chunk_) {
            PutBigLine(header, line.data());
            return;
        }
        char* at = Append(Record::Line, sizeof header + line.size());
        std::memcpy(at, &header, sizeof header);
        CopyBytes(at + sizeof header, line.data(), line.size());
    }
    void PutFix(const Problem& problem) {
        const FixHeader header{
            problem.line, problem.column, problem.severity,
            problem.code, problem.entry,  std::min(problem.message.size(), TextBuilder::kCapacity)};
        char* at = Append(Record::Fix, sizeof header + header.messageSize);
        std::memcpy(at, &header, sizeof header);
        CopyBytes(at + sizeof header, problem.message.data(), header.messageSize);
    }
    // A block the fixer's writer would write (the writer's hook).
    static void PutBlock(void* stream, const char* data, size_t size) {
        static_cast<MendedStream*>(stream)->PutBlock(data, size);
    }
    void PutBlock(const char* data, size_t size) {
        char* at = Append(Record::Block, sizeof size + size);
        std::memcpy(at, &size, sizeof size);
        std::memcpy(at + sizeof size, data, size);
    }
    void Put(Record mark) {
        Append(mark, 0);
        if (mark != Record::WalkEnd) {
            Publish();
        }
    }
    // Hands over what the stream holds, so that the check goes on while the
    // fixer reads on: told every few lines, as passing lines take no room.
    void HandOver() {
        PutPassing();
        Publish();
    }

    // The check's side: the next record's kind, its bytes at `payload`.
    Record Next(const char*& payload) {
        while (reading_ == readEnd_) {
            TakeNextChunk();
        }
        Record mark;
        std::memcpy(&mark, reading_, 1);
        payload = reading_ + 1;
        reading_ += 1 + PayloadSize(mark, payload);
        return mark;
    }
    // A big line handed out is done with.
    void ReleaseBigLine() {
        MonitorLock lock(monitor_);
        ++bigReleased_;
        monitor_.NotifyAll();
    }

    // The run is over: the check stops wherever it waits.
    void Cancel() {
        MonitorLock lock(monitor_);
        cancelled_ = true;
        monitor_.NotifyAll();
    }
    // The check's thread has ended: the fixer waits for it no more.
    void CheckEnded() {
        MonitorLock lock(monitor_);
        checkGone_ = true;
        monitor_.NotifyAll();
    }

private:
    static size_t PayloadSize(Record mark, const char* payload) {
        size_t size = 0;
        switch (mark) {
            case Record::Pass:
                return sizeof(uint64_t);
            case Record::TimedPass:
                return sizeof(TimeRange);
            case Record::Line:
                std::memcpy(&size, payload + offsetof(LineHeader, size), sizeof size);
                return sizeof(LineHeader) + size;
            case Record::BigLine:
                return sizeof(LineHeader) + sizeof(const char*);
            case Record::State:
                return sizeof(LineState);
            case Record::Block:
                std::memcpy(&size, payload, sizeof size);
                return sizeof size + size;
            case Record::Fix:
                std::memcpy(&size, payload + offsetof(FixHeader, messageSize), sizeof size);
                return sizeof(FixHeader) + size;
            default:
                return 0;
        }
    }

    // Room for a record of `size` bytes after its mark, after the count of
    // lines passing before it; a chunk that holds its share goes over first.
    char* Append(Record mark, size_t size) {
        PutPassing();
        return AppendHere(mark, size);
    }
    void PutPassing() {
        if (passing_ > 0) {
            std::memcpy(AppendHere(Record::Pass, sizeof passing_), &passing_, sizeof passing_);
            passing_ = 0;
        }
    }
    char* AppendHere(Record mark, size_t size) {
        if (used_ >= chunk_ || 1 + size > room_ - used_) {
            Publish();
        }
        char* at = filling_ + used_;
        std::memcpy(at, &mark, 1);
        used_ += 1 + size;
        return at + 1;
    }

    // The line is read where it stands, and the fixer waits until the check
    // is done with it (it asked for the next line).
    void PutBigLine(const LineHeader& header, const char* data) {
        char* at = Append(Record::BigLine, sizeof header + sizeof data);
        std::memcpy(at, &header, sizeof header);
        std::memcpy(at + sizeof header, &data, sizeof data);
        Publish();
        ++bigPut_;
        MonitorLock lock(monitor_);
        while (bigReleased_ != bigPut_ && !checkGone_) {
            monitor_.Wait();
        }
        if (checkGone_) {
            throw CheckGone{};
        }
    }

    // Hands the chunk being filled over, and waits for one to fill; throws
    // CheckGone once the check's thread is gone (it failed: the run stops).
    void Publish() {
        MonitorLock lock(monitor_);
        if (checkGone_) {
            throw CheckGone{};
        }
        if (used_ == 0) {
            return;
        }
        sizes_[published_ % kChunks] = used_;
        ++published_;
        monitor_.NotifyAll();
        while (published_ - released_ >= kChunks && !checkGone_) {
            monitor_.Wait();
        }
        if (checkGone_) {
            throw CheckGone{};
        }
        filling_ = chunks_[published_ % kChunks].get();
        used_ = 0;
    }

    void TakeNextChunk() {
        MonitorLock lock(monitor_);
        if (holding_) {
            ++released_;  // the last line handed out from it was done with
            holding_ = false;
            monitor_.NotifyAll();
        }
        while (released_ == published_ && !cancelled_) {
            monitor_.Wait();
        }
        if (cancelled_) {
            throw Cancelled{};
        }
        const size_t index = released_ % kChunks;
        reading_ = chunks_[index].get();
        readEnd_ = reading_ + sizes_[index];
        holding_ = true;
    }

    const size_t chunk_;
    const size_t room_;
    std::unique_ptr<char[]> chunks_[kChunks];
    size_t sizes_[kChunks] = {};  // under the monitor's lock
    Monitor monitor_;
    // Under the monitor's lock: chunks handed over, and handed back.
    uint64_t published_ = 0;
    uint64_t released_ = 0;
    uint64_t bigReleased_ = 0;
    bool cancelled_ = false;
    bool checkGone_ = false;
    // The fixer's own, on cache lines of its own: each thread writes its
    // fields at every line, and lines the two share would bounce between
    // the cores.
    alignas(64) char* filling_;
    size_t used_ = 0;
    uint64_t passing_ = 0;
    uint64_t sourceLine_ = 0;
    uint64_t bigPut_ = 0;
    // The check's own.
    alignas(64) const char* reading_ = nullptr;
    const char* readEnd_ = nullptr;
    bool holding_ = false;
};

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
            --passing_;  // nearly every line: the source's own, as it stood
            if (!source_.ReadLine(line)) {
                throw SourceChanged{};
            }
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
        asideHeld = std::make_unique<Aside>(*streamHeld, source.BlockSize(), out, fixes, check);
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
