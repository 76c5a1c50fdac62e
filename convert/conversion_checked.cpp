// The conversion with the check looking on: in a file of its own, so that
// the window, which never checks, links none of the check.
//
// Where the source can be read a second time (a regular file, memory), the
// check reads it on a thread of its own while the conversion runs as it
// does alone: on two cores a checked conversion then takes no longer than a
// quiet one. What the two say comes out in the order one walk beside the
// conversion gives; anywhere else the check walks beside the conversion.
#include <atomic>
#include <vector>

#include "conversion_run.h"
#include "subtitle_check.h"
#include "worker_thread.h"

namespace quillo {
namespace {

// The check's reader holds no line longer than this many blocks (1 MiB by
// default): past it, the check gives up and is run again once the
// conversion is done, so that a huge line is never held twice at once.
constexpr size_t kAsideLineBlocks = 8;
// The check's thread needs little stack; under a limit on memory the
// system's default (8 MiB on Linux) would count against the conversion.
constexpr size_t kAsideStack = 256 * 1024;

// What the conversion tells its host while the check runs, told once the
// check has said what comes before it.
class HeldNotices : public RunHost {
public:
    explicit HeldNotices(RunHost& host) : host_(host) {}
    bool Ask(const Notice& question) override { return host_.Ask(question); }
    void Tell(const Notice& notice) override {
        held_.push_back({notice, std::string(notice.file)});
        failed_ = failed_ || notice.kind == NoticeKind::FileFailure ||
                  notice.kind == NoticeKind::OutOfMemory;
        writeFailed_ = writeFailed_ || (notice.kind == NoticeKind::FileFailure &&
                                        notice.operation == FileOperation::Write);
    }
    // A read, a write or memory failed.
    bool Failed() const { return failed_; }
    bool WriteFailed() const { return writeFailed_; }
    // Tells what it holds; with `upToTheEntry`, only as far as the notice of
    // the entry the conversion stopped at.
    void Release(bool upToTheEntry = false) {
        for (; told_ < held_.size(); ++told_) {
            Held& held = held_[told_];
            held.notice.file = held.file;
            host_.Tell(held.notice);
            if (upToTheEntry && IsEntryStop(held.notice.kind)) {
                ++told_;
                return;
            }
        }
    }

private:
    struct Held {
        Notice notice;
        std::string file;
    };
    RunHost& host_;
    static bool IsEntryStop(NoticeKind kind) {
        return kind == NoticeKind::LineNumberError || kind == NoticeKind::TimeFormatError;
    }
    std::vector<Held> held_;
    size_t told_ = 0;
    bool failed_ = false;
    bool writeFailed_ = false;
};

// The check's problems of the step under way (an entry's number line, its
// time line, and what follows each), kept until the next step begins: a
// conversion that stops at an entry says so before the check's problems of
// that step.
class HeldProblems : public ProblemSink {
public:
    explicit HeldProblems(ProblemSink& sink) : sink_(sink) {}
    // Asked again when released: the sink's wants only ever narrow.
    bool Wants(Severity severity) const override { return sink_.Wants(severity); }
    void Report(const Problem& problem) override {
        held_.push_back({problem, std::string(problem.message)});
    }
    void Release() {
        if (!held_.empty()) {
            ReleaseHeld();
        }
    }
    // Forgets what it holds, unsaid.
    void Drop() { held_.clear(); }

private:
    struct Held {
        Problem problem;
        std::string message;
    };
    void ReleaseHeld() {
        for (Held& held : held_) {
            if (sink_.Wants(held.problem.severity)) {
                held.problem.message = held.message;
                sink_.Report(held.problem);
            }
        }
        held_.clear();
    }
    ProblemSink& sink_;
    std::vector<Held> held_;
};

// How the check's walk ended.
enum class AsideEnd : uint8_t {
    Walked,                    // to the end of the file
    StoppedWithTheConversion,  // at the entry the conversion stops at
    Cancelled,                 // the conversion failed part-way
    UpToTheLimit,              // as far as the conversion read before it failed
    GaveUp,                    // a line too long for it, or a failed read
};

// How far the conversion has gone: the check's thread never looks at a line
// the conversion has not finished with, so that when the conversion fails
// part-way the check has said nothing of what lies past it.
class Gate {
public:
    // Every line up to `line` is done with; told before each block the
    // conversion reads.
    static void Publish(void* gate, uint64_t line) { static_cast<Gate*>(gate)->Publish(line); }
    void Publish(uint64_t line) {
        MonitorLock lock(monitor_);
        published_.store(line, std::memory_order_release);
        monitor_.NotifyAll();
    }
    // The conversion's walk is over: every line may be looked at.
    void Open() { Publish(UINT64_MAX); }
    void Cancel() {
        MonitorLock lock(monitor_);
        cancelled_ = true;
        monitor_.NotifyAll();
    }
    // Waits until `line` may be looked at; false when cancelled.
    bool WaitFor(uint64_t line) {
        if (line <= seen_ || line <= (seen_ = published_.load(std::memory_order_acquire))) {
            return true;
        }
        MonitorLock lock(monitor_);
        while (!cancelled_ && line > (seen_ = published_.load(std::memory_order_acquire))) {
            monitor_.Wait();
        }
        return !cancelled_;
    }

private:
    Monitor monitor_;
    std::atomic<uint64_t> published_{0};
    bool cancelled_ = false;  // under the monitor's lock
    uint64_t seen_ = 0;       // the check's thread's own
};

// A reader that stops short: it throws Limit rather than read past line
// `last`, as the conversion's reader failed to.
struct Limit {};
class LinesUpTo {
public:
    LinesUpTo(TextReader& reader, uint64_t last) : reader_(reader), last_(last) {}
    bool ReadLine(std::string_view& line) {
        if (reader_.LineNumber() >= last_) {
            throw Limit{};
        }
        return reader_.ReadLine(line);
    }
    uint64_t LineNumber() const { return reader_.LineNumber(); }
    size_t CutColumn(uint64_t line) const { return reader_.CutColumn(line); }
    bool LineUnended() const { return reader_.LineUnended(); }
    std::string_view Head() const { return reader_.Head(); }
    const TextReader::CtrlZ& CtrlZSeen() const { return reader_.CtrlZSeen(); }

private:
    TextReader& reader_;
    uint64_t last_;
};

// Where the check is to stop when the conversion failed part-way: after
// line `lastLine` is read, and before the step of any later line
// (`lastStep` is lastLine, or one less when a write failed on that line).
struct Limits {
    uint64_t lastLine = UINT64_MAX;
    uint64_t lastStep = UINT64_MAX;
};

// The check's walk: each step first lets out the problems of the one
// before; it stops where the conversion stops.
class CheckAside {
public:
    CheckAside(SubtitleCheck& check, HeldProblems& held, bool verify, Gate* gate, Limits limits)
        : check_(check), held_(held), verify_(verify), gate_(gate), limits_(limits) {}

