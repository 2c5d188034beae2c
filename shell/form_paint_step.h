#pragma once
// A step of a form run outside its paint (a command, a key, a pen move) that draws on the
// form's own window: the window becomes the draw target for the step, and what the step
// leaves on screen becomes the saved screen the form repaints from.
#include "platform/gfx_context.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

template <typename Step>
void DrawOnForm(platform::Window w, Step step) {
    // A form closed under a modal dialog (the program quitting) has nothing left to draw on.
    if (!platform::IsWindow(w)) return;
    const platform::Dc dc = platform::GetWindowDc(w);
    SetDrawTarget(w, dc);
    step();
    // The step may have closed the form (Ok, Cancel, a switch): nothing of it is left to keep.
    if (platform::IsWindow(w)) SaveScreen();
    platform::ReleaseDc(w, dc);
}
