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
//    $XDG_DATA_HOME/velkarion (or ~/.local/share/velkarion). Without HOME it is a private
//    folder of the user's own in the temporary folder, "velkarion-<uid>".
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
// returns to the default. Setting the home makes it usable again (see PrepareHomeFolder).
void SetHomeRoot(const std::filesystem::path& p);
void SetInstallRoot(const std::filesystem::path& p);

// Makes sure the home can hold the user's files: it is created when missing (mode 0700
// for the private fallback folder), must be a folder the program can read and write, and
// the fallback folder must belong to the user and be closed to others. Nothing in it is
// changed or removed apart from the program's own stale temporary files. Returns an empty
// text when the home is usable, else why not; then HomeUsable() is false until the home
// is set again, and the program's automatic saves leave the folder alone.
std::string PrepareHomeFolder();
bool HomeUsable();

// Removes, under `folder`, the temporary files this program leaves when it is killed
// while saving ("<name>.vktmp-<pid>" of a process that no longer runs). Returns how many.
int RemoveStaleTemporaryFiles(const std::filesystem::path& folder);

// ASCII equality without regard to case, as path components are matched.
bool EqualNoCase(std::string_view a, std::string_view b);

// True for the first path components that name read-only, installed folders.
bool IsInstalledFolder(std::string_view firstComponent);

// Maps a program path to a real one: backslashes become '/', a relative path goes under
// the install root or the home by its first component, and each component that does not
// exist as written is matched case-insensitively against what is there. Read-only
// folders missing from the install root are looked for in the home too. "." and ".."
// components are dropped, so a relative path never climbs out of its root.
std::filesystem::path ResolvePath(std::string_view programPath);

// Maps a name that came from the user or from a file into the program folder `folder`
// ("userlists"): separators, a leading '/' or '\', and "." and ".." components never take
// it out of that folder.
std::filesystem::path ResolveInFolder(std::string_view folder, std::string_view name);

// The real folders where files of the program folder `folder` ("data") are looked for, for
// messages: "<install>/data", or "<install>/data or <home>/data" for an installed folder
// that may also be in the home.
std::string SearchedFolders(std::string_view folder);

// Maps a program path under the install root whatever its first folder: where the files
// shipped beside the program are looked for (a writable folder's shipped templates too).
std::filesystem::path ResolveInstallPath(std::string_view programPath);

// Creates the folders above a path (as mapped). Returns false on failure.
bool EnsureParentFolders(const std::filesystem::path& p);

// Writes a whole file so that a crash never leaves it half-written: the bytes go to a
// temporary file in the same folder, which is synced and renamed over the target, and the
// folder is synced. On failure the target is untouched and `error` (when given) says why,
// in the system's words.
bool WriteFileAtomically(const std::filesystem::path& p, const void* data, std::size_t size,
                         std::string* error = nullptr);
// Reads a regular file whole. On failure `error` (when given) says why.
bool ReadWholeFile(const std::filesystem::path& p, std::vector<std::uint8_t>& out, std::string* error = nullptr);

// A file being written through a temporary name ("<name>.vktmp-<pid>" beside it);
// Commit() syncs it, renames it into place and syncs the folder; destruction without
// Commit() removes the temporary. Error() tells the first failure in the system's words.
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
    const std::string& Error() const { return error_; }

private:
    void Fail(int err);

    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
    std::string error_;
};

// The suffix of the temporary files, before the process id.
inline constexpr std::string_view kTemporarySuffix = ".vktmp-";

}  // namespace platform
