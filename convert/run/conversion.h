// Converting a SubRip file into a RealText document in one pass: the one way
// in, for the window, srt2rt and the tests alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "code_page.h"
#include "run_host.h"
#include "text_file.h"

namespace quillo {

class OpenedDestination;
class SubtitleCheck;
class TimeMap;

// Where the subtitles come from.
struct Source {
    enum class Kind {
        Path,           // opened without sharing; "Unable to open" when it cannot be
        SharedPath,     // srt2rt's: a UTF-8 path opened for reading shared with other readers
        StandardInput,  // the process's
        Memory,         // `bytes`, read block by block as from a file
        Reader,         // a reader already open (tests that inject faults)
    };
    Kind kind;
    std::string path;  // Path; the name errors use otherwise
    std::string_view bytes;
    TextReader* reader = nullptr;
    size_t blockSize = kDefaultBlockSize;
    bool (*openShared)(const std::string& path, TextReader& reader, int* systemError) = nullptr;

    static Source File(std::string path) { return {Kind::Path, std::move(path), {}, nullptr}; }
    // srt2rt's (destination_replace.cpp, which only srt2rt links).
    static Source Shared(std::string path);
    static Source Input() { return {Kind::StandardInput, "standard input", {}, nullptr}; }
    static Source InMemory(std::string_view bytes, std::string name,
                           size_t blockSize = kDefaultBlockSize) {
        return {Kind::Memory, std::move(name), bytes, nullptr, blockSize};
    }
    static Source AlreadyOpen(TextReader& reader) { return {Kind::Reader, {}, {}, &reader}; }
};

// Where the document goes.
struct Destination {
    enum class Kind {
        Path,  // asked about when it exists, then created or emptied, without sharing
        // srt2rt's, a UTF-8 path: asked about when a file is there (by its
        // metadata), written under a temporary name beside it and renamed over
        // it once complete; a device or FIFO is written as it stands.
        Replace,
        StandardOutput,  // the process's; never asked about
        Memory,          // appended to `sink`; past `capacity` a write fails as on a full disk
        Writer,          // a writer already open (tests that inject faults)
    };
    Kind kind;
    std::string path;  // Path; the name errors use otherwise
    std::string* sink = nullptr;
    size_t capacity = SIZE_MAX;
    TextWriter* writer = nullptr;
    size_t blockSize = kDefaultBlockSize;
    bool (*openReplacement)(const std::string& path, RunHost& host,
                            OpenedDestination& into) = nullptr;

    static Destination File(std::string path) {
        return {Kind::Path, std::move(path), nullptr, SIZE_MAX, nullptr};
    }
    // srt2rt's (destination_replace.cpp, which only srt2rt links).
    static Destination Replacing(std::string path);
    static Destination Output() {
        return {Kind::StandardOutput, "standard output", nullptr, SIZE_MAX, nullptr};
    }
    static Destination InMemory(std::string& sink, std::string name, size_t capacity = SIZE_MAX,
                                size_t blockSize = kDefaultBlockSize) {
        return {Kind::Memory, std::move(name), &sink, capacity, nullptr, blockSize};
    }
    static Destination AlreadyOpen(TextWriter& writer) {
        return {Kind::Writer, {}, nullptr, SIZE_MAX, &writer};
    }
};

// Opens `source` into `reader` (a Reader source is read as it is, and needs
// no opening); false when its path cannot be opened, with the system's code
// in `systemError`.
bool OpenSource(const Source& source, TextReader& reader, int* systemError = nullptr);

struct ConversionOptions {
    bool verifyLineNumbers = true;
    const CodePage& codePage;
    RunHost& host;
    // srt2rt's: a UTF-16 or UTF-32 source is refused before the destination
    // is opened (the window converts its bytes as they stand).
    bool refuseWideEncodings = false;
    // srt2rt's timing options: every time goes through it, or nullptr.
    const TimeMap* timeMap = nullptr;
};

enum class RunOutcome {
    Completed,  // the whole document was written and closed
    Stopped,    // the host was told why (or the overwrite declined); the user may retry
};

// Converts `source` into `destination`, telling the host of every failure.
// After a failed entry, the destination keeps the whole lines written up to
// it. Both are closed on return.
RunOutcome Convert(const Source& source, const Destination& destination,
                   const ConversionOptions& options);
// The same, with `check` looking at each entry on the way; it is told where
// the file ended only when the whole file was converted. (An overload of its
// own, so that a program without checks links none.)
RunOutcome Convert(const Source& source, const Destination& destination,
                   const ConversionOptions& options, SubtitleCheck& check);

}  // namespace quillo
