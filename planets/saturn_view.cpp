#include "planets/saturn_view.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/time_scales.h"
#include "chart/star_layers.h"
#include "core/angle_units.h"
#include "core/calendar.h"
#include "core/settings.h"
#include "platform/gfx_context.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"

namespace {

using platform::Color;

struct SaturnMoonElements {
    const char* name;
    const char* label;
    double L0, N, n, a;
    int colourIndex;
};
// Mean longitude at 1900.0, whole turns per century, the remainder per century, radius.
constexpr SaturnMoonElements kMoons[kSaturnViewMoons] = {
    {"Enceladus", "E", 187.76, 9596160, 124.126763, 4.1, -3},
    {"Tethys", "Te", 355.32, 6964920, 322.62375, 5.08, 0},
    {"Dione", "D", 191.71, 4804200, 114.885173, 6.51, 3},
    {"Rhea", "R", 101.37, 2910600, 80.467853, 9.09, 6},
    {"Titan", "Ti", 271.66, 824400, 225.475797, 21.1, 9},
};

constexpr double kSaturnFlattening = 1.108601;
constexpr int kRingStrip = 6008;  // 10 cells of 32 x 15, north face above the south face
constexpr int kSatelliteDot = 4038;

double Rad(double degrees) { return degrees * kDegToRad; }

}  // namespace

void ComputeSaturnAspect(double jde, SaturnAspect* out) {
    const double T = (jde - 2415020.0) / 36525.0;
    const double F = T - std::floor(T);
    const double M = Rad(358.47583 + 36000.0 * F - 0.95025 * T);
    const double eps = Rad(23.452294 - 0.0130125 * T);
    const double Ms = Rad(175.46622 + 1080.0 * F + 141.55147 * T);
    const double l = NormalizeRadians(Rad(266.564 + 1080.0 * F + 143.509884 * T) + 0.11178 * std::sin(Ms) +
                                      0.0039046151250000005 * std::sin(2 * Ms));
    const double L = NormalizeRadians(Rad(99.697 + 36000.0 * F + 0.76892 * T) + 0.0335 * std::sin(M) +
                                      0.00035070312500000005 * std::sin(2 * M));
    const double rho = std::sqrt(92.29319023400902 - 19.109494 * std::cos(L - l));
    const double lambda = l - std::asin(std::sin(L - l) / rho);
    const double beta = 0.04345869837465881 * std::sin(l - Rad(112.79 + 0.87 * T)) * 9.554747 / rho;
    const double alpha = std::atan2(std::sin(lambda) * std::cos(eps) - std::tan(beta) * std::sin(eps), std::cos(lambda));
    const double delta = std::asin(std::sin(lambda) * std::cos(beta) * std::sin(eps) + std::sin(beta) * std::cos(eps));
    const double tau = rho * 1.582572709324914e-7;

    const double i = 0.4900884539600077;
    const double node = Rad(168.12 + 1.4 * T);
    const double c = std::cos(i) * std::cos(eps) - std::cos(node) * std::sin(i) * std::sin(eps);
    const double P = std::atan(std::sqrt(1 - c * c) / c);
    const double E = std::atan(std::sin(node) * std::sin(i) /
                               (std::cos(node) * std::sin(i) * std::cos(eps) + std::cos(i) * std::sin(eps))) +
                     kPi;
    const double U0 = std::atan(std::sin(node) * std::sin(eps) /
                                (std::cos(node) * std::cos(i) * std::sin(eps) + std::sin(i) * std::cos(eps)));
    const double B = std::asin(std::sin(alpha - E) * std::cos(delta) * std::sin(P) - std::sin(delta) * std::cos(P));
    const double U = std::atan2(std::sin(alpha - E) * std::cos(delta) * std::cos(P) + std::sin(delta) * std::sin(P),
                                std::cos(alpha - E) * std::cos(delta));
    out->tilt = B * kRadToDeg;
    for (int k = 0; k < kSaturnViewMoons; ++k) {
        const SaturnMoonElements& e = kMoons[k];
        const double Lk = e.L0 + e.N * (F - tau) + e.n * (T - tau);
        const double u = NormalizeRadians(Rad(Lk) - node + U0);
        const double X = e.a * std::sin(u - U);
        const double Y = e.a * std::cos(u - U) * std::sin(B);
        out->x[k] = X;
        out->y[k] = Y;
        int code = 0;
        if (std::sqrt(X * X + kSaturnFlattening * Y * kSaturnFlattening * Y) <= 1.0) {
            const double beyond = NormalizeRadians(u - U + kPi);
            code = beyond > 1.571 && beyond < 4.712 ? 5 : 1;
        }
        out->codes[k] = code;
    }
}

int SaturnRingCell(double tiltDegrees) {
    static constexpr double kBands[9] = {0.5, 1.5, 2.5, 4.0, 6.5, 10.5, 15.5, 20.5, 25.5};
    const double b = std::fabs(tiltDegrees);
    for (int cell = 0; cell < 9; ++cell)
        if (b < kBands[cell]) return cell;
    return 9;
}

