#pragma once
// One copy of the program at a time. The first copy holds a lock in the user's runtime
// folder and listens on a UNIX socket beside it; a second start finds the lock taken,
// asks the running copy over the socket to come to the front, and exits at once.
#include <atomic>
#include <filesystem>
#include <string_view>
#include <thread>

#include "platform/types.h"

namespace platform {

struct InstanceClaim {
    InstanceClaim() = default;
    ~InstanceClaim();
    InstanceClaim(const InstanceClaim&) = delete;
    InstanceClaim& operator=(const InstanceClaim&) = delete;

    int lockFd = -1;
    int listenFd = -1;
    int wakeFds[2] = {-1, -1};
    std::filesystem::path lockPath;
    std::filesystem::path socketPath;
    std::thread listener;
};

// $XDG_RUNTIME_DIR/velkarion, else /tmp/velkarion-<uid>; made private to the user.
std::filesystem::path RuntimeFolder();

// True when this process is the first copy (the claim then holds the lock and the socket
// until it is destroyed). False when another copy runs: that copy has been asked to come
// to the front, and the caller should exit without making any window.
bool ClaimSingleInstance(InstanceClaim& claim, std::string_view name);

// From now on each request of a later start posts kMsgBringToFront to `target`, whose
// default procedure brings its top-level to the front.
bool ListenForFrontRequests(InstanceClaim& claim, Window target);

// Frees the lock and the socket (also done by the destructor).
void ReleaseInstance(InstanceClaim& claim);

}  // namespace platform
