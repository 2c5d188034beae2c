#include "planets/mars_view.h"

#include <cstdio>
#include <cstring>

#include "chart/star_layers.h"
#include "core/calendar.h"
#include "core/number_text.h"
#include "core/settings.h"
#include "moon/angle_icons.h"
#include "moon/globe_drawing.h"
#include "moon/globe_overlay.h"
#include "platform/gfx_context.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/fonts.h"

namespace {

using platform::Color;
using platform::Rgb;

constexpr int kMoonLabelFont = 4;

int ScaleX() { return static_cast<int>(screenScale.horizontal); }
int ScaleY() { return static_cast<int>(screenScale.vertical); }

void DrawText(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }

// Whether the last view page drew its textured globe: a tap is only answered from that
// globe's projection.
bool globeDrawn_ = false;

// The top of the page's lower part: below the orientation globe when the page is tall
// enough for it.
int LowerTop(int y, int height) {
    const int v = ScaleY();
    return height > 240 * v ? y + 12 * v + 84 * v : y + 5 * v;
}

void DrawMoon(int i, int cx, int cy, const double* x, const double* y, int xSign, int ySign, const Color* colours) {
    const int px = cx + static_cast<int>(x[i] * xSign);
    const int py = cy + static_cast<int>(y[i] * ySign);
    DrawStar(nullptr, 5, 6, i == 0 ? 0 : 3, px, py);
    SetTextColor(colours[i]);
    DrawText(i == 0 ? "P" : "D", px, py + 2);
}

// A data line from `left`, moved left as far as needed to end inside the page.
void DrawDataLine(const char* text, int left, int right, int y) {
    const int length = static_cast<int>(std::strlen(text));
    const int width = CharsWidth(text, length);
    DrawString(text, length, left + width > right - 2 ? right - 2 - width : left, y);
}

// Draws a globe through `draw` (which draws around the given centre in the current draw
// window) into an offscreen, mirrors it for the orientation and lays it on the page with
// black transparent, so the square of the globe does not blank what lies beside the disc.
template <typename Draw>
void DrawMirroredGlobe(int left, int top, int size, int flipX, int flipY, Draw draw) {
    DrawWindow* const page = GetCurrentDrawWindow();
    DrawWindow* canvas = CreateOffscreenDIB(size, size, 16);
    if (!canvas) return;
    DrawWindow* const previous = SetDrawWindow(canvas);
    const Color fore = SetForeColor(Rgb(0, 0, 0));
    DrawRectangle(Bounds{0, 0, size, size}, 0);
    SetForeColor(fore);
    draw(size / 2, size / 2);
    SetDrawWindow(previous);
    if (flipX || flipY) canvas = MirrorOffscreen(canvas, flipX, flipY);
    canvas->transparentColour = Rgb(0, 0, 0);
    CopyBits(canvas, page, Bounds{0, 0, size, size}, left, top, kDrawTransparent);
    DeleteOffscreen(canvas);
}

}  // namespace

MarsOrientation MarsViewOrientation(int row) {
    switch (row) {
    case 1: return {-1, 1};
    case 2: return {-1, -1};
    case 3: return {1, -1};
    default: return {1, 1};
    }
}

void DrawMarsMoons(int year, int month, int day, int hour, int minute, int x, int y, int width, int height,
                   double outX[kMarsMoonCount], double outY[kMarsMoonCount], int visible[kMarsMoonCount], int draw,
                   const Color colours[5], int xSign, int ySign) {
    const double jd = DateTimeToJD(year, month, day, hour, minute, 0, observerLocation.zoneMinutes);
    MarsAspect aspect{};
    ComputeMarsAspect(jd, &aspect);
    ComputeMarsMoonOffsets(jd, aspect, outX, outY, visible);
    if (!draw) return;

    const Bounds panel{x, y, width, height};
    const Color previousFore = SetForeColor(Rgb(0, 0, 0));
    DrawRectangle(panel, 0);
    ClipRectangle(panel);
    const int previousFont = SetFont(kMoonLabelFont);
    const int previousTransparent = SetTextTransparent(1);
    const Color previousText = SetTextColor(colours[0]);
    DrawText("Phobos", x + 5 * ScaleX(), y);
    SetTextColor(colours[1]);
    DrawText("Deimos", x + 55 * ScaleX(), y);

    const int cx = x + width / 2, cy = y + height / 2;
    // Behind the disc first, then the disc over them, then the moons in front.
    for (int i = 0; i < kMarsMoonCount; ++i)
        if (!visible[i]) DrawMoon(i, cx, cy, outX, outY, xSign, ySign, colours);
    DrawAngleIcon(cx - 10, cy - 10, static_cast<int>(aspect.centralMeridian));
    for (int i = 0; i < kMarsMoonCount; ++i)
        if (visible[i]) DrawMoon(i, cx, cy, outX, outY, xSign, ySign, colours);

    SetTextColor(previousText);
    SetTextTransparent(previousTransparent);
    SetFont(previousFont);
    // No clip of our own left behind (ResetClip would clip an offscreen to nothing).
    platform::SelectClip(GetDrawDC(), platform::GfxObject{});
    SetForeColor(previousFore);
}

