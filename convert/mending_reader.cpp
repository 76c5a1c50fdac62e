#include "mending_reader.h"

#include <algorithm>
#include <cstring>

#include "byte_search.h"

namespace quillo {
namespace {

constexpr uint32_t kReplacement = 0xFFFD;
constexpr uint32_t kByteOrderMark = 0xFEFF;

char* PutUtf8(char* out, uint32_t cp) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

uint32_t Unit(const unsigned char* p, size_t size, bool bigEndian) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) {
        value |= uint32_t{p[bigEndian ? size - 1 - i : i]} << (8 * i);
    }
    return value;
}

}  // namespace

MendingReader::MendingReader(size_t blockSize)
    : blockSize_(std::max<size_t>(blockSize, 4)),
      raw_(new char[blockSize_]),
      // Decoded, a unit of two bytes takes three at most.
      block_(new char[2 * blockSize_ + kSearchPadding]()) {}

void MendingReader::Attach(OsFile file, std::string name) {
    file_ = std::move(file);
    name_ = std::move(name);
    attached_ = true;
}

void MendingReader::AttachMemory(std::string_view bytes, std::string name) {
    memory_ = bytes.data() != nullptr ? bytes.data() : "";
    memoryLeft_ = bytes.size();
    name_ = std::move(name);
    attached_ = true;
}

size_t MendingReader::ReadRaw(char* to, size_t size) {
    if (memory_ != nullptr) {
        const size_t count = std::min(size, memoryLeft_);
        std::memcpy(to, memory_, count);
        memory_ += count;
        memoryLeft_ -= count;
        return count;
    }
    const std::ptrdiff_t read = file_.Read(to, size);
    if (read < 0) {
        atEnd_ = true;
        throw FileError{FileOperation::Read, name_};
    }
    return static_cast<size_t>(read);
}

// Decodes whole units of `raw` into UTF-8 at `out`; a unit cut by the end
// (or a high surrogate whose partner is not there yet) is kept for the next
// block. Returns the bytes written.
size_t MendingReader::Decode(const char* raw, size_t size, char* out) {
    const bool wide =
        encoding_ == FileEncoding::Utf32LittleEndian || encoding_ == FileEncoding::Utf32BigEndian;
    const bool big =
        encoding_ == FileEncoding::Utf16BigEndian || encoding_ == FileEncoding::Utf32BigEndian;
    const size_t unit = wide ? 4 : 2;
    const auto* p = reinterpret_cast<const unsigned char*>(raw);
    char* const start = out;
    size_t at = 0;
    for (; at + unit <= size; at += unit) {
        uint32_t cp = Unit(p + at, unit, big);
        if (!wide && cp >= 0xD800 && cp < 0xDC00) {
            if (at + 2 * unit > size) {
                if (!atEnd_) {
                    break;  // its partner comes with the next block
                }
                cp = kReplacement;
            } else if (const uint32_t low = Unit(p + at + unit, unit, big);
                       low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                at += unit;
            } else {
                cp = kReplacement;
            }
        } else if (cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
            cp = kReplacement;
        }
        if (cp == kByteOrderMark && lineNumber_ == 0 && out == start && !started_) {
            continue;  // the mark that named the encoding
        }
        out = PutUtf8(out, cp);
    }
    rawKept_ = size - at;
    std::memmove(raw_.get(), raw + at, rawKept_);
    return static_cast<size_t>(out - start);
}

bool MendingReader::Refill() {
    next_ = end_ = block_.get();
    if (atEnd_ || !attached_) {
        return false;
    }
    size_t count;
    if (!started_ || encoding_ != FileEncoding::Bytes) {
        // The first block is read raw, so that the encoding can be told.
        const size_t got = ReadRaw(raw_.get() + rawKept_, blockSize_ - rawKept_);
        const size_t raw = rawKept_ + got;
        if (got == 0) {
            atEnd_ = true;
        }
        if (!started_) {
            encoding_ = EncodingOf(std::string_view(raw_.get(), std::min<size_t>(raw, 64)));
        }
        if (encoding_ == FileEncoding::Bytes) {
            std::memcpy(block_.get(), raw_.get(), raw);
            rawKept_ = 0;
            count = raw;
        } else {
            count = Decode(raw_.get(), raw, block_.get());
        }
        if (!started_) {
            started_ = true;
            crOnly_ = count > 0 && std::memchr(block_.get(), '\n', count) == nullptr &&
                      std::memchr(block_.get(), '\r', count) != nullptr;
        }
        if (count == 0 && !atEnd_) {
            return Refill();  // only a cut unit came
        }
    } else {
        count = ReadRaw(block_.get(), blockSize_);
        if (count == 0) {
            atEnd_ = true;
        }
    }
    end_ = next_ + count;
    std::memset(block_.get() + count, 0, kSearchPadding);
    if (pendingCr_ && next_ < end_ && *next_ == '\n') {
        ++next_;  // the LF of a CR LF cut by the block's end
    }
    pendingCr_ = false;
    return next_ != end_;
}

void MendingReader::Spill(const char* data, size_t size) {
    if (size > spillCapacity_ - spillSize_ || spill_ == nullptr) {
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
    std::memset(spill_.get() + spillSize_, 0, kSearchPadding);
}

bool MendingReader::ReadLine(std::string_view& line) {
    spillSize_ = 0;
    bool spilled = false;
    for (;;) {
        if (next_ == end_ && !Refill()) {
            if (!spilled) {
                line = {};
                return false;
            }
            line = std::string_view(spill_.get(), spillSize_);  // the last line, unended
            break;
        }
        const char* const begin = next_;
        const size_t left = static_cast<size_t>(end_ - begin);
        const char* stop =
            static_cast<const char*>(std::memchr(begin, crOnly_ ? '\r' : '\n', left));
        if (crOnly_) {
            // An LF ends a line too, in a file whose first block had none.
            const size_t before = stop != nullptr ? static_cast<size_t>(stop - begin) : left;
            if (const void* lf = std::memchr(begin, '\n', before)) {
                stop = static_cast<const char*>(lf);
            }
        }
        if (stop == nullptr) {
            Spill(begin, left);
            spilled = true;
            next_ = end_;
            continue;
        }
        next_ = stop + 1;
        if (*stop == '\r') {
            if (next_ == end_) {
                pendingCr_ = true;  // its LF may open the next block
            } else if (*next_ == '\n') {
                ++next_;
            }
        }
        if (spilled) {
            Spill(begin, static_cast<size_t>(stop - begin));
            line = std::string_view(spill_.get(), spillSize_);
        } else {
            line = std::string_view(begin, static_cast<size_t>(stop - begin));
        }
        break;
    }
    ++lineNumber_;
    // CRs before the LF are line end: CR LF, and CR CR LF as a wrong save makes it.
    size_t crs = 0;
    while (crs < line.size() && line[line.size() - 1 - crs] == '\r') {
        ++crs;
    }
    if (crs >= 2 && crCrLfLine_ == 0) {
        crCrLfLine_ = lineNumber_;
    }
    line.remove_suffix(crs);
    return true;
}

}  // namespace quillo
