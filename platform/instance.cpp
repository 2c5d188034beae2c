#include "platform/instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

#include "platform/messages.h"
#include "platform/window.h"

namespace platform {
namespace fs = std::filesystem;

namespace {

constexpr char kFrontRequest[] = "front\n";

bool FillAddress(const fs::path& p, sockaddr_un* addr) {
    std::memset(addr, 0, sizeof *addr);
    addr->sun_family = AF_UNIX;
    const std::string s = p.string();
    if (s.size() >= sizeof addr->sun_path) return false;
    std::memcpy(addr->sun_path, s.c_str(), s.size() + 1);
    return true;
}

void AskToFront(const fs::path& socketPath) {
    sockaddr_un addr;
    if (!FillAddress(socketPath, &addr)) return;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        [[maybe_unused]] ssize_t n = ::send(fd, kFrontRequest, sizeof kFrontRequest - 1, MSG_NOSIGNAL);
    }
    ::close(fd);
}

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// The socket of the copy that uses a user folder: named for the folder (an FNV-1a hash of
// its absolute path), so that socket paths stay short whatever the folder.
std::string SocketName(std::string_view name, const fs::path& userFolder) {
    std::error_code ec;
    fs::path absolute = fs::absolute(userFolder, ec);
    if (ec) absolute = userFolder;
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : absolute.lexically_normal().string()) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    return std::string(name) + "-" + hex + ".sock";
}

}  // namespace

fs::path RuntimeFolder() {
    fs::path base;
    if (const char* r = std::getenv("XDG_RUNTIME_DIR"); r && *r) {
        base = fs::path(r) / "velkarion";
    } else {
        std::error_code ec;
        fs::path temp = fs::temp_directory_path(ec);
        if (ec) temp = "/tmp";
        base = temp / ("velkarion-" + std::to_string(::getuid()));
    }
    ::mkdir(base.c_str(), 0700);
    return base;
}

std::string FolderRefusal(const fs::path& folder, bool privateOnly) {
    struct stat st {};
    // The runtime folder is ours alone and never a link; a user folder may be one.
    const int got = privateOnly ? ::lstat(folder.c_str(), &st) : ::stat(folder.c_str(), &st);
    if (got != 0) return folder.string() + ": " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode)) return folder.string() + ": not a folder";
    if (st.st_uid != ::geteuid()) return folder.string() + ": owned by another user";
    const mode_t others = privateOnly ? (S_IWGRP | S_IWOTH) : S_IWOTH;
    if (st.st_mode & others) return folder.string() + ": other users may write in it";
    return {};
}

bool ClaimSingleInstance(InstanceClaim& claim, std::string_view name, const fs::path& userFolder) {
    ReleaseInstance(claim);
    claim.problem.clear();
    claim.lockRefused = false;
    std::error_code ec;
    fs::create_directories(userFolder, ec);
    if (std::string refused = FolderRefusal(userFolder, false); !refused.empty()) {
        // A missing or unusable user folder is reported where the files are; only a folder
        // another user controls is worth a word here.
        if (fs::is_directory(userFolder, ec)) claim.problem = "no instance lock in " + refused;
        return true;
    }
    claim.lockPath = userFolder / (std::string(name) + ".lock");
    claim.lockFd = ::open(claim.lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    // A link, a folder or another user's file in the lock's place would let two copies run
    // on this user folder without either knowing: refused, as a running copy is.
    struct stat st {};
    const bool opened = claim.lockFd >= 0;
    if (opened ? ::fstat(claim.lockFd, &st) != 0 : ::lstat(claim.lockPath.c_str(), &st) != 0) {
        CloseFd(claim.lockFd);
        return true;  // no lock can be had at all: do not keep the user from starting
    }
    const char* wrong = S_ISLNK(st.st_mode)   ? "a link"
                        : S_ISDIR(st.st_mode) ? "a folder"
                        : !S_ISREG(st.st_mode) ? "not a plain file"
                        : st.st_uid != ::geteuid() ? "owned by another user"
                        : !opened             ? "not writable"
                                              : nullptr;
    if (wrong) {
        claim.problem = "the instance lock " + claim.lockPath.string() + " is " + wrong +
                        ": remove it before starting again";
        claim.lockRefused = true;
        CloseFd(claim.lockFd);
        return false;
    }
    const fs::path runtime = RuntimeFolder();
    const std::string runtimeRefused = FolderRefusal(runtime, true);
    claim.socketPath = runtime / SocketName(name, userFolder);
    if (::flock(claim.lockFd, LOCK_EX | LOCK_NB) != 0) {
        CloseFd(claim.lockFd);
        if (runtimeRefused.empty()) AskToFront(claim.socketPath);
        return false;
    }
    if (!runtimeRefused.empty()) {
        claim.problem = "a later start cannot bring this copy to the front: " + runtimeRefused;
        claim.socketPath.clear();
        return true;
    }
    // We hold the lock, so a socket file left here belongs to a copy that died.
    ::unlink(claim.socketPath.c_str());
    sockaddr_un addr;
    if (FillAddress(claim.socketPath, &addr)) {
        claim.listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (claim.listenFd >= 0 &&
            (::bind(claim.listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(claim.listenFd, 4) != 0))
            CloseFd(claim.listenFd);
    }
    return true;
}

bool ListenForFrontRequests(InstanceClaim& claim, Window target) {
    if (claim.listenFd < 0 || claim.listener.joinable()) return false;
    if (::pipe2(claim.wakeFds, O_CLOEXEC) != 0) return false;
    const int listenFd = claim.listenFd, wakeFd = claim.wakeFds[0];
    claim.listener = std::thread([listenFd, wakeFd, target] {
        for (;;) {
            pollfd fds[2] = {{listenFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (fds[1].revents) return;
            if (!(fds[0].revents & POLLIN)) continue;
            const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            char buf[16] = {};
            pollfd one{fd, POLLIN, 0};
            if (::poll(&one, 1, 1000) > 0) {
                const ssize_t n = ::recv(fd, buf, sizeof buf - 1, 0);
                if (n > 0 && std::strncmp(buf, kFrontRequest, sizeof kFrontRequest - 1) == 0)
                    PostMessage(target, kMsgBringToFront, 0, 0);
            }
            ::close(fd);
        }
    });
    return true;
}

void ReleaseInstance(InstanceClaim& claim) {
    if (claim.listener.joinable()) {
        if (claim.wakeFds[1] >= 0) {
            [[maybe_unused]] ssize_t n = ::write(claim.wakeFds[1], "x", 1);
        }
        claim.listener.join();
    }
    CloseFd(claim.wakeFds[0]);
    CloseFd(claim.wakeFds[1]);
    if (claim.listenFd >= 0) {
        CloseFd(claim.listenFd);
        ::unlink(claim.socketPath.c_str());
    }
    if (claim.lockFd >= 0) CloseFd(claim.lockFd);
}

InstanceClaim::~InstanceClaim() { ReleaseInstance(*this); }

}  // namespace platform
