// Answers a conversion's questions and notices on the console, as
// "srt2rt: <file>: <text>" lines on standard error.
#pragma once

#include <string>

#include "problem.h"

namespace quillo::cli {

// Why `name` is no file srt2rt reads or writes, when it names a device
// Windows reserves (NUL, COM1...): opening one may hang; else empty.
std::string DeviceRefusal(const std::string& name);

class ConsoleHost : public ProblemSink {
public:
    ConsoleHost(std::string source, std::string dest, bool force)
        : source_(std::move(source)), dest_(std::move(dest)), force_(force) {}

    bool Ask(const Problem& question) override;
    void Report(const Problem& notice) override;

    // Whether the conversion stopped at an entry it could not read.
    bool StoppedAtAnEntry() const { return stoppedAtAnEntry_; }

    // Reports a failure of `file` in the program's usual form.
    static void Report(const std::string& file, const std::string& text);

private:
    std::string source_;
    std::string dest_;
    bool force_;
    bool stoppedAtAnEntry_ = false;
};

}  // namespace quillo::cli