int SaturnRingRow(double tiltDegrees, int ySign) {
    const int row = tiltDegrees > 0 ? 0 : 1;
    return ySign < 0 ? 1 - row : row;
}

namespace {

int ScaleX() { return static_cast<int>(screenScale.horizontal); }

void DrawText(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }
int TextWidth(const char* text) { return CharsWidth(text, static_cast<int>(std::strlen(text))); }

void DrawMoon(int k, int x, int y, Color colour) {
    const Color previous = SetTextColor(colour);
    DrawText(kMoons[k].label, x + 3 * ScaleX(), y);
    SetTextColor(previous);
    if (GetDpiFactor() == 1)
        DrawBitmapTransparent(kSatelliteDot, x, y);
    else
        DrawStar(GetCurrentDrawWindow(), 5, 6, kMoons[k].colourIndex, x, y);
}

void DrawRings(int cx, int cy, double tilt, int ySign) {
    DrawWindow* strip = LoadBitmap16(kRingStrip);
    if (!strip) return;
    const int cell = SaturnRingCell(tilt), row = SaturnRingRow(tilt, ySign);
    const int w = strip->width / 10, h = strip->height / 2;
    CopyBitsTransparent(strip, GetCurrentDrawWindow(), Bounds{cell * w, row * h, w, h}, cx - w / 2, cy - h / 2);
    DeleteOffscreen(strip);
}

}  // namespace

void DrawSaturn(int year, int month, int day, int hour, int minute, int x, int y, int width, int height,
                double outX[kSaturnViewMoons], double outY[kSaturnViewMoons], int outCodes[kSaturnViewMoons],
                int mode, const Color colours[kSaturnViewMoons], int xSign, int ySign) {
    const double jde = DateTimeToJD(year, month, day, hour, minute, 0, observerLocation.zoneMinutes) +
                       GetDeltaT(year, month, day) / 86400.0;
    SaturnAspect aspect{};
    ComputeSaturnAspect(jde, &aspect);
    const double dpi = GetDpiFactor();
    const double scale = 3.52685 * dpi;
    const bool satellites = mode == kSaturnCompute || mode == kSaturnSatellites;
    for (int k = 0; k < kSaturnViewMoons; ++k) {
        if (satellites) {
            outX[k] = -(xSign * aspect.x[k] * scale);
            outY[k] = -(ySign * aspect.y[k] * scale);
            outCodes[k] = aspect.codes[k];
        } else {
            const double ring = std::trunc(1.5 * dpi * std::fabs(aspect.tilt));
            outX[k] = aspect.tilt < 0 ? -ring : ring;
            outY[k] = 0;
        }
    }
    if (mode != kSaturnSatellites && mode != kSaturnRings) return;

    const int previousFont = dpi > 1 ? SetFont(4) : -1;
    const Color previousText = SetTextColor(colours[0]);
    const int previousTransparent = SetTextTransparent(1);
    const Color previousFore = SetForeColor(platform::Rgb(0, 0, 0));
    const Bounds view{x, y, width, height};
    DrawRectangle(view, 0);
    ClipRectangle(view);
    const int cx = x + width / 2, cy = y + height / 2;
    auto at = [&](int k, int* px, int* py) {
        *px = cx + static_cast<int>(outX[k]);
        *py = cy + static_cast<int>(outY[k]);
    };

    if (mode == kSaturnSatellites) {
        for (int k = 0; k < kSaturnViewMoons; ++k) {
            if (outCodes[k] != 5) continue;
            int px, py;
            at(k, &px, &py);
            DrawMoon(k, px, py, colours[k]);
        }
    }
    DrawRings(cx, cy, aspect.tilt, ySign);
    if (mode == kSaturnSatellites) {
        int left = x + 1;
        for (int k = 0; k < 3; ++k) {
            SetTextColor(colours[k]);
            DrawText(kMoons[k].name, left, y + 2);
            left += TextWidth(kMoons[k].name) + 4;
        }
        int right = x + width;
        for (int k = 3; k < kSaturnViewMoons; ++k) {
            right -= TextWidth(kMoons[k].name) + 4;
            SetTextColor(colours[k]);
            DrawText(kMoons[k].name, right, y + 2);
        }
        for (int k = 0; k < kSaturnViewMoons; ++k) {
            if (outCodes[k] == 5) continue;
            int px, py;
            at(k, &px, &py);
            DrawMoon(k, px, py, colours[k]);
        }
    } else {
        const double b = std::fabs(aspect.tilt);
        const int whole = static_cast<int>(b);
        char text[32];
        std::snprintf(text, sizeof text, "Tilt %d.%d\xb0", whole, static_cast<int>((b - whole) * 10));
        SetTextColor(colours[0]);
        DrawText(text, x + 1, y + 2);
    }

    SetForeColor(previousFore);
    SetTextTransparent(previousTransparent);
    SetTextColor(previousText);
    if (previousFont >= 0) SetFont(previousFont);
    platform::SelectClip(GetDrawDC(), platform::GfxObject{});
}
