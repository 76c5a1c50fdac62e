#include "text_file.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace quillo {
namespace {

constexpr char kCtrlZ = 0x1A;

}  // namespace

TextReader::TextReader(size_t blockSize)
    : blockSize_(std::max<size_t>(blockSize, 1)),
      // Not cleared: a batch makes a reader a file, and only the byte in
      // front (no CR of a line before the first) and the padding need a value.
      storage_(new char[1 + blockSize_ + kSearchPadding]),
      block_(storage_.get() + 1) {
    storage_[0] = '\0';
    std::memset(block_ + blockSize_, 0, kSearchPadding);
}
TextReader::~TextReader() = default;

bool TextReader::Open(const std::string& path) {
    Close();
    if (!file_.Open(path, OsFile::Mode::Read)) {
        return false;
    }
    name_ = FullPathOf(path);
    return true;
}

void TextReader::Attach(OsFile file, std::string name) {
    Close();
    file_ = std::move(file);
    name_ = std::move(name);
}

void TextReader::AttachMemory(std::string_view bytes, std::string name) {
    Close();
    memory_ = bytes.data() != nullptr ? bytes.data() : "";
    memoryLeft_ = bytes.size();
    name_ = std::move(name);
}

void TextReader::Close() {
    file_.Close();  // a read-only handle has nothing left to lose
    // A long line's copy goes too: the next reader of the file may need the room.
    spill_.reset();
    spillSize_ = spillCapacity_ = 0;
    memory_ = nullptr;
    memoryLeft_ = 0;
    next_ = end_ = nul_ = block_;  // empty, and safe to search
    lineNumber_ = 0;
    cutLine_ = 0;
    cutColumn_ = 0;
    ctrlZ_ = {};
    headSize_ = headUnread_ = 0;
    headRead_ = false;
    unended_ = false;
    atEnd_ = false;
}

bool TextReader::MoreToRead() {
    if (memory_ != nullptr) {
        return memoryLeft_ > 0;
    }
    if (headUnread_ > 0) {
        return true;
    }
    char byte;
    return file_.Read(&byte, 1) > 0;
}

void TextReader::ReadHead() {
    headRead_ = true;
    if (memory_ != nullptr) {  // a look, without taking the bytes
        headSize_ = std::min(kHeadSize, memoryLeft_);
        std::memcpy(head_, memory_, headSize_);
        return;
    }
    // A pipe may hand out fewer bytes a read than asked for.
    while (headSize_ < kHeadSize) {
        const std::ptrdiff_t read = file_.Read(head_ + headSize_, kHeadSize - headSize_);
        if (read < 0) {
            atEnd_ = true;
            throw FileError{FileOperation::Read, name_, file_.SystemError()};
        }
        if (read == 0) {
            break;
        }
        headSize_ += static_cast<size_t>(read);
    }
    headUnread_ = headSize_;
}

bool TextReader::Refill() {
    next_ = end_ = nul_ = block_;  // empty, and safe to search
    if (atEnd_ || !IsOpen()) {
        return false;
    }
    if (!headRead_) {
        ReadHead();
    }
    size_t count;
    if (memory_ != nullptr) {
        count = std::min(blockSize_, memoryLeft_);
        std::memcpy(block_, memory_, count);
        memory_ += count;
        memoryLeft_ -= count;
    } else if (headUnread_ > 0) {  // a file's head was read already
        count = std::min(blockSize_, headUnread_);
        std::memcpy(block_, head_ + headSize_ - headUnread_, count);
        headUnread_ -= count;
    } else {
        const std::ptrdiff_t read = file_.Read(block_, blockSize_);
        if (read < 0) {
            atEnd_ = true;
            throw FileError{FileOperation::Read, name_, file_.SystemError()};
        }
        count = static_cast<size_t>(read);
    }
    if (count == 0) {
        atEnd_ = true;
        return false;
    }
    next_ = block_;
    end_ = next_ + count;
    // A Ctrl-Z ends the file where it stands: nothing after it is ever read,
    // but whether anything was there is worth a warning.
    if (const char* z = FindByte(next_, end_, kCtrlZ)) {
        ctrlZ_.found = true;
        ctrlZ_.followed = z + 1 < end_ || MoreToRead();
        end_ = z;
        atEnd_ = true;
    }
    FindNul();
    return next_ != end_;
}

void TextReader::Spill(const char* data, size_t size) {
    if (size > spillCapacity_ - spillSize_) {
        const size_t capacity = std::max(spillSize_ + size, 2 * spillCapacity_ + 64);
        std::unique_ptr<char[]> grown(new char[capacity + kSearchPadding]());
        if (spillSize_ > 0) {
            std::memcpy(grown.get(), spill_.get(), spillSize_);
        }
        spill_ = std::move(grown);
        spillCapacity_ = capacity;
    }
    if (size > 0) {
        std::memcpy(spill_.get() + spillSize_, data, size);
        spillSize_ += size;
    }
}

