#include "planets/jupiter_view.h"

#include <cmath>
#include <cstring>

#include "chart/chart_services.h"
#include "chart/chart_settings.h"
#include "chart/star_layers.h"
#include "core/angle_units.h"
#include "core/calendar.h"
#include "core/settings.h"
#include "moon/angle_icons.h"
#include "platform/gfx_context.h"
#include "planets/planets_services.h"
#include "planets/red_spot.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"

const char kGalileanNames[kGalileanCount][10] = {"Io", "Europa", "Ganymede", "Callisto"};
int jupiterMoonFlags[kGalileanCount] = {0, 0, 0, 0};
int jupiterShadowFlags[kGalileanCount] = {0, 0, 0, 0};

namespace {

using platform::Color;

// Jupiter's polar flattening as the ratio of equatorial to polar radius.
constexpr double kJupiterFlattening = 1.071374;

constexpr int kCloseZoomStrip = 1897;  // 29 cells of 48 x 44
constexpr int kWideZoomStrip = 1870;   // 29 cells of 12 x 11
constexpr int kSatelliteDot = 4038;
constexpr int kShadowSpot = 6006;
constexpr int kRedSpotCells = 29;

// The disc strip in satelliteSprites[0] was loaded for these settings.
struct StripKey {
    double zoom = 0.0;
    int xSign = 0, ySign = 0;
};
StripKey stripKey;

double Deg(double degrees) { return NormalizeDegrees(degrees) * kDegToRad; }

bool InsideDisc(double x, double y) { return x * x + y * y < 1.0; }

int ScaleX() { return static_cast<int>(screenScale.horizontal); }
int ScaleY() { return static_cast<int>(screenScale.vertical); }

bool CloseZoom(double zoom) { return zoom == 22.0; }

}  // namespace

// Meeus, Astronomical Algorithms (2nd ed.), chapter 44, the low-accuracy method; the
// constants as the book prints them (cross-checked with astronomia's jupitermoons module,
// MIT licence).
void ComputeGalileanSatellites(double d, GalileanPositions* out) {
    const double V = Deg(172.74 + 0.00111588 * d);
    const double M = Deg(357.529 + 0.9856003 * d);
    const double N = Deg(20.020 + 0.0830853 * d + 0.329 * std::sin(V));
    const double J = Deg(66.115 + 0.9025179 * d - 0.329 * std::sin(V));
    const double A = (1.915 * std::sin(M) + 0.020 * std::sin(2 * M)) * kDegToRad;
    const double B = (5.555 * std::sin(N) + 0.168 * std::sin(2 * N)) * kDegToRad;
    const double K = J + A - B;
    const double R = 1.00014 - 0.01671 * std::cos(M) - 0.00014 * std::cos(2 * M);
    const double r = 5.20872 - 0.25208 * std::cos(N) - 0.00611 * std::cos(2 * N);
    const double delta = std::sqrt(r * r + R * R - 2 * r * R * std::cos(K));
    const double psi = std::asin(R / delta * std::sin(K));
    const double lambda = Deg(34.35 + 0.083091 * d + 0.329 * std::sin(V)) + B;
    const double Ds = 3.12 * kDegToRad * std::sin(lambda + 42.8 * kDegToRad);
    const double De = Ds - 2.22 * kDegToRad * std::sin(psi) * std::cos(lambda + 22.0 * kDegToRad) -
                      1.30 * kDegToRad * (r - delta) / delta * std::sin(lambda - 100.5 * kDegToRad);
    const double dd = d - delta / 173.0;
    const double u1 = Deg(163.8069 + 203.4058646 * dd) + psi - B;
    const double u2 = Deg(358.4140 + 101.2916335 * dd) + psi - B;
    const double u3 = Deg(5.7176 + 50.2345180 * dd) + psi - B;
    const double u4 = Deg(224.8092 + 21.4879800 * dd) + psi - B;
    const double G = Deg(331.18 + 50.310482 * dd);
    const double H = Deg(87.45 + 21.569231 * dd);
    const double u[kGalileanCount] = {
        u1 + 0.473 * kDegToRad * std::sin(2 * (u1 - u2)),
        u2 + 1.065 * kDegToRad * std::sin(2 * (u2 - u3)),
        u3 + 0.165 * kDegToRad * std::sin(G),
        u4 + 0.843 * kDegToRad * std::sin(H),
    };
    const double radius[kGalileanCount] = {
        5.9057 - 0.0244 * std::cos(2 * (u1 - u2)),
        9.3966 - 0.0882 * std::cos(2 * (u2 - u3)),
        14.9883 - 0.0216 * std::cos(G),
        26.3627 - 0.1939 * std::cos(H),
    };
    const double shadowShift = std::cos(psi) * std::sin(De - Ds) * kJupiterFlattening;
    for (int i = 0; i < kGalileanCount; ++i) {
        const double ui = NormalizeRadians(u[i]);
        const double ri = radius[i];
        out->u[i] = ui;
        out->x[i] = ri * std::sin(ui);
        out->y[i] = -ri * std::cos(ui) * std::sin(De) * kJupiterFlattening;
        out->shadowX[i] = out->x[i] - ri * std::sin(psi);
        out->shadowY[i] = out->y[i] + ri * shadowShift;
        out->sunX[i] = out->x[i] + ri * std::sin(psi);
        out->sunY[i] = out->y[i] - ri * shadowShift;
    }
}

