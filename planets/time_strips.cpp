#include "planets/time_strips.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "astro/planet_positions.h"
#include "astro/planetary_theory.h"
#include "chart/chart_overlays.h"
#include "core/calendar.h"
#include "core/report.h"
#include "core/settings.h"
#include "moon/globe_overlay.h"
#include "planets/jupiter_view.h"
#include "planets/mars_ephemeris.h"
#include "planets/mars_view.h"
#include "planets/planet_view_form.h"
#include "planets/planet_view_state.h"
#include "planets/saturn_view.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/utilities.h"

namespace {

using platform::Color;

int Sx(int v) { return static_cast<int>(v * screenScale.horizontal); }
int Sy(int v) { return static_cast<int>(v * screenScale.vertical); }

// The band saved under the cursor.
struct CursorBand {
    DrawWindow* saved = nullptr;
    int y = -1;
};
CursorBand cursorBand;

constexpr int kBandRows = 3;

int StripeWidth(int mode) {
    switch (mode) {
    case kJupiterMode: return Sx(5);
    case kSaturnMode: return Sx(6);
    default: return Sx(10);
    }
}

std::int64_t RowMinutes(const StripLayout& layout, int rows) {
    const std::int64_t perUnit = layout.longStrip ? 366LL * 1440 : 1440;
    return rows * perUnit / layout.rowsPerUnit;
}

StripInstant After(const StripInstant& first, std::int64_t minutes) {
    StripInstant t = first;
    AddMinutes(&t.year, &t.month, &t.day, &t.hour, &t.minute, static_cast<int>(minutes));
    return t;
}

// The first instant of the strip for the form's date.
StripInstant StripStart(const StripLayout& layout) {
    const PlanetViewState& v = planetView;
    StripInstant first{v.year, v.month, v.day, 0, 0};
    if (layout.longStrip) first.month = first.day = 1;
    return first;
}

Bounds ViewArea(const StripLayout& layout, int width, int height) {
    const int top = layout.top + layout.height;
    return Bounds{0, top, width, std::max(0, height - Sy(22) - top)};
}

int ClientWidth() { return planetView.screenWidth > 0 ? planetView.screenWidth : Sx(240); }
int ClientHeight() { return planetView.screenHeight > 0 ? planetView.screenHeight : Sy(320); }

StripLayout CurrentLayout() {
    const PlanetViewState& v = planetView;
    return GetStripLayout(v.mode, v.subView, v.span, ClientHeight());
}

// Up to five curve offsets (pixels from the centre) at an instant; shown[i] false draws
// nothing for that curve. Returns the number of curves.
int StripCurves(const StripInstant& t, double offsets[5], bool shown[5], Color colours[5]) {
    const PlanetViewState& v = planetView;
    const int dpi = GetDpiFactor();
    std::fill(shown, shown + 5, true);
    switch (v.mode) {
    case kJupiterMode: {
        double x[kGalileanCount];
        int codes[kGalileanCount];
        DrawJupiter(0, 0, t.year, t.month, t.day, t.hour, t.minute, x, nullptr, codes, 0, v.xSign, v.ySign);
        for (int i = 0; i < kGalileanCount; ++i) {
            offsets[i] = -2.0 * dpi * x[i];
            shown[i] = codes[i] != kEclipse && codes[i] != kOccultation;
            colours[i] = v.satelliteColours[i];
        }
        return kGalileanCount;
    }
    case kSaturnMode: {
        double x[kSaturnViewMoons], y[kSaturnViewMoons];
        int codes[kSaturnViewMoons];
        DrawSaturn(t.year, t.month, t.day, t.hour, t.minute, 0, 0, 0, 0, x, y, codes,
                   v.subView == 0 ? kSaturnCompute : 1, v.satelliteColours, v.xSign, v.ySign);
        for (int i = 0; i < kSaturnViewMoons; ++i) {
            offsets[i] = x[i];
            shown[i] = v.subView != 0 || (codes[i] != kEclipse && codes[i] != kOccultation);
            colours[i] = v.satelliteColours[i];
        }
        return kSaturnViewMoons;
    }
    case kMarsMode: {
        if (v.subView == 0) {
            double x[kMarsMoonCount], y[kMarsMoonCount];
            int visible[kMarsMoonCount];
            DrawMarsMoons(t.year, t.month, t.day, t.hour, t.minute, 0, 0, 0, 0, x, y, visible, 0, v.satelliteColours,
                          v.xSign, v.ySign);
            for (int i = 0; i < kMarsMoonCount; ++i) {
                offsets[i] = x[i];
                shown[i] = visible[i] != 0;
                colours[i] = v.satelliteColours[i];
            }
            return kMarsMoonCount;
        }
        BodyRecord mars{};
        ComputePlanet(&mars, kBodyMars, t.year, t.month, t.day, t.hour, t.minute, 0);
        const double half = static_cast<int>(80 * mars.diameter + 0.5) * dpi;
        offsets[0] = half, offsets[1] = -half;
        colours[0] = colours[1] = v.satelliteColours[1];
        return 2;
    }
    case kPhaseMode: {
        const int body = kBodyMercury + v.subView;
        float positions[kOrbitBodyCount][3] = {};
        float equatorial[kOrbitBodyCount][2] = {};
        PlanetOrbitPosition(t.year, t.month, t.day, t.hour, t.minute, observerLocation.zoneMinutes, positions,
                            equatorial, kOrbitDistances, body, body);
        const double distance = positions[body][0];
        double magnitude = 0, fraction = 1, elongation = 0;
        PlanetPhase(body, distance, positions[body][1], positions[body][2], &magnitude, &fraction, &elongation);
        const double size = static_cast<int>(ApparentDiameter(body, distance) * 60 + 0.5);
        const double phase = static_cast<int>(60 * fraction + 0.5);
        offsets[0] = size, offsets[1] = -size, offsets[2] = phase, offsets[3] = -phase;
        colours[0] = colours[1] = v.satelliteColours[3];
        colours[2] = colours[3] = v.satelliteColours[1];
        return 4;
    }
    default: return 0;
    }
}

Color OddBandColour() {
    return preferences.word[pref::nightMode] != 0 ? platform::Rgb(0, 0, 0) : platform::Rgb(255, 255, 255);
}

void DrawText(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }

// The bands and their labels; returns nothing, draws over the strip area.
void DrawBands(const StripLayout& layout, int width) {
    const PlanetViewState& v = planetView;
    const int units = layout.height / layout.rowsPerUnit;
    const bool labelled = v.span == 0;
    const int perUnit = labelled ? (layout.longStrip ? 12 : 4) : 1;
    const int bands = std::max(1, units) * perUnit;
    static constexpr const char* kMonths[12] = {"J", "F", "M", "A", "M", "J", "J", "A", "S", "O", "N", "D"};
    for (int b = 0; b < bands; ++b) {
        const int y0 = layout.top + b * layout.rowsPerUnit / perUnit;
        const int y1 = layout.top + (b + 1) * layout.rowsPerUnit / perUnit;
        SetForeColor(b % 2 == 0 ? v.colours.lightBand : OddBandColour());
        DrawRectangle(Bounds{0, y0, width, y1 - y0}, 0);
        if (!labelled) continue;
        char text[8];
        if (layout.longStrip) std::snprintf(text, sizeof text, "%s", kMonths[b % 12]);
        else std::snprintf(text, sizeof text, "%dh", (b % 4) * 6);
        DrawText(text, width - Sx(15), y0);
    }
}

// The view area for an instant, with the orientation signs and satellite colours.
void DrawViewArea(const StripLayout& layout, const StripInstant& t) {
    PlanetViewState& v = planetView;
    const Bounds area = ViewArea(layout, ClientWidth(), ClientHeight());
    switch (v.mode) {
    case kJupiterMode:
        DrawJupiter(area.width, area.y, t.year, t.month, t.day, t.hour, t.minute, nullptr, nullptr, nullptr, 1, v.xSign,
                    v.ySign);
        break;
    case kSaturnMode: {
        double x[kSaturnViewMoons], y[kSaturnViewMoons];
        int codes[kSaturnViewMoons];
        DrawSaturn(t.year, t.month, t.day, t.hour, t.minute, area.x, area.y, area.width, area.height, x, y, codes,
                   v.subView == 0 ? kSaturnSatellites : kSaturnRings, v.satelliteColours, v.xSign, v.ySign);
        break;
    }
    case kMarsMode: {
        if (v.subView == 0) {
            double x[kMarsMoonCount], y[kMarsMoonCount];
            int visible[kMarsMoonCount];
            DrawMarsMoons(t.year, t.month, t.day, t.hour, t.minute, area.x, area.y, area.width, area.height, x, y,
                          visible, 1, v.satelliteColours, v.xSign, v.ySign);
            break;
        }
        float cm = 0, pa = 0, de = 0;
        ComputeMarsPhysicalEphemeris(t.year, t.month, t.day, t.hour, t.minute, &cm, &pa, &de);
        BodyRecord mars{};
        ComputePlanet(&mars, kBodyMars, t.year, t.month, t.day, t.hour, t.minute, 0);
        SetForeColor(v.colours.darkBackground);
        DrawRectangle(area, 0);
        DrawGlobeOverlay(area.x, area.y, area.width, area.height, cm, pa, de, mars.diameter, 1);
        break;
    }
    case kPhaseMode: {
        SetForeColor(platform::Rgb(0, 0, 0));
        DrawRectangle(area, 0);
        const int radius = Sy(43);
        int percent = 0, size = 0, elongation = 0;
        DrawBodyPhaseDisc(kBodyMercury + v.subView, t.year, t.month, t.day, t.hour, t.minute, 2 * radius, 2 * radius,
                          area.x + area.width / 2, area.y + area.height / 2, &percent, &size, &elongation);
        const int previousTransparent = SetTextTransparent(1);
        const Color previousText = SetTextColor(v.satelliteColours[1]);
        char text[32];
        const int line = Sy(13);
        std::snprintf(text, sizeof text, "Phase %d%%", percent);
        DrawText(text, Sx(2), area.y + Sy(2));
        SetTextColor(v.satelliteColours[3]);
        std::snprintf(text, sizeof text, "Size %d''", size);
        DrawText(text, Sx(2), area.y + Sy(2) + line);
        SetTextColor(v.satelliteColours[0]);
        std::snprintf(text, sizeof text, "Elong: %d\xB0", elongation);
        DrawText(text, Sx(2), area.y + Sy(2) + 2 * line);
        SetTextColor(previousText);
        SetTextTransparent(previousTransparent);
        break;
    }
    default: break;
    }
}

void DrawStripe(const StripLayout& layout, int width) {
    const int stripe = StripeWidth(planetView.mode);
    SetForeColor(planetView.colours.planetStripe);
    DrawRectangle(Bounds{width / 2 - stripe / 2, layout.top, stripe, layout.height}, 0);
}

void ShowFields(const StripInstant& t) {
    char text[40];
    FormatDate(text, t.day, t.month, t.year);
    SetField(planet_view_form::kDate, text);
    std::snprintf(text, sizeof text, "%02d:%02d", t.hour % 100, t.minute % 100);
    SetField(planet_view_form::kTime, text);
}

}  // namespace

