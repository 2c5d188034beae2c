#include "chart/chart_overlays.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "astro/planet_positions.h"
#include "astro/quick_sun_moon.h"
#include "astro/time_scales.h"
#include "catalog/designations.h"
#include "catalog/oculars.h"
#include "catalog/object_types.h"
#include "catalog/selection_list.h"
#include "chart/chart_colours.h"
#include "chart/chart_form.h"
#include "chart/chart_links.h"
#include "chart/chart_records.h"
#include "chart/chart_services.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/chart_zoom.h"
#include "chart/star_layers.h"
#include "core/calendar.h"
#include "core/settings.h"
#include "platform/gfx_context.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fonts.h"
#include "shell/utilities.h"
#include "theories/moon_illumination.h"

int (*chartFindObjectPicture)(const char* name, int folderKind, int catalogCode) = nullptr;

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

int Sh() { return static_cast<int>(screenScale.horizontal); }
int Sv() { return static_cast<int>(screenScale.vertical); }
bool NightOn() { return ChartSetting(chartpref::nightMode) != 0; }

// Largest pixel length an overlay draws; beyond it a size is taken as nonsense.
constexpr double kMaxOverlayPixels = 100000.0;

void Text(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }

// The illuminated fraction of the Moon at a local date and hour of the site.
double MoonFraction(int year, int month, int day, int hour, int* age) {
    return ComputeMoonIllumination(year, month, day, hour, observerLocation.zoneMinutes, age);
}

// Reads a 16-bit pixel of a device-independent offscreen (rows bottom-up).
std::uint16_t PixelOf(const DrawWindow* w, int x, int y) {
    const std::uint8_t* row = w->pixels + static_cast<std::size_t>(w->height - 1 - y) * w->stride;
    std::uint16_t p;
    std::memcpy(&p, row + static_cast<std::size_t>(x) * 2, sizeof p);
    return p;
}

// A 5-5-5 pixel as a colour, for targets without pixel memory.
platform::Color PixelColour(std::uint16_t p) {
    const int r = (p >> 10) & 31, g = (p >> 5) & 31, b = p & 31;
    return platform::Rgb(r * 255 / 31, g * 255 / 31, b * 255 / 31);
}

}  // namespace

// ---- Moon --------------------------------------------------------------------------------------

int GetMoonPhaseBitmap(int year, int month, int day, int hour) {
    int age = 0;
    const double now = MoonFraction(year, month, day, hour, &age);
    moonBlock.ageIndex = std::clamp(age, 0, 29);

    const double lst = LocalSiderealTime(year, month, day, hour, 0, 0, observerLocation.longitude,
                                         observerLocation.zoneMinutes);
    double ra = 0.0, dec = 0.0;
    MoonPosition(&ra, &dec, year, month, day, hour, 0, 0);
    double h = lst - ra;
    while (h > 12.0) h -= 24.0;
    while (h < -12.0) h += 24.0;
    const double H = h * 15.0 * kDegToRad, d = dec * kDegToRad, phi = observerLocation.latitude * kDegToRad;
    moonBlock.parallacticAngle =
        static_cast<int>(std::atan2(std::sin(H), std::cos(d) * std::tan(phi) - std::sin(d) * std::cos(H)) * kRadToDeg);

    // Waxing or waning from the fraction an hour later (an hour earlier late in the day).
    const bool late = hour >= 23;
    const double other = MoonFraction(year, month, day, late ? hour - 1 : hour + 1, nullptr);
    const double earlier = late ? other : now, later = late ? now : other;
    const bool waxing = earlier < later;
    const double f = late ? other : now;
    if (GetDpiFactor() < 2) return moonBlock.bitmapId;
    moonBlock.bitmapId = waxing ? 6050 + static_cast<int>(7.0 * f) : 6063 - static_cast<int>(6.0 * f);
    return moonBlock.bitmapId;
}

void DrawMoonOnChart(int width, int height, int x, int y, int stepX, int stepY) {
    const double phase = ((moonBlock.ageIndex + 14) % 28) * 0.03571428571428571;
    DrawRotatedImage(3993, 3994, width, height, x, y, phase, moonBlock.parallacticAngle, stepX, stepY);
}

