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

TextReader* OpenSourceEnd(const Source& source, RunHost& host, std::optional<TextReader>& own) {
    if (source.kind == Source::Kind::Reader) {
        return source.reader;
    }
    TextReader& reader = own.emplace(source.blockSize);
    Notice notice{NoticeKind::CannotOpenSource, source.path};
    if (!OpenSource(source, reader, &notice.systemError)) {
        host.Tell(notice);
        return nullptr;
    }
    return &reader;
}

bool RefusedForItsEncoding(const std::string& sourceName, TextReader& reader, RunHost& host) {
    try {
        const FileEncoding encoding = EncodingOf(reader.ReadHeadNow());
        if (encoding == FileEncoding::Bytes) {
            return false;
        }
        reader.Close();
        Notice notice{NoticeKind::WideEncoding, sourceName};
        notice.encoding = encoding;
        host.Tell(notice);
    } catch (const FileError& error) {
        reader.Close();
        Notice notice{NoticeKind::FileFailure, error.fullPath};
        notice.systemError = error.systemError;
        notice.line = 1;
        host.Tell(notice);
    }
    return true;
}

}  // namespace conversion_run

bool OpenSource(const Source& source, TextReader& reader, int* systemError) {
    switch (source.kind) {
        case Source::Kind::Path:
            return reader.Open(source.path);
        case Source::Kind::SharedPath:
            return source.openShared(source.path, reader, systemError);
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
    return conversion_run::Run(
        source, destination, options, [&](TextReader& reader, OpenedDestination& opened) {
            return conversion_run::ConvertBetween(source.path, reader, opened, options);
        });
}

}  // namespace quillo
