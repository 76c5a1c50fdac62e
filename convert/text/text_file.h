// Text files as the converter reads and writes them: one line at a time,
// without its line end, and every line written ending in CR LF.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "byte_search.h"
#include "os_file.h"

namespace quillo {

enum class FileOperation { Read, Write };

// Thrown when the system fails a read, write or close of an open file. The
// run catches it and tells the user which file failed and how.
struct FileError {
    FileOperation operation;
    std::string fullPath;
    int systemError = 0;  // errno or GetLastError, 0 when the system gave none
};

// Large enough that reads and writes cost few system calls, small enough to
// keep the whole run within a few megabytes whatever the file size. Tests and
// fuzzers pass tiny blocks, so that short inputs cross every block boundary.
inline constexpr size_t kDefaultBlockSize = 128 * 1024;

class TextReader {
public:
    explicit TextReader(size_t blockSize = kDefaultBlockSize);
    ~TextReader();
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    // Opens `path` for reading without sharing; false when it cannot be opened.
    bool Open(const std::string& path);
    // Reads from an already open file (standard input); `name` names it in errors.
    void Attach(OsFile file, std::string name);
    // Reads `bytes`, which must outlive the reader, block by block as from a file.
    void AttachMemory(std::string_view bytes, std::string name);
    bool IsOpen() const { return file_.IsOpen() || memory_ != nullptr; }

    // Hands out the next line, without its line end; the view holds until the
    // next call, and kSearchPadding readable bytes follow it. LF and CR LF end a line; a CR not
    // followed by LF stays in it. A Ctrl-Z ends the file where it stands; a NUL cuts its line
    // there. The last line comes back with or without a line end; after it every call returns false
    // and an empty line. Throws FileError when the system fails the read.
    bool ReadLine(std::string_view& line) {
        // Almost every line lies whole inside the block, before any NUL.
        if (const char* lf = FindBytePadded(next_, end_, '\n'); lf < nul_) {
            // The byte before a line is the previous line's LF, or the block's
            // front padding: lf[-1] is readable and no CR of another line.
            const char* stop = lf[-1] == '\r' ? lf - 1 : lf;
            line = std::string_view(next_, static_cast<size_t>(stop - next_));
            next_ = lf + 1;
            ++lineNumber_;
            return true;
        }
        return ReadLineAcrossBlocks(line);
    }
    // The same, copied (for callers that keep lines).
    bool ReadLine(std::string& line);

    // How many lines were handed out: the number of the last one, from 1.
    uint64_t LineNumber() const { return lineNumber_; }

    // What diagnostics need to know of the lines read. The last line handed
    // out ended without a line end (it was the file's last)...
    bool LineUnended() const { return unended_; }
    // ...and the column (from 1) of the NUL that cut line `line`, or 0.
    size_t CutColumn(uint64_t line) const { return cutLine_ == line ? cutColumn_ : 0; }
    // Where a Ctrl-Z ended the file (line 0 while none did), and whether
    // bytes followed it.
    struct CtrlZ {
        bool found = false;
        bool followed = false;
        uint64_t line = 0;
        size_t column = 0;
    };
    const CtrlZ& CtrlZSeen() const { return ctrlZ_; }
    // The file's first bytes, as they stand (NUL, CR and Ctrl-Z included), up
    // to kHeadSize: read before its first line is handed out, whatever the
    // block size, so that its encoding can be told from them.
    static constexpr size_t kHeadSize = 64;
    std::string_view Head() const { return {head_, headSize_}; }
    // The head, read now if no line was read yet. Throws FileError when the
    // system fails the read.
    std::string_view ReadHeadNow() {
        if (!headRead_) {
            ReadHead();
        }
        return Head();
    }

    void Close();

private:
    bool ReadLineAcrossBlocks(std::string_view& line);
    void Spill(const char* data, size_t size);
    bool MoreToRead();
    void ReadHead();
    bool Refill();
    void FindNul() {
        nul_ = FindByte(next_, end_, '\0');
        if (nul_ == nullptr) {
            nul_ = end_;
        }
    }

