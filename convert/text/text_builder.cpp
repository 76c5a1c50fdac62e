#include "text_builder.h"

namespace quillo {
namespace {

constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// `size` bytes from `from` to `to`, short ones without a call: two moves
// that overlap, each reading and writing only the piece's bytes.
inline void CopyShort(char* to, const char* from, size_t size) {
    if (size >= 8 && size <= 16) {
        uint64_t head;
        uint64_t tail;
        std::memcpy(&head, from, 8);
        std::memcpy(&tail, from + size - 8, 8);
        std::memcpy(to, &head, 8);
        std::memcpy(to + size - 8, &tail, 8);
    } else if (size >= 4 && size < 8) {
        uint32_t head;
        uint32_t tail;
        std::memcpy(&head, from, 4);
        std::memcpy(&tail, from + size - 4, 4);
        std::memcpy(to, &head, 4);
        std::memcpy(to + size - 4, &tail, 4);
    } else if (size < 4) {
        if (size > 0) {
            to[0] = from[0];
            to[size / 2] = from[size / 2];
            to[size - 1] = from[size - 1];
        }
    } else {
        std::memcpy(to, from, size);
    }
}

// The digits of `value` before `end`, two at a time; returns the first.
template <typename Unsigned>
char* DigitsBefore(char* end, Unsigned value) {
    while (value >= 100) {
        end -= 2;
        std::memcpy(end, kPairs + 2 * (value % 100), 2);
        value /= 100;
    }
    if (value >= 10) {
        end -= 2;
        std::memcpy(end, kPairs + 2 * value, 2);
    } else {
        *--end = static_cast<char>('0' + value);
    }
    return end;
}

}  // namespace

TextBuilder& TextBuilder::operator<<(std::string_view piece) {
    if (piece.size() > kCapacity - size_) {
        Cut(piece);
        return *this;
    }
    CopyShort(text_ + size_, piece.data(), piece.size());
    size_ += piece.size();
    return *this;
}

TextBuilder& TextBuilder::operator<<(int64_t value) {
    const uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    if (kCapacity - size_ > kMaxDecimalDigits) {
        char* at = text_ + size_;
        if (value < 0) {
            *at++ = '-';
        }
        size_ = static_cast<size_t>(WriteDecimal(at, magnitude) - text_);
        return *this;
    }
    char digits[kMaxDecimalDigits + 1];
    char* first = digits;
    if (value < 0) {
        *first++ = '-';
    }
    return *this << std::string_view(digits,
                                     static_cast<size_t>(WriteDecimal(first, magnitude) - digits));
}

namespace {

// 1 to 4 digits of `value` (below 10000), then exactly 4 of `value`.
char* UpToFourDigits(char* to, uint32_t value) {
    if (value < 10) {
        *to = static_cast<char>('0' + value);
        return to + 1;
    }
    if (value < 100) {
        std::memcpy(to, kPairs + 2 * value, 2);
        return to + 2;
    }
    const uint32_t high = value / 100;
    const uint32_t low = value % 100;
    if (high < 10) {
        *to++ = static_cast<char>('0' + high);
    } else {
        std::memcpy(to, kPairs + 2 * high, 2);
        to += 2;
    }
    std::memcpy(to, kPairs + 2 * low, 2);
    return to + 2;
}
char* FourDigits(char* to, uint32_t value) {
    std::memcpy(to, kPairs + 2 * (value / 100), 2);
    std::memcpy(to + 2, kPairs + 2 * (value % 100), 2);
    return to + 4;
}

}  // namespace

char* WriteDecimal(char* to, uint64_t value) {
    // Line numbers and the like have fewer than nine digits: four at a time,
    // without a loop.
    if (value < 10000) {
        return UpToFourDigits(to, static_cast<uint32_t>(value));
    }
    if (value < 100000000) {
        const uint32_t v = static_cast<uint32_t>(value);
        return FourDigits(UpToFourDigits(to, v / 10000), v % 10000);
    }
    char digits[kMaxDecimalDigits];
    char* const end = digits + sizeof digits;
    const char* first = DigitsBefore(end, value);
    std::memcpy(to, first, static_cast<size_t>(end - first));
    return to + (end - first);
}

void TextBuilder::Cut(std::string_view piece) {
    const size_t room = kCapacity - size_;
    std::memcpy(text_ + size_, piece.data(), room);
    size_ = kCapacity;
    std::memcpy(text_ + kCapacity - 3, "...", 3);
}

}  // namespace quillo
