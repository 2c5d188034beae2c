#include "chart/chart_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "astro/fixed_trig.h"
#include "astro/rise_set.h"
#include "catalog/constellations.h"
#include "catalog/star_tables.h"
#include "chart/chart_math.h"
#include "chart/chart_overlays.h"
#include "chart/chart_projection.h"
#include "chart/chart_records.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/star_layers.h"
#include "core/settings.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fonts.h"

using chartmath::FixProduct;

namespace {

constexpr double kObliquity = 0.4090927848297818;
constexpr std::int32_t kObliquityFixed = 6863438;
constexpr std::int32_t kTurnFixed = 105414356;
constexpr int kMissing = -1;

int Sh() { return static_cast<int>(screenScale.horizontal); }
int Sv() { return static_cast<int>(screenScale.vertical); }

void Text(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }

// The ruler's and the altitude lines' step for n degrees across a fifth of the screen.
int RulerStep(double n) {
    if (n < 3) return 1;
    if (n < 11) return 5;
    if (n < 21) return 10;
    if (n < 31) return 20;
    return 30;
}

// One turn of azimuth in pixels of the horizon view.
int TurnPixels() {
    std::int32_t sx = 0;
    GetChartMetrics(nullptr, nullptr, &sx, nullptr);
    return static_cast<int>(std::llabs(static_cast<long long>(sx) * 360 * 256 / 16777216));
}

// In the horizon view an x outside [xMin, xMax] moves a turn towards the inside.
int WrapX(int x, int xMin, int xMax, int turn) {
    if (!IsHorizonView()) return x;
    if (x < xMin) return x + turn;
    if (x > xMax) return x - turn;
    return x;
}

// A place (8.24) to chart pixels; false below the horizon.
bool PlacePixel(std::int32_t lst, std::int32_t ra, std::int32_t dec, int* x, int* y) {
    std::int32_t p = 0, q = 0;
    if (!ProjectEquatorialPoint(lst, ra, dec, &p, &q)) return false;
    std::int32_t px = 0, py = 0;
    PlaneToPixel(p, q, &px, &py);
    *x = px;
    *y = py;
    return true;
}

// A point of the horizon frame (x west, y north, z up; 8.24) through the sky view's turn
// and tilt; false behind the view.
bool ViewPoint(const SkyView& view, std::int32_t px, std::int32_t py, std::int32_t pz, int* x, int* y) {
    std::int32_t ca, sa, ct, st;
    FixSinCos(view.turn, &ca, &sa);
    FixSinCos(view.tilt, &ct, &st);
    const std::int32_t w = FixProduct(ca, py) + FixProduct(px, sa);
    const std::int32_t depth = FixProduct(ct, w) + FixProduct(pz, st);
    if (depth < 1) return false;
    const std::int32_t u = FixProduct(px, ca) - FixProduct(py, sa);
    const std::int32_t v = FixProduct(ct, pz) - FixProduct(w, st);
    *x = view.centreX - FixProduct(view.scaleX, u);
    *y = view.centreY - FixProduct(v, view.scaleY);
    return true;
}

// A place through the active rows of the sky matrix onto the view; z is the sine of its
// altitude.
bool SkyPoint(const SkyView& view, std::int32_t ra, std::int32_t dec, int* x, int* y, std::int32_t* z) {
    std::int32_t px = 0, py = 0, pz = 0;
    ProjectToChart(ra, dec, &px, &py, &pz);
    if (z) *z = pz;
    return ViewPoint(view, px, py, pz, x, y);
}

}  // namespace

// ---- Horizon view ----------------------------------------------------------------------------

int RulerAzimuthLabel(int azimuth) {
    // West of north the ruler goes on from 359 down: -30 is 330.
    return ((azimuth % 360) + 360) % 360;
}

