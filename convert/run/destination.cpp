#include "destination.h"

namespace quillo {

bool OpenedDestination::Open(const Destination& destination, ProblemSink& host) {
    path_ = destination.path;
    if (destination.kind == Destination::Kind::Writer ||
        destination.kind == Destination::Kind::Nowhere) {
        writer_ = destination.writer;
        return true;
    }
    writer_ = &ownWriter_.emplace(destination.blockSize);
    switch (destination.kind) {
        case Destination::Kind::Path: {
            // The question comes before the destination is touched: an
            // existing file is one that opens (and is closed again before the
            // destination is opened without sharing).
            if (TextReader(1).Open(destination.path) &&
                !host.Ask(RunProblem(ProblemCode::DestinationExists, destination.path))) {
                return false;
            }
            if (!writer_->Open(destination.path)) {
                host.Report(RunProblem(ProblemCode::CannotOpenDest, destination.path));
                return false;
            }
            return true;
        }
        case Destination::Kind::Replace:
            return destination.openReplacement(destination.path, host, *this);
        case Destination::Kind::StandardOutput:
            writer_->Attach(OsFile::StandardOutput(), destination.path);
            return true;
        case Destination::Kind::Memory:
            writer_->AttachMemory(*destination.sink, destination.path, destination.capacity);
            return true;
        case Destination::Kind::Writer:
        case Destination::Kind::Nowhere:
            break;
    }
    return true;
}

bool OpenedDestination::Complete(ProblemSink& host) {
    done_ = true;
    if (writer_ == nullptr) {
        return true;  // nowhere: nothing was written
    }
    try {
        writer_->Close();  // flushed, and a temporary synced, before it replaces anything
    } catch (const FileError&) {
        done_ = false;
        throw;
    }
    if (int error = 0; replacement_ && !replacement_->Commit(error)) {
        Problem notice = RunProblem(ProblemCode::CannotReplace, path_);
        notice.systemError = error;
        host.Report(notice);
        return false;
    }
    return true;
}

void OpenedDestination::GiveUp(bool dropUnfinishedLine) {
    if (done_ || writer_ == nullptr) {
        return;
    }
    done_ = true;
    if (replacement_) {
        writer_->Abandon();  // nothing more is written to a file that goes
        replacement_->Abandon();
        return;
    }
    // The window's destination, standard output or a device: what was
    // written stays, in whole lines.
    if (dropUnfinishedLine) {
        writer_->DiscardUnfinishedLine();
    }
    try {
        writer_->Close();
    } catch (const FileError&) {
        // Already failing: the first failure is the one to tell.
    }
}

}  // namespace quillo
