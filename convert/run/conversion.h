// Converting a SubRip file into a RealText document in one pass: the one way
// in, for the window, srt2rt and the tests alike. srt2rt's check and --fix
// come in the same way (conversion_checked.cpp, mending_run.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "code_page.h"
#include "problem.h"
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
    // SharedPath's opener (destination_replace.cpp, which only srt2rt links).
    bool (*openShared)(const std::string& path, OsFile& file) = nullptr;

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
        Nowhere,         // srt2rt --check's: nothing is written, the check alone walks
    };
    Kind kind;
    std::string path;  // Path; the name errors use otherwise
    std::string* sink = nullptr;
    size_t capacity = SIZE_MAX;
    TextWriter* writer = nullptr;
    size_t blockSize = kDefaultBlockSize;
    bool (*openReplacement)(const std::string& path, ProblemSink& host,
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
    static Destination None() { return {Kind::Nowhere, {}, nullptr, SIZE_MAX, nullptr}; }
};

// Opens a Path or SharedPath source's file; false when it cannot be opened,
// with the system's code in `systemError`.
bool OpenSourceFile(const Source& source, OsFile& file, int* systemError);

// Opens `source` into `reader`, a TextReader or --fix's MendingReader (a
// Reader source is read as it is, and needs no opening); false when its path
// cannot be opened, with the system's code in `systemError`.
template <typename Reader>
bool OpenSource(const Source& source, Reader& reader, int* systemError = nullptr) {
    switch (source.kind) {
        case Source::Kind::Path:
        case Source::Kind::SharedPath: {
            OsFile file;
            if (!OpenSourceFile(source, file, systemError)) {
                return false;
            }
            reader.Attach(std::move(file), source.kind == Source::Kind::Path
                                               ? FullPathOf(source.path)
                                               : source.path);
            return true;
        }
        case Source::Kind::StandardInput:
            reader.Attach(OsFile::StandardInput(), source.path);
            return true;
        case Source::Kind::Memory:
            reader.AttachMemory(source.bytes, source.path);
            return true;
        case Source::Kind::Reader:
            break;
    }
    return true;
}

// How a run goes: every option has its one owner here, and the check and
// --fix that ride along take theirs from it.
struct ConversionOptions {
    bool verifyLineNumbers = true;
    const CodePage& codePage;
    ProblemSink& host;
    // srt2rt's: a UTF-16 or UTF-32 source is refused before the destination
    // is opened (the window converts its bytes as they stand).
    bool refuseWideEncodings = false;
    // srt2rt's timing options: every time goes through it, or nullptr. Taken
    // by the conversion with the check looking on only, which explains a
    // time it cannot move; Convert without a check refuses a map.
    const TimeMap* timeMap = nullptr;
    // srt2rt's, for a run not told which code page the text is in: the check
    // warns of a '|' that a double-byte code page would keep inside a
    // character where `codePage` makes it <BR>.
    bool warnOfSplitCharacters = false;
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
