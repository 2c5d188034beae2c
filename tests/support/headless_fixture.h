#pragma once
// A test fixture that runs the platform headless: a temporary home, the virtual clock,
// the chosen screen scale, and the driver's actions. Later form tests derive from it:
//
//   class HomeFormTest : public HeadlessFixture {};
//   TEST_F(HomeFormTest, TapOpensSite) {
//       Start([] { return RunTheProgram(); });   // or Start() for a bare message loop
//       TapWindow(platform::GetDialogItem(form, 1201));
//       Advance(1000);
//       EXPECT_EQ(Boxes().size(), 1u);
//   }
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/headless.h"
#include "platform/message_box.h"
#include "platform/window.h"

class HeadlessFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // What SetUp installs; derived fixtures change it before calling SetUp, or call
    // Reinstall() later.
    platform::headless::Options options;
    void Reinstall();

    // The temporary home of this test (removed at the end).
    std::filesystem::path home;

    void Start(std::function<int()> program = {}) { platform::headless::StartProgram(std::move(program)); }
    int Stop() { return platform::headless::StopProgram(); }
    bool RunUntilIdle() { return platform::headless::RunUntilIdle(); }
    void Advance(std::uint32_t ms) { platform::headless::AdvanceTime(ms); }
    void Call(std::function<void()> fn) { platform::headless::Call(std::move(fn)); }

    void Tap(platform::Point screen, std::uint32_t holdMs = 0) { platform::headless::Tap(screen, holdMs); }
    // Taps the middle of a window (screen coordinates worked out from its rectangle).
    void TapWindow(platform::Window w, std::uint32_t holdMs = 0);
    void Drag(platform::Point from, platform::Point to, int steps = 4, std::uint32_t ms = 100) {
        platform::headless::Drag(from, to, steps, ms);
    }
    void Key(int key, bool control = false) { platform::headless::KeyPress(key, control); }
    void Type(const std::string& text) { platform::headless::TypeText(text); }

    // Message boxes shown so far, and scripted answers for the next ones.
    const std::vector<platform::ShownBox>& Boxes() const { return platform::ShownBoxes(); }
    void Answer(int answer) { platform::QueueBoxAnswer(answer); }

    // Where the middle of a window lies on the screen.
    static platform::Point Middle(platform::Window w);
};