bool TextReader::ReadLineAcrossBlocks(std::string_view& line) {
    spillSize_ = 0;
    Spill(nullptr, 0);     // the padding must exist for an empty line too
    bool readAny = false;  // bytes of this line (or its LF) were consumed
    bool cut = false;      // a NUL was met: the rest of the line is dropped
    size_t raw = 0;        // bytes of the line as it stands in the file, LF excluded
    for (;;) {
        if (next_ == end_ && !Refill()) {
            if (ctrlZ_.found && ctrlZ_.line == 0) {
                ctrlZ_.line = lineNumber_ + 1;  // this line, or a new one after an LF
                ctrlZ_.column = raw + 1;
            }
            if (!readAny) {
                line = {};
                return false;
            }
            unended_ = true;
            break;
        }
        readAny = true;
        const char* lf = FindByte(next_, end_, '\n');
        const char* stop = lf != nullptr ? lf : end_;
        if (!cut) {
            cut = nul_ < stop;
            if (cut) {
                cutLine_ = lineNumber_ + 1;
                cutColumn_ = raw + static_cast<size_t>(nul_ - next_) + 1;
            }
            Spill(next_, static_cast<size_t>((cut ? nul_ : stop) - next_));
        }
        raw += static_cast<size_t>(stop - next_);
        if (lf == nullptr) {
            next_ = end_;
            continue;
        }
        next_ = lf + 1;
        if (nul_ < next_) {
            FindNul();
        }
        // CR LF ends a line like LF; the CR may have come in the previous block.
        if (!cut && spillSize_ > 0 && spill_[spillSize_ - 1] == '\r') {
            --spillSize_;
        }
        break;
    }
    line = std::string_view(spill_.get(), spillSize_);
    ++lineNumber_;
    return true;
}

bool TextReader::ReadLine(std::string& line) {
    std::string_view view;
    const bool read = ReadLine(view);
    line.assign(view);
    return read;
}

TextWriter::TextWriter(size_t blockSize)
    : blockSize_(std::max<size_t>(blockSize, 1)), block_(new char[blockSize_]) {}

TextWriter::~TextWriter() {
    if (IsOpen() && !failed_ && used_ > 0) {
        try {
            WriteOut(block_.get(), used_);  // best effort: keep what we were given
        } catch (const FileError&) {
            // Nobody is left to tell.
        }
    }
    file_.Close();
}

bool TextWriter::Open(const std::string& path) {
    if (!file_.Open(path, OsFile::Mode::CreateOrTruncate)) {
        return false;
    }
    name_ = FullPathOf(path);
    sink_ = nullptr;
    used_ = lineStart_ = 0;
    lineOpen_ = failed_ = false;
    return true;
}

void TextWriter::Attach(OsFile file, std::string name) {
    file_ = std::move(file);
    name_ = std::move(name);
    sink_ = nullptr;
    used_ = lineStart_ = 0;
    lineOpen_ = failed_ = false;
}

void TextWriter::AttachMemory(std::string& sink, std::string name, size_t capacity) {
    file_.Close();
    sink_ = &sink;
    sinkCapacity_ = capacity;
    name_ = std::move(name);
    used_ = lineStart_ = 0;
    lineOpen_ = failed_ = false;
}

void TextWriter::WriteOut(const char* data, size_t size) {
    if (size == 0) {
        return;
    }
    bool written;
    if (sink_ != nullptr) {
        const size_t room = sinkCapacity_ - std::min(sinkCapacity_, sink_->size());
        sink_->append(data, std::min(size, room));
        written = size <= room;
    } else {
        written = file_.Write(data, size);
    }
    if (!written) {
        failed_ = true;
        throw FileError{FileOperation::Write, name_, sink_ != nullptr ? 0 : file_.SystemError()};
    }
}

void TextWriter::MakeRoom() {
    // Whole lines go out; an unfinished one moves to the front of the block,
    // unless it fills the block alone and must go out as it stands.
    const size_t whole = lineOpen_ ? lineStart_ : used_;
    const size_t size = whole > 0 ? whole : used_;
    used_ -= size;
    lineStart_ = 0;
    WriteOut(block_.get(), size);
    std::memmove(block_.get(), block_.get() + size, used_);
}

void TextWriter::PutAcrossBlocks(std::string_view bytes) {
    while (!bytes.empty()) {
        if (used_ == blockSize_) {
            MakeRoom();
        }
        const size_t count = std::min(bytes.size(), blockSize_ - used_);
        std::memcpy(block_.get() + used_, bytes.data(), count);
        used_ += count;
        bytes.remove_prefix(count);
    }
}

void TextWriter::WriteLine(std::string_view text) {
    // Text mode: every LF goes out as CR LF.
    for (size_t lf; (lf = text.find('\n')) != std::string_view::npos; text.remove_prefix(lf + 1)) {
        Put(text.substr(0, lf));
        Put("\r\n");
    }
    Put(text);
    Put("\r\n");
}

void TextWriter::DiscardUnfinishedLine() {
    if (lineOpen_) {
        used_ = lineStart_;
    }
    lineOpen_ = false;
}

void TextWriter::Close() {
    if (!IsOpen()) {
        return;
    }
    // After a failed write the rest of the block is not tried again.
    bool flushed = true;
    if (!failed_) {
        try {
            WriteOut(block_.get(), used_);
        } catch (const FileError&) {
            flushed = false;
        }
    }
    used_ = lineStart_ = 0;
    lineOpen_ = false;
    const bool inMemory = sink_ != nullptr;
    const bool closed = inMemory || file_.Close();
    sink_ = nullptr;
    if (!flushed || !closed) {
        failed_ = true;
        throw FileError{FileOperation::Write, name_, inMemory ? 0 : file_.SystemError()};
    }
}

void TextWriter::Abandon() {
    used_ = lineStart_ = 0;
    lineOpen_ = false;
    failed_ = true;
    sink_ = nullptr;
    file_.Discard();
}

}  // namespace quillo
