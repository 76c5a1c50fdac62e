#include "fix_run.h"

#include <cstring>
#include <exception>
#include <memory>
#include <utility>

#include "srt_entries.h"
#include "subtitle_fixer.h"
#include "worker_thread.h"

namespace quillo {
namespace {

// The log is handed over a chunk at a time, a few chunks ahead at most.
constexpr size_t kChunkSize = 64 * 1024;
constexpr size_t kChunks = 8;
// A line longer than this many of the reader's blocks (1 MiB by default) is
// not copied into the log: the fixer waits while the check reads it where
// it stands, so that a huge line is never held twice.
constexpr size_t kLongestCopiedBlocks = 8;
constexpr size_t kCheckThreadStack = 256 * 1024;
static_assert(kSearchPadding >= 16, "lines are copied sixteen bytes a step");

// What the log holds, in the order the fixer did it.
enum class Event : uint8_t {
    Line,       // a mended line, its bytes after the header
    LongLine,   // a mended line left where the fixer holds it
    Change,     // a change, its message after the header
    WalkEnded,  // the fixer hands out no more lines
    Closed,     // the fixer is done: nothing follows
};

struct LineHeader {
    Event event;
    bool unended;
    size_t size;
    size_t cutColumn;
    const char* held;  // LongLine's bytes
};

struct ChangeHeader {
    Event event;
    uint64_t line;
    size_t column;
    const char* code;  // a name in the table of problem codes, which stays
    size_t codeSize;
    int32_t entry;
    size_t messageSize;
};

struct EndHeader {
    Event event;
    TextReader::CtrlZ ctrlZ;
};

// Every event starts on an 8-byte boundary; a line is followed by the
// padding the walk's searches read past it.
constexpr size_t Rounded(size_t size) {
    return (size + 7) & ~size_t{7};
}

// Thrown on the check's thread when the fixer gave up: the walk unwinds
// without finishing, as it does when the fixer's own walk fails.
struct Abandoned {};

class MendedLog {
public:
    explicit MendedLog(size_t longestCopied) : longestCopied_(longestCopied) {
        for (Chunk& chunk : chunks_) {
            Grow(chunk, kChunkSize);
        }
    }

    // The fixer's side.
    void AddLine(std::string_view line, size_t cutColumn, bool unended) {
        if (line.size() > longestCopied_) {
            LineHeader header{Event::LongLine, unended, line.size(), cutColumn, line.data()};
            std::memcpy(Append(sizeof header), &header, sizeof header);
            const uint64_t held = ++heldLines_;
            Publish();
            WaitUntilRead(held);
            return;
        }
        const LineHeader header{Event::Line, unended, line.size(), cutColumn, nullptr};
        char* at = Append(Rounded(sizeof header + line.size() + kSearchPadding));
        std::memcpy(at, &header, sizeof header);
        // Sixteen bytes a step, without a call: the fixer's lines are padded
        // as the log's are, so the last step may run past both.
        for (size_t done = 0; done < line.size(); done += 16) {
            std::memcpy(at + sizeof header + done, line.data() + done, 16);
        }
    }
    void AddChange(const Problem& change) {
        const ChangeHeader header{Event::Change,        change.line,        change.column,
                                  change.code.data(),   change.code.size(), change.entry,
                                  change.message.size()};
        char* at = Append(Rounded(sizeof header + change.message.size()));
        std::memcpy(at, &header, sizeof header);
        if (!change.message.empty()) {
            std::memcpy(at + sizeof header, change.message.data(), change.message.size());
        }
    }
    void AddWalkEnded(const TextReader::CtrlZ& ctrlZ) {
        const EndHeader header{Event::WalkEnded, ctrlZ};
        std::memcpy(Append(Rounded(sizeof header)), &header, sizeof header);
    }
    void Close() {
        const Event closed = Event::Closed;
        std::memcpy(Append(8), &closed, sizeof closed);
        Publish();
    }
    // The fixer failed: what it logged is read, then the check's walk stops.
    void Abandon() {
        if (Filling().used > 0) {
            MonitorLock lock(monitor_);
            ++written_;
        }
        MonitorLock lock(monitor_);
        abandoned_ = true;
        monitor_.NotifyAll();
    }
    void RethrowCheckFailure() {
        if (checkFailure_ != nullptr) {
            std::rethrow_exception(checkFailure_);
        }
    }