const char* RulerCompassLetters(int azimuth) {
    switch (azimuth) {
    case 0:
    case 360: return "N";
    case 90: return "E";
    case 180: return "S";
    case 270: return "W";
    case 50: return "NE";
    case 140: return "SE";
    case 230: return "SW";
    case 320: return "NW";
    default: return "";
    }
}

void DrawHorizonScale(int view, platform::Color foreColour, platform::Color letterColour,
                      platform::Color textColour, int scaleX, int centreX, int centreY) {
    if (ChartSetting(chartpref::hideGrid)) return;
    int fx = 1, fy = 1;
    ApplyChartFlip(view, &fx, &fy);
    const double k = scaleX / 65536.0 * fx;
    if (k == 0.0) return;
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    const int sh = Sh(), sv = Sv();

    const double left = -centreX / k, right = (width - centreX) / k;
    int first = static_cast<int>(std::min(left, right)) / 15 * 15;
    first = std::max(first, -60);
    int last = static_cast<int>(std::max(left, right));
    last += last % 5;
    const int step = RulerStep(width * 0.2 / std::fabs(k));
    const int top = 21 * sv;
    const int previousFont = GetFont();
    for (int a = first; a <= last; a += step) {
        const int x = static_cast<int>(a * k) + centreX;
        char label[12];
        std::snprintf(label, sizeof label, "%d\xB0", RulerAzimuthLabel(a));
        SetTextColor(textColour);
        // A label the screen's edge would cut ("35°" of 335°) is left out; its tick stays.
        const int labelX = x + 2 * sh;
        if (labelX >= 0 && labelX + CharsWidth(label, static_cast<int>(std::strlen(label))) <= width)
            Text(label, labelX, top);
        DrawLineColor(x, top, x, top + 13 * sv * sv, foreColour);
        const char* letters = RulerCompassLetters(a);
        if (letters[0]) {
            SetFont(5);
            SetTextColor(letterColour);
            Text(letters, x - (letters[1] ? 11 : 5) * sh, top + 13 * sv);
            SetFont(previousFont);
        }
    }

    const double ky = std::fabs(k) * fy;
    const int altitudeStep = RulerStep(height * 0.2 / std::fabs(ky));
    for (int alt = 0; alt < 90; alt += altitudeStep) {
        const int y = centreY - static_cast<int>(alt * ky);
        if (y <= 18 * sv) continue;
        DrawLineColor(0, y, 240 * sh, y, foreColour);
        char label[12];
        std::snprintf(label, sizeof label, "%d\xB0", alt);
        SetTextColor(textColour);
        Text(label, 0, y + sv);
    }
}

// ---- Sky map -----------------------------------------------------------------------------------

void DrawCompassPoints(int dx, int dy) {
    if (ChartMode() != kChartModeSkyMap) return;
    constexpr std::int32_t d = 12079585;
    constexpr std::int32_t one = 16777216;
    static constexpr struct {
        std::int32_t q, p;
        const char* text;
    } kPoints[8] = {{0, one, "N"},   {0, -one, "S"},  {one, 0, "E"},   {-one, 0, "W"},
                    {d, d, "NE"},    {d, -d, "SE"},   {-d, -d, "SW"},  {-d, d, "NW"}};
    std::int32_t c = 0, s = 0;
    FixSinCos(chartState.rotation * kFixedPerWholeDegree, &c, &s);
    const int f = GetDpiFactor();
    for (const auto& pt : kPoints) {
        const std::int32_t q = FixProduct(pt.q, c) - FixProduct(pt.p, s);
        const std::int32_t p = FixProduct(pt.p, c) + FixProduct(pt.q, s);
        std::int32_t x = 0, y = 0;
        PlaneToPixel(p, q, &x, &y);
        x += dx;
        y += dy;
        x = x < 80 * f ? x - 10 : x + 5;
        if (y < 80 * f) y -= 5;
        Text(pt.text, x, y);
    }
}

