#pragma once
// The headless backend and the driver that runs the program's loop without a screen.
//
// The backend: a virtual tick count and local time set by the caller, scripted input with
// virtual timestamps (delivered when the virtual clock reaches them; the key state
// follows the script), frames kept in memory, and every empty poll advancing the virtual
// clock by 1 ms.
//
// The driver runs the program (by default RunMessageLoop) on a thread of its own and
// hands control back and forth with the caller, one side at a time: the program runs
// until its loop would block (the idle hook), then the caller looks at windows, focus,
// the modal stack and the message boxes, scripts more input or advances the clock, and
// lets the program run again. A modal dialog's nested loop is idle like any other, so
// the caller can act while it is open. Used by tests (tests/support/headless_fixture.h)
// and by the program's --headless mode.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/surface.h"
#include "platform/types.h"

namespace platform::headless {

struct Options {
    std::filesystem::path home;  // empty: the home root is left as it is
    int scale = 1;
    int width = 0;               // 0: 240 * scale
    int height = 0;              // 0: 320 * scale
    LocalTime start{2024, 3, 20, 21, 30, 0, 0, 3};
    std::uint32_t startTick = 1000;
    DateOrder dateOrder = DateOrder::DayFirst;
};

// Resets the windows and the queue, installs the headless backend with the clock, screen
// and home of the options, and fixes the short-date order.
void Install(const Options& options);
// Stops a running program, resets the windows and returns to the plain backend, the
// default home and the locale's date order.
void Uninstall();
bool Installed();

// ---- The virtual clock -------------------------------------------------------------------

std::uint32_t Tick();
// Moves the clock without running anything (AdvanceTime runs the program meanwhile).
void SetTick(std::uint32_t tick);
// The local time now becomes `t`; it then moves with the tick count.
void SetLocalTime(const LocalTime& t);

// ---- Input ---------------------------------------------------------------------------------

// Schedules an event; its time is the tick at which it happens (0: now).
void Schedule(InputEvent e);
bool HasScriptedInput();
bool NextScriptedTime(std::uint32_t* tick);
// Where the pen is (the last pen event delivered or scheduled).
Point PenPosition();

// ---- Frames ----------------------------------------------------------------------------------

const Surface& Frame();          // the last frame presented
std::uint64_t FrameCount();

// ---- The driver ------------------------------------------------------------------------------

// Runs the program on the driver's thread until its loop first waits. An empty function
// runs RunMessageLoop.
void StartProgram(std::function<int()> program = {});
bool ProgramRunning();
// Lets the program run until it waits with nothing to do: no message, no due timer, no
// scripted input left (the clock moves on to scripted input that lies ahead). Without a
// running program the messages are pumped on the calling thread. False when the program
// has ended.
bool RunUntilIdle();
// Moves the virtual clock on by `ms`, stopping at every timer and scripted event on the
// way so that they happen in order, each at its time.
void AdvanceTime(std::uint32_t ms);
// Runs a function on the program's thread (through the queue), then runs until idle.
void Call(std::function<void()> fn);
// Ends the program cleanly: open modal loops are ended (kIdCancel), a pen still down is
// lifted, the quit message is posted and the program is run to its end. Returns its exit
// code (also when it had ended already).
int StopProgram();

// ---- Actions: schedule input at the current tick, then run until idle ------------------------

void PenDown(Point screen);
void PenMove(Point screen);
void PenUp(Point screen);
// Down and up at the point; the up comes `holdMs` later.
void Tap(Point screen, std::uint32_t holdMs = 0);
// Down at `from`, `steps` moves spread over `durationMs`, up at `to`.
void Drag(Point from, Point to, int steps, std::uint32_t durationMs);
void KeyDown(int key);
void KeyUp(int key);
// Down and up, with Ctrl held around it when asked.
void KeyPress(int key, bool control = false);
// Typed characters (Windows-1252).
void TypeText(std::string_view text);
// A key of the desktop keyboard as the window backend delivers it: the key down (key 0:
// a key without a code of its own, punctuation), the character it types (0: none), the
// key up; Ctrl held around it when asked.
void TypeKey(int key, char typed, bool control = false);
// The desktop window's close box.
void RequestClose();

}  // namespace platform::headless
