#include "padded_line.h"

#include <algorithm>
#include <cstring>

#include "byte_search.h"

namespace quillo {

void PaddedLine::Reserve(size_t size) {
    if (size <= capacity_ && bytes_ != nullptr) {
        return;
    }
    const size_t capacity = std::max(size, 2 * capacity_ + 64);
    std::unique_ptr<char[]> grown(new char[capacity + kSearchPadding]());
    if (size_ > 0) {
        std::memcpy(grown.get(), bytes_.get(), size_);
    }
    bytes_ = std::move(grown);
    capacity_ = capacity;
}

void PaddedLine::Assign(std::string_view text) {
    size_ = 0;
    Append(text);
}

void PaddedLine::Append(std::string_view text) {
    Reserve(size_ + text.size());
    if (!text.empty()) {
        std::memcpy(bytes_.get() + size_, text.data(), text.size());
    }
    size_ += text.size();  // the padding is there, whatever it holds
}

}  // namespace quillo