void DrawRotatedImage(int imageId, int litImageId, int width, int height, int x, int y, double phase, int angle,
                      int stepX, int stepY) {
    if (width <= 0 || height <= 0 || stepX <= 0 || stepY <= 0) return;
    DrawWindow* dark = LoadBitmap16(imageId);
    DrawWindow* lit = LoadBitmap16(litImageId);
    DrawWindow* target = GetCurrentDrawWindow();
    if (dark && lit && dark->pixels && lit->pixels && target && dark->width > 0 && dark->height > 0) {
        const int bw = dark->width, bh = dark->height;
        const int n = std::max(bh / 2, 1);
        std::vector<int> left(static_cast<std::size_t>(n) + 1), right(static_cast<std::size_t>(n) + 1);
        ComputePhaseProfile(phase, left.data(), right.data(), n);
        const int c = static_cast<int>(std::cos(-angle * kDegToRad) * 64.0);
        const int s = static_cast<int>(std::sin(-angle * kDegToRad) * 64.0);
        const std::uint16_t key = PixelOf(dark, 0, 0) & 0x7FFF;
        const bool direct = target->pixels != nullptr;
        const int left0 = x - width * stepX / 2, top0 = y - height * stepY / 2;
        for (int j = 0; j < height; ++j) {
            for (int i = 0; i < width; ++i) {
                const int dx = i - width / 2, dy = j - height / 2;
                const int rx = (dx * c - dy * s) >> 6;
                const int ry = (dx * s + dy * c) >> 6;
                const int sx = rx * bw / width + bw / 2;
                const int sy = ry * bh / height + bh / 2;
                // Cells that turn to a place outside the picture have nothing to show.
                if (sx < 0 || sy < 0 || sx >= bw || sy >= bh || sx >= lit->width || sy >= lit->height) continue;
                const std::uint16_t p = PixelOf(dark, sx, sy);
                if ((p & 0x7FFF) == key) continue;
                const int row = std::min(std::abs(sy - bh / 2), n);
                const int profileX = sx * 2 * n / bw;
                const bool isLit = profileX >= left[static_cast<std::size_t>(row)] &&
                                   profileX <= right[static_cast<std::size_t>(row)];
                const std::uint16_t v = isLit ? PixelOf(lit, sx, sy) : p;
                for (int b = 0; b < stepY; ++b)
                    for (int a = 0; a < stepX; ++a)
                        DrawPixelColor(left0 + i * stepX + a, top0 + j * stepY + b, direct ? v : PixelColour(v));
            }
        }
    }
    DeleteOffscreen(dark);
    DeleteOffscreen(lit);
}

void DrawPhaseShadow(int x, int y, int diameter, int rows, int percent) {
    if (diameter <= 0 || rows <= 0) return;
    percent = std::clamp(percent, 0, 100);
    const double r = diameter / 2.0;
    const int k = static_cast<int>((diameter * std::abs(percent - 50) * 0.02 + 0.5) / 2.0);
    const double halfRows = rows / 2.0;
    for (int i = 0; i < rows; ++i) {
        const double t = (i + 0.5 - halfRows) / halfRows;
        const double root = std::sqrt(std::max(0.0, 1.0 - t * t));
        const int edge = static_cast<int>(std::lround(r * root));
        const int terminator = static_cast<int>(std::lround(k * root));
        const int yy = y - rows / 2 + i;
        int from, to;
        if (std::abs(percent - 50) < 2) {
            from = x - edge;
            to = x;
        } else if (percent <= 50) {
            from = x - edge;
            to = x - terminator;
        } else {
            from = x - terminator;
            to = x + edge;
        }
        if (to > from) DrawRectangle(Bounds{from, yy, to - from, 1}, 0);
    }
}