bool IsLongStrip(int mode, int subView) {
    return (mode == kSaturnMode && subView == 1) || (mode == kMarsMode && subView == 3) || mode == kPhaseMode;
}

bool IsStripSubView(int mode, int subView) {
    if (mode == kPhaseMode) return true;
    if (subView == 0) return true;
    return (mode == kSaturnMode && subView == 1) || (mode == kMarsMode && subView == 3);
}

StripLayout GetStripLayout(int mode, int subView, int span, int clientHeight) {
    StripLayout layout;
    const int s = Sy(1) > 0 ? Sy(1) : 1;
    layout.top = Sy(24);
    layout.height = clientHeight - Sy(86) - Sy(22) - Sy(24);
    if (mode == kPhaseMode) layout.height += Sy(20);
    else if (mode == kMarsMode && subView == 3) layout.height -= Sy(23);
    layout.height = std::max(layout.height, 1);
    switch (span) {
    case 0: layout.rowsPerUnit = layout.height; break;
    case 1: layout.rowsPerUnit = layout.height / 2; break;
    case 2: layout.rowsPerUnit = layout.height / 4; break;
    default: layout.rowsPerUnit = 14 * s; break;
    }
    // A client area too short for one row per unit still draws.
    layout.rowsPerUnit = std::max(layout.rowsPerUnit, 1);
    layout.rowStep = mode == kJupiterMode || mode == kSaturnMode ? 2 : 1;
    layout.longStrip = IsLongStrip(mode, subView);
    return layout;
}

