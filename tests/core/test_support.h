// Helpers shared by the core tests: a scratch folder per test, byte-exact
// file access, and a RunHost that records what the user would have seen.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "../common/expected_documents.h"
#include "conversion.h"
#include "problem.h"

namespace quillo::test {

// A fresh folder, removed with everything in it when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // `name` inside the folder, as a path the core accepts.
    std::string Path(const std::string& name) const;
    const std::string& Root() const { return root_; }

private:
    std::string root_;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);

// The character that separates folders in paths on this platform.
char NativeSeparator();

// What a run's host was asked to show, in order.
struct Notice {
    enum Kind { Question, Error, FileFailure } kind;
    std::string text;     // for FileFailure: the operation, "read" or "write"
    std::string caption;  // for FileFailure: the full path
    bool operator==(const Notice& other) const {
        return kind == other.kind && text == other.text && caption == other.caption;
    }
    friend std::ostream& operator<<(std::ostream& out, const Notice& notice) {
        static const char* const kKinds[] = {"question", "error", "file failure"};
        return out << kKinds[notice.kind] << " \"" << notice.text << "\" (" << notice.caption
                   << ")";
    }
};

// The window's conversion: a source path into a destination path.
RunOutcome ConvertFiles(const std::string& source, const std::string& dest, bool verify,
                        const CodePage& codePage, ProblemSink& host);

class RecordingHost : public ProblemSink {
public:
    explicit RecordingHost(bool answerYes = true) : answerYes_(answerYes) {}
    // Records what the window would show: its texts and captions.
    bool Ask(const quillo::Problem& question) override;
    void Report(const quillo::Problem& notice) override;

    std::vector<Notice> notices;
    int lastSystemError = 0;  // of the last notice that carried one

private:
    bool answerYes_;
};

}  // namespace quillo::test
