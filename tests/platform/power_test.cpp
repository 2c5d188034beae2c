#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/power.h"
#include "platform/window.h"
#include "support/headless_fixture.h"

using namespace platform;

namespace {

constexpr std::uint16_t kCmdResume = 9901;  // what the program posts on resume
int resumes = 0;
int commands = 0;

LResult MainProc(Window w, unsigned m, WParam wp, LParam lp) {
    if (m == kMsgCommand) {
        ++commands;
        if (LowWord(wp) == kCmdResume) ++resumes;
        return 0;
    }
    return DefWindowProc(w, m, wp, lp);
}

// The program's power thread, in small: resume notices become command 9901.
void PowerThread(Window target, Event* stop, bool* ended) {
    PowerQueue queue(4, kPowerTransition | kPowerResume | kPowerInfoChange, false);
    while (WaitPowerOrStop(queue, *stop) == PowerWait::Notice) {
        PowerNotice n;
        while (ReadPowerNotice(queue, &n))
            if (n.type == kPowerResume) PostMessage(target, kMsgCommand, kCmdResume, 0);
    }
    *ended = true;
}

class PowerTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        resumes = commands = 0;
        main = CreateWindow(WindowSpec{.text = "main", .rect = {0, 0, 240, 320}, .proc = &MainProc});
    }
    // Runs the loop until the condition holds, in real time (the power thread is real).
    template <class F>
    bool RunUntil(F done) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < until) {
            RunUntilIdle();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    Window main;
};

TEST_F(PowerTest, AnInjectedResumeReachesTheMainWindowAsCommand9901) {
    Start();
    Event stop;
    bool ended = false;
    std::thread thread(PowerThread, main, &stop, &ended);
    // The thread registers its queue first; notices before that reach nobody.
    ASSERT_TRUE(RunUntil([&] {
        InjectPowerNotice(PowerNotice{kPowerTransition, 0});
        InjectResume();
        return resumes > 0;
    }));
    EXPECT_EQ(commands, resumes);  // transitions post nothing
    SignalEvent(stop);
    thread.join();
    EXPECT_TRUE(ended);
}

TEST(PowerQueueTest, AFullQueueDropsAndAMaskFilters) {
    PowerQueue q(4, kPowerResume, false);
    for (int i = 0; i < 6; ++i) InjectPowerNotice(PowerNotice{kPowerResume, static_cast<std::uint32_t>(i)});
    InjectPowerNotice(PowerNotice{kPowerTransition, 0});
    PowerNotice n;
    int read = 0;
    while (ReadPowerNotice(q, &n)) EXPECT_EQ(n.flags, static_cast<std::uint32_t>(read++));
    EXPECT_EQ(read, 4);
}

TEST(PowerQueueTest, TheStopEventWinsAndAutoResets) {
    PowerQueue q(4, kPowerResume, false);
    Event stop;
    EXPECT_EQ(WaitPowerOrStop(q, stop, 10), PowerWait::TimedOut);
    InjectResume();
    SignalEvent(stop);
    EXPECT_EQ(WaitPowerOrStop(q, stop, 10), PowerWait::Stop);
    EXPECT_EQ(WaitPowerOrStop(q, stop, 10), PowerWait::Notice);
    EXPECT_FALSE(WaitEvent(stop, 0));
}

}  // namespace