bool StripRowInstant(const StripLayout& layout, int y, const StripInstant& first, StripInstant* out) {
    if (y < layout.top || y >= layout.top + layout.height) return false;
    const std::int64_t rows = y - layout.top;
    std::int64_t minutes;
    if (layout.longStrip) {
        // The cursor counts 365 days a unit; rounded up so that the row comes back.
        const std::int64_t days = (rows * 365 + layout.rowsPerUnit - 1) / layout.rowsPerUnit;
        minutes = days * 1440;
    } else {
        const std::int64_t days = rows / layout.rowsPerUnit;
        const std::int64_t inDay = rows - days * layout.rowsPerUnit;
        minutes = days * 1440 + (inDay * 1440 + layout.rowsPerUnit - 1) / layout.rowsPerUnit;
    }
    *out = After(first, minutes);
    return true;
}

int StripInstantRow(const StripLayout& layout, const StripInstant& first, const StripInstant& at) {
    const double from = DateTimeToJD(first.year, first.month, first.day, 0, 0, 0, 0);
    const double to = DateTimeToJD(at.year, at.month, at.day, 0, 0, 0, 0);
    const std::int64_t days = std::llround(to - from);
    if (layout.longStrip) return layout.top + static_cast<int>(days * layout.rowsPerUnit / 365);
    const std::int64_t minutes = days * 1440 + at.hour * 60 + at.minute;
    return layout.top + static_cast<int>(minutes * layout.rowsPerUnit / 1440);
}

