#include "platform/paths.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <system_error>

namespace platform {
namespace fs = std::filesystem;

namespace {
std::mutex rootsMutex;
fs::path homeOverride;
fs::path installOverride;
bool homeUsable = true;

// Without HOME the user's files go to a folder of the user's own, never to one that every
// user of the machine shares.
fs::path PrivateFallbackHome() {
    std::error_code ec;
    fs::path tmp = fs::temp_directory_path(ec);
    if (ec || tmp.empty()) tmp = "/tmp";
    return tmp / ("velkarion-" + std::to_string(::getuid()));
}

std::string SystemReason(int err) { return std::strerror(err); }

// The private fallback must be a real folder of this user that no one else can enter;
// another user could have made it first to read or plant the user's files.
std::string CheckPrivateFolder(const fs::path& home) {
    struct stat st {};
    if (::lstat(home.c_str(), &st) != 0) return SystemReason(errno);
    if (!S_ISDIR(st.st_mode)) return "it is not a folder";
    if (st.st_uid != ::getuid()) return "it belongs to another user";
    if ((st.st_mode & 077) != 0 && ::chmod(home.c_str(), 0700) != 0) return "it is open to other users";
    return {};
}

fs::path ExecutableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fs::current_path(ec);
    return exe.parent_path();
}

// The program's read-only files lie beside it in a build tree, and in ../share/velkarion
// when it is installed (bin/velkarion under a prefix); found from the program's own path,
// whichever folder it is started from.
fs::path DefaultInstallRoot() {
    const fs::path beside = ExecutableFolder();
    std::error_code ec;
    if (fs::is_directory(beside / "resources", ec) || fs::is_directory(beside / "data", ec)) return beside;
    const fs::path shared = (beside / ".." / "share" / "velkarion").lexically_normal();
    if (fs::is_directory(shared, ec)) return shared;
    return beside;
}

// Appends each component, taking an existing entry that matches without regard to case
// when the component as written does not exist.
fs::path AppendMatching(fs::path base, const std::vector<std::string>& parts) {
    std::error_code ec;
    for (const auto& part : parts) {
        fs::path exact = base / part;
        if (!fs::exists(exact, ec) && fs::is_directory(base, ec)) {
            for (const auto& entry : fs::directory_iterator(base, ec)) {
                if (EqualNoCase(entry.path().filename().string(), part)) {
                    exact = entry.path();
                    break;
                }
            }
        }
        base = exact;
    }
    return base;
}

// Splits at either separator. "." and ".." are dropped: a name read from a list or an
// import file must not climb out of the folder it is meant for. The system reads a path
// only up to a NUL, so the name ends there too ("..\0x" must not pass as a plain name).
std::vector<std::string> SplitProgramPath(std::string_view p) {
    p = p.substr(0, p.find('\0'));
    std::vector<std::string> parts;
    std::string cur;
    auto take = [&] {
        if (!cur.empty() && cur != "." && cur != "..") parts.push_back(cur);
        cur.clear();
    };
    for (char c : p) {
        if (c == '\\' || c == '/')
            take();
        else
            cur.push_back(c);
    }
    take();
    return parts;
}

// The process id of a temporary file name "<name>.vktmp-<pid>", or 0.
pid_t TemporaryFileOwner(const std::string& name) {
    const std::size_t at = name.rfind(kTemporarySuffix);
    if (at == std::string::npos || at == 0) return 0;
    const std::string digits = name.substr(at + kTemporarySuffix.size());
    if (digits.empty() || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return static_cast<pid_t>(std::stol(digits));
}
}  // namespace

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

fs::path HomeRoot() {
    std::lock_guard lock(rootsMutex);
    if (!homeOverride.empty()) return homeOverride;
    if (const char* h = std::getenv("VELKARION_HOME"); h && *h) return fs::path(h);
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) return fs::path(x) / "velkarion";
    if (const char* h = std::getenv("HOME"); h && *h) return fs::path(h) / ".local/share/velkarion";
    return PrivateFallbackHome();
}

fs::path InstallRoot() {
    std::lock_guard lock(rootsMutex);
    if (!installOverride.empty()) return installOverride;
    if (const char* i = std::getenv("VELKARION_INSTALL"); i && *i) return fs::path(i);
    return DefaultInstallRoot();
}

void SetHomeRoot(const fs::path& p) {
    std::lock_guard lock(rootsMutex);
    homeOverride = p;
    homeUsable = true;
}

bool HomeUsable() {
    std::lock_guard lock(rootsMutex);
    return homeUsable;
}

std::string PrepareHomeFolder() {
    const fs::path home = HomeRoot();
    const bool fallback = home == PrivateFallbackHome();
    std::string reason;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(home, ec))) {
        fs::create_directories(home.parent_path(), ec);
        if (::mkdir(home.c_str(), fallback ? 0700 : 0777) != 0 && errno != EEXIST)
            reason = "it cannot be created: " + SystemReason(errno);
    }
    if (reason.empty() && fallback) reason = CheckPrivateFolder(home);
    if (reason.empty()) {
        struct stat st {};
        if (::stat(home.c_str(), &st) != 0)
            reason = SystemReason(errno);
        else if (!S_ISDIR(st.st_mode))
            reason = "it is a file, not a folder";
        else if (::access(home.c_str(), R_OK | W_OK | X_OK) != 0)
            reason = "it cannot be written: " + SystemReason(errno);
    }
    if (reason.empty()) RemoveStaleTemporaryFiles(home);
    std::lock_guard lock(rootsMutex);
    homeUsable = reason.empty();
    return reason;
}

