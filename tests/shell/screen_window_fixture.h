#pragma once
// A bare window of the design size as the draw target, in day colours and without a
// message loop, for the tests of the drawing helpers.
#include <gtest/gtest.h>

#include "core/settings.h"
#include "platform/gfx_context.h"
#include "platform/message_box.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"
#include "support/draw_target_window.h"

class ScreenWindowTest : public ::testing::Test {
protected:
    // A window of 240 x 320 design pixels at `scale`, alone on the screen, filled with the
    // back colour and made the draw target.
    void OpenScreen(int scale) {
        platform::ResetWindows();
        platform::SetScreenGeometry(scale, 0, 0);
        platform::ClearShownBoxes();
        preferences.word[pref::nightMode] = 0;
        InitScreenScale();
        CreateSchemeBrushes();
        OpenDrawTargetWindow(platform::Rect{0, 0, 240 * scale, 320 * scale}, window, dc);
        platform::FillRect(dc, platform::GetClientRect(window), GetBackBrush());
    }
    void CloseScreen() {
        CloseDrawTargetWindow(window, dc);
        platform::ResetWindows();
        preferences.word[pref::nightMode] = 0;
        DeleteSchemeBrushes();
    }
    // The colour of the window's pixel at client point (x, y).
    platform::Color Screen(int x, int y) const {
        const platform::Surface* s = platform::WindowSurface(window);
        const platform::Point o = platform::WindowOrigin(window);
        return platform::PixelToColor(s->Row(y + o.y)[x + o.x]);
    }

    platform::Window window;
    platform::Dc dc;
};
