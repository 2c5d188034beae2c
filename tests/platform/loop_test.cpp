#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/headless.h"
#include "platform/window.h"
#include "support/headless_fixture.h"

using namespace platform;

namespace {

constexpr unsigned kMsgOuter = kMsgPrivate + 0x100;
constexpr unsigned kMsgPosted = kMsgPrivate + 0x101;
constexpr unsigned kMsgSent = kMsgPrivate + 0x102;

std::vector<std::string> events;
int paintsLeftUnvalidated = 0;

LResult Proc(Window w, unsigned m, WParam wp, LParam lp) {
    switch (m) {
        case kMsgOuter:
            events.push_back("outer begins");
            PostMessage(w, kMsgPosted, 0, 0);
            SendMessage(w, kMsgSent, 0, 0);
            events.push_back("outer ends");
            return 0;
        case kMsgPosted: events.push_back("posted " + std::to_string(wp)); return 0;
        case kMsgSent: events.push_back("sent"); return 0;
        case kMsgPaint:
            events.push_back("paint");
            if (paintsLeftUnvalidated > 0) {
                --paintsLeftUnvalidated;
                return 0;
            }
            ValidateRect(w, nullptr);
            return 0;
        case kMsgTimer:
            events.push_back("timer " + std::to_string(wp) + " at " + std::to_string(headless::Tick() - 1000));
            return 0;
        case kMsgPenDown: case kMsgPenMove: case kMsgPenUp: {
            const Point p = PointFromParam(lp);
            const char* what = m == kMsgPenDown ? "down" : m == kMsgPenMove ? "move" : "up";
            events.push_back(GetWindowText(w) + " " + what + " " + std::to_string(p.x) + "," + std::to_string(p.y));
            return 0;
        }
        case kMsgCommand: events.push_back("command " + std::to_string(LowWord(wp)) + "/" + std::to_string(HighWord(wp))); return 0;
        case kMsgKeyDown: events.push_back("key " + std::to_string(wp)); return 0;
        default: return DefWindowProc(w, m, wp, lp);
    }
}

class LoopTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        events.clear();
        paintsLeftUnvalidated = 0;
        window = CreateWindow(WindowSpec{.text = "w", .rect = {0, 0, 240, 320}, .proc = &Proc});
        ValidateRect(window, nullptr);
    }
    Window window;
};

TEST_F(LoopTest, SentMessagesRunAtOncePostedOnesAfterTheHandler) {
    SendMessage(window, kMsgOuter, 0, 0);
    RunUntilIdle();
    EXPECT_EQ(events, (std::vector<std::string>{"outer begins", "sent", "outer ends", "posted 0"}));
}

TEST_F(LoopTest, PaintComesAfterPostedMessagesAndRepeatsUntilValidated) {
    std::uint32_t due;
    SetTimer(window, 9, 1);
    headless::SetTick(headless::Tick() + 5);  // the timer is due, but paint goes first
    InvalidateRect(window, nullptr, false);
    PostMessage(window, kMsgPosted, 1, 0);
    PostMessage(window, kMsgPosted, 2, 0);
    paintsLeftUnvalidated = 2;
    Message m;
    std::vector<std::string> order;
    for (int i = 0; i < 6 && PeekMessage(m, Window{}, 0, 0, true); ++i) DispatchMessage(m);
    ASSERT_GE(events.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + 6),
              (std::vector<std::string>{"posted 1", "posted 2", "paint", "paint", "paint", "timer 9 at 5"}));
    KillTimer(window, 9);
    EXPECT_FALSE(NextTimerDue(&due));
}

TEST_F(LoopTest, TimersFireInVirtualTimeInOrder) {
    SetTimer(window, 1, 100);
    SetTimer(window, 2, 250);
    Advance(500);
    EXPECT_EQ(events, (std::vector<std::string>{"timer 1 at 100", "timer 1 at 200", "timer 2 at 250", "timer 1 at 300",
                                                "timer 1 at 400", "timer 1 at 500", "timer 2 at 500"}));
}

TEST_F(LoopTest, KilledAndReplacedTimers) {
    SetTimer(window, 1, 100);
    SetTimer(window, 2, 100);
    EXPECT_TRUE(KillTimer(window, 1));
    EXPECT_FALSE(KillTimer(window, 1));   // harmless
    EXPECT_FALSE(KillTimer(window, 42));
    Advance(50);
    SetTimer(window, 2, 300);             // the new period counts from now
    Advance(400);
    EXPECT_EQ(events, (std::vector<std::string>{"timer 2 at 350"}));
}

TEST_F(LoopTest, ABusyLoopGetsOneTimerMessageNotABurst) {
    SetTimer(window, 1, 10);
    headless::SetTick(headless::Tick() + 1000);
    RunUntilIdle();
    EXPECT_EQ(events, (std::vector<std::string>{"timer 1 at 1000"}));
}

