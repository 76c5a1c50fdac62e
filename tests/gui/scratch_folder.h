// Per-test folders under the temporary directory, and byte-exact file access
// for the documents Quillo reads and writes.
#pragma once

#include <string>
#include <string_view>

namespace quillo::gui {

// A fresh folder, removed with all it holds when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Root() const { return root_; }
    // `relative` (which may name subfolders) inside the folder.
    std::wstring Path(std::wstring_view relative) const;
    // Creates the subfolder `relative` and returns its path.
    std::wstring MakeFolder(std::wstring_view relative) const;

private:
    std::wstring root_;
};

void WriteBytes(const std::wstring& path, std::string_view bytes);
// Throws std::runtime_error when the file cannot be read.
std::string ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);

}  // namespace quillo::gui
