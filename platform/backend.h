#pragma once
// The seam between the window core and what lies outside it: input, the frame out, the
// clock and the key state. A backend is a record of functions; the headless backend
// (platform/headless.h) serves tests and scripted runs, the SDL backend a real window.
#include <cstdint>

#include "platform/surface.h"
#include "platform/types.h"

namespace platform {

// The local civil time of the machine (or of the virtual clock).
struct LocalTime {
    int year = 2000;
    int month = 1;        // 1-12
    int day = 1;          // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int dayOfWeek = 6;    // 0 = Sunday
    friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

enum class InputKind : std::uint8_t {
    PenDown,
    PenMove,    // only while the pen is down
    PenUp,
    KeyDown,    // key: a key code of platform/messages.h
    KeyUp,
    Char,       // character: one typed Windows-1252 character
    Close,      // the desktop window's close box
};

struct InputEvent {
    InputKind kind = InputKind::PenDown;
    Point point{};               // screen coordinates, for pen events
    int key = 0;
    unsigned char character = 0;
    std::uint32_t time = 0;      // tick count of the event
};

struct Backend {
    // Takes the next pending input event, if any; never blocks.
    bool (*pollInput)(InputEvent* out) = nullptr;
    // Waits until input is pending, `timeoutMs` has passed (-1: no limit) or wake() was
    // called. A timeout of 0 is an empty poll.
    void (*waitInput)(int timeoutMs) = nullptr;
    // Ends a wait early; callable from any thread.
    void (*wake)() = nullptr;
    // Shows the composed screen.
    void (*present)(const Surface& screen) = nullptr;
    // Milliseconds since some start; wraps after 49 days like any 32-bit tick count.
    std::uint32_t (*tickCount)() = nullptr;
    LocalTime (*localTime)() = nullptr;
    // Whether a key (or kKeyPen) is down now, as the input source sees it.
    bool (*keyIsDown)(int key) = nullptr;
    // Optional: bring the desktop window to the front.
    void (*raise)() = nullptr;
};

// The backend in use. Until one is set, a plain one serves: real clock, no input, frames
// dropped. The record must outlive its use; setting null returns to the plain one.
void SetBackend(const Backend* backend);
const Backend& CurrentBackend();

}  // namespace platform