void ClassifyGalileanPhenomena(const GalileanPositions& p, int codes[kGalileanCount], int moonFlags[kGalileanCount],
                               int shadowFlags[kGalileanCount]) {
    for (int i = 0; i < kGalileanCount; ++i) {
        const double u = p.u[i];
        int code = kNoPhenomenon;
        moonFlags[i] = (u > 1.571 && u < 4.712) ? -(i + 1) : i + 1;
        shadowFlags[i] = 0;
        // Later tests override earlier ones.
        if (InsideDisc(p.sunX[i], p.sunY[i]) && u > 1.58 && u < 4.71) {
            moonFlags[i] = 0;
            code = kEclipse;
        }
        if (InsideDisc(p.x[i], p.y[i])) {
            if (u > 2.79 && u < 3.49) {
                moonFlags[i] = 0;
                code = kOccultation;
            } else if (u > 5.93 || u < 0.35) {
                code = kTransit;
            }
        }
        if (InsideDisc(p.shadowX[i], p.shadowY[i]) && (u > 5.23 || u < 1.04)) {
            shadowFlags[i] = i + 1;
            code = code == kTransit ? kTransitAndShadow : kShadowOnly;
        }
        codes[i] = code;
    }
}

int RedSpotCell(double dt, int xSign) {
    constexpr double kRotation = 9.927943;
    constexpr double kHalfFace = 2.481986;
    while (dt > kRotation / 2) dt -= kRotation;
    while (dt < -kRotation / 2) dt += kRotation;
    int cell;
    if (std::fabs(dt) <= kHalfFace)
        cell = static_cast<int>((dt + kHalfFace) * 4.633385395126041);
    else if (dt > 0)
        cell = static_cast<int>((dt - kHalfFace) * 1.2087094770075253 + 23);
    else
        cell = static_cast<int>((dt + kHalfFace) * 1.2087094770075253 + 29);
    if (xSign < 0) cell = 28 - cell;
    if (cell > 28) cell = 28;
    if (cell < 0) cell = 0;
    return cell;
}

int DrawJupiterDisc(double, int frame, int x, int y, int xSign, int ySign) {
    const double zoom = planetView.zoom;
    if (satelliteSprites[0] &&
        (stripKey.zoom != zoom || stripKey.xSign != xSign || stripKey.ySign != ySign)) {
        DeleteOffscreen(satelliteSprites[0]);
        satelliteSprites[0] = nullptr;
    }
    if (!satelliteSprites[0]) {
        DrawWindow* strip = LoadBitmap16(CloseZoom(zoom) ? kCloseZoomStrip : kWideZoomStrip);
        if (!strip) return 1;
        if (xSign < 0 || ySign < 0) {
            DrawWindow* mirrored = MirrorOffscreen(strip, xSign < 0, ySign < 0);
            if (mirrored == strip) {  // could not be mirrored: never draw it the wrong way
                DeleteOffscreen(strip);
                return 1;
            }
            strip = mirrored;
        }
        satelliteSprites[0] = strip;
        stripKey = {zoom, xSign, ySign};
    }
    DrawWindow* strip = satelliteSprites[0];
    const int cellWidth = strip->width / kRedSpotCells;
    if (frame < 0 || frame >= kRedSpotCells || cellWidth <= 0) return 1;
    // A mirrored strip has its cells in the reverse order.
    const int column = xSign < 0 ? kRedSpotCells - 1 - frame : frame;
    CopyBits(strip, GetCurrentDrawWindow(), Bounds{column * cellWidth, 0, cellWidth, strip->height}, x, y, 0);
    return 1;
}

namespace {

void DrawSatelliteDot(int x, int y, bool close) {
    if (close && GetDpiFactor() != 1)
        DrawStar(GetCurrentDrawWindow(), 3, 6, 0, x, y);
    else
        DrawBitmapTransparent(kSatelliteDot, x - 1, y - 1);
}

void DrawSatellite(int i, int x, int y, bool close) {
    DrawSatelliteDot(x, y, close);
    const Color previous = SetTextColor(planetView.satelliteColours[i]);
    DrawString(kGalileanNames[i], 1, x + 3 * ScaleX(), y);
    SetTextColor(previous);
}

}  // namespace

