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
      rawCapacity_(std::max(blockSize_, kHeadSize)),
      raw_(new char[rawCapacity_]),
      // Decoded, a unit of two bytes takes three at most. Only the padding
      // needs a value: a batch makes a reader a file.
      block_(new char[2 * blockSize_ + kSearchPadding]) {
    std::memset(block_.get() + 2 * blockSize_, 0, kSearchPadding);
}

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
        throw FileError{FileOperation::Read, name_, file_.SystemError()};
    }
    return static_cast<size_t>(read);
}

// Decodes the whole units of `size` bytes at `raw` into UTF-8 at `out`; a
// unit cut by the end, or a high surrogate whose partner has not come yet, is
// left for the next block unless the file ends there. Returns the bytes
// written; `consumed` the raw bytes decoded.
size_t MendingReader::Decode(const char* raw, size_t size, char* out, size_t& consumed) {
    const bool wide =
        encoding_ == FileEncoding::Utf32LittleEndian || encoding_ == FileEncoding::Utf32BigEndian;
    const bool big =
        encoding_ == FileEncoding::Utf16BigEndian || encoding_ == FileEncoding::Utf32BigEndian;
    const size_t unit = wide ? 4 : 2;
    const bool last = sourceDone_ && size == rawEnd_ - rawBegin_;
    const auto* p = reinterpret_cast<const unsigned char*>(raw);
    char* const start = out;
    size_t at = 0;
    for (; at + unit <= size; at += unit) {
        uint32_t cp = Unit(p + at, unit, big);
        if (!wide && cp >= 0xD800 && cp < 0xDC00) {
            if (at + 2 * unit > size) {
                if (!last) {
                    break;  // its partner comes with the next block
                }
                cp = kReplacement;
                ++replaced_;
            } else if (const uint32_t low = Unit(p + at + unit, unit, big);
                       low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                at += unit;
            } else {
                cp = kReplacement;
                ++replaced_;
            }
        } else if (cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
            cp = kReplacement;
            ++replaced_;
        }
        if (cp == 0) {
            cp = kReplacement;  // no text holds it, and a reader would cut the line there
            ++replaced_;
        }
        if (cp == kByteOrderMark && !markSkipped_) {
            markSkipped_ = true;  // the mark that named the encoding
            continue;
        }
        markSkipped_ = true;
        out = PutUtf8(out, cp);
    }
    if (last && at < size) {
        out = PutUtf8(out, kReplacement);  // a unit cut short by the end of the file
        ++replaced_;
        at = size;
    }
    consumed = at;
    return static_cast<size_t>(out - start);
}

// Whether the file's lines end CR alone, told from its head in its own
// units: a CR and no LF (its first line holds all of the head), or more CRs
// that end a line alone before the first LF than the one LF (a file of CR
// line ends that ends in an LF, or CR CR LF).
bool MendingReader::HeadHasCrOnly() const {
    const bool wide =
        encoding_ == FileEncoding::Utf32LittleEndian || encoding_ == FileEncoding::Utf32BigEndian;
    const bool big =
        encoding_ == FileEncoding::Utf16BigEndian || encoding_ == FileEncoding::Utf32BigEndian;
    const size_t unit = encoding_ == FileEncoding::Bytes ? 1 : wide ? 4 : 2;
    const auto* p = reinterpret_cast<const unsigned char*>(raw_.get());
    size_t loneCrs = 0;
    for (size_t at = 0; at + unit <= rawEnd_; at += unit) {
        const uint32_t u = Unit(p + at, unit, big);
        if (u == '\n') {
            return loneCrs >= 2;
        }
        if (u == 0x1A) {
            break;  // a reader's file ends at a Ctrl-Z
        }
        // A CR right before the LF ends its line with it, as CR LF.
        const bool beforeLf = at + 2 * unit <= rawEnd_ && Unit(p + at + unit, unit, big) == '\n';
        loneCrs += u == '\r' && !beforeLf ? 1 : 0;
    }
    return loneCrs > 0;
}