void DrawChartGrids(float lst, int centreRa, int centreDec, int zoom, platform::Color lineColour,
                    platform::Color labelColour, int hourStep, int decStep) {
    if (hourStep < 1 || decStep < 1) return;
    std::int32_t zx = 0, zy = 0;
    AltAzToPixel(0.0f, 90.0f, &zx, &zy);
    if (zoom < 10) {
        std::int32_t hx = 0, hy = 0;
        AltAzToPixel(0.0f, 0.0f, &hx, &hy);
        SetForeColor(lineColour);
        // The zenith's own mark, a small cross: the target cursor marks the current object
        // alone, so that the chart never shows two of them.
        const int arm = 4 * GetDpiFactor();
        DrawLine(zx - arm, zy, zx + arm, zy);
        DrawLine(zx, zy - arm, zx, zy + arm);
        DrawCircle(zx, zy, static_cast<int>(std::hypot(hx - zx, hy - zy)));
    }
    if (ChartSetting(chartpref::hideGrid)) return;
    char label[12];
    if (ChartSetting(chartpref::altAzGrid)) {
        SetTextColor(labelColour);
        for (int alt = 0; alt < 90; alt += decStep) {
            std::int32_t x = 0, y = 0;
            AltAzToPixel(0.0f, static_cast<float>(alt), &x, &y);
            SetForeColor(lineColour);
            DrawCircle(zx, zy, static_cast<int>(std::hypot(x - zx, y - zy)));
            std::snprintf(label, sizeof label, "%d\xB0", alt);
            Text(label, x, y);
        }
        return;
    }

    // Declination circles from the top one down to the last above the bound.
    const int phi = static_cast<int>(observerLocation.latitude);
    int top = phi > 0 ? 90 - decStep : phi + 90;
    top = top / 15 * 15;
    const int l = phi - 90;
    const int bottom = l < -90 ? decStep - 91 : l - (std::abs(l) % 15);
    const int hours = std::min(24 / hourStep, 24) + 1;
    const std::int32_t lstFixed = HoursToFixedAngle(lst);
    const bool wide = zoom <= 2;
    const int labelHour = wide ? 0 : ((centreRa % 24) + 24) % 24;
    const int labelDec = wide ? 0 : centreDec / decStep * decStep;

    std::vector<int> above(static_cast<std::size_t>(hours) * 2, kMissing);
    std::vector<int> here(static_cast<std::size_t>(hours) * 2, kMissing);
    bool haveAbove = false;
    for (int dec = top; dec >= bottom; dec -= decStep) {
        for (int i = 0; i < hours; ++i) {
            int x = kMissing, y = kMissing;
            if (!PlacePixel(lstFixed, HoursToFixedAngle(i * hourStep), DegreesToFixedAngle(dec), &x, &y))
                x = y = kMissing;
            here[2 * i] = x;
            here[2 * i + 1] = y;
        }
        for (int i = 0; i < hours; ++i) {
            const int x = here[2 * i], y = here[2 * i + 1];
            if (x == kMissing && y == kMissing) continue;
            const int hour = (i * hourStep) % 24;
            if (i > 0 && !(here[2 * i - 2] == kMissing && here[2 * i - 1] == kMissing))
                DrawLineColor(here[2 * i - 2], here[2 * i - 1], x, y, dec == 0 ? labelColour : lineColour);
            if (haveAbove && !(above[2 * i] == kMissing && above[2 * i + 1] == kMissing))
                DrawLineColor(above[2 * i], above[2 * i + 1], x, y, hour == 0 || hour == 12 ? labelColour : lineColour);
            SetTextColor(labelColour);
            if (hour == labelHour && i < hours - 1) {
                std::snprintf(label, sizeof label, "%d\xB0", dec);
                Text(label, x + 1, y + 1);
            }
            if (dec == labelDec && i < hours - 1) {
                std::snprintf(label, sizeof label, "%dh", hour);
                Text(label, x + 1, y + 1);
            }
        }
        std::swap(above, here);
        haveAbove = true;
    }
}