int DrawJupiter(int viewWidth, int top, int year, int month, int day, int hour, int minute, double* outX,
                double* outY, int* outCodes, int draw, int xSign, int ySign) {
    const double d = DateTimeToJD(year, month, day, hour, minute, 0, observerLocation.zoneMinutes) - kJ2000;
    GalileanPositions p{};
    ComputeGalileanSatellites(d, &p);
    int codes[kGalileanCount];
    ClassifyGalileanPhenomena(p, codes, jupiterMoonFlags, jupiterShadowFlags);
    for (int i = 0; i < kGalileanCount; ++i) {
        if (outX) outX[i] = -xSign * p.x[i];
        if (outY) outY[i] = ySign * p.y[i];
        if (outCodes) outCodes[i] = codes[i];
    }
    if (!draw) return 1;

    SetPlanetColors();
    if (planetView.screenWidth == 0) {
        const DrawWindow* screen = GetDrawWindow();
        planetView.screenWidth = screen ? screen->width : 240 * ScaleX();
        planetView.screenHeight = screen ? screen->height : 320 * ScaleY();
    }
    const int previousFont = GetDpiFactor() > 1 ? SetFont(4) : -1;
    const Bounds view{0, top, viewWidth, planetView.screenHeight - 22 * ScaleY() - top};
    const Color previousFore = SetForeColor(planetView.colours.stripBackground);
    DrawRectangle(view, 0);
    ClipRectangle(view);
    const int previousTransparent = SetTextTransparent(1);

    int x = 3;
    for (int i = 0; i < kGalileanCount; ++i) {
        const Color previous = SetTextColor(planetView.satelliteColours[i]);
        const int length = static_cast<int>(std::strlen(kGalileanNames[i]));
        DrawString(kGalileanNames[i], length, x, top + 2);
        SetTextColor(previous);
        x += CharsWidth(kGalileanNames[i], length) + 4;
    }

    const double zoom = planetView.zoom;
    const bool close = CloseZoom(zoom);
    const int offset = (viewWidth - 240 * ScaleX()) / 2;
    const int cy = top + 24 * ScaleY() + 13 * ScaleY();
    auto pixelX = [&](double X) { return offset + static_cast<int>(120 * ScaleX() + X * xSign * zoom); };
    auto pixelY = [&](double Y) { return static_cast<int>(cy - Y * ySign * zoom); };

    for (int i = kGalileanCount - 1; i >= 0; --i)
        if (jupiterMoonFlags[i] < 0) DrawSatellite(i, pixelX(p.x[i]), pixelY(p.y[i]), close);

    int transitHours[kRedSpotTransits], transitMinutes[kRedSpotTransits];
    ComputeRedSpotTransits(year, month, day, transitHours, transitMinutes);
    const double dt = (hour + minute / 60.0) - (transitHours[0] + transitMinutes[0] / 60.0);
    const int cell = RedSpotCell(dt, xSign);
    if (close)
        DrawJupiterDisc(1.0, cell, offset + 98 * ScaleX(), cy - 22 * ScaleY(), xSign, ySign);
    else
        DrawJupiterDisc(1.0, cell, offset + 115 * ScaleX(), cy - 5 * ScaleY(), xSign, ySign);

    for (int i = 0; i < kGalileanCount; ++i) {
        if (jupiterMoonFlags[i] < 1) continue;
        if (jupiterShadowFlags[i]) {
            const int sx = pixelX(p.shadowX[i]), sy = pixelY(p.shadowY[i]);
            if (close && GetDpiFactor() != 1) {
                DrawBitmapTransparent(kShadowSpot, sx - 1, sy - 1);
            } else {
                SetForeColor(planetView.colours.stripBackground);
                DrawPixel(sx, sy);
            }
        }
        DrawSatellite(i, pixelX(p.x[i]), pixelY(p.y[i]), close);
    }

    SetTextTransparent(previousTransparent);
    if (previousFont >= 0) SetFont(previousFont);
    SetForeColor(previousFore);
    // No clip of our own left behind (ResetClip would clip an offscreen to nothing).
    platform::SelectClip(GetDrawDC(), platform::GfxObject{});
    return 1;
}

void ClosePlanetView() {
    preferences.word[chartpref::background] = planetView.savedStarStyle;
    FreeSavedBitmap();
    FreeSatelliteSprites();
    FreeFeatureBitmap();
}
