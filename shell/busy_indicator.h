#pragma once
// The busy indicator of long computations, behind ShowBusy and HideBusy ("core/report.h"):
// each step starts it and moves it on one frame (a small animation in the middle of the screen, over a saved copy of
// what it covers), HideBusy puts the screen back. While the satellites form is open the
// indicator is the wait cursor instead (SetTrackingFlag(1)).
#include "core/report.h"
#include "shell/draw_targets.h"

struct BusyIndicator {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int savedCursor = 0;        // 1 while the wait cursor replaces the normal one
    int active = 0;
    DrawWindow* savedRect = nullptr;
    int mode = 0;               // 1: the wait cursor instead of the animation
    int frame = 0;              // 0..9, kept between uses
};
extern BusyIndicator busyIndicator;

constexpr int kBusyFirstFrame = 6081;  // bitmaps 6081 to 6090
constexpr int kBusyFrames = 10;

// ShowBusy: a 0 flag does nothing.
void StepBusyIndicator(int flag);
// HideBusy: removes the indicator (the flag is not used).
void RemoveBusyIndicator(int flag);
void SetTrackingFlag(int flag);
// BusyCancelRequested: an Escape or a tap that came while the indicator is up (the input
// of that time is taken: nothing else can use it while the program waits).
bool BusyCancelAsked();