TEST_F(LoopTest, OnlyAnUnfilteredLookTakesTheQuitMessage) {
    PostMessage(window, kMsgPosted, 1, 0);
    PostQuitMessage(3);
    Message m;
    EXPECT_FALSE(PeekMessage(m, Window{}, kMsgKeyFirst, kMsgKeyLast, true));
    EXPECT_FALSE(PeekMessage(m, Window{}, kMsgPenFirst, kMsgPenLast, true));
    FlushMessages(kMsgPenFirst, kMsgPenLast);
    ASSERT_TRUE(PeekMessage(m, window, 0, 0, true));
    EXPECT_EQ(m.message, kMsgPosted);
    EXPECT_FALSE(PeekMessage(m, window, 0, 0, true));
    ASSERT_TRUE(PeekMessage(m, Window{}, 0, 0, false));
    EXPECT_EQ(m.message, kMsgQuit);
    EXPECT_FALSE(GetMessage(m));
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessage(m, Window{}, 0, 0, false));
}

TEST_F(LoopTest, FlushDropsPendingPenInputOnly) {
    headless::Schedule(InputEvent{.kind = InputKind::PenDown, .point = {5, 5}});
    headless::Schedule(InputEvent{.kind = InputKind::PenUp, .point = {5, 5}});
    headless::Schedule(InputEvent{.kind = InputKind::KeyDown, .key = kKeyDown});
    PostMessage(window, kMsgPosted, 1, 0);
    FlushMessages(kMsgPenFirst, kMsgPenLast);
    RunUntilIdle();
    // Input joins the queue when the loop looks for it, behind what was posted before.
    EXPECT_EQ(events, (std::vector<std::string>{"posted 1", "key 40"}));
}

TEST_F(LoopTest, EmptyPollMovesTheVirtualClockOneMillisecond) {
    Message m;
    const std::uint32_t before = headless::Tick();
    EXPECT_FALSE(PeekMessage(m, Window{}, 0, 0, true));
    EXPECT_EQ(headless::Tick(), before + 1);
}

TEST_F(LoopTest, PostFromAnotherThreadWakesABlockedWait) {
    std::thread poster([w = window] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        PostMessage(w, kMsgPosted, 7, 0);
    });
    Message m;
    ASSERT_TRUE(GetMessage(m));  // blocks: no timer, no script
    poster.join();
    EXPECT_EQ(m.message, kMsgPosted);
    EXPECT_EQ(m.wParam, 7u);
}

TEST_F(LoopTest, CaptureKeepsThePenWithTheWindowThatGotThePenDown) {
    const Window a = CreateWindow(WindowSpec{.parent = window, .text = "a", .rect = {10, 10, 50, 50}, .proc = &Proc});
    const Window b = CreateWindow(WindowSpec{.parent = window, .text = "b", .rect = {100, 10, 140, 50}, .proc = &Proc});
    ASSERT_TRUE(a && b);
    ValidateRect(a, nullptr);
    ValidateRect(b, nullptr);
    Drag({20, 20}, {120, 20}, 2, 100);
    EXPECT_EQ(events, (std::vector<std::string>{"a down 10,10", "a move 60,10", "a move 110,10", "a up 110,10"}));
    EXPECT_EQ(GetCapture(), Window{});
    events.clear();
    Tap({120, 20});
    EXPECT_EQ(events, (std::vector<std::string>{"b down 20,10", "b up 20,10"}));
}

TEST_F(LoopTest, KeyStateFollowsTheScript) {
    InputEvent down{.kind = InputKind::KeyDown, .key = kKeyUp, .time = headless::Tick() + 10};
    headless::Schedule(down);
    EXPECT_FALSE(AsyncKeyIsDown(kKeyUp));
    headless::SetTick(headless::Tick() + 10);
    EXPECT_TRUE(AsyncKeyIsDown(kKeyUp));
    EXPECT_FALSE(KeyIsDown(kKeyUp));  // not taken from the queue yet
    RunUntilIdle();
    EXPECT_TRUE(KeyIsDown(kKeyUp));
}

TEST_F(LoopTest, CtrlQAndTheCloseBoxSendCommandOneToTheMainWindow) {
    AcceleratorTable table{3, {Accelerator{.control = true, .key = 'Q', .command = 1}}};
    SetMainAccelerators(window, &table);
    SetFocus(window);
    Start();
    headless::KeyPress('Q', true);
    headless::RequestClose();
    headless::KeyPress('Q', false);
    EXPECT_EQ(events, (std::vector<std::string>{"key 17", "command 1/1", "command 1/1", "key 81"}));
}

}  // namespace
