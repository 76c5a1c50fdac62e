#include "path_names.h"

#include <algorithm>

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

std::string_view AsWindowsOpensIt(std::string_view path) {
#ifdef _WIN32
    // Windows drops the dots and blanks a file name ends with ("film.srt."
    // opens film.srt), but "." and ".." stay what they are.
    const size_t folder = FolderPart(path).size();
    size_t end = path.size();
    while (end > folder && (path[end - 1] == '.' || path[end - 1] == ' ')) {
        --end;
    }
    const std::string_view name = path.substr(folder, path.size() - folder);
    if (end > folder && name != "." && name != "..") {
        return path.substr(0, end);
    }
#endif
    return path;
}

std::string_view ReservedDeviceName(std::string_view path) {
#ifdef _WIN32
    // The name before its first dot, without the blanks before that dot:
    // "nul.srt", "NUL " and "com1.tar.gz" all name a device.
    // "com1:" names the device too: the colon, as dots and blanks, goes.
    std::string_view name = AsWindowsOpensIt(path).substr(FolderPart(path).size());
    name = name.substr(0, name.find_first_of(".:"));
    while (!name.empty() && name.back() == ' ') {
        name.remove_suffix(1);
    }
    static constexpr std::string_view kDevices[] = {
        "CON", "PRN", "AUX", "NUL", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8",
        "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9", "CONIN$",
        "CONOUT$",
        // Windows 10 takes superscript digits for devices too.
        "COM\xC2\xB9", "COM\xC2\xB2", "COM\xC2\xB3", "LPT\xC2\xB9", "LPT\xC2\xB2", "LPT\xC2\xB3"};
    for (const std::string_view device : kDevices) {
        if (name.size() == device.size() &&
            std::equal(name.begin(), name.end(), device.begin(), [](char a, char b) {
                return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
            })) {
            return device;
        }
    }
#else
    (void)path;
#endif
    return {};
}

std::string WithLastExtension(std::string_view path, std::string_view extension) {
    path = AsWindowsOpensIt(path);
    const std::string_view name = FileNamePart(path);
    const size_t dot = name.rfind('.');
    const size_t keep =
        dot == std::string_view::npos || dot == 0 ? path.size() : path.size() - name.size() + dot;
    std::string result(path.substr(0, keep));
    result.append(extension);
    return result;
}

}  // namespace quillo
