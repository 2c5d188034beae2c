#include "moon/moon_image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/lunar_phases.h"
#include "chart/chart_services.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "moon/lunar_ephemeris.h"
#include "platform/gfx_context.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fonts.h"
#include "shell/utilities.h"

DrawWindow* moonImage = nullptr;
MoonImageView moonImageView;

namespace {

constexpr double kRad = 0.0174532925199433;
constexpr int kChannelStep = 5;
constexpr int kTitleBand = 24;

int NightOn() { return preferences.word[pref::nightMode] != 0; }

// Row r counted from the top of a record whose rows are stored bottom-up.
std::uint16_t* PictureRow(DrawWindow* image, int r) {
    return reinterpret_cast<std::uint16_t*>(image->pixels + static_cast<std::ptrdiff_t>(image->height - 1 - r) * image->stride);
}

// The large picture from its tiles; false when a tile is missing.
bool CopyTiles(DrawWindow* image) {
    bool all = true;
    for (int i = 0; i < 9; ++i) {
        DrawWindow* tile = LoadBitmap16(kMoonFirstTile + i);
        if (!tile) {
            all = false;
            continue;
        }
        CopyBits(tile, image, Bounds{0, 0, kMoonTileSize, kMoonTileSize}, (i % 3) * kMoonTileSize,
                 (i / 3) * kMoonTileSize, 0);
        DeleteOffscreen(tile);
    }
    return all;
}

void DrawDiscOutline(DrawWindow* image, int size) {
    DrawWindow* previous = SetDrawWindow(image);
    SetForeColor(platform::Rgb(160, 160, 160));
    DrawCircle(size / 2, size / 2, size / 2 - 1);
    SetDrawWindow(previous);
}

}  // namespace

void DarkenPixels555(std::uint16_t* pixels, int count) {
    if (!pixels) return;
    for (int i = 0; i < count; ++i) {
        const int p = pixels[i];
        const int r = std::max(((p >> 10) & 31) - kChannelStep, 0);
        const int g = std::max(((p >> 5) & 31) - kChannelStep, 0);
        const int b = std::max((p & 31) - kChannelStep, 0);
        pixels[i] = static_cast<std::uint16_t>((r << 10) | (g << 5) | b);
    }
}

void ShadeMoonImage(DrawWindow* image, double c0, double b0) {
    if (!image || !image->pixels || image->bytesPerPixel != 2) return;
    const int size = std::min(image->width, image->height);
    const float R = size / 2.0f;
    const float a = static_cast<float>(R * std::sin(c0 * kRad) * std::cos(b0 * kRad));
    // From full Moon through last quarter to new Moon the dark side is on the right.
    const bool waning = c0 > 90.0 && c0 < 270.0;
    for (int r = 0; r < size; ++r) {
        const double x = (r - R) / R;
        const double halfWidth = std::sqrt(std::max(0.0, 1.0 - x * x));  // sin of acos(x)
        std::uint16_t* row = PictureRow(image, r);
        int t;
        if (waning) {
            t = std::clamp(static_cast<int>(R + a * halfWidth), 0, size);
            DarkenPixels555(row + t, size - t);
        } else {
            t = std::clamp(static_cast<int>(R - a * halfWidth), 0, size);
            DarkenPixels555(row, t);
        }
        if (t < size) row[t] = 0;
    }
}

void FreeMoonImage() {
    DeleteOffscreen(moonImage);
    moonImage = nullptr;
}

DrawWindow* RenderMoonImage(int mode, int year, int month, int day, int hour, int minute, int mirrorX, int mirrorY) {
    FreeMoonImage();
    FreeSavedBitmap();
    const int size = mode == 1 ? kMoonSmallSize : kMoonLargeSize;
    moonImageView.imageSize = size;
    bool complete = false;
    DrawWindow* image = nullptr;
    if (mode == 1) {
        image = LoadBitmapOffscreen(kMoonSmallPicture, 16);
        complete = image != nullptr;
        if (!image) image = CreateOffscreenDIB(size, size, 16);
    } else {
        image = CreateOffscreenDIB(size, size, 16);
        if (image && image->pixels) complete = CopyTiles(image);
    }
    if (!image || !image->pixels) {
        DeleteOffscreen(image);
        ShowMessage("offScreen Not enough memory", "");
        return nullptr;
    }
    if (!complete) DrawDiscOutline(image, size);

    const double jd = DateTimeToJD(year, month, day, hour, minute, 0, observerLocation.zoneMinutes);
    double l0 = 0, b0 = 0, c0 = 0;
    ComputeSelenographicSun(jd, &l0, &b0, &c0);
    moonImageView.colongitude = c0;
    ShadeMoonImage(image, c0, b0);
    // The picture resources come red already in night mode; the drawn outline does not.
    if (NightOn() && !complete) ConvertToNightColors(image);
    if (mirrorX || mirrorY) image = MirrorOffscreen(image, mirrorX, mirrorY);
    moonImage = image;
    return moonImage;
}