    template <typename Lines>
    void Line(const Lines& source, std::string_view line) {
        line_ = source.LineNumber();
        if (gate_ != nullptr && !gate_->WaitFor(line_)) {
            throw Cancelled{};
        }
        check_.Line(source, line);
    }
    bool Index(const IndexLine& index) {
        Step();
        check_.Index(index);
        return !conversion_run::StopsAt(index, verify_);
    }
    bool TimeLine(const quillo::TimeLine& time) {
        Step();
        check_.TimeLine(time);
        return !conversion_run::StopsAt(time);
    }
    void Text(const quillo::TextLine& line) {
        Within();
        check_.Text(line);
    }
    void EndEntry() {
        Within();
        check_.EndEntry();
    }
    template <typename Lines>
    void Finish(const Lines& source) {
        // The end of the file, where the conversion's walk reached it too.
        if (gate_ != nullptr && !gate_->WaitFor(UINT64_MAX)) {
            throw Cancelled{};
        }
        check_.Finish(source);
    }

    // How many of the check's problems went to the sink (or were declined).
    uint64_t Said() const { return said_; }

    AsideEnd Walk(TextReader& source) {
        AsideEnd end;
        try {
            bool walked;
            if (limits_.lastLine == UINT64_MAX) {
                walked = ReadEntries(source, *this);
            } else {
                LinesUpTo lines(source, limits_.lastLine);
                walked = ReadEntries(lines, *this);
            }
            end = walked ? AsideEnd::Walked : AsideEnd::StoppedWithTheConversion;
        } catch (const Limit&) {
            end = AsideEnd::UpToTheLimit;  // what it holds stands
        } catch (const Cancelled&) {
            held_.Drop();
            end = AsideEnd::Cancelled;
        } catch (...) {
            // A failed read or a line too long for it: what the conversion
            // meets it tells of; the check is run again after it.
            held_.Drop();
            end = AsideEnd::GaveUp;
        }
        source.Close();  // its memory goes now
        return end;
    }

private:
    struct Cancelled {};
    // A step of an entry begins: the problems of the one before go out.
    void Step() {
        Within();
        held_.Release();
        said_ = check_.Found();
    }
    void Within() {
        if (line_ > limits_.lastStep) {
            throw Limit{};
        }
    }

