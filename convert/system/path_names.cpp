#include "path_names.h"

namespace quillo {

bool IsFolderSeparator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

std::string_view FolderPart(std::string_view path) {
    size_t end = path.size();
    while (end > 0 && !IsFolderSeparator(path[end - 1])) {
        --end;
    }
#ifdef _WIN32
    // "C:film.srt" lives in the current folder of drive C.
    if (end == 0 && path.size() >= 2 && path[1] == ':') {
        end = 2;
    }
#endif
    return path.substr(0, end);
}

std::string_view FileNamePart(std::string_view path) {
    return path.substr(FolderPart(path).size());
}

std::string WithLastExtension(std::string_view path, std::string_view extension) {
    const std::string_view name = FileNamePart(path);
    const size_t dot = name.rfind('.');
    const size_t keep =
        dot == std::string_view::npos || dot == 0 ? path.size() : path.size() - name.size() + dot;
    std::string result(path.substr(0, keep));
    result.append(extension);
    return result;
}

}  // namespace quillo