int MoonScrollLimit(int size, int viewSize) { return std::max(0, size - viewSize); }

int MoonViewPictureHeight() { return std::max(0, moonImageView.view.height); }

void DrawMoonImageView() {
    const MoonImageView& v = moonImageView;
    if (!moonImage) return;
    const int band = static_cast<int>(kTitleBand * screenScale.vertical);
    const int width = std::min(v.view.width, moonImage->width - v.scrollX);
    const int height = std::min(MoonViewPictureHeight(), moonImage->height - v.scrollY);
    if (width <= 0 || height <= 0) return;
    CopyBits(moonImage, GetDrawWindow(), Bounds{v.scrollX, v.scrollY, width, height}, v.view.x, v.view.y + band, 0);
}

void PanMoonImage(int x, int y) {
    MoonImageView& v = moonImageView;
    if (std::abs(x - v.downX) >= kMoonDragThreshold || std::abs(y - v.downY) >= kMoonDragThreshold) v.moved = 1;
    v.scrollX = std::clamp(v.scrollX + (v.lastX - x), 0, MoonScrollLimit(v.imageSize, v.view.width));
    v.scrollY = std::clamp(v.scrollY + (v.lastY - y), 0, MoonScrollLimit(v.imageSize, MoonViewPictureHeight()));
    v.lastX = x;
    v.lastY = y;
    DrawMoonImageView();
}

double LastNewMoonAtOrBefore(double jd) {
    int year = 0, month = 0, day = 0;
    JDToDate(jd, &year, &month, &day, nullptr, nullptr, nullptr);
    int lunation = 0;
    double newMoon = GetMoonPhaseTime(kPhaseNewMoon, 0, nullptr, nullptr, &lunation, 1, &day, &month, &year, 0, 0,
                                      nullptr);
    // The lunation of the date is the nearest; step to the one running at jd.
    for (int guard = 0; guard < 4 && newMoon > jd; ++guard) {
        --lunation;
        newMoon = GetMoonPhaseTime(kPhaseNewMoon, 0, nullptr, nullptr, &lunation, 0, &day, &month, &year, 0, 0, nullptr);
    }
    for (int guard = 0; guard < 4; ++guard) {
        int next = lunation + 1;
        const double later =
            GetMoonPhaseTime(kPhaseNewMoon, 0, nullptr, nullptr, &next, 0, &day, &month, &year, 0, 0, nullptr);
        if (later > jd) break;
        lunation = next;
        newMoon = later;
    }
    return newMoon;
}

void DrawMoonDateInfo(int /*x*/, int y) {
    const ObservingDateTime& t = observingDateTime;
    const platform::Color white = platform::Rgb(255, 255, 255);
    const platform::Color oldText = SetTextColor(NightOn() ? NightColour(white) : white);
    const platform::Color oldBack = SetBackColor(0);
    const int oldFont = GetFont();
    const bool large = GetDpiFactor() > 1;
    if (large) SetFont(5);
    char text[64];
    int n = FormatDate(text, t.day, t.month, t.year);
    std::snprintf(text + n, sizeof text - n, " %02d:%02d", t.hour, t.minute);
    DrawString(text, static_cast<int>(std::strlen(text)), 0, y);

    const int zone = observerLocation.zoneMinutes;
    const double now = DateTimeToJD(t.year, t.month, t.day, t.hour, t.minute, t.second, zone);
    const double newMoon = LastNewMoonAtOrBefore(now);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    JDToDate(newMoon + zone / 1440.0, &year, &month, &day, &hour, &minute, nullptr);
    if (large) SetFont(0);
    n = std::snprintf(text, sizeof text, "New: ");
    n += FormatDate(text + n, day, month, year);
    std::snprintf(text + n, sizeof text - n, " %02d:%02d", hour, minute);
    DrawString(text, static_cast<int>(std::strlen(text)), 0, y + static_cast<int>(14 * screenScale.vertical));
    SetFont(oldFont);
    SetTextColor(oldText);
    SetBackColor(oldBack);
}