    SubtitleCheck& check_;
    HeldProblems& held_;
    bool verify_;
    Gate* gate_;
    Limits limits_;
    uint64_t line_ = 0;  // the line read last
    uint64_t said_ = 0;
};

// The second reader of `source`, when it can have one that reads what the
// conversion's reader reads: the same bytes in memory, or the same regular
// file (not standard input, a pipe or a device).
bool OpenAgain(const Source& source, const FileIdentity& file, TextReader& reader) {
    if (source.kind == Source::Kind::Memory) {
        reader.AttachMemory(source.bytes, source.path);
        return true;
    }
    OsFile again;
    if (source.kind != Source::Kind::SharedPath || !file.known ||
        !again.OpenAgainToRead(source.path, file)) {
        return false;
    }
    reader.Attach(std::move(again), FullPathOf(source.path));
    return true;
}

// Puts the check's own sink back, however the run ends.
class SinkRestored {
public:
    explicit SinkRestored(SubtitleCheck& check) : check_(check), sink_(check.Sink()) {}
    ~SinkRestored() { check_.ReportTo(sink_); }
    SinkRestored(const SinkRestored&) = delete;
    SinkRestored& operator=(const SinkRestored&) = delete;
    ProblemSink& Sink() const { return sink_; }

private:
    SubtitleCheck& check_;
    ProblemSink& sink_;
};

// Whatever ends the run, even an exception past the conversion's own
// handling: the check's thread is let go (and then joined) and the reader
// forgets the gate.
class LetGo {
public:
    LetGo(Gate& gate, TextReader& reader) : gate_(gate), reader_(reader) {}
    ~LetGo() {
        reader_.OnEachBlock(nullptr, nullptr);
        gate_.Cancel();  // nothing left to cancel after a join
    }
    LetGo(const LetGo&) = delete;
    LetGo& operator=(const LetGo&) = delete;

private:
    Gate& gate_;
    TextReader& reader_;
};

struct Aside {
    CheckAside walk;
    TextReader& reader;
    AsideEnd end = AsideEnd::GaveUp;
};

RunOutcome ConvertWithCheckAside(const Source& source, TextReader& reader,
                                 OpenedDestination& opened, const ConversionOptions& options,
                                 SubtitleCheck& check) {
    const FileIdentity file = reader.Identity();
    TextReader asideReader(source.blockSize);
    asideReader.LimitLines(kAsideLineBlocks * source.blockSize);
    if (!OpenAgain(source, file, asideReader)) {
        return conversion_run::ConvertBetween(source.path, reader, opened, options, check);
    }
    // Declared in this order so that the thread is joined before anything it
    // uses goes.
    const SinkRestored restored(check);
    HeldProblems held(restored.Sink());
    check.ReportTo(held);
    Gate gate;
    const bool verify = options.verifyLineNumbers;
    Aside aside{CheckAside(check, held, verify, &gate, Limits{}), asideReader};
    const auto walk = [](void* run) {
        Aside& it = *static_cast<Aside*>(run);
        it.end = it.walk.Walk(it.reader);
    };
    WorkerThread thread;
    if (!thread.Start(walk, &aside, kAsideStack)) {
        check.ReportTo(restored.Sink());
        asideReader.Close();
        return conversion_run::ConvertBetween(source.path, reader, opened, options, check);
    }
    const LetGo letGo(gate, reader);
    HeldNotices notices(options.host);
    const ConversionOptions telling{verify, options.codePage, notices};
    reader.OnEachBlock(&Gate::Publish, &gate);
    conversion_run::WalkEnd walkEnd;
    const RunOutcome outcome =
        conversion_run::ConvertNoting(walkEnd, source.path, reader, opened, telling);
    reader.OnEachBlock(nullptr, nullptr);
    // A read, a write or memory failed in the walk: the check goes no
    // further than the conversion did. (A write that fails on closing came
    // after the walk, whether it reached the end or an entry it stops at.)
    const bool failedPartWay = notices.Failed() && !walkEnd.over;
    failedPartWay ? gate.Cancel() : gate.Open();
    thread.Join();

    // The check gave up (on a line too long for it, or a failed read), or
    // the conversion failed part-way: the check looks again from the start,
    // now that the conversion's memory is free, as far as the conversion
    // went, and says only what it had not said yet.
    if (aside.end == AsideEnd::GaveUp || failedPartWay) {
        Limits limits;
        if (failedPartWay) {
            limits.lastLine = walkEnd.lastLine;
            // A write fails in the step of the line read last, unless every
            // line was read: then in the end's.
            const bool inItsStep = notices.WriteFailed() && !walkEnd.pastTheLastLine;
            limits.lastStep =
                inItsStep && limits.lastLine > 0 ? limits.lastLine - 1 : limits.lastLine;
        }
        TextReader rereader(source.blockSize);
        if (OpenAgain(source, file, rereader)) {
            check.Restart(aside.walk.Said());
            aside.end = CheckAside(check, held, verify, nullptr, limits).Walk(rereader);
        }
    }
    // An entry the conversion stops at is told before the check's problems
    // of that step; anything else after all the check says.
    if (aside.end == AsideEnd::StoppedWithTheConversion) {
        notices.Release(true);
        held.Release();
        notices.Release();
    } else {
        held.Release();
        notices.Release();
    }
    return outcome;
}

}  // namespace

RunOutcome Convert(const Source& source, const Destination& destination,
                   const ConversionOptions& options, SubtitleCheck& check) {
    return conversion_run::Run(
        source, destination, options, [&](TextReader& reader, OpenedDestination& opened) {
            return ConvertWithCheckAside(source, reader, opened, options, check);
        });
}

}  // namespace quillo
