#pragma once
// Where the program's files live, and how the program's own path texts (written with
// backslashes, as "data\velkarion_obj_1k.ppc") become real paths.
//
// Two roots:
//  - the install root: the read-only folders made at build or install time (data, maps,
//    font, textures, resources). Default: the folder of the executable when they lie
//    beside it (a build tree), else ../share/velkarion from it (an install);
//    VELKARION_INSTALL overrides it.
//  - the home: the per-user writable root (usercatalogs, userlists, userlogs, shots,
//    import, img, moon, mars, small_moon). VELKARION_HOME overrides the default
//    $XDG_DATA_HOME/velkarion (or ~/.local/share/velkarion).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

std::filesystem::path HomeRoot();
std::filesystem::path InstallRoot();
// Tests and the headless driver point the roots at temporary folders; an empty path
// returns to the default.
void SetHomeRoot(const std::filesystem::path& p);
void SetInstallRoot(const std::filesystem::path& p);

// ASCII equality without regard to case, as path components are matched.
bool EqualNoCase(std::string_view a, std::string_view b);

// True for the first path components that name read-only, installed folders.
bool IsInstalledFolder(std::string_view firstComponent);

// Maps a program path to a real one: backslashes become '/', a relative path goes under
// the install root or the home by its first component, and each component that does not
// exist as written is matched case-insensitively against what is there. Read-only
// folders missing from the install root are looked for in the home too.
std::filesystem::path ResolvePath(std::string_view programPath);

// Maps a program path under the install root whatever its first folder: where the files
// shipped beside the program are looked for (a writable folder's shipped templates too).
std::filesystem::path ResolveInstallPath(std::string_view programPath);

// Creates the folders above a path (as mapped). Returns false on failure.
bool EnsureParentFolders(const std::filesystem::path& p);

// Writes a whole file so that a crash never leaves it half-written: the bytes go to a
// temporary file in the same folder, which is flushed and renamed over the target.
bool WriteFileAtomically(const std::filesystem::path& p, const void* data, std::size_t size);
bool ReadWholeFile(const std::filesystem::path& p, std::vector<std::uint8_t>& out);

// A file being written through a temporary name; Commit() renames it into place,
// destruction without Commit() removes the temporary.
class AtomicFile {
public:
    explicit AtomicFile(const std::filesystem::path& target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    bool Ok() const { return file_ != nullptr; }
    bool Write(const void* data, std::size_t size);
    bool Commit();
    std::FILE* Handle() { return file_; }

private:
    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

}  // namespace platform