void DrawBodyPhaseDisc(int body, int year, int month, int day, int hour, int minute, int diameter, int rows, int x,
                       int y, int* percent, int* diameterSeconds, int* elongation) {
    BodyRecord today{}, yesterday{};
    ComputePlanet(&today, body, year, month, day, hour, minute, 0);
    int py = year, pm = month, pd = day;
    AddDays(&py, &pm, &pd, -1);
    ComputePlanet(&yesterday, body, py, pm, pd, hour, minute, 0);
    const double pct = today.illuminatedFraction * 100.0;
    const int p = static_cast<int>(std::lround(pct));
    if (percent) *percent = p;
    if (diameterSeconds) *diameterSeconds = static_cast<int>(std::lround(today.diameter * 60.0));
    if (elongation) *elongation = static_cast<int>(std::lround(today.elongation));
    const platform::Color litColour = NightOn() ? platform::Rgb(255, 0, 0) : platform::Rgb(255, 255, 255);
    const platform::Color darkColour = platform::Rgb(0, 0, 0);
    if (yesterday.illuminatedFraction < today.illuminatedFraction) {
        SetForeColor(darkColour);
        DrawPhaseShadow(x, y, diameter, rows, 101);
        SetForeColor(litColour);
        DrawPhaseShadow(x, y, diameter, rows, p);
    } else {
        SetForeColor(litColour);
        DrawPhaseShadow(x, y, diameter, rows, 101);
        SetForeColor(darkColour);
        DrawPhaseShadow(x, y, diameter, rows, 100 - p);
    }
    SetForeColor(litColour);
    DrawCircle(x, y, diameter / 2);
}

// ---- Cursors -----------------------------------------------------------------------------------

void DrawTargetCursor(int x, int y) {
    if (ChartSetting(chartpref::cursor) == 2) return;
    const int f = GetDpiFactor();
    const bool white = ChartSetting(chartpref::background) == kBackgroundWhite && !NightOn();
    DrawBitmapMasked(white ? 1687 : 1686, x - 8 * f, y - 8 * f);
}

void DrawScopeMarker(platform::Color colour, int x, int y) {
    const int f = GetDpiFactor();
    if (f == 1) {
        DrawLineColor(x - 8 * f, y, x - 2 * f, y, colour);
        DrawLineColor(x + 8 * f, y, x + 2 * f, y, colour);
        DrawLineColor(x, y - 8 * f, x, y - 2 * f, colour);
        DrawLineColor(x, y + 8 * f, x, y + 2 * f, colour);
        return;
    }
    const bool white = ChartSetting(chartpref::background) >= 2 && !NightOn();
    DrawBitmapMasked(white ? 1689 : 1688, x - 8 * f, y - 8 * f + 1);
}

// ---- Fields of view ----------------------------------------------------------------------------

void DrawTelrad(int x, int y, float scale, platform::Color colour) {
    SetForeColor(colour);
    int r[3];
    for (int i = 0; i < 3; ++i) {
        const double v = preferences.word[pref::telradRadius + i] * 6.0 * scale;
        r[i] = std::isfinite(v) && std::fabs(v) < kMaxOverlayPixels ? static_cast<int>(v) : 0;
        if (r[i] > 0) DrawCircle(x, y, r[i]);
    }
    if (r[2] > 0) {
        DrawLineColor(x - r[2], y, x + r[2], y, colour);
        DrawLineColor(x, y - r[2], x, y + r[2], colour);
    }
}

void DrawEyepieceCircle(int x, int y, float scale, platform::Color colour, const Bounds& clip) {
    if (!preferences.word[pref::showFovEyepiece] || preferences.word[pref::eyepieceChoice] <= 0) return;
    float field = 0.0f, focal = 0.0f;
    char label[32];
    if (!GetEyepieceByIndex(preferences.word[pref::eyepieceChoice] - 1, &field, &focal, label, sizeof label)) return;
    const double telescope = GetFocalLengthMm();
    // Without both focal lengths there is no magnification and no true field.
    if (!(focal > 0.0f) || !(telescope > 0.0)) return;
    const double trueField = field * 60.0 / (telescope / focal);
    const double radius = trueField * scale;
    if (!std::isfinite(radius) || radius < 0.0 || radius > kMaxOverlayPixels) return;
    const int r = static_cast<int>(radius);
    ClipRectangle(clip);
    char text[48];
    const int n = std::snprintf(text, sizeof text, "%s %d", label, static_cast<int>(focal));
    SetTextColor(colour);
    DrawString(text, n, x + n / 10, y - r - 8);
    SetForeColor(colour);
    DrawCircle(x, y, r);
    ResetClip();
}