void ForgetStripCursor() {
    if (cursorBand.saved) DeleteOffscreen(cursorBand.saved);
    cursorBand = CursorBand{};
}

void DrawTimeStrip() {
    PlanetViewState& v = planetView;
    SetPlanetColors();
    const StripLayout layout = CurrentLayout();
    v.rowsPerUnit = layout.rowsPerUnit;
    v.stripHeight = layout.height;
    const int width = ClientWidth();
    const StripInstant first = StripStart(layout);
    const StripInstant formTime{v.year, v.month, v.day, v.hour, v.minute};

    if (v.fullRedraw) {
        v.fullRedraw = 0;
        ForgetStripCursor();
        const Color previousFore = SetForeColor(v.colours.stripBackground);
        const Color previousText = SetTextColor(v.colours.foreground);
        const int previousTransparent = SetTextTransparent(1);
        DrawRectangle(Bounds{0, layout.top, width, layout.height}, 0);
        DrawBands(layout, width);
        DrawViewArea(layout, layout.longStrip ? first : StripInstant{v.year, v.month, v.day, v.hour, v.minute});
        DrawStripe(layout, width);

        const int lastRow = layout.height / layout.rowsPerUnit * layout.rowsPerUnit;
        double previous[5] = {}, now[5] = {};
        bool shownBefore[5] = {}, shown[5] = {};
        Color colours[5] = {};
        const int centre = width / 2;
        for (int row = 0; row < lastRow; row += layout.rowStep) {
            const StripInstant t = After(first, RowMinutes(layout, row));
            const int curves = StripCurves(t, now, shown, colours);
            const int y = layout.top + row;
            if (row > 0) {
                for (int i = 0; i < curves; ++i) {
                    if (!shown[i] || !shownBefore[i]) continue;
                    DrawLineColor(centre + static_cast<int>(previous[i]), y - layout.rowStep,
                                  centre + static_cast<int>(now[i]), y, colours[i]);
                }
            }
            std::copy(now, now + 5, previous);
            std::copy(shown, shown + 5, shownBefore);
            // The unit's label at its first row, on that unit's first band colour.
            if (row % layout.rowsPerUnit < layout.rowStep) {
                char text[40];
                if (layout.longStrip) {
                    std::snprintf(text, sizeof text, "%04d", t.year);
                } else {
                    FormatDate(text, t.day, t.month, t.year);
                    text[5] = '\0';
                }
                SetTextColor(v.colours.foreground);
                DrawText(text, 0, y);
            }
        }
        SetTextTransparent(previousTransparent);
        SetTextColor(previousText);
        SetForeColor(previousFore);
    }

    // The cursor on the form's instant.
    int row = StripInstantRow(layout, first, formTime);
    if (layout.longStrip) v.month = v.day = 1;
    row = std::clamp(row, layout.top, layout.top + layout.height - 1);
    v.stripRow = row;
    DrawPlanetView(width / 2, row);
}

int DrawPlanetView(int x, int y) {
    PlanetViewState& v = planetView;
    const StripLayout layout = CurrentLayout();
    const int width = ClientWidth();
    if (x < 0 || x >= width || y < layout.top || y >= layout.top + layout.height) return 0;
    DrawWindow* screen = GetCurrentDrawWindow();
    if (!screen) return 0;

    // Give back the band under the old cursor, keep the one under the new.
    if (cursorBand.saved) {
        CopyBits(cursorBand.saved, screen, Bounds{0, 0, cursorBand.saved->width, cursorBand.saved->height}, 0,
                 cursorBand.y - 1, 0);
        DeleteOffscreen(cursorBand.saved);
        cursorBand.saved = nullptr;
    }
    cursorBand.y = y;
    cursorBand.saved = CreateOffscreen(width, kBandRows);
    if (cursorBand.saved)
        CopyBits(screen, cursorBand.saved, Bounds{0, y - 1, width, kBandRows}, 0, 0, 0);
    else
        ShowMessage("Can't allocate offscreen buffer", "");

    const int c = width / 2;
    int inner = Sx(8), innerRight = Sx(6), outer = Sx(80);
    if (v.mode == kJupiterMode) {
        inner = Sx(5), innerRight = Sx(4);
        outer = v.zoom == 22.0 ? Sx(20) : Sx(110);
    } else if (v.mode == kMarsMode) {
        inner = Sx(12), innerRight = Sx(10);
    }
    const Color cursor = v.colours.cursor;
    DrawLineColor(c - outer, y, c - inner, y, cursor);
    DrawLineColor(c + innerRight, y, c + outer, y, cursor);

    StripInstant t{};
    StripRowInstant(layout, y, StripStart(layout), &t);
    DrawViewArea(layout, t);
    ShowFields(t);
    return 1;
}
