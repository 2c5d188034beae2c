#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "platform/instance.h"
#include "platform/window.h"
#include "support/headless_fixture.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

// The lock goes into the test's home and the socket into a short runtime folder of its
// own (socket paths are short), both removed when the test ends.
class InstanceTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        char pattern[] = "/tmp/vkrt-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        runtime = pattern;
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        user = home / "user";
    }
    void TearDown() override {
        ::unsetenv("XDG_RUNTIME_DIR");
        std::error_code ec;
        fs::remove_all(runtime, ec);
        HeadlessFixture::TearDown();
    }
    fs::path runtime;
    fs::path user;
    const std::string name = "Velkarion";
};

TEST_F(InstanceTest, ASecondStartExitsWithoutMakingAWindowAndBringsTheFirstToTheFront) {
    InstanceClaim first;
    ASSERT_TRUE(ClaimSingleInstance(first, name, user));
    EXPECT_TRUE(first.problem.empty()) << first.problem;
    EXPECT_EQ(first.lockPath.parent_path(), user);

    // The second start, as a process of its own: it must end before making any window.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceClaim second;
        if (!ClaimSingleInstance(second, name, user)) ::_exit(0);
        CreateWindow(WindowSpec{.text = "second", .rect = {0, 0, 240, 320}});
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    // The request waits on the socket until the first copy listens.
    const Window main = CreateWindow(WindowSpec{.text = "main", .rect = {0, 0, 240, 320}});
    const Window other = CreateWindow(WindowSpec{.text = "other", .rect = {0, 0, 240, 320}});
    ASSERT_EQ(GetForegroundWindow(), other);
    ASSERT_TRUE(ListenForFrontRequests(first, main));
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (GetForegroundWindow() != main && std::chrono::steady_clock::now() < until) {
        RunUntilIdle();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(GetForegroundWindow(), main);
    EXPECT_EQ(TopLevelWindows().back(), main);
}

TEST_F(InstanceTest, OneCopyPerUserFolderFreeAgainOnceReleased) {
    {
        InstanceClaim first;
        ASSERT_TRUE(ClaimSingleInstance(first, name, user));
        InstanceClaim second;
        EXPECT_FALSE(ClaimSingleInstance(second, name, user));
        // Another user folder is another copy.
        InstanceClaim elsewhere;
        EXPECT_TRUE(ClaimSingleInstance(elsewhere, name, home / "other user folder"));
        EXPECT_NE(elsewhere.socketPath, first.socketPath);
        EXPECT_TRUE(fs::exists(elsewhere.socketPath));
    }
    InstanceClaim again;
    EXPECT_TRUE(ClaimSingleInstance(again, name, user));
    EXPECT_TRUE(fs::exists(again.socketPath));
    EXPECT_EQ(again.socketPath.parent_path(), runtime / "velkarion");
}

TEST_F(InstanceTest, FoldersOthersMayWriteAreRefusedAndTheProgramRunsOn) {
    // A user folder anybody may write: another user could hold the lock there.
    fs::create_directories(user);
    fs::permissions(user, fs::perms::all);
    InstanceClaim claim;
    EXPECT_TRUE(ClaimSingleInstance(claim, name, user));
    EXPECT_NE(claim.problem.find("other users may write"), std::string::npos) << claim.problem;
    EXPECT_FALSE(fs::exists(user / (name + ".lock")));
    ReleaseInstance(claim);

    // The runtime folder must be private: the lock is taken, the socket left out.
    fs::permissions(user, fs::perms::owner_all);
    fs::create_directories(runtime / "velkarion");
    fs::permissions(runtime / "velkarion", fs::perms::owner_all | fs::perms::group_write);
    EXPECT_TRUE(ClaimSingleInstance(claim, name, user));
    EXPECT_GE(claim.lockFd, 0);
    EXPECT_LT(claim.listenFd, 0);
    EXPECT_NE(claim.problem.find(runtime.string()), std::string::npos) << claim.problem;
    ReleaseInstance(claim);

    // A link in the runtime folder's place is not followed.
    fs::remove_all(runtime / "velkarion");
    fs::create_directories(home / "elsewhere");
    fs::create_directory_symlink(home / "elsewhere", runtime / "velkarion");
    EXPECT_FALSE(FolderRefusal(runtime / "velkarion", true).empty());
    EXPECT_TRUE(FolderRefusal(user, false).empty());
    EXPECT_NE(FolderRefusal(home / "missing", false).find("missing"), std::string::npos);
}

// A link, a folder or another user's file where the lock should be would let two copies
// share the user folder: the claim is refused, as for a running copy, and says why.
TEST_F(InstanceTest, ALockPathThatIsNotTheUsersPlainFileRefusesTheStart) {
    fs::create_directories(user);
    const fs::path lock = user / (name + ".lock");
    const fs::path target = home / "target";
    { std::ofstream(target) << "keep"; }
    const struct {
        const char* what;
        std::function<void()> make;
    } cases[] = {
        {"a link", [&] { fs::create_symlink(target, lock); }},
        {"a link", [&] { fs::create_symlink(home / "nowhere", lock); }},
        {"a folder", [&] { fs::create_directory(lock); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        InstanceClaim claim;
        EXPECT_FALSE(ClaimSingleInstance(claim, name, user));
        EXPECT_TRUE(claim.lockRefused);
        EXPECT_LT(claim.lockFd, 0);
        EXPECT_NE(claim.problem.find(std::string("is ") + c.what), std::string::npos) << claim.problem;
        EXPECT_NE(claim.problem.find(lock.string()), std::string::npos) << claim.problem;
        ReleaseInstance(claim);
        fs::remove(lock);
    }
    std::ifstream in(target);
    std::string kept;
    in >> kept;
    EXPECT_EQ(kept, "keep");
    InstanceClaim claim;
    EXPECT_TRUE(ClaimSingleInstance(claim, name, user)) << "a plain file again";
    EXPECT_FALSE(claim.lockRefused);
    ReleaseInstance(claim);

    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
    fs::remove(lock);
    { std::ofstream{lock}; }
    ASSERT_EQ(::chown(lock.c_str(), 65534, 65534), 0);
    EXPECT_FALSE(ClaimSingleInstance(claim, name, user));
    EXPECT_LT(claim.lockFd, 0);
    EXPECT_NE(claim.problem.find("another user"), std::string::npos) << claim.problem;
    ASSERT_EQ(::chown(user.c_str(), 65534, 65534), 0);
    EXPECT_NE(FolderRefusal(user, false).find("owned by another user"), std::string::npos);
}

}  // namespace
