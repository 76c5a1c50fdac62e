// The stream from --fix's fixer, on its thread, to the check on its own:
// records of what the mended file holds, in the order the fixer made them,
// handed over in chunks. Private to mending_run.cpp.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "byte_search.h"
#include "srt_fields.h"
#include "subtitle_check.h"
#include "subtitle_fixer.h"
#include "text_builder.h"
#include "text_file.h"
#include "worker_thread.h"

namespace quillo::mended_stream {

// Chunks in the ring: enough for either thread to run on through the other's
// slower moments (a write to the disk, a flush of the report).
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

struct Stopped {};    // the fixer failed: the check goes no further
struct Cancelled {};  // the run is over, whatever the check was doing
struct CheckGone {};  // the check's thread failed: the fixer stops

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

}  // namespace quillo::mended_stream
