#include "paths.h"

namespace quillo {

std::string_view BareFileName(std::string_view path, const CodePage& codePage, char separator) {
    const size_t last = codePage.FindLast(path, separator);
    return last == std::string_view::npos ? path : path.substr(last + 1);
}

std::string Stem(std::string_view path, const CodePage& codePage, char separator) {
    const std::string_view name = BareFileName(path, codePage, separator);
    const size_t dot = codePage.FindFirst(name, '.');
    if (dot == std::string_view::npos) {
        return std::string(path);
    }
    return std::string(path.substr(0, path.size() - name.size() + dot));
}

bool ContainsDot(std::string_view path, const CodePage& codePage) {
    return codePage.FindFirst(path, '.') != std::string_view::npos;
}

std::string WithDefaultExtension(std::string_view path, std::string_view extension,
                                 const CodePage& codePage) {
    std::string result(path);
    if (!ContainsDot(path, codePage)) {
        result.append(extension);
    }
    return result;
}

}  // namespace quillo
