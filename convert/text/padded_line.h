// A line that owns its bytes, with kSearchPadding readable bytes after it,
// as the walk's fast paths expect of every line they are handed.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace quillo {

class PaddedLine {
public:
    void Clear() { size_ = 0; }  // the bytes stay, for the next line
    void Assign(std::string_view text);
    void Append(std::string_view text);
    std::string_view View() const { return {bytes_.get(), size_}; }

private:
    void Reserve(size_t size);
    std::unique_ptr<char[]> bytes_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace quillo