void FormatFrameSide(double arcminutes, char* out, std::size_t size) {
    if (arcminutes > 60.0) {
        const int whole = static_cast<int>(arcminutes);
        const int seconds = static_cast<int>(std::lround((arcminutes - whole) * 60.0));
        std::snprintf(out, size, "%d\xB0%02d'%02d''", whole / 60, whole % 60, seconds);
    } else {
        const int whole = static_cast<int>(arcminutes);
        std::snprintf(out, size, "%d'%02d''", whole, static_cast<int>((arcminutes - whole) * 60.0));
    }
}

void DrawCcdFrame(int x, int y, float scale, platform::Color colour, const Bounds& clip) {
    const int preset = preferences.word[pref::cameraPreset];
    const int sensorW = preferences.word[pref::sensorWidth], sensorH = preferences.word[pref::sensorHeight];
    const int focal = preferences.word[pref::ccdFocalLength];
    if (preset == 0 && sensorW == 0) return;
    // A focal length of 0 would make the frame a half turn wide.
    if (focal <= 0) return;
    const double W = std::atan(sensorW * 0.005 / focal) * 6875.493541569878;
    const double H = std::atan(sensorH * 0.005 / focal) * 6875.493541569878;
    const double ws = W * scale, hs = H * scale;
    if (!std::isfinite(ws) || !std::isfinite(hs) || std::fabs(ws) > kMaxOverlayPixels || std::fabs(hs) > kMaxOverlayPixels)
        return;
    const int w = static_cast<int>(ws), h = static_cast<int>(hs);
    ClipRectangle(clip);
    SetTextColor(colour);
    char text[32];
    FormatFrameSide(W, text, sizeof text);
    Text(text, x, y + h + 2);
    FormatFrameSide(H, text, sizeof text);
    Text(text, x + w + 2, y);
    DrawLineColor(x - w, y - h, x + w, y - h, colour);
    DrawLineColor(x + w, y - h, x + w, y + h, colour);
    DrawLineColor(x + w, y + h, x - w, y + h, colour);
    DrawLineColor(x - w, y + h, x - w, y - h, colour);
    ResetClip();
}

// ---- Legends -----------------------------------------------------------------------------------

void DrawMagnitudeScale(DrawWindow* window, int zoom, int x, int y, int count) {
    static constexpr int kRowHeights[10] = {19, 17, 15, 13, 11, 9, 9, 9, 9, 9};
    static constexpr int kSizeNormal[14] = {8, 8, 8, 7, 7, 6, 5, 5, 4, 3, 2, 1, 0, 0};
    if (count <= 0) return;
    const int sh = Sh(), sv = Sv();
    const int z = std::clamp(zoom, 0, 13);
    auto rowHeight = [&](int cls) { return kRowHeights[std::clamp(kSizeNormal[z] + cls, 0, 9)] * sv; };
    int total = 6 * sv;
    for (int cls = 0; cls < count; ++cls) total += rowHeight(cls);
    DrawWindow* previous = window ? SetDrawWindow(window) : nullptr;
    FillRectangle(Bounds{x - 5 * sh, y, 24 * sh, total});
    int top = y;
    for (int cls = 0; cls < count; ++cls) {
        DrawStar(nullptr, zoom, cls, 0, x, top + 6 * sv);
        char text[8];
        const int n = std::snprintf(text, sizeof text, "%d", cls);
        DrawString(text, n, x + 12 * sh - (n / 2) * 3, top);
        top += rowHeight(cls);
    }
    if (window) SetDrawWindow(previous);
}