    // The check's side. The next chunk, waited for; throws Abandoned when
    // the fixer gave up and everything it logged was read.
    const char* NextChunk(size_t& used) {
        MonitorLock lock(monitor_);
        while (read_ == written_ && !abandoned_) {
            monitor_.Wait();
        }
        if (read_ == written_) {
            throw Abandoned{};
        }
        const Chunk& chunk = chunks_[read_ % kChunks];
        used = chunk.used;
        return chunk.bytes.get();
    }
    void DoneWithChunk() {
        MonitorLock lock(monitor_);
        ++read_;
        monitor_.NotifyAll();
    }
    void LongLineRead(uint64_t held) {
        MonitorLock lock(monitor_);
        heldRead_ = held;
        monitor_.NotifyAll();
    }
    void CheckFailed(std::exception_ptr failure) {
        MonitorLock lock(monitor_);
        checkFailure_ = failure;
        monitor_.NotifyAll();
    }

private:
    struct Chunk {
        std::unique_ptr<char[]> bytes;
        size_t capacity = 0;
        size_t used = 0;
    };
    static void Grow(Chunk& chunk, size_t capacity) {
        chunk.bytes.reset(new char[capacity]);
        chunk.capacity = capacity;
    }
    // The chunk being filled: free, as Publish waits for it.
    Chunk& Filling() { return chunks_[written_ % kChunks]; }
    char* Append(size_t size) {
        Chunk* chunk = &Filling();
        if (size > chunk->capacity - chunk->used) {
            if (chunk->used > 0) {
                Publish();
                chunk = &Filling();
            }
            if (size > chunk->capacity) {
                Grow(*chunk, size);
            }
        }
        char* const at = chunk->bytes.get() + chunk->used;
        chunk->used += size;
        return at;
    }
    // Hands the chunk being filled to the check, and waits until the next
    // one is free.
    void Publish() {
        MonitorLock lock(monitor_);
        ++written_;
        monitor_.NotifyAll();
        while (written_ - read_ >= kChunks && checkFailure_ == nullptr) {
            monitor_.Wait();
        }
        if (checkFailure_ != nullptr) {
            std::rethrow_exception(checkFailure_);
        }
        Filling().used = 0;
    }
    void WaitUntilRead(uint64_t held) {
        MonitorLock lock(monitor_);
        while (heldRead_ < held && checkFailure_ == nullptr) {
            monitor_.Wait();
        }
        if (checkFailure_ != nullptr) {
            std::rethrow_exception(checkFailure_);
        }
    }

    const size_t longestCopied_;
    Monitor monitor_;
    Chunk chunks_[kChunks];
    // Under the monitor's lock.
    uint64_t written_ = 0;  // chunks handed to the check
    uint64_t read_ = 0;     // chunks it is done with
    uint64_t heldRead_ = 0;
    bool abandoned_ = false;
    std::exception_ptr checkFailure_;
    // The fixer's own.
    uint64_t heldLines_ = 0;
};

// The changes the fixer tells, into the log.
class LoggedChanges : public ProblemSink {
public:
    explicit LoggedChanges(MendedLog& log) : log_(log) {}
    void Report(const Problem& change) override { log_.AddChange(change); }

private:
    MendedLog& log_;
};

// The mended lines as the check's walk reads them from the log, as it would
// from the fixer; the changes logged between them go to their sink on the
// way, where one walk would have told them.
class LoggedLines {
public:
    LoggedLines(MendedLog& log, ProblemSink& changes) : log_(log), changes_(changes) {}

