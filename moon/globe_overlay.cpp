#include "moon/globe_overlay.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/globe_view.h"
#include "core/settings.h"
#include "moon/globe_drawing.h"
#include "platform/gfx_context.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"

namespace {

// Grid points hide a little past the limb, so lines reach it.
constexpr int kGridHiddenDepth = 35;
constexpr int kGridStep = 15;

struct GridPoint {
    int x = 0, y = 0;
    bool visible = false;
};

GridPoint Project(const GlobeView& view, int longitude, int latitude, int cx, int cy, int radius) {
    const GlobeVector v = GlobeSurfaceVector(GlobeSinCos(latitude * kGlobeUnitsPerWholeDegree),
                                             GlobeSinCos(longitude * kGlobeUnitsPerWholeDegree));
    GridPoint p;
    p.visible = GlobeDepth(view, v) <= kGridHiddenDepth;
    p.x = cx + ((GlobeDot(view.p, v) * radius) >> 11);
    p.y = cy - ((GlobeDot(view.q, v) * radius) >> 11);
    return p;
}

void Text(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }

void AddLabel(GlobeGrid* grid, const char* text, const GridPoint& p, int cx, int cy) {
    if (grid->labelCount >= kGlobeGridMaxLabels) return;
    GlobeGridLabel& l = grid->labels[grid->labelCount++];
    const int dx = p.x > cx ? static_cast<int>(18 * screenScale.horizontal) : 0;
    const int dy = p.y > cy ? static_cast<int>(14 * screenScale.horizontal) : 0;
    l.x = p.x - dx;
    l.y = p.y - dy;
    l.afterSegment = grid->segmentCount;
    std::snprintf(l.text, sizeof l.text, "%s", text);
}

void AddSegment(GlobeGrid* grid, const GridPoint& a, const GridPoint& b) {
    if (grid->segmentCount >= kGlobeGridMaxSegments) return;
    grid->segments[grid->segmentCount++] = GlobeGridSegment{a.x, a.y, b.x, b.y};
}

int RadiusFor(double size) {
    const double r = size > 0.0 ? size * 90.0 + 0.5 : -size;
    if (!std::isfinite(r) || r >= kMaxGlobeCanvas) return 0;
    return static_cast<int>(r);
}

}  // namespace

void ComputeGlobeGrid(const GlobeView& view, int cx, int cy, int radius, int labels, GlobeGrid* grid) {
    grid->segmentCount = grid->labelCount = 0;
    char label[16];
    // Parallels, with their latitude labels at 0 and 180 (on -45 and 45) and the longitude
    // labels every 30 degrees (on -15).
    for (int latitude = -75; latitude <= 75; latitude += 30) {
        GridPoint last;
        for (int longitude = -180; longitude <= 180; longitude += kGridStep) {
            const GridPoint p = Project(view, longitude, latitude, cx, cy, radius);
            if (p.visible && last.visible) {
                AddSegment(grid, last, p);
                if (labels && (latitude == -45 || latitude == 45) && (longitude == 0 || longitude == 180)) {
                    std::snprintf(label, sizeof label, "%d\xB0%s", std::abs(latitude), latitude < 0 ? "N" : "S");
                    AddLabel(grid, label, p, cx, cy);
                }
                if (labels && latitude == -15 && longitude % 30 == 0) {
                    std::snprintf(label, sizeof label, "%d\xB0%s", std::abs(longitude), longitude < 0 ? "W" : "E");
                    AddLabel(grid, label, p, cx, cy);
                }
            }
            last = p;
        }
    }
    // Meridians: each traces the great circle of its longitude and the opposite one.
    for (int longitude = -90; longitude <= 60; longitude += 30) {
        GridPoint last;
        for (int latitude = -180; latitude <= 180; latitude += kGridStep) {
            const GridPoint p = Project(view, longitude, latitude, cx, cy, radius);
            if (p.visible && last.visible) AddSegment(grid, last, p);
            last = p;
        }
    }
}

void FormatGlobeDataLines(double b, double c, double size, char lines[3][48]) {
    std::snprintf(lines[0], 48, "Angle of North Pole (\xB0): %.1f", b);
    std::snprintf(lines[1], 48, "Diameter (arcsec): %.1f", size * 60.0);
    std::snprintf(lines[2], 48, "%s", c > 5.0 ? "North Pole visible." : (c < -5.0 ? "South Pole visible." : ""));
}

void DrawGlobeOverlay(int left, int top, int width, int height, double a, double b, double c, double size,
                      int labels) {
    const int radius = RadiusFor(size);
    if (radius < 1 || width < 1 || height < 1 || width > kMaxGlobeCanvas || height > kMaxGlobeCanvas) return;
    const bool night = preferences.word[pref::nightMode] != 0;
    const platform::Color nightRed = platform::Rgb(GetNightLevel(), 0, 0);
    const platform::Color background = labels && !night ? platform::Rgb(255, 255, 255) : platform::Rgb(0, 0, 0);
    const platform::Color text =
        night ? nightRed : (labels ? platform::Rgb(0, 0, 0) : platform::Rgb(240, 200, 0));
    const platform::Color lines =
        night ? nightRed : (labels ? platform::Rgb(0, 0, 0) : platform::Rgb(255, 255, 255));

    // Drawn on an offscreen copy of the rectangle, then copied back in one piece; straight
    // into the window, clipped, when no offscreen can be made.
    DrawWindow* target = GetDrawWindow();
    DrawWindow* off = CreateOffscreenDIB(width, height, 16);
    DrawWindow* previous = nullptr;
    int ox = left, oy = top;
    if (off) {
        CopyBits(target, off, Bounds{left, top, width, height}, 0, 0, 0);
        previous = SetDrawWindow(off);
        ox = oy = 0;
    } else {
        ClipRectangle(Bounds{left, top, width, height});
    }

    SetForeColor(background);
    const double sh = screenScale.horizontal, sv = screenScale.vertical;
    const int corner = height > 120 * sh ? width / 2 - static_cast<int>(2 * sh) : 0;
    DrawRectangle(Bounds{ox, oy, width, height}, corner);
    const int cx = ox + width / 2, cy = oy + height / 2;

    SetTextColor(text);
    if (size > 0.0) {
        const int line = static_cast<int>(10 * sv);
        char data[3][48];
        FormatGlobeDataLines(b, c, size, data);
        for (int i = 0; i < 3; ++i)
            if (data[i][0]) Text(data[i], ox + 1, oy + 1 + i * line);
    }

    SetForeColor(lines);
    DrawCircle(cx, cy, radius);
    const GlobeView view = MakeGlobeView(a, b, -c);
    sphereView.view = view;
    sphereView.radius = static_cast<std::int16_t>(radius);
    sphereView.xScale = sphereView.yScale = static_cast<std::int16_t>(radius);

    GlobeGrid grid;
    ComputeGlobeGrid(view, cx, cy, radius, labels, &grid);
    int label = 0;
    for (int i = 0; i <= grid.segmentCount; ++i) {
        for (; label < grid.labelCount && grid.labels[label].afterSegment == i; ++label)
            Text(grid.labels[label].text, grid.labels[label].x, grid.labels[label].y);
        if (i == grid.segmentCount) break;
        const GlobeGridSegment& g = grid.segments[i];
        DrawLine(g.x0, g.y0, g.x1, g.y1);
    }

    if (off) {
        SetDrawWindow(previous);
        CopyBits(off, previous, Bounds{0, 0, width, height}, left, top, 0);
        DeleteOffscreen(off);
    } else {
        ResetClip();
    }
    SetForeColor(background);
    if (!night) SetBackColor(platform::Rgb(0, 0, 0));
}
