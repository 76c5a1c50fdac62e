#include "conversion.h"

#include <stdexcept>

#include "conversion_run.h"

namespace quillo {
namespace conversion_run {

[[gnu::noinline]] void PutWalkingBars(TextWriter& dest, std::string_view text,
                                      const CodePage& codePage) {
    codePage.Split(
        text, '|', [&dest](std::string_view piece) { dest.Put(piece); },
        [&dest] { dest.Put("<BR>"); });
}

bool RefusedForItsEncoding(const std::string& sourceName, TextReader& reader, ProblemSink& host) {
    try {
        const FileEncoding encoding = EncodingOf(reader.ReadHeadNow());
        if (encoding == FileEncoding::Bytes) {
            return false;
        }
        reader.Close();
        Problem notice = RunProblem(ProblemCode::Encoding, sourceName);
        notice.encoding = encoding;
        host.Report(notice);
    } catch (const FileError& error) {
        reader.Close();
        host.Report(FailureOf(error, 1));
    }
    return true;
}

}  // namespace conversion_run

bool OpenSourceFile(const Source& source, OsFile& file, int* systemError) {
    if (source.kind == Source::Kind::SharedPath) {
        if (source.openShared(source.path, file)) {
            return true;
        }
        if (systemError != nullptr) {
            *systemError = file.SystemError();
        }
        return false;
    }
    return file.Open(source.path, OsFile::Mode::Read);
}

RunOutcome Convert(const Source& source, const Destination& destination,
                   const ConversionOptions& options) {
    if (options.timeMap != nullptr) {
        // Its times would go out unmoved.
        throw std::logic_error("a retimed conversion needs the check beside it");
    }
    return conversion_run::Run(
        source, destination, options, [&](TextReader& reader, OpenedDestination& opened) {
            return conversion_run::ConvertBetween(source.path, reader, opened, options);
        });
}

}  // namespace quillo
