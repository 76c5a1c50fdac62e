#include "text_builder.h"

#include <charconv>

namespace quillo {
namespace {

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
    char digits[kMaxDecimalDigits + 1];
    const char* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return *this << std::string_view(digits, static_cast<size_t>(end - digits));
}

char* WriteDecimal(char* to, uint64_t value) {
    return std::to_chars(to, to + kMaxDecimalDigits, value).ptr;
}

void TextBuilder::Cut(std::string_view piece) {
    const size_t room = kCapacity - size_;
    std::memcpy(text_ + size_, piece.data(), room);
    size_ = kCapacity;
    std::memcpy(text_ + kCapacity - 3, "...", 3);
}

}  // namespace quillo
