// srt2rt's destinations: a file is replaced only by a complete one, and a
// device or FIFO is written as it stands. Only srt2rt names such a
// destination (Destination::Replacing), so only it links this.
#include "destination.h"
#include "os_paths.h"
#include "safe_replacement.h"

namespace quillo {
namespace {

class SafePending : public PendingReplacement {
public:
    bool Commit(int& systemError) override {
        if (replacement.Commit()) {
            return true;
        }
        systemError = replacement.SystemError();
        return false;
    }
    void Abandon() override { replacement.Abandon(); }

    SafeReplacement replacement;
};

bool OpenReplacing(const std::string& path, ProblemSink& host, OpenedDestination& into) {
    // Asked of the metadata: an unreadable file exists, and a FIFO is not
    // opened by the question.
    switch (StatusOf(path).kind) {
        case PathKind::Folder:
            host.Report(RunProblem(ProblemCode::DestinationIsFolder, path));
            return false;
        case PathKind::Device: {
            OsFile device;
            if (!device.OpenDeviceForWriting(path)) {
                Problem notice = RunProblem(ProblemCode::CannotOpenDest, path);
                notice.systemError = device.SystemError();
                host.Report(notice);
                return false;
            }
            into.OwnWriter().Attach(std::move(device), path);
            return true;
        }
        case PathKind::File:
            if (!host.Ask(RunProblem(ProblemCode::DestinationExists, path))) {
                return false;
            }
            break;
        case PathKind::Missing:
            break;
    }
    auto pending = std::make_unique<SafePending>();
    OsFile temporary = pending->replacement.Begin(path);
    if (!temporary.IsOpen()) {
        Problem notice = RunProblem(ProblemCode::CannotOpenDest, path);
        notice.systemError = pending->replacement.SystemError();
        host.Report(notice);
        return false;
    }
    into.OwnWriter().Attach(std::move(temporary), path);
    into.Replaces(std::move(pending));
    return true;
}

}  // namespace

Destination Destination::Replacing(std::string path) {
    Destination destination{Kind::Replace, std::move(path), nullptr, SIZE_MAX, nullptr};
    destination.openReplacement = &OpenReplacing;
    return destination;
}

Source Source::Shared(std::string path) {
    Source source{Kind::SharedPath, std::move(path), {}, nullptr};
    source.openShared = [](const std::string& shared, OsFile& file) {
        return file.OpenSharedRead(shared);
    };
    return source;
}

}  // namespace quillo
