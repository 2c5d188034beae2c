#include "planets/red_spot.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "astro/planet_positions.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "core/angle_units.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "planets/planet_view_state.h"
#include "shell/colour_scheme.h"
#include "shell/date_time_form.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "shell/utilities.h"

namespace {

using platform::Color;
using platform::Rgb;

constexpr double kObliquity = 0.40909260682025794;  // radians, fixed
constexpr double kLightTimeRotation = 5.026244385;  // degrees of System II per AU of light path
constexpr double kAdjustStep = 0.2;
constexpr int kAdjustStepCap = 2000;
constexpr int kRowHeight = 15;

struct Orbit {
    double l;  // heliocentric longitude, degrees
    double r;  // radius, AU
};

Orbit FirstOrderOrbit(double meanLongitude, double perihelion, double e, double a) {
    const double M = NormalizeDegrees(meanLongitude - perihelion);
    const double v = NormalizeDegrees(M + 2.0 * e * std::sin(M * kDegToRad) * 57.29578);
    return Orbit{v + perihelion, a * (1.0 - e * e) / (1.0 + e * std::cos(v * kDegToRad))};
}

double Sin(double degrees) { return std::sin(degrees * kDegToRad); }
double Cos(double degrees) { return std::cos(degrees * kDegToRad); }

// Julian day of local midnight at the start of the date.
double LocalMidnight(int year, int month, int day) {
    return DateTimeToJD(year, month, day, 0, 0, 0, observerLocation.zoneMinutes);
}

}  // namespace

double JupiterCentralMeridianII(double jd) {
    const double d = jd - kJ2000;
    const double T = d / 36525.0;

    const double incl = 1.3053 - 0.001152777777777778 * T;
    const double node = 100.55615 + 0.3381027777777778 * T;
    const Orbit jupiter = FirstOrderOrbit(34.40438 + 0.083086762 * d, 14.75385 + 0.23331388888888888 * T,
                                          0.04839266 - 0.0001288 * T, 5.20336301 + 0.00060737 * T);
    const Orbit earth = FirstOrderOrbit(100.46435 + 0.9856091 * d, 102.94719 + 0.33285555555555557 * T,
                                        0.01671022 - 0.00003804 * T, 1.00000011 - 0.00000005 * T);
    const double L = earth.l, R = earth.r;

    const double psi = std::asin(Sin(incl) * Sin(jupiter.l - node)) * kRadToDeg;
    double lp = std::atan(Cos(incl) * Sin(jupiter.l - node) / Cos(jupiter.l - node)) * kRadToDeg + node;
    if (Cos(jupiter.l - node) < 0.0) lp += 180.0;
    const double rp = jupiter.r * Cos(psi);

    const double lambda = lp + std::atan(R * Sin(lp - L) / (rp - R * Cos(lp - L))) * kRadToDeg;
    // The latitude through atan, not atan2: the sign of sin(l' - L) must not turn it by 180
    // degrees. At opposition and conjunction the ratio is 0/0; its limit is the latitude
    // over the projected distance.
    const double below = R * Sin(lp - L);
    double beta;
    if (std::fabs(below) > 1e-9) {
        beta = std::atan(rp * std::tan(psi * kDegToRad) * Sin(lambda - lp) / below);
    } else {
        const double projected = std::sqrt(rp * rp + R * R - 2.0 * rp * R * Cos(lp - L));
        beta = std::atan(rp * std::tan(psi * kDegToRad) / projected);
    }

    const double lam = lambda * kDegToRad;
    const double alpha = std::atan2(std::sin(lam) * std::cos(kObliquity) - std::tan(beta) * std::sin(kObliquity),
                                    std::cos(lam));
    const double delta = std::asin(std::sin(beta) * std::cos(kObliquity) +
                                   std::cos(beta) * std::sin(kObliquity) * std::sin(lam));
    const double distance = std::sqrt(R * R + jupiter.r * jupiter.r - 2.0 * R * jupiter.r * Cos(jupiter.l - L));

    const double alpha0 = (268.05 - 0.009 * T) * kDegToRad;
    const double delta0 = (64.49 + 0.003 * T) * kDegToRad;
    const double W = NormalizeDegrees(43.3 + kSystemIIRate * d);

    const double D = alpha0 - alpha;
    const double sinDE = -std::sin(delta) * std::sin(delta0) - std::cos(D) * std::cos(delta) * std::cos(delta0);
    const double cosDE = std::cos(std::asin(sinDE));
    const double K = std::atan2((std::cos(D) * std::cos(delta) * std::sin(delta0) - std::sin(delta) * std::cos(delta0)) /
                                    cosDE,
                                std::sin(D) * std::cos(delta) / cosDE) *
                     kRadToDeg;
    return NormalizeDegrees(W - kLightTimeRotation * distance - K);
}

