// A line of text built in place from its pieces, for reports that may hold
// millions of lines: appending is a copy into a fixed buffer, without the
// C library or a growing string. What does not fit is cut, with "..." at the
// end; reports hold nothing that long.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quillo {

class TextBuilder {
public:
    static constexpr size_t kCapacity = 1024;

    void Clear() { size_ = 0; }
    std::string_view View() const { return {text_, size_}; }

    // Inline, and short pieces copied without a call: a report line is made
    // of a dozen pieces, most of them a few bytes long.
    [[gnu::always_inline]] TextBuilder& operator<<(std::string_view piece) {
        const size_t room = kCapacity - size_;
        if (piece.size() > room) {
            Cut(piece);
            return *this;
        }
        char* const to = text_ + size_;
        const char* const from = piece.data();
        const size_t size = piece.size();
        if (size >= 8 && size <= 16) {
            // Two words that overlap: each reads and writes only the piece's bytes.
            uint64_t head;
            uint64_t tail;
            std::memcpy(&head, from, 8);
            std::memcpy(&tail, from + size - 8, 8);
            std::memcpy(to, &head, 8);
            std::memcpy(to + size - 8, &tail, 8);
        } else if (size < 8) {
            for (size_t i = 0; i < size; ++i) {
                to[i] = from[i];
            }
        } else {
            std::memcpy(to, from, size);
        }
        size_ += size;
        return *this;
    }
    [[gnu::always_inline]] TextBuilder& operator<<(char c) {
        if (size_ == kCapacity) {
            Cut(std::string_view(&c, 1));
            return *this;
        }
        text_[size_++] = c;
        return *this;
    }
    // In decimal, with a '-' before a negative value; written in place, two
    // digits at a time.
    TextBuilder& operator<<(int64_t value) {
        if (kCapacity - size_ < 20) {
            return AppendCut(value);
        }
        uint64_t magnitude =
            value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
        if (value < 0) {
            text_[size_++] = '-';
        }
        size_t digits = 1;
        for (uint64_t power = 10; digits < 20 && magnitude >= power; power *= 10) {
            ++digits;
        }
        char* out = text_ + size_ + digits;
        size_ += digits;
        while (magnitude >= 10) {
            out -= 2;
            std::memcpy(out, kPairs + 2 * (magnitude % 100), 2);
            magnitude /= 100;
        }
        if (out != text_ + size_ - digits) {
            *--out = static_cast<char>('0' + magnitude);
        }
        return *this;
    }

private:
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";

    // A number near the end of the buffer, through the cutting path.
    TextBuilder& AppendCut(int64_t value) {
        char digits[24];
        char* const end = digits + sizeof digits;
        char* first = end;
        uint64_t magnitude =
            value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
        do {
            *--first = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (value < 0) {
            *--first = '-';
        }
        return *this << std::string_view(first, static_cast<size_t>(end - first));
    }

    void Cut(std::string_view piece) {
        const size_t room = kCapacity - size_;
        std::memcpy(text_ + size_, piece.data(), room);
        size_ = kCapacity;
        std::memcpy(text_ + kCapacity - 3, "...", 3);
    }

    char text_[kCapacity];
    size_t size_ = 0;
};

}  // namespace quillo
