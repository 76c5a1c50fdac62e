// The line reader and writer against a byte-by-byte reading of the text-file
// rules, in memory and with blocks of every small size, so that a CR LF, a
// NUL or a Ctrl-Z falls on every side of a block boundary.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "reference_model.h"
#include "text_file.h"

namespace quillo::fuzz {
namespace {

// Block sizes to read and write with: tiny ones steered by the input, so
// that the fuzzer can aim a boundary anywhere, and the real one.
std::vector<size_t> BlockSizes(std::string_view input) {
    const unsigned steer = input.empty() ? 0 : static_cast<unsigned char>(input.back());
    return {1 + steer % 7, 8 + steer % 57, kDefaultBlockSize};
}

void CheckReading(std::string_view input, const std::vector<std::string>& lines, size_t block) {
    TextReader& reader = KeptFor<TextReader>(block);
    reader.AttachMemory(input, "input");
    std::string_view line;
    for (size_t i = 0; i < lines.size(); ++i) {
        Require(reader.ReadLine(line), [&] {
            return "the reader ends before line " + std::to_string(i + 1) + " with blocks of " +
                   std::to_string(block);
        });
        RequireEqual(lines[i], line, [&] {
            return "line " + std::to_string(i + 1) + " differs with blocks of " +
                   std::to_string(block);
        });
        RequireEqual(static_cast<int64_t>(i + 1), static_cast<int64_t>(reader.LineNumber()),
                     "the line number is not the count of lines read");
    }
    for (int i = 0; i < 2; ++i) {
        Require(!reader.ReadLine(line), "the reader reads beyond the last line");
        Require(line.empty(), "a read after the end leaves text in the line");
    }
    RequireEqual(static_cast<int64_t>(lines.size()), static_cast<int64_t>(reader.LineNumber()),
                 "reading past the end counts lines");
}

// The input's pieces between '#' bytes, written as whole lines or, where they
// hold no LF, built piece by piece.
template <typename Write, typename Build>
void ForEachPiece(std::string_view input, Write write, Build build) {
    for (std::string_view rest = input; !rest.empty();) {
        const size_t mark = rest.find('#');
        const std::string_view piece = rest.substr(0, mark);
        rest.remove_prefix(mark == std::string_view::npos ? rest.size() : mark + 1);
        if (piece.find('\n') != std::string_view::npos || piece.size() % 2 == 0) {
            write(piece);
        } else {
            build(piece);
        }
    }
}

std::string ExpectedWriting(std::string_view input) {
    std::string expected;
    ForEachPiece(
        input, [&](std::string_view piece) { expected += ReferenceWrittenLine(piece); },
        [&](std::string_view piece) { expected.append(piece).append("\r\n"); });
    return expected;
}

// The sink may be too small for it all, as a disk that fills up.
void CheckWriting(std::string_view input, std::string_view expected, size_t block) {
    static std::string sink;
    sink.clear();
    const size_t capacity = input.size() % 3 == 0 ? input.size() : SIZE_MAX;
    bool failed = false;
    TextWriter& writer = KeptFor<TextWriter>(block);
    writer.AttachMemory(sink, "sink", capacity);
    try {
        ForEachPiece(
            input, [&](std::string_view piece) { writer.WriteLine(piece); },
            [&](std::string_view piece) {
                writer.BeginLine();
                writer.Put(piece.substr(0, piece.size() / 2));
                writer.Put(piece.substr(piece.size() / 2));
                writer.EndLine();
            });
        writer.Close();
    } catch (const FileError& error) {
        Require(error.operation == FileOperation::Write && error.fullPath == "sink",
                "a full sink is not a write failure naming it");
        failed = true;
    }
    Require(failed == (expected.size() > capacity),
            "a write fails without a full sink, or not at all");
    RequireEqual(expected.substr(0, std::min(capacity, expected.size())), sink, [&] {
        return "the written bytes differ with blocks of " + std::to_string(block);
    });
}

}  // namespace
}  // namespace quillo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillo::fuzz;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = ReferenceLines(input);
    const std::string written = ExpectedWriting(input);
    for (const size_t block : BlockSizes(input)) {
        CheckReading(input, lines, block);
        CheckWriting(input, written, block);
    }
    return 0;
}
