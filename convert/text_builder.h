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

    TextBuilder& operator<<(std::string_view piece) {
        const size_t room = kCapacity - size_;
        if (piece.size() > room) {
            Cut(piece);
            return *this;
        }
        std::memcpy(text_ + size_, piece.data(), piece.size());
        size_ += piece.size();
        return *this;
    }
    TextBuilder& operator<<(char c) { return *this << std::string_view(&c, 1); }
    // In decimal, with a '-' before a negative value.
    TextBuilder& operator<<(int64_t value) {
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

private:
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
