#define WIN32_LEAN_AND_MEAN
#include <shlwapi.h>
#include <windows.h>

#include "console.h"
#include "os_paths.h"
#include "path_names.h"
#include "wide_path_win32.h"
#include "windows_habits.h"

namespace quillo::cli {
namespace {

bool HoldsWildcards(std::string_view name) {
    return name.find_first_of("*?") != std::string_view::npos;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

}  // namespace

std::vector<std::string> ExpandWildcards(const std::vector<std::string>& sources,
                                         std::vector<std::string>& unmatched) {
    std::vector<std::string> expanded;
    for (const std::string& source : sources) {
        // In the file name only: "\\?\C:\..." holds a '?' of its own.
        if (source == "-" || !HoldsWildcards(FileNamePart(source))) {
            expanded.push_back(source);
            continue;
        }
        std::vector<WideString> names;
        WIN32_FIND_DATAW found;
        const WideString pattern = WideFromUtf8(FileNamePart(source));
        const HANDLE search = FindFirstFileW(WideFromUtf8(source).c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                // The search matches short 8.3 names too ("*.srt" finds
                // "film.srtx" and "film.srt~"): the long name must match.
                // Hidden and system files stay out, as from Explorer and dir.
                constexpr DWORD kSkipped =
                    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
                if ((found.dwFileAttributes & kSkipped) == 0 &&
                    PathMatchSpecW(found.cFileName, pattern.c_str())) {
                    names.emplace_back(found.cFileName);
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        if (names.empty()) {
            unmatched.push_back(source);
            continue;
        }
        // As Explorer lists them: "Episode 2" before "Episode 10". (An
        // insertion sort: a folder's names are few, and srt2rt.exe small.)
        for (size_t i = 1; i < names.size(); ++i) {
            for (size_t j = i; j > 0 && StrCmpLogicalW(names[j].c_str(), names[j - 1].c_str()) < 0;
                 --j) {
                names[j].swap(names[j - 1]);
            }
        }
        const std::string folder(FolderPart(source));
        for (const WideString& name : names) {
            // A file two patterns match is converted once.
            std::string path = folder + Utf8FromWide(name);
            bool seen = false;
            for (const std::string& earlier : expanded) {
                seen = seen || earlier == path;
            }
            if (!seen) {
                expanded.push_back(std::move(path));
            }
        }
    }
    return expanded;
}

void WaitWhenTheConsoleIsOurs() {
    DWORD processes[2];
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    // Alone on a console that shows (not one made with CREATE_NO_WINDOW), and
    // nothing redirected: nobody else will keep it open. Under Wine a Unix
    // terminal is such a console, and no Explorer opens one.
    if (RunsUnderWine() || GetConsoleProcessList(processes, 2) != 1 ||
        GetConsoleWindow() == nullptr || !IsConsole(input) ||
        !IsConsole(GetStdHandle(STD_OUTPUT_HANDLE)) || !IsConsole(GetStdHandle(STD_ERROR_HANDLE))) {
        return;
    }
    PrintError("Press any key to close this window.");
    FlushConsoleInputBuffer(input);
    SetConsoleMode(input, 0);  // a key, not a line
    INPUT_RECORD record;
    DWORD read = 0;
    while (ReadConsoleInputW(input, &record, 1, &read) && read == 1) {
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) {
            break;
        }
    }
}

}  // namespace quillo::cli
