#pragma once
// One copy of the program per user folder. The first copy holds a lock file in the user
// folder and listens on a UNIX socket in the user's runtime folder (named for the user
// folder); a later start with the same user folder finds the lock taken, asks the running
// copy over the socket to come to the front, and ends. Copies with different user folders
// never meet.
//
// Both folders must be the user's own: a folder owned by someone else, or writable by
// other users, is not used (another local user could otherwise hold the lock and keep
// the program from ever starting). The lock file is opened without following links.
#include <atomic>
#include <filesystem>
#include <string>
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
    // Why the lock or the socket could not be had (a folder refused, a lock file that is
    // not ours); empty when all went well. The program runs on without them, except when
    // `lockRefused`.
    std::string problem;
    // The lock's path holds something other than this user's plain file (a link, a folder,
    // another user's file): the claim failed as for a running copy.
    bool lockRefused = false;
};

// $XDG_RUNTIME_DIR/velkarion, else velkarion-<uid> in the system's temporary folder; made
// private to the user when it is created.
std::filesystem::path RuntimeFolder();

// Empty when `folder` is a directory owned by this user that no other user may write;
// otherwise why it is not (for a message). `privateOnly` also refuses a folder its group
// may write.
std::string FolderRefusal(const std::filesystem::path& folder, bool privateOnly);

// True when this process may run: it holds the lock in `userFolder` (made when missing)
// until the claim is destroyed, or no lock could be had at all (`problem` then says why
// when it was a refusal). False when another copy with this user folder runs: that copy
// has been asked to come to the front, and the caller should end without making any
// window. False too, with `lockRefused` and `problem`, when the lock's path is not this
// user's plain file.
bool ClaimSingleInstance(InstanceClaim& claim, std::string_view name, const std::filesystem::path& userFolder);

// From now on each request of a later start posts kMsgBringToFront to `target`, whose
// default procedure brings its top-level to the front.
bool ListenForFrontRequests(InstanceClaim& claim, Window target);

// Frees the lock and the socket (also done by the destructor). The lock file stays: a
// copy starting meanwhile may already have it open.
void ReleaseInstance(InstanceClaim& claim);

}  // namespace platform