void DrawConstellationLines(float lst, platform::Color textColour, int xMin, int xMax, int skipLines, int zoom) {
    const StarRecord* stars = BrightStars();
    const int f = GetDpiFactor();
    const int turn = TurnPixels();
    const bool horizon = IsHorizonView();
    if (!skipLines && stars) {
        const int count = GetStarTableCount();
        const bool linesOn = ChartSetting(chartpref::constLines) != 0;
        for (const ConstellationLine& line : constellationLines) {
            const int a = line.value[1], b = line.value[2];
            if (a < 0 || b < 0 || a >= count || b >= count) continue;
            const StarRecord& s1 = stars[a];
            const StarRecord& s2 = stars[b];
            if (s1.word[starword::hidden] || s2.word[starword::hidden]) continue;
            const int x1 = WrapX(s1.word[starword::pixelX], xMin, xMax, turn);
            const int y1 = s1.word[starword::pixelY];
            const int x2 = WrapX(s2.word[starword::pixelX], xMin, xMax, turn);
            const int y2 = s2.word[starword::pixelY];
            // A line whose ends lie either side of the azimuth wrap would cross the view.
            if (linesOn && (!horizon || std::abs(x1 - x2) < 80 * f)) DrawLine(x1, y1, x2, y2);
            if (zoom < 3) {
                const int plus = f == 1 ? 1 : 0;
                DrawStar(nullptr, zoom, (s1.Half(6) >> 4) + plus, s1.Half(7), x1, y1);
                DrawStar(nullptr, zoom, (s2.Half(6) >> 4) + plus, s2.Half(7), x2, y2);
            }
        }
    }
    if (f == 1 || !ChartSetting(chartpref::constNames)) return;
    const int style = ChartSetting(chartpref::fontSize);
    const int previousFont = SetFont(style == 1 ? 4 : 0);
    const int previousTransparent = SetTextTransparent(style == 2 ? 0 : 1);
    SetTextColor(textColour);
    const std::int32_t lstFixed = HoursToFixedAngle(lst);
    for (const ConstellationEntry& c : ConstellationTable) {
        // A constellation without a known label position has none to draw.
        if (c.labelRa == 0 && c.labelDec == 0) continue;
        int x = 0, y = 0;
        if (!PlacePixel(lstFixed, HoursToFixedAngle(c.labelRa * 0.001), DegreesToFixedAngle(c.labelDec * 0.01), &x, &y))
            continue;
        x = WrapX(x, xMin, xMax, turn);
        DrawString(c.abbreviation, static_cast<int>(strnlen(c.abbreviation, 3)), x, y);
    }
    SetTextTransparent(previousTransparent);
    SetFont(previousFont);
}

void DrawEcliptic(float lst, platform::Color colour, int xMin, int xMax) {
    const std::int32_t lstFixed = HoursToFixedAngle(lst);
    const int turn = TurnPixels();
    const double ce = std::cos(kObliquity), se = std::sin(kObliquity);
    bool previous = false;
    int px = 0, py = 0;
    for (int l = 0; l <= 360; l += 10) {
        const double lambda = l * chartmath::kDegToRad;
        const double alpha = chartmath::WrapTurn(std::atan2(std::sin(lambda) * ce, std::cos(lambda)));
        const double delta = std::asin(std::sin(lambda) * se);
        int x = 0, y = 0;
        if (!PlacePixel(lstFixed, HoursToFixedAngle(alpha * chartmath::kRadToHours),
                        DegreesToFixedAngle(delta * chartmath::kRadToDeg), &x, &y)) {
            previous = false;
            continue;
        }
        x = WrapX(x, xMin, xMax, turn);
        if (previous && std::abs(x - px) < 80) DrawLineColor(px, py, x, y, colour);
        px = x;
        py = y;
        previous = true;
    }
}

// ---- Sky views ---------------------------------------------------------------------------------