double RedSpotLongitudeAt(double jd) {
    int year = 0, month = 0, day = 0;
    GetLocalDateTime(&year, &month, &day, nullptr, nullptr, nullptr);
    const double today = LocalMidnight(year, month, day);
    return PreferenceFloat(pref::grsLongitude) + (jd - today) * kRedSpotDriftPerDay;
}

void RedSpotTransitsFor(double jdMidnight, double longitude, int hours[kRedSpotTransits],
                        int minutes[kRedSpotTransits]) {
    const double x = NormalizeDegrees(longitude - JupiterCentralMeridianII(jdMidnight));
    for (int k = 0; k < kRedSpotTransits; ++k) {
        const double t = (x + 360.0 * k) * 24.0 / kSystemIIRate;
        hours[k] = static_cast<int>(std::floor(t));
        minutes[k] = static_cast<int>(std::floor(60.0 * (t - hours[k])));
    }
}

void ComputeRedSpotTransits(int year, int month, int day, int hours[kRedSpotTransits],
                            int minutes[kRedSpotTransits]) {
    const double jd = LocalMidnight(year, month, day);
    RedSpotTransitsFor(jd, RedSpotLongitudeAt(jd), hours, minutes);
}

RedSpotSight ClassifyRedSpotTransit(double jupiterAltitude, double sunAltitude) {
    if (sunAltitude >= -10.0) return kRedSpotDaylight;
    if (jupiterAltitude > 10.0) return kRedSpotVisible;
    return kRedSpotLow;
}

int ComputeRedSpotTable(int year, int month, int day, int rowCount, RedSpotTableRow* rows, int capacity) {
    const ObserverLocation& site = observerLocation;
    int written = 0;
    for (int i = 0; i < rowCount && written < capacity; ++i) {
        RedSpotTableRow& row = rows[written++];
        row = RedSpotTableRow{};
        row.year = year;
        row.month = month;
        row.day = day;
        // Jupiter at 21:00 and the Sun at noon of this row's own date: over the weeks of a
        // table the Sun's hour angle at a clock time moves by about an hour.
        BodyRecord jupiter{}, sun{};
        ComputePlanet(&jupiter, kBodyJupiter, year, month, day, 21, 0, 0);
        ComputePlanet(&sun, kBodySun, year, month, day, 12, 0, 0);
        int hours[kRedSpotTransits], minutes[kRedSpotTransits];
        ComputeRedSpotTransits(year, month, day, hours, minutes);
        for (int k = 0; k < kRedSpotTransits; ++k) {
            if (hours[k] > 23) continue;
            const double lst =
                LocalSiderealTime(year, month, day, hours[k], minutes[k], 0, site.longitude, site.zoneMinutes);
            const double jupiterAltitude =
                ComputeAltitude(lst, jupiter.rightAscension, jupiter.declination, site.latitude);
            const double sunAltitude = ComputeAltitude(lst, sun.rightAscension, sun.declination, site.latitude);
            row.hours[row.count] = hours[k];
            row.minutes[row.count] = minutes[k];
            row.sight[row.count] = ClassifyRedSpotTransit(jupiterAltitude, sunAltitude);
            ++row.count;
        }
        AddDays(&year, &month, &day, 1);
    }
    return written;
}