void FormatFieldLabel(int zoom, char* fov, std::size_t fovSize, char* limits, std::size_t limitsSize) {
    static constexpr int kTenths[14] = {1800, 1500, 1200, 900, 600, 450, 300, 200, 100, 50, 25, 15, 10, 5};
    const int z = std::clamp(zoom, 0, 13);
    const int tenths = kTenths[z];
    if (tenths % 10) std::snprintf(fov, fovSize, "FOV %d.%d\xB0", tenths / 10, tenths % 10);
    else std::snprintf(fov, fovSize, "FOV %d\xB0", tenths / 10);
    float star = 0.0f, object = 0.0f;
    GetMagnitudeLimits(z, &star, &object);
    if (object == 100.0f) std::snprintf(limits, limitsSize, "All, S<%d", static_cast<int>(star));
    else std::snprintf(limits, limitsSize, "O<%d, S<%d", static_cast<int>(object), static_cast<int>(star));
}

void DrawFieldLabel(int x, int y, int zoom) {
    if (zoom < 0 || zoom > 13) return;
    char fov[24], limits[32];
    FormatFieldLabel(zoom, fov, sizeof fov, limits, sizeof limits);
    platform::Color colour;
    if (ChartSetting(chartpref::background) < 2) colour = platform::Rgb(203, 203, 90);
    else colour = chartState.colours.label;
    // At night every text is red.
    if (NightOn()) colour = NightColour(colour);
    const int previous = GetDpiFactor() > 1 ? SetFont(0) : GetFont();
    SetTextColor(colour);
    Text(fov, x + 1, y);
    Text(limits, x + 1, y + 10 * Sv());
    SetFont(previous);
}

// ---- Direction gauge ---------------------------------------------------------------------------

namespace {

int GaugeRadius() { return std::max(20 * Sv() - 10 * Sh(), 4); }
int GaugeWidth() { return 4 * GaugeRadius() + 28 * Sh(); }
int GaugeHeight() { return 2 * GaugeRadius() + 26 * Sv(); }

}  // namespace

Bounds DirectionGaugeBox(const Bounds& area) {
    const int infoLines = 32 * Sv();
    return Bounds{area.x, area.y + area.height - infoLines - GaugeHeight(), GaugeWidth(), GaugeHeight()};
}

void DrawDirectionGauge(int x, int y, std::int32_t angleA, std::int32_t angleB) {
    if (ChartSetting(chartpref::hideCompass)) return;
    static DrawWindow* gauge = nullptr;
    const int sh = Sh(), sv = Sv();
    const int r = GaugeRadius();
    const int width = GaugeWidth(), height = GaugeHeight();
    if (gauge && (gauge->width != width || gauge->height != height)) {
        DeleteOffscreen(gauge);
        gauge = nullptr;
    }
    if (!gauge) gauge = CreateOffscreenDIB(width, height, 16);
    if (!gauge) return;
    DrawWindow* target = GetCurrentDrawWindow();
    DrawWindow* previous = SetDrawWindow(gauge);
    const bool night = NightOn();
    const bool white = ChartSetting(chartpref::background) == kBackgroundWhite && !night;
    const platform::Color back = white ? platform::Rgb(255, 255, 255) : platform::Rgb(0, 0, 0);
    const platform::Color frame = night ? platform::Rgb(160, 0, 0) : white ? platform::Rgb(0, 0, 0) : platform::Rgb(200, 200, 200);
    const platform::Color needle = night ? platform::Rgb(255, 0, 0) : platform::Rgb(255, 64, 64);
    SetForeColor(back);
    DrawRectangle(Bounds{0, 0, width, height}, 0);
    SetTextColor(frame);
    const double a = std::fmod(angleA / 16777216.0, 2.0 * 3.141592653589793);
    const double A = a < 0.0 ? a + 2.0 * 3.141592653589793 : a;
    const double B = angleB / 16777216.0;
    char text[12];

    // Left dial: the altitude-like angle B in a quarter frame.
    const int lx = r + 4 * sh, ly = r + 12 * sv;
    DrawLineColor(lx, ly - r, lx, ly + r, frame);
    DrawLineColor(lx - r, ly, lx, ly, frame);
    SetForeColor(frame);
    DrawCircle(lx, ly, r);
    DrawLineColor(lx, ly, lx - static_cast<int>(r * std::cos(B)), ly - static_cast<int>(r * std::sin(B)), needle);
    std::snprintf(text, sizeof text, "%d\xB0", static_cast<int>(B * kRadToDeg));
    Text(text, lx - r, ly + r + 1);

    // Right dial: the direction A from north through east.
    const int rx = lx + 2 * r + 16 * sh, ry = ly;
    SetForeColor(frame);
    DrawCircle(rx, ry, r);
    DrawLineColor(rx, ry - r, rx, ry + r, frame);
    DrawLineColor(rx - r, ry, rx + r, ry, frame);
    Text("E", rx + r + 2, ry - 6 * sv);
    Text("N", rx - 3 * sh, ry - r - 12 * sv);
    DrawLineColor(rx, ry, rx + static_cast<int>(r * std::cos(A)), ry - static_cast<int>(r * std::sin(A)), needle);
    std::snprintf(text, sizeof text, "%d\xB0", static_cast<int>(A * kRadToDeg));
    Text(text, rx - r, ry + r + 1);

    SetDrawWindow(previous);
    CopyBits(gauge, target, Bounds{0, 0, width, height}, x, y, 0);
}