void DrawMarsView(int x, int y, int width, int height, int year, int month, int day, int hour, int minute,
                  const Color colours[5], int orientation) {
    const int h = ScaleX(), v = ScaleY();
    const bool night = preferences.word[pref::nightMode] != 0;
    const Color text = night ? Rgb(GetNightLevel(), 0, 0) : Rgb(230, 200, 0);
    const Color previousFore = SetForeColor(Rgb(0, 0, 0));
    const Color previousBack = SetBackColor(Rgb(0, 0, 0));
    const Color previousText = SetTextColor(text);
    const int previousTransparent = SetTextTransparent(1);
    DrawRectangle(Bounds{x, y, width, height}, 0);

    float cm = 0, pa = 0, de = 0;
    ComputeMarsPhysicalEphemeris(year, month, day, hour, minute, &cm, &pa, &de);
    const MarsOrientation signs = MarsViewOrientation(orientation);
    const int flipX = signs.xSign < 0, flipY = signs.ySign < 0;

    // The orientation globe above, when the page is tall enough for it.
    const int top = LowerTop(y, height);
    if (height > 240 * v) {
        DrawText("Orientation:", x + h, y + v);
        const int size = 84 * v;
        DrawMirroredGlobe(x + (width / 2 - size) / 2, y + 12 * v, size, flipX, flipY, [&](int cx, int cy) {
            DrawGlobeOverlay(cx - size / 2, cy - size / 2, size, size, cm, pa, de, -(size / 2 - 2 * v), 0);
        });
    }
    // The moons on the right half, with the orientation's signs; the textured globe reaches
    // over the panel's left edge on a narrow page, so it is laid over the panel after it.
    const int half = x + width / 2;
    SetTextColor(text);
    DrawText("Satelites positions:", half, top);
    double mx[kMarsMoonCount], my[kMarsMoonCount];
    int visible[kMarsMoonCount];
    DrawMarsMoons(year, month, day, hour, minute, half, top + 14 * v, width / 2, 120, mx, my, visible, 1, colours,
                  signs.xSign, signs.ySign);

    SetTextColor(text);
    DrawText("View of Mars:", x + 5 * h, top);
    const Bounds globe = MarsViewGlobeBounds(x, y, width, height);
    globeDrawn_ = false;
    DrawMirroredGlobe(globe.x, globe.y, globe.width, flipX, flipY, [&](int cx, int cy) {
        globeDrawn_ = DrawPlanetTexture(kMarsMapId, cx, cy, cm, pa, de, 60.0 * h, 1.0) != 0;
    });

    char line[64], number[32];
    SetTextColor(text);
    FormatFixed(number, pa + 0.05, 1);
    std::snprintf(line, sizeof line, "Axis (\xB0): %s", number);
    DrawDataLine(line, half + 49, x + width, y + height - 26 * v);
    FormatFixed(number, cm + 0.05, 1);
    std::snprintf(line, sizeof line, "Meridian Long. (\xB0): %s", number);
    DrawDataLine(line, half + 49, x + width, y + height - 13 * v);

    SetTextTransparent(previousTransparent);
    SetTextColor(previousText);
    SetBackColor(previousBack);
    SetForeColor(previousFore);
}

Bounds MarsViewGlobeBounds(int x, int y, int width, int height) {
    (void)width;
    const int size = 2 * 60 * ScaleX() + 4;
    return Bounds{x + 80 * ScaleX() - size / 2, LowerTop(y, height) + 93 * ScaleY() - size / 2, size, size};
}

int ShowMarsViewRegion(int x, int y, int width, int height, int orientation, int tapX, int tapY) {
    const Bounds globe = MarsViewGlobeBounds(x, y, width, height);
    if (!globeDrawn_ || !PointInRect(tapX, tapY, globe)) return 0;
    const int cx = globe.x + globe.width / 2, cy = globe.y + globe.height / 2;
    MarsFeatureRecord record;
    const MarsOrientation signs = MarsViewOrientation(orientation);
    if (signs.xSign > 0 && signs.ySign > 0) return ShowTappedRegionName(&record, cx, cy, tapX, tapY);
    // The globe was drawn upright and mirrored afterwards: the tap goes back the same way,
    // the region is looked up on a scratch page, and its name is written, readable, where
    // the mirrored globe shows the region.
    auto mirror = [&](int* px, int* py) {
        if (signs.xSign < 0) *px = globe.x + globe.width - 1 - (*px - globe.x);
        if (signs.ySign < 0) *py = globe.y + globe.height - 1 - (*py - globe.y);
    };
    mirror(&tapX, &tapY);
    DrawWindow* scratch = CreateOffscreenDIB(globe.x + globe.width, globe.y + globe.height, 16);
    if (!scratch) return 0;
    DrawWindow* const page = SetDrawWindow(scratch);
    const int found = ShowTappedRegionName(&record, cx, cy, tapX, tapY);
    SetDrawWindow(page);
    DeleteOffscreen(scratch);
    int nameX = 0, nameY = 0;
    if (!found || !ProjectSpherePoint(&nameX, &nameY, cx, cy, -static_cast<int>(record.longitude),
                                      static_cast<int>(record.latitude)))
        return found;
    mirror(&nameX, &nameY);
    const Color text = SetTextColor(Rgb(255, 255, 255));
    const Color back = SetBackColor(Rgb(0, 0, 0));
    const int transparent = SetTextTransparent(0);
    const int font = GetDpiFactor() > 1 ? SetFont(5) : GetFont();
    DrawStringNoFont(record.name, static_cast<int>(std::strlen(record.name)), nameX, nameY);
    SetFont(font);
    SetTextTransparent(transparent);
    SetBackColor(back);
    SetTextColor(text);
    return 1;
}