    OsFile file_;
    std::string name_;
    const char* memory_ = nullptr;  // AttachMemory: bytes not yet read
    size_t memoryLeft_ = 0;
    size_t blockSize_;
    std::unique_ptr<char[]> storage_;  // the block, with a byte in front and padding after
    char* block_;
    const char* next_ = block_;  // unread bytes are [next_, end_)
    const char* end_ = block_;
    const char* nul_ = block_;  // the first NUL at or after next_, else end_
    // A line that spans blocks, or holds a NUL, padded like the block.
    std::unique_ptr<char[]> spill_;
    size_t spillSize_ = 0;
    size_t spillCapacity_ = 0;
    uint64_t lineNumber_ = 0;
    uint64_t cutLine_ = 0;  // lines cut by a NUL go the slow way: only it keeps these
    size_t cutColumn_ = 0;
    CtrlZ ctrlZ_;
    char head_[kHeadSize];
    size_t headSize_ = 0;
    size_t headUnread_ = 0;  // a file's head bytes not yet handed to the block
    bool headRead_ = false;
    bool unended_ = false;
    bool atEnd_ = false;  // end of file, a Ctrl-Z, or a failed read seen
};

class TextWriter {
public:
    explicit TextWriter(size_t blockSize = kDefaultBlockSize);
    ~TextWriter();  // closes without reporting; call Close() to learn of failures
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    // Creates `path` or empties it, without sharing; false when it cannot.
    bool Open(const std::string& path);
    void Attach(OsFile file, std::string name);
    // Appends everything written to `sink`, which must outlive the writer. A
    // write that would take it past `capacity` bytes stores what fits and
    // fails, as a disk that fills up.
    void AttachMemory(std::string& sink, std::string name, size_t capacity = SIZE_MAX);
    bool IsOpen() const { return file_.IsOpen() || sink_ != nullptr; }

    // Writes `text` and a CR LF; any LF inside `text` is written as CR LF too.
    // Throws FileError when the system fails a write.
    void WriteLine(std::string_view text);

    // A line built piece by piece. Its bytes go out as given (they must hold
    // no LF), and an unfinished line stays in memory while it fits the block,
    // so that a run stopped half-way leaves only whole lines on disk.
    void BeginLine() {
        lineStart_ = used_;
        lineOpen_ = true;
    }
    void Put(std::string_view bytes) {
        if (bytes.size() <= blockSize_ - used_) {
            CopyBytes(block_.get() + used_, bytes.data(), bytes.size());
            used_ += bytes.size();
            return;
        }
        PutAcrossBlocks(bytes);
    }
    // Room for `size` bytes in the block, to be filled and then committed;
    // nullptr when the block is smaller than that.
    char* Reserve(size_t size) {
        if (size > blockSize_ - used_) {
            if (size > blockSize_) {
                return nullptr;
            }
            MakeRoom();
            if (size > blockSize_ - used_) {
                return nullptr;  // the unfinished line leaves too little
            }
        }
        return block_.get() + used_;
    }
    void Commit(size_t size) { used_ += size; }
    void EndLine() {
        Put("\r\n");
        lineOpen_ = false;
    }
    // Ends the line with `end` as it stands (a line end kept from a source).
    void EndLineWith(std::string_view end) {
        Put(end);
        lineOpen_ = false;
    }
    // BeginLine, Put and EndLine at once.
    void PutLine(std::string_view text) {
        if (text.size() + 2 <= blockSize_ - used_) {
            char* at = block_.get() + used_;
            CopyBytes(at, text.data(), text.size());
            at[text.size()] = '\r';
            at[text.size() + 1] = '\n';
            used_ += text.size() + 2;
            return;
        }
        BeginLine();
        Put(text);
        EndLine();
    }
    // Forgets what the block still holds of the unfinished line (all of it,
    // unless the line outgrew the block and its head was written already).
    void DiscardUnfinishedLine();

    size_t BlockSize() const { return blockSize_; }

    // Flushes and closes; throws FileError when either fails. Closed either way.
    void Close();
    // Closes without writing what the block holds: the file is given up.
    void Abandon();

private:
    void PutAcrossBlocks(std::string_view bytes);
    void MakeRoom();
    void WriteOut(const char* data, size_t size);

    OsFile file_;
    std::string name_;
    std::string* sink_ = nullptr;  // AttachMemory
    size_t sinkCapacity_ = SIZE_MAX;
    size_t blockSize_;
    std::unique_ptr<char[]> block_;
    size_t used_ = 0;
    size_t lineStart_ = 0;  // where the unfinished line starts in the block
    bool lineOpen_ = false;
    bool failed_ = false;  // a write failed: do not retry it when closing
};

}  // namespace quillo
