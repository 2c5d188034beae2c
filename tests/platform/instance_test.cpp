#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/instance.h"
#include "platform/window.h"
#include "support/headless_fixture.h"

using namespace platform;

namespace {

class InstanceTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        name = "test-" + std::to_string(::getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    std::string name;
};

TEST_F(InstanceTest, ASecondStartExitsWithoutMakingAWindowAndBringsTheFirstToTheFront) {
    InstanceClaim first;
    ASSERT_TRUE(ClaimSingleInstance(first, name));

    // The second start, as a process of its own: it must end before making any window.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceClaim second;
        if (!ClaimSingleInstance(second, name)) ::_exit(0);
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

TEST_F(InstanceTest, TheClaimIsFreeAgainOnceReleased) {
    {
        InstanceClaim first;
        ASSERT_TRUE(ClaimSingleInstance(first, name));
        InstanceClaim second;
        EXPECT_FALSE(ClaimSingleInstance(second, name));
    }
    InstanceClaim again;
    EXPECT_TRUE(ClaimSingleInstance(again, name));
    EXPECT_TRUE(std::filesystem::exists(again.socketPath));
}

}  // namespace