int RemoveStaleTemporaryFiles(const fs::path& folder) {
    int removed = 0;
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec) || it->is_symlink(ec)) continue;
        const pid_t owner = TemporaryFileOwner(it->path().filename().string());
        if (owner <= 0 || owner == ::getpid()) continue;
        // A file of a copy that still runs is still being written.
        if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
        std::error_code rm;
        if (fs::remove(it->path(), rm)) ++removed;
    }
    return removed;
}

void SetInstallRoot(const fs::path& p) {
    std::lock_guard lock(rootsMutex);
    installOverride = p;
}

bool IsInstalledFolder(std::string_view first) {
    static const char* const kInstalled[] = {"data", "maps", "font", "textures", "resources"};
    return std::any_of(std::begin(kInstalled), std::end(kInstalled),
                       [&](const char* f) { return EqualNoCase(first, f); });
}

fs::path ResolvePath(std::string_view programPath) {
    const bool absolute = !programPath.empty() && (programPath[0] == '/' || programPath[0] == '\\');
    std::vector<std::string> parts = SplitProgramPath(programPath);
    if (absolute) return AppendMatching(fs::path("/"), parts);
    if (parts.empty()) return HomeRoot();
    if (IsInstalledFolder(parts[0])) {
        fs::path installed = AppendMatching(InstallRoot(), parts);
        std::error_code ec;
        if (fs::exists(installed, ec)) return installed;
        fs::path inHome = AppendMatching(HomeRoot(), parts);
        if (fs::exists(inHome, ec)) return inHome;
        return installed;
    }
    return AppendMatching(HomeRoot(), parts);
}

fs::path ResolveInFolder(std::string_view folder, std::string_view name) {
    std::string joined(folder);
    joined += '\\';
    joined += name;
    return ResolvePath(joined);
}

std::string SearchedFolders(std::string_view folder) {
    const std::vector<std::string> parts = SplitProgramPath(folder);
    if (parts.empty() || !IsInstalledFolder(parts[0])) return ResolvePath(folder).string();
    return AppendMatching(InstallRoot(), parts).string() + " or " + AppendMatching(HomeRoot(), parts).string();
}

fs::path ResolveInstallPath(std::string_view programPath) {
    return AppendMatching(InstallRoot(), SplitProgramPath(programPath));
}

bool EnsureParentFolders(const fs::path& p) {
    std::error_code ec;
    fs::path parent = p.parent_path();
    if (parent.empty()) return true;
    fs::create_directories(parent, ec);
    return fs::is_directory(parent, ec);
}

bool WriteFileAtomically(const fs::path& p, const void* data, std::size_t size, std::string* error) {
    AtomicFile f(p);
    const bool ok = f.Ok() && f.Write(data, size) && f.Commit();
    if (!ok && error) *error = f.Error();
    return ok;
}

bool ReadWholeFile(const fs::path& p, std::vector<std::uint8_t>& out, std::string* error) {
    std::FILE* f = std::fopen(p.c_str(), "rb");
    if (!f) {
        if (error) *error = SystemReason(errno);
        return false;
    }
    out.clear();
    // Read straight into a buffer of the file's size: copying through a growing vector
    // touched every page two or three times.
    struct stat st {};
    if (::fstat(::fileno(f), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        out.resize(static_cast<std::size_t>(st.st_size));
    out.resize(std::fread(out.data(), 1, out.size(), f));
    // A file that grew since, or one whose size the system does not tell, is read on.
    std::uint8_t buf[65536];
    std::size_t n;
    while (!std::ferror(f) && (n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    // A folder opens as a stream, and the first read fails.
    const int err = std::ferror(f) ? errno : 0;
    std::fclose(f);
    if (err && error) *error = SystemReason(err);
    return err == 0;
}

AtomicFile::AtomicFile(const fs::path& target) : target_(target) {
    if (!EnsureParentFolders(target_)) {
        std::error_code ec;
        fs::create_directories(target_.parent_path(), ec);
        error_ = ec ? ec.message() : "the folder cannot be made";
        return;
    }
    temp_ = target_;
    temp_ += std::string(kTemporarySuffix) + std::to_string(::getpid());
    const int fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        error_ = SystemReason(errno);
        return;
    }
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        error_ = SystemReason(errno);
        ::close(fd);
        std::error_code ec;
        fs::remove(temp_, ec);
    }
}

AtomicFile::~AtomicFile() {
    if (file_) {
        std::fclose(file_);
        std::error_code ec;
        fs::remove(temp_, ec);
    }
}

void AtomicFile::Fail(int err) {
    if (!failed_) error_ = SystemReason(err ? err : EIO);
    failed_ = true;
}

bool AtomicFile::Write(const void* data, std::size_t size) {
    if (!file_ || failed_) return false;
    if (size && std::fwrite(data, 1, size, file_) != size) Fail(errno);
    return !failed_;
}

bool AtomicFile::Commit() {
    if (!file_) return false;
    if (!failed_ && std::fflush(file_) != 0) Fail(errno);
    if (!failed_ && ::fsync(fileno(file_)) != 0) Fail(errno);
    if (std::fclose(file_) != 0) Fail(errno);
    file_ = nullptr;
    if (!failed_ && std::rename(temp_.c_str(), target_.c_str()) != 0) Fail(errno);
    if (failed_) {
        std::error_code ec;
        fs::remove(temp_, ec);
        return false;
    }
    // The rename lives in the folder: sync it so that the new name survives a power cut.
    // Some file systems cannot sync a folder; the file itself is already safe then.
    const int dir = ::open(target_.parent_path().empty() ? "." : target_.parent_path().c_str(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace platform