    bool ReadLine(std::string_view& line) {
        if (heldLine_ != 0) {
            log_.LongLineRead(std::exchange(heldLine_, 0));
        }
        line = {};
        for (;;) {
            if (walkEnded_) {
                return false;
            }
            if (at_ == end_) {
                NextChunk();
            }
            Event event;
            std::memcpy(&event, at_, sizeof event);
            switch (event) {
                case Event::Line:
                case Event::LongLine: {
                    LineHeader header;
                    std::memcpy(&header, at_, sizeof header);
                    if (event == Event::Line) {
                        line = std::string_view(at_ + sizeof header, header.size);
                        at_ += Rounded(sizeof header + header.size + kSearchPadding);
                    } else {
                        line = std::string_view(header.held, header.size);
                        heldLine_ = ++heldLines_;
                        at_ += sizeof header;
                    }
                    ++lineNumber_;
                    cutColumn_ = header.cutColumn;
                    unended_ = header.unended;
                    return true;
                }
                case Event::Change:
                    TellChange();
                    break;
                case Event::WalkEnded: {
                    EndHeader header;
                    std::memcpy(&header, at_, sizeof header);
                    ctrlZ_ = header.ctrlZ;
                    at_ += Rounded(sizeof header);
                    walkEnded_ = true;
                    return false;
                }
                case Event::Closed:
                    return false;  // only after WalkEnded, which stops before
            }
        }
    }
    // What the fixer told after the walk ended.
    void TellTheRest() {
        for (;;) {
            if (at_ == end_) {
                NextChunk();
            }
            Event event;
            std::memcpy(&event, at_, sizeof event);
            if (event == Event::Closed) {
                log_.DoneWithChunk();
                return;
            }
            TellChange();  // nothing else follows the walk's end
        }
    }

    uint64_t LineNumber() const { return lineNumber_; }
    size_t CutColumn(uint64_t line) const { return line == lineNumber_ ? cutColumn_ : 0; }
    bool LineUnended() const { return unended_; }
    std::string_view Head() const { return {}; }
    const TextReader::CtrlZ& CtrlZSeen() const { return ctrlZ_; }

private:
    void NextChunk() {
        if (begin_ != nullptr) {
            log_.DoneWithChunk();
        }
        size_t used = 0;
        begin_ = log_.NextChunk(used);
        at_ = begin_;
        end_ = begin_ + used;
    }
    void TellChange() {
        ChangeHeader header;
        std::memcpy(&header, at_, sizeof header);
        const std::string_view message(at_ + sizeof header, header.messageSize);
        at_ += Rounded(sizeof header + header.messageSize);
        if (changes_.Wants(Severity::Fixed)) {
            changes_.Report({header.line, header.column, Severity::Fixed,
                             std::string_view(header.code, header.codeSize), header.entry,
                             message});
        }
    }

    MendedLog& log_;
    ProblemSink& changes_;
    const char* begin_ = nullptr;
    const char* at_ = nullptr;
    const char* end_ = nullptr;
    uint64_t lineNumber_ = 0;
    size_t cutColumn_ = 0;
    bool unended_ = false;
    bool walkEnded_ = false;
    TextReader::CtrlZ ctrlZ_;
    uint64_t heldLines_ = 0;
    uint64_t heldLine_ = 0;  // a long line handed out, to be said read
};

struct CheckThread {
    MendedLog& log;
    ProblemSink& changes;
    SubtitleCheck& check;
};

void RunCheck(void* argument) {
    CheckThread& run = *static_cast<CheckThread*>(argument);
    try {
        LoggedLines lines(run.log, run.changes);
        ReadEntries(lines, run.check);
        lines.TellTheRest();
    } catch (const Abandoned&) {
        // The fixer failed, and says so itself.
    } catch (...) {
        run.log.CheckFailed(std::current_exception());
    }
}

}  // namespace

uint64_t MendBesideCheck(MendingReader& source, TextWriter& out, ProblemSink& changes,
                         SubtitleCheck& check) {
    SubtitleFixer fixer(source, out, changes);
    ReadEntries(fixer, check);
    fixer.Finish();
    return fixer.Fixed();
}

uint64_t MendAndCheck(MendingReader& source, TextWriter& out, ProblemSink& changes,
                      SubtitleCheck& check) {
    // Declared before the thread, so that it is joined before they go.
    MendedLog log(kLongestCopiedBlocks * source.BlockSize());
    CheckThread run{log, changes, check};
    WorkerThread thread;
    if (!thread.Start(&RunCheck, &run, kCheckThreadStack)) {
        return MendBesideCheck(source, out, changes, check);
    }
    LoggedChanges logged(log);
    SubtitleFixer fixer(source, out, logged);
    try {
        std::string_view line;
        while (fixer.ReadLine(line)) {
            log.AddLine(line, fixer.CutColumn(fixer.LineNumber()), fixer.LineUnended());
        }
        log.AddWalkEnded(fixer.CtrlZSeen());
        fixer.Finish();
        log.Close();
    } catch (...) {
        log.Abandon();
        thread.Join();
        throw;
    }
    thread.Join();
    log.RethrowCheckFailure();
    return fixer.Fixed();
}

}  // namespace quillo
