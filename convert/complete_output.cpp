#include "complete_output.h"

#include <new>

namespace quillo {
namespace {

using Stop = OutputOutcome::Stop;

// Closes the document and puts it in place; throws FileError.
OutputOutcome Finish(TextWriter& dest, SafeReplacement* replacement) {
    dest.Close();  // flushed, and a temporary synced, before it may replace anything
    if (replacement != nullptr && !replacement->Commit()) {
        return {Stop::Replace, replacement->SystemError(), 0};
    }
    return {};
}

void GiveUp(TextWriter& dest, SafeReplacement* replacement) {
    if (replacement != nullptr) {
        dest.Abandon();  // nothing more is written to a file that goes
        replacement->Abandon();
    } else {
        // Standard output or a device: keep what was sent, in whole lines.
        dest.DiscardUnfinishedLine();
        try {
            dest.Close();
        } catch (const FileError&) {
            // Already failing: the first failure is the one to tell.
        }
    }
}

}  // namespace

OutputOutcome ConvertCompletely(TextReader& source, TextWriter& dest, SafeReplacement* replacement,
                                bool verifyLineNumbers, const CodePage& codePage, RunHost& host,
                                EntryObserver* observer) {
    OutputOutcome outcome;
    try {
        if (ConvertStream(source, dest, verifyLineNumbers, codePage, host, observer)) {
            source.Close();
            outcome = Finish(dest, replacement);
            if (outcome.Completed()) {
                return outcome;
            }
        } else {
            outcome.stop = Stop::Entry;
        }
    } catch (const FileError& error) {
        outcome = {error.operation == FileOperation::Read ? Stop::Read : Stop::Write,
                   error.systemError, source.LineNumber() + 1};
    } catch (const std::bad_alloc&) {
        outcome = {Stop::Memory, 0, source.LineNumber() + 1};
    }
    source.Close();
    GiveUp(dest, replacement);
    return outcome;
}

OutputOutcome WriteCompletely(TextWriter& dest, SafeReplacement* replacement,
                              const std::function<void(TextWriter&)>& write) {
    OutputOutcome outcome;
    try {
        write(dest);
        outcome = Finish(dest, replacement);
        if (outcome.Completed()) {
            return outcome;
        }
    } catch (const FileError& error) {
        outcome = {Stop::Write, error.systemError, 0};
    } catch (const std::bad_alloc&) {
        outcome = {Stop::Memory, 0, 0};
    }
    GiveUp(dest, replacement);
    return outcome;
}

}  // namespace quillo
