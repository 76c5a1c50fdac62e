// The conversion with the check looking on: in a file of its own, so that
// the window, which never checks, links none of the check.
//
// Where the source can be read a second time (a regular file, memory), the
// check reads it on a thread of its own while the conversion runs as it
// does alone: on two cores a checked conversion then takes no longer than a
// quiet one. What the two say comes out in the order one walk beside the
// conversion gives; anywhere else the check walks beside the conversion.
#include <atomic>
#include <memory>
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
    }
    // A read, a write or memory failed: the check need not go on.
    bool Failed() const { return failed_; }
    void Release() {
        for (Held& held : held_) {
            held.notice.file = held.file;
            host_.Tell(held.notice);
        }
        held_.clear();
    }

private:
    struct Held {
        Notice notice;
        std::string file;
    };
    RunHost& host_;
    std::vector<Held> held_;
    bool failed_ = false;
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
enum class AsideEnd : uint8_t { Walked, StoppedWithTheConversion, Cancelled, GaveUp };

// The check's walk: each step first lets out the problems of the one
// before; it stops where the conversion stops.
class CheckAside {
public:
    CheckAside(SubtitleCheck& check, HeldProblems& held, bool verify,
               const std::atomic<bool>* cancel)
        : check_(check), held_(held), verify_(verify), cancel_(cancel) {}

    template <typename Lines>
    void Line(const Lines& source, std::string_view line) {
        check_.Line(source, line);
    }
    bool Index(const IndexLine& index) {
        Release();
        if (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed)) {
            cancelled_ = true;
            return false;
        }
        check_.Index(index);
        return !conversion_run::StopsAt(index, verify_);
    }
    bool TimeLine(const quillo::TimeLine& time) {
        Release();
        check_.TimeLine(time);
        return !conversion_run::StopsAt(time);
    }
    void Text(const quillo::TextLine& line) { check_.Text(line); }
    void EndEntry() { check_.EndEntry(); }
    template <typename Lines>
    void Finish(const Lines& source) {
        check_.Finish(source);
    }

    // How many of the check's problems went to the sink (or were declined).
    uint64_t Said() const { return said_; }

    AsideEnd Walk(TextReader& source) {
        AsideEnd end;
        try {
            end = ReadEntries(source, *this) ? AsideEnd::Walked
                  : cancelled_               ? AsideEnd::Cancelled
                                             : AsideEnd::StoppedWithTheConversion;
        } catch (...) {
            // A failed read or a line too long for it: what the conversion
            // meets it tells of; the check is run again after it.
            held_.Drop();
            end = AsideEnd::GaveUp;
        }
        source.Close();
        return end;
    }

private:
    void Release() {
        held_.Release();
        said_ = check_.Found();
    }

    SubtitleCheck& check_;
    HeldProblems& held_;
    bool verify_;
    const std::atomic<bool>* cancel_;
    bool cancelled_ = false;
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
    std::atomic<bool> cancel{false};
    Aside aside{CheckAside(check, held, options.verifyLineNumbers, &cancel), asideReader};
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
    HeldNotices notices(options.host);
    const ConversionOptions telling{options.verifyLineNumbers, options.codePage, notices};
    const RunOutcome outcome = conversion_run::ConvertBetween(source.path, reader, opened, telling);
    if (notices.Failed()) {
        cancel.store(true, std::memory_order_relaxed);
    }
    thread.Join();

    // The check gave up on a line too long for it: it looks again from the
    // start, now that the conversion's memory is free, and says only what
    // it had not said yet.
    if (aside.end == AsideEnd::GaveUp && !notices.Failed()) {
        TextReader rereader(source.blockSize);
        if (OpenAgain(source, file, rereader)) {
            check.Restart(aside.walk.Said());
            aside.end = CheckAside(check, held, options.verifyLineNumbers, nullptr).Walk(rereader);
        }
    }
    // An entry the conversion stops at is told before the check's problems
    // of that step; anything else after all the check says.
    if (aside.end == AsideEnd::StoppedWithTheConversion) {
        notices.Release();
        held.Release();
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