void DrawRedSpotTable() {
    const int sx = static_cast<int>(screenScale.horizontal);
    const int sy = static_cast<int>(screenScale.vertical);
    int width = planetView.screenWidth, height = planetView.screenHeight;
    if (width <= 0 || height <= 0) GetScreenSize(&width, &height);
    const int savedYear = planetView.year, savedMonth = planetView.month, savedDay = planetView.day;

    BeginOffscreenDraw(false);
    SetPlanetColors();
    const PlanetColours& colours = planetView.colours;
    const Color highlight = Rgb(GetNightLevel(), 0, 0);

    const Color previousFore = SetForeColor(colours.stripBackground);
    const Color previousBack = SetBackColor(colours.stripBackground);
    const Color previousText = SetTextColor(colours.foreground);
    const int previousFont = SetFont(1);
    const int previousTransparent = SetTextTransparent(1);
    DrawRectangle(Bounds{0, 24 * sy, width, height - 29 * sy}, 0);

    const int rowCount = (height - 59 * sy) / (kRowHeight * sy);
    const int extra = (width - 240 * sx) / 13;
    for (int r = 0; r < rowCount; ++r) {
        SetForeColor(r % 2 == 0 ? colours.lightBand : colours.stripBackground);
        DrawRectangle(Bounds{0, (24 + r * kRowHeight) * sy, width, kRowHeight * sy}, 0);
    }
    const int top0 = 24 * sy;
    DrawString("Date", 4, 1, top0);
    const char* heading = "Red Spot transit (LT)";
    DrawString(heading, 21, 75 * sx, top0);
    SetFont(0);

    RedSpotTableRow rows[256];
    const int count = ComputeRedSpotTable(planetView.year, planetView.month, planetView.day, rowCount - 1, rows, 256);
    for (int i = 0; i < count; ++i) {
        const RedSpotTableRow& row = rows[i];
        // The view's date follows the rows while they are drawn.
        planetView.year = row.year;
        planetView.month = row.month;
        planetView.day = row.day;
        const int top = (24 + (i + 1) * kRowHeight) * sy;
        const int next = top + kRowHeight * sy;
        char text[32];
        const int length = FormatDate(text, row.day, row.month, row.year);
        SetTextColor(colours.foreground);
        DrawString(text, length, 1, top);
        int c = 0;
        for (int k = 0; k < row.count; ++k) {
            std::snprintf(text, sizeof text, "%02dh%02d", row.hours[k], row.minutes[k]);
            SetTextColor(row.sight[k] == kRedSpotVisible ? highlight : colours.foreground);
            DrawString(text, 5, (75 + c) * sx, top);
            c += 5 * 5 + extra / 2;
            if (row.sight[k] == kRedSpotDaylight) {
                DrawSymbolIcon(0, 0, (75 + c + 18) * sx, top + 6 * sy);
            } else if (row.sight[k] == kRedSpotLow) {
                DrawSymbolIcon(5, 0, (75 + c + 18) * sx, top + 6 * sy);
                DrawLineColor((75 + c + 24) * sx, top, (75 + c + 10) * sx, next, colours.foreground);
            }
            c += 29 + extra;
        }
    }
    planetView.year = savedYear;
    planetView.month = savedMonth;
    planetView.day = savedDay;

    SetTextTransparent(previousTransparent);
    SetFont(previousFont);
    SetTextColor(previousText);
    SetBackColor(previousBack);
    SetForeColor(previousFore);
    EndOffscreenDraw();
}

int SolveRedSpotLongitude() {
    int year = observingDateTime.year, month = observingDateTime.month, day = observingDateTime.day;
    int hour = 0, minute = 0, second = 0;
    // A cancelled picker leaves the setting alone.
    if (!EditDateTime(&year, &month, &day, &hour, &minute, &second)) return 0;
    return AdjustRedSpotLongitude(year, month, day, hour, minute);
}

int AdjustRedSpotLongitude(int year, int month, int day, int hour, int minute) {
    const double jd = LocalMidnight(year, month, day);
    const double drift = RedSpotLongitudeAt(jd) - PreferenceFloat(pref::grsLongitude);
    int hours[kRedSpotTransits], minutes[kRedSpotTransits];
    const double start = PreferenceFloat(pref::grsLongitude);
    RedSpotTransitsFor(jd, start + drift, hours, minutes);
    const int target = hour * 60 + minute;
    int k = 0;
    while (k < kRedSpotTransits && std::abs(target - (hours[k] * 60 + minutes[k])) >= 60) ++k;
    if (k == kRedSpotTransits) {
        ShowMessage("It seems it is not a valid Red Spot UTC transit time", "");
        return 0;
    }

    const auto difference = [&](double setting) {
        RedSpotTransitsFor(jd, setting + drift, hours, minutes);
        return std::abs(target - (hours[k] * 60 + minutes[k]));
    };
    // Forward by 0.2 degrees while the transit closes in; if the first steps take it away,
    // go back the other way. The first step is always made.
    double setting = start;
    int best = difference(setting);
    int steps = 0;
    double step = kAdjustStep;
    bool reversed = false;
    while (steps < kAdjustStepCap) {
        ++steps;
        const int d = difference(setting + step);
        if (d > best) {
            if (reversed) break;
            if (steps == 1) setting += step;  // the first step stands
            reversed = true;
            step = -kAdjustStep;
            best = difference(setting);
            continue;
        }
        setting += step;
        best = d;
        if (d == 0) break;
    }
    SetPreferenceFloat(pref::grsLongitude, static_cast<float>(setting));
    AfterSettingsHook();
    const float stored = PreferenceFloat(pref::grsLongitude);
    const int whole = static_cast<int>(stored);
    const int tenth = std::abs(static_cast<int>((stored - whole) * 10.0f));
    char text[48];
    std::snprintf(text, sizeof text, "Red Spot longitude %d.%d", whole, tenth);
    ShowMessage(text, "");
    return 1;
}