void DrawSkyViewEcliptic(const SkyView& view, int wholeSphere) {
    std::int32_t ce = 0, se = 0;
    FixSinCos(kObliquityFixed, &ce, &se);
    bool previous = false;
    int px = 0, py = 0;
    for (std::int64_t l = 0; l <= kTurnFixed; l += 4392264) {
        std::int32_t cl = 0, sl = 0;
        FixSinCos(static_cast<std::int32_t>(l), &cl, &sl);
        const std::int32_t ra = FixAtan2(FixProduct(sl, ce), cl);
        const std::int32_t dec = FixAsin(FixProduct(sl, se));
        int x = 0, y = 0;
        std::int32_t z = 0;
        const bool used = SkyPoint(view, ra, dec, &x, &y, &z) && (wholeSphere || z >= -392817);
        if (used && previous) DrawLine(px, py, x, y);
        previous = used;
        px = x;
        py = y;
    }
}

void DrawSkyViewGrid(const SkyView& view, int horizonFlag, int visibleSkyOnly) {
    if (ChartSetting(chartpref::skyViewPlain)) return;
    const int ringWanted = skyCacheKey.horizonFlag;
    SelectHorizonOnlyMatrix();
    skyCacheKey.horizonFlag = horizonFlag;
    constexpr int kHours = 25;
    auto point = [&](int circle, int hour, int* x, int* y) {
        const std::int32_t dec = -21961350 + circle * 4392265;
        const std::int32_t ra = static_cast<std::int32_t>(hour * 4392265LL);
        std::int32_t z = 0;
        if (!SkyPoint(view, ra, std::min(dec, 26353589), x, y, &z)) return false;
        return !(visibleSkyOnly && z < -292817);
    };
    int above[kHours][2] = {};
    bool aboveOk[kHours] = {};
    // Flag -1 asks for the horizon ring alone.
    for (int circle = 0; horizonFlag >= 0 && circle <= 11; ++circle) {
        int here[kHours][2] = {};
        bool ok[kHours] = {};
        for (int h = 0; h < kHours; ++h) ok[h] = point(circle, h, &here[h][0], &here[h][1]);
        for (int h = 0; h < kHours; ++h) {
            if (!ok[h]) continue;
            if (h > 0 && ok[h - 1]) DrawLine(here[h - 1][0], here[h - 1][1], here[h][0], here[h][1]);
            if (circle > 0 && aboveOk[h]) DrawLine(above[h][0], above[h][1], here[h][0], here[h][1]);
        }
        std::memcpy(above, here, sizeof above);
        std::memcpy(aboveOk, ok, sizeof aboveOk);
    }
    if (ringWanted <= 0) return;
    static const char* const kLetters[8] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
    bool previous = false;
    int px = 0, py = 0;
    for (int i = 0; i < 25; ++i) {
        const double az = i * 15.0 * chartmath::kDegToRad;
        int x = 0, y = 0;
        const bool ok = ViewPoint(view, static_cast<std::int32_t>(-std::sin(az) * 16777216.0),
                                  static_cast<std::int32_t>(std::cos(az) * 16777216.0), 0, &x, &y);
        if (ok && previous) DrawLine(px, py, x, y);
        if (ok && i % 3 == 0 && i < 24) Text(kLetters[i / 3], x, y > view.centreY ? y + 5 : y - 10);
        previous = ok;
        px = x;
        py = y;
    }
}

void AlignChartToCentreAzimuth(int* rotation, float lst) {
    if (!rotation || ChartMode() != kChartModeSkyMap) return;
    float ra = 0.0f, dec = 0.0f;
    GetChartCentre(&ra, &dec, nullptr);
    const int r = static_cast<int>(ComputeAzimuth(lst, ra, dec, observerLocation.latitude) - 180.0);
    RotateChartTables(r - *rotation);
    *rotation = r;
    SetProjectionCenter(r);
}
