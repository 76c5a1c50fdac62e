#include "text_file.h"

#include <cstring>
#include <utility>

namespace quillo {
namespace {

// Large enough that reads and writes cost few system calls, small enough to
// keep the whole run within a few megabytes whatever the file size.
constexpr size_t kBlockSize = 128 * 1024;
constexpr char kCtrlZ = 0x1A;

}  // namespace

TextReader::TextReader() : buffer_(new char[kBlockSize]) {}
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

void TextReader::Close() {
    file_.Close();  // a read-only handle has nothing left to lose
    begin_ = end_ = 0;
    atEnd_ = false;
}

bool TextReader::Refill() {
    begin_ = end_ = 0;
    if (atEnd_ || !file_.IsOpen()) {
        return false;
    }
    const std::ptrdiff_t count = file_.Read(buffer_.get(), kBlockSize);
    if (count < 0) {
        atEnd_ = true;
        throw FileError{FileOperation::Read, name_};
    }
    if (count == 0) {
        atEnd_ = true;
        return false;
    }
    end_ = static_cast<size_t>(count);
    // A Ctrl-Z ends the file where it stands: nothing after it is ever read.
    if (const void* z = std::memchr(buffer_.get(), kCtrlZ, end_)) {
        end_ = static_cast<size_t>(static_cast<const char*>(z) - buffer_.get());
        atEnd_ = true;
    }
    return end_ > 0;
}

bool TextReader::ReadLine(std::string& line) {
    line.clear();
    bool readAny = false;  // bytes of this line (or its LF) were consumed
    bool cut = false;      // a NUL was met: the rest of the line is dropped
    for (;;) {
        if (begin_ == end_ && !Refill()) {
            return readAny;
        }
        readAny = true;
        const char* start = buffer_.get() + begin_;
        const size_t available = end_ - begin_;
        const char* lf = static_cast<const char*>(std::memchr(start, '\n', available));
        const size_t length = lf != nullptr ? static_cast<size_t>(lf - start) : available;
        if (!cut) {
            const void* nul = std::memchr(start, '\0', length);
            const size_t kept = nul != nullptr
                                    ? static_cast<size_t>(static_cast<const char*>(nul) - start)
                                    : length;
            line.append(start, kept);
            cut = nul != nullptr;
        }
        if (lf == nullptr) {
            begin_ = end_;
            continue;
        }
        begin_ += length + 1;
        // CR LF ends a line like LF; the CR may have come in the previous block.
        if (!cut && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return true;
    }
}

TextWriter::TextWriter() : buffer_(new char[kBlockSize]) {}

TextWriter::~TextWriter() {
    if (file_.IsOpen() && !failed_ && used_ > 0) {
        file_.Write(buffer_.get(), used_);  // best effort: keep what we were given
    }
    file_.Close();
}

bool TextWriter::Open(const std::string& path) {
    if (!file_.Open(path, OsFile::Mode::CreateOrTruncate)) {
        return false;
    }
    name_ = FullPathOf(path);
    used_ = 0;
    failed_ = false;
    return true;
}

void TextWriter::Attach(OsFile file, std::string name) {
    file_ = std::move(file);
    name_ = std::move(name);
    used_ = 0;
    failed_ = false;
}

void TextWriter::Flush() {
    if (used_ == 0) {
        return;
    }
    const size_t size = used_;
    used_ = 0;
    if (!file_.Write(buffer_.get(), size)) {
        failed_ = true;
        throw FileError{FileOperation::Write, name_};
    }
}

void TextWriter::Put(const char* data, size_t size) {
    if (size == 0) {
        return;  // an empty view may carry no pointer, which memcpy must not get
    }
    if (size > kBlockSize - used_) {
        Flush();
        if (size >= kBlockSize) {
            if (!file_.Write(data, size)) {
                failed_ = true;
                throw FileError{FileOperation::Write, name_};
            }
            return;
        }
    }
    std::memcpy(buffer_.get() + used_, data, size);
    used_ += size;
}

void TextWriter::WriteLine(std::string_view text) {
    // Text mode: every LF goes out as CR LF.
    for (size_t lf; (lf = text.find('\n')) != std::string_view::npos; text.remove_prefix(lf + 1)) {
        Put(text.data(), lf);
        Put("\r\n", 2);
    }
    Put(text.data(), text.size());
    Put("\r\n", 2);
}

void TextWriter::Close() {
    if (!file_.IsOpen()) {
        return;
    }
    // After a failed write the rest of the buffer is not tried again.
    const bool flushed = failed_ || used_ == 0 || file_.Write(buffer_.get(), used_);
    used_ = 0;
    const bool closed = file_.Close();
    if (!flushed || !closed) {
        failed_ = true;
        throw FileError{FileOperation::Write, name_};
    }
}

}  // namespace quillo