bool MendingReader::Refill() {
    next_ = end_ = block_.get();
    if (atEnd_ || !attached_) {
        return false;
    }
    if (!started_) {
        // The head first, whatever the block size: the encoding and the line
        // ends are told from it alike for every reader.
        while (rawEnd_ < kHeadSize && !sourceDone_) {
            const size_t got = ReadRaw(raw_.get() + rawEnd_, kHeadSize - rawEnd_);
            sourceDone_ = got == 0;
            rawEnd_ += got;
        }
        const std::string_view head(raw_.get(), std::min<size_t>(rawEnd_, 64));
        encoding_ = EncodingOf(head);
        // UTF-32's little-endian mark starts with UTF-16's.
        encodingGuessed_ = encoding_ != FileEncoding::Bytes && head.substr(0, 2) != "\xFF\xFE" &&
                           head.substr(0, 2) != "\xFE\xFF" &&
                           head.substr(0, 4) != std::string_view("\0\0\xFE\xFF", 4);
        crOnly_ = HeadHasCrOnly();
        started_ = true;
    }
    size_t count = 0;
    while (count == 0) {
        if (encoding_ == FileEncoding::Bytes && rawBegin_ == rawEnd_ && !sourceDone_) {
            // Bytes as they stand, once the head is handed on: read straight
            // into the block.
            count = ReadRaw(block_.get(), blockSize_);
            sourceDone_ = count == 0;
            if (sourceDone_) {
                atEnd_ = true;
                return false;
            }
            break;
        }
        if (rawEnd_ - rawBegin_ < blockSize_ && !sourceDone_) {
            std::memmove(raw_.get(), raw_.get() + rawBegin_, rawEnd_ - rawBegin_);
            rawEnd_ -= rawBegin_;
            rawBegin_ = 0;
            const size_t got = ReadRaw(raw_.get() + rawEnd_, rawCapacity_ - rawEnd_);
            sourceDone_ = got == 0;
            rawEnd_ += got;
        }
        const size_t take = std::min(blockSize_, rawEnd_ - rawBegin_);
        if (take == 0) {
            atEnd_ = sourceDone_;
            if (atEnd_) {
                return false;
            }
            continue;
        }
        if (encoding_ == FileEncoding::Bytes) {
            std::memcpy(block_.get(), raw_.get() + rawBegin_, take);
            rawBegin_ += take;
            count = take;
        } else {
            size_t consumed = 0;
            count = Decode(raw_.get() + rawBegin_, take, block_.get(), consumed);
            rawBegin_ += consumed;
            if (consumed == 0 && sourceDone_) {
                atEnd_ = true;
                return false;
            }
        }
    }
    end_ = next_ + count;
    if (pendingCr_ && *next_ == '\n') {
        ++next_;  // the LF of a CR LF cut by the block's end
    }
    pendingCr_ = false;
    nul_ = ctrlZ_ = nullptr;  // found anew in this block
    PassOddBytes();
    return next_ != end_ || Refill();
}

void MendingReader::PassOddBytes() {
    if (nul_ < next_) {
        nul_ = FindByte(next_, end_, '\0');
        nul_ = nul_ != nullptr ? nul_ : end_;
    }
    if (ctrlZ_ < next_) {
        ctrlZ_ = FindByte(next_, end_, '\x1A');
        ctrlZ_ = ctrlZ_ != nullptr ? ctrlZ_ : end_;
    }
    odd_ = std::min(nul_, ctrlZ_);
}

bool MendingReader::ReadLineSlowly(std::string_view& line) {
    plainly_ = false;
    noOddBytes_ = false;
    spill_.Clear();
    bool spilled = false;
    for (;;) {
        if (next_ == end_ && !Refill()) {
            if (!spilled) {
                line = {};
                return false;
            }
            line = spill_.View();  // the last line, unended
            unended_ = true;
            endCrs_ = 0;
            endLf_ = false;
            break;
        }
        const char* const begin = next_;
        const size_t left = static_cast<size_t>(end_ - begin);
        // The block is padded for the search, which costs less than a call.
        const char* stop = FindBytePadded(begin, end_, crOnly_ ? '\r' : '\n');
        stop = stop != end_ ? stop : nullptr;
        if (crOnly_) {
            // An LF ends a line too, in a file whose first block had none.
            const size_t before = stop != nullptr ? static_cast<size_t>(stop - begin) : left;
            if (const void* lf = std::memchr(begin, '\n', before)) {
                stop = static_cast<const char*>(lf);
            }
        }
        if (stop == nullptr) {
            spill_.Append(std::string_view(begin, left));
            spilled = true;
            next_ = end_;
            continue;
        }
        next_ = stop + 1;
        endCrs_ = 0;
        endLf_ = *stop == '\n';
        if (*stop == '\r') {
            endCrs_ = 1;
            if (next_ == end_) {
                pendingCr_ = true;  // its LF may open the next block
            } else if (*next_ == '\n') {
                ++next_;
                endLf_ = true;
            }
        }
        if (spilled) {
            spill_.Append(std::string_view(begin, static_cast<size_t>(stop - begin)));
            line = spill_.View();
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
    endCrs_ += static_cast<uint32_t>(crs);
    PassOddBytes();
    return true;
}

}  // namespace quillo
