// The line reader and writer against a byte-by-byte reading of the text-file
// rules. Each input is also placed across the 128 KiB block boundary, where a
// CR LF, a NUL or a Ctrl-Z can be split between two reads or two writes.
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

constexpr size_t kBlock = 128 * 1024;  // the reader's and the writer's buffer

// Memory kept from one input to the next: under AddressSanitizer each fresh
// allocation of this size costs page faults, and fuzzing speed finds bugs.
struct Buffers {
    std::string filler = std::string(kBlock, 'x');
    std::string line;
    std::string large;
    std::string expected;
    std::string written;
};

Buffers& Reused() {
    static Buffers buffers;
    return buffers;
}

// Where the input's bytes meet the block boundary, steered by its first byte
// so that the fuzzer can aim at any position.
size_t SplitPoint(std::string_view input) {
    if (input.empty()) {
        return 0;
    }
    return (static_cast<unsigned char>(input[0]) * 257u + input.size()) % (input.size() + 1);
}

// Reads a file of `filler` followed by `input` and compares it with `lines`,
// the input's own lines: the filler, which holds no line end, joins the first.
void CheckReading(std::string_view filler, std::string_view input,
                  const std::vector<std::string>& lines) {
    const std::string path = ScratchPath("reader.srt");
    WriteFileBytes(path, {filler, input});
    const bool fillerAlone = lines.empty() && !filler.empty();
    const size_t count = fillerAlone ? 1 : lines.size();

    TextReader reader;
    Require(reader.Open(path), "the reader cannot open its file");
    std::string& line = Reused().line;
    for (size_t i = 0; i < count; ++i) {
        line = "stale";
        Require(reader.ReadLine(line),
                [&] { return "the reader ends before line " + std::to_string(i + 1); });
        std::string_view rest = line;
        if (i == 0) {
            RequireEqual(filler, rest.substr(0, filler.size()), "the filler differs");
            rest.remove_prefix(std::min(filler.size(), rest.size()));
        }
        RequireEqual(fillerAlone ? "" : lines[i], rest,
                     [&] { return "line " + std::to_string(i + 1) + " differs"; });
    }
    for (int i = 0; i < 2; ++i) {
        line = "stale";
        Require(!reader.ReadLine(line), "the reader reads beyond the last line");
        Require(line.empty(), "a read after the end leaves text in the line");
    }
}

void CheckWriting(std::string_view text, size_t split) {
    // A first line that leaves `split` bytes of room in the buffer, the input,
    // and, when it holds no LF, the input repeated into one piece larger than
    // the buffer, which goes out without passing through it.
    Buffers& buffers = Reused();
    const std::string_view filler = std::string_view(buffers.filler).substr(0, kBlock - split - 2);
    const std::string written = ReferenceWrittenLine(text);
    const std::string_view writtenText(written.data(), written.size() - 2);  // without its CR LF
    std::string& large = buffers.large;
    std::string& expected = buffers.expected;
    large.clear();
    expected.assign(filler).append("\r\n").append(written);
    while (!text.empty() && text.find('\n') == std::string_view::npos && large.size() <= kBlock) {
        large.append(text);
        expected.append(writtenText);
    }
    expected.append("\r\n");

    const std::string path = ScratchPath("writer.rt");
    {
        TextWriter writer;
        Require(writer.Open(path), "the writer cannot create its file");
        writer.WriteLine(filler);
        writer.WriteLine(text);
        writer.WriteLine(large);
        writer.Close();
    }
    ReadFileBytes(path, buffers.written);
    RequireEqual(expected, buffers.written, "the written file differs");
}

}  // namespace
}  // namespace quillo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillo::fuzz;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = SplitPoint(input);
    const std::vector<std::string> lines = ReferenceLines(input);
    CheckReading({}, input, lines);
    CheckReading(std::string_view(Reused().filler).substr(0, kBlock - split), input, lines);
    CheckWriting(input, split);
    return 0;
}
