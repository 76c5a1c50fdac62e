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

// The decimal digits of `value` written at `to`, which has room for
// kMaxDecimalDigits bytes; returns where they end.
inline constexpr size_t kMaxDecimalDigits = 20;
char* WriteDecimal(char* to, uint64_t value);

class TextBuilder {
public:
    static constexpr size_t kCapacity = 1024;

    void Clear() { size_ = 0; }
    std::string_view View() const { return {text_, size_}; }

    // A literal: its size is known, so a short one is copied with a few
    // moves in place. (A character array that is not a literal goes as a
    // string_view.)
    template <size_t N>
    TextBuilder& operator<<(const char (&literal)[N]) {
        constexpr size_t kSize = N - 1;
        if constexpr (kSize > 16) {
            return *this << std::string_view(literal, kSize);
        } else {
            if (kSize > kCapacity - size_) {
                Cut(std::string_view(literal, kSize));
                return *this;
            }
            std::memcpy(text_ + size_, literal, kSize);
            size_ += kSize;
            return *this;
        }
    }
    // Short pieces are copied without a call to the C library: a report
    // line is made of a dozen pieces, most of them a few bytes long.
    TextBuilder& operator<<(std::string_view piece);
    // Room for `size` bytes, written in place and then committed up to where
    // they end; nullptr when the builder has less room left.
    char* Room(size_t size) { return size <= kCapacity - size_ ? text_ + size_ : nullptr; }
    void Commit(const char* end) { size_ = static_cast<size_t>(end - text_); }
    TextBuilder& operator<<(char c) {
        if (size_ == kCapacity) {
            Cut(std::string_view(&c, 1));
            return *this;
        }
        text_[size_++] = c;
        return *this;
    }
    // In decimal, with a '-' before a negative value, two digits at a time.
    TextBuilder& operator<<(int64_t value);

private:
    void Cut(std::string_view piece);

    char text_[kCapacity];
    size_t size_ = 0;
};

}  // namespace quillo
