#pragma once
// A top-level window whose DC is the shell's draw target, for the tests and benchmarks that
// draw on a window rather than on an offscreen picture, and its release.
#include "platform/gfx_context.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

inline void OpenDrawTargetWindow(const platform::Rect& rect, platform::Window& window, platform::Dc& dc) {
    platform::WindowSpec spec;
    spec.rect = rect;
    window = platform::CreateWindow(spec);
    dc = platform::GetWindowDc(window);
    SetDrawTarget(window, dc);
}

// The draw target is let go before the DC it draws through.
inline void CloseDrawTargetWindow(platform::Window window, platform::Dc dc) {
    ReleaseDrawTarget();
    platform::ReleaseDc(window, dc);
}