// ---- Selection marker --------------------------------------------------------------------------

int SelectionPictureName(const SelectionRecord& r, char* name, std::size_t size) {
    if (r.group == kGroupBody || r.group == kGroupMessier) {
        std::snprintf(name, size, "%.*s", kSelectionLabelLength, r.label);
        return r.group == kGroupBody ? 45 : 40;
    }
    FormatDesignation(name, size, r.catalogCode, r.objectNumber);
    return r.catalogCode;
}

void DrawPlainMarker(int x, int y) {
    const bool white = ChartSetting(chartpref::background) == kBackgroundWhite && !NightOn();
    const platform::Color previous = SetForeColor(white ? platform::Rgb(0, 0, 0) : platform::Rgb(255, 64, 64));
    DrawCircle(x, y, kPlainMarkerRadius * GetDpiFactor());
    SetForeColor(previous);
}

void DrawSelectionMarker(int x, int y, int index, int typeArgument) {
    if (index < 0 || index >= ChartRecordCount()) return;
    const SelectionRecord& r = selectionList.records[index];
    int icon = 0;
    if (r.group == kGroupMessier) {
        if (r.objectIndex < 111) icon = 3000 + r.objectIndex;
    } else if (r.group != kGroupBody) {
        const int n = GetTypeCodeText(nullptr, typeArgument);
        if (n != 0) icon = n + 2999;
    }
    char name[40];
    const int catalog = SelectionPictureName(r, name, sizeof name);
    // Without its icon (none for the record, none made yet, or a dpi factor of 1, where
    // icons are not drawn) a listed object is still marked: a small ring in the cursor's
    // colour.
    const bool iconDrawn = icon && GetDpiFactor() != 1 && DrawBitmap(icon, x, y);
    if (!iconDrawn) DrawPlainMarker(x, y);
    if (chartFindObjectPicture && chartFindObjectPicture(name, 0, catalog)) DrawBitmapMasked(1941, x, y);
}

void ShowChartObjectPicture() {
    if (chartSelectionIndex < 0 || chartSelectionIndex >= selectionList.indexCount) return;
    const int record = GetSelectionObject(chartSelectionIndex);
    if (record < 0 || record >= ChartRecordCount()) return;
    char name[40];
    const int catalog = SelectionPictureName(selectionList.records[record], name, sizeof name);
    // Below the title band, and beside the toolbar while it is shown.
    const int top = static_cast<int>(21 * screenScale.vertical);
    const int toolbar = ChartSetting(chartpref::hideToolBar) == 0 ? static_cast<int>(20 * screenScale.horizontal) : 0;
    if (!ChartShowObjectPicture(name, 0, top, chartState.width - toolbar, chartState.height - top, 0, 0, catalog))
        return;
    WaitPenOrKey();
    DrawChart();
}
