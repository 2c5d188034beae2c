#include "platform/instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
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

}  // namespace

fs::path RuntimeFolder() {
    fs::path base;
    if (const char* r = std::getenv("XDG_RUNTIME_DIR"); r && *r) {
        base = fs::path(r) / "velkarion";
    } else {
        base = fs::path("/tmp") / ("velkarion-" + std::to_string(::getuid()));
    }
    ::mkdir(base.c_str(), 0700);
    return base;
}

bool ClaimSingleInstance(InstanceClaim& claim, std::string_view name) {
    ReleaseInstance(claim);
    const fs::path folder = RuntimeFolder();
    claim.lockPath = folder / (std::string(name) + ".lock");
    claim.socketPath = folder / (std::string(name) + ".sock");
    claim.lockFd = ::open(claim.lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (claim.lockFd < 0) return true;  // no lock can be had: do not keep the user from starting
    if (::flock(claim.lockFd, LOCK_EX | LOCK_NB) != 0) {
        CloseFd(claim.lockFd);
        AskToFront(claim.socketPath);
        return false;
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
