#include "conversion.h"

#include "conversion_run.h"

namespace quillo {
namespace conversion_run {

[[gnu::noinline]] void PutWalkingBars(TextWriter& dest, std::string_view text,
                                      const CodePage& codePage) {
    codePage.Split(
        text, '|', [&dest](std::string_view piece) { dest.Put(piece); },
        [&dest] { dest.Put("<BR>"); });
}

namespace {

bool OpenSourceEnd(const Source& source, RunHost& host, Ends& ends) {
    if (source.kind == Source::Kind::Reader) {
        ends.reader = source.reader;
        return true;
    }
    ends.reader = &ends.ownReader.emplace(source.blockSize);
    if (!OpenSource(source, *ends.reader)) {
        host.Tell({NoticeKind::CannotOpenSource, source.path});
        return false;
    }
    return true;
}

bool OpenDestination(const Destination& destination, RunHost& host, Ends& ends) {
    if (destination.kind == Destination::Kind::Writer) {
        ends.writer = destination.writer;
        return true;
    }
    if (destination.kind == Destination::Kind::Path) {
        // The question comes before the destination is touched: an existing
        // file is one that opens.
        TextReader existing(1);
        if (existing.Open(destination.path) &&
            !host.Ask({NoticeKind::DestinationExists, destination.path})) {
            return false;
        }
    }
    TextWriter& writer = ends.ownWriter.emplace(destination.blockSize);
    ends.writer = &writer;
    switch (destination.kind) {
        case Destination::Kind::Path:
            if (!writer.Open(destination.path)) {
                host.Tell({NoticeKind::CannotOpenDest, destination.path});
                return false;
            }
            break;
        case Destination::Kind::StandardOutput:
            writer.Attach(OsFile::StandardOutput(), destination.path);
            break;
        case Destination::Kind::Memory:
            writer.AttachMemory(*destination.sink, destination.path, destination.capacity);
            break;
        case Destination::Kind::Writer:
            break;
    }
    return true;
}

}  // namespace

bool OpenEnds(const Source& source, const Destination& destination,
              const ConversionOptions& options, Ends& ends) {
    if (!OpenSourceEnd(source, options.host, ends)) {
        return false;
    }
    if (!OpenDestination(destination, options.host, ends)) {
        ends.reader->Close();
        return false;
    }
    return true;
}

}  // namespace conversion_run

bool OpenSource(const Source& source, TextReader& reader) {
    switch (source.kind) {
        case Source::Kind::Path:
            return reader.Open(source.path);
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

RunOutcome Convert(const Source& source, const Destination& destination,
                   const ConversionOptions& options) {
    return conversion_run::Run(source, destination, options);
}

}  // namespace quillo
