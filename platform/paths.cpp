#include "platform/paths.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <system_error>

namespace platform {
namespace fs = std::filesystem;

namespace {
std::mutex rootsMutex;
fs::path homeOverride;
fs::path installOverride;

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

std::vector<std::string> SplitProgramPath(std::string_view p) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : p) {
        if (c == '\\' || c == '/') {
            if (!cur.empty() && cur != ".") parts.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    if (!cur.empty() && cur != ".") parts.push_back(cur);
    return parts;
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
    return fs::temp_directory_path() / "velkarion";
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

bool WriteFileAtomically(const fs::path& p, const void* data, std::size_t size) {
    AtomicFile f(p);
    if (!f.Ok()) return false;
    if (!f.Write(data, size)) return false;
    return f.Commit();
}

bool ReadWholeFile(const fs::path& p, std::vector<std::uint8_t>& out) {
    std::FILE* f = std::fopen(p.c_str(), "rb");
    if (!f) return false;
    out.clear();
    std::uint8_t buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

AtomicFile::AtomicFile(const fs::path& target) : target_(target) {
    EnsureParentFolders(target_);
    temp_ = target_;
    temp_ += ".tmp-" + std::to_string(::getpid());
    file_ = std::fopen(temp_.c_str(), "wb");
}

AtomicFile::~AtomicFile() {
    if (file_) {
        std::fclose(file_);
        std::error_code ec;
        fs::remove(temp_, ec);
    }
}

bool AtomicFile::Write(const void* data, std::size_t size) {
    if (!file_ || failed_) return false;
    if (size && std::fwrite(data, 1, size, file_) != size) failed_ = true;
    return !failed_;
}

bool AtomicFile::Commit() {
    if (!file_) return false;
    bool ok = !failed_ && std::fflush(file_) == 0 && ::fsync(fileno(file_)) == 0;
    ok = (std::fclose(file_) == 0) && ok;
    file_ = nullptr;
    std::error_code ec;
    if (ok) {
        fs::rename(temp_, target_, ec);
        ok = !ec;
    }
    if (!ok) fs::remove(temp_, ec);
    return ok;
}

}  // namespace platform
