// What the fuzz targets share: a check that stops the run with a readable
// account of the mismatch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace quillo::fuzz {

// Prints `what` (and the two sides when given) and aborts, which libFuzzer
// records as a crash together with the input that caused it.
[[noreturn]] void Fail(std::string_view what);
[[noreturn]] void Fail(std::string_view what, std::string_view expected, std::string_view actual);

// `message` is a text, or a function that builds one only when needed:
// the checks run millions of times and almost always pass.
template <typename Message>
std::string MessageOf(const Message& message) {
    if constexpr (std::is_invocable_v<Message>) {
        return message();
    } else {
        return std::string(message);
    }
}

template <typename Message>
void Require(bool condition, const Message& message) {
    if (!condition) {
        Fail(MessageOf(message));
    }
}

template <typename Message>
void RequireEqual(std::string_view expected, std::string_view actual, const Message& message) {
    if (expected != actual) {
        Fail(MessageOf(message), expected, actual);
    }
}

template <typename Message>
void RequireEqual(int64_t expected, int64_t actual, const Message& message) {
    if (expected != actual) {
        Fail(MessageOf(message), std::to_string(expected), std::to_string(actual));
    }
}

// A reader and a writer for each block size, kept from one input to the next:
// under AddressSanitizer every allocation costs, and fuzzing speed finds bugs.
template <typename File>
File& KeptFor(size_t blockSize) {
    static std::map<size_t, std::unique_ptr<File>> kept;
    std::unique_ptr<File>& file = kept[blockSize];
    if (file == nullptr) {
        file = std::make_unique<File>(blockSize);
    }
    return *file;
}

// Bytes as C escapes, shortened around the first place where it matters.
std::string Printable(std::string_view bytes);

}  // namespace quillo::fuzz
