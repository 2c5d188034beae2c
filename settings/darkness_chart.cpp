#include "settings/darkness_chart.h"

#include <cstdio>
#include <cstring>

#include "astro/planetary_theory.h"
#include "astro/quick_sun_moon.h"
#include "astro/rise_set.h"
#include "catalog/object_lookup.h"
#include "catalog/records.h"
#include "core/calendar.h"
#include "core/checked_math.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "shell/time_bar.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"

using platform::Rgb;

namespace {

int Sx(double n) { return ToIntChecked(n * screenScale.horizontal, 0); }
int Sy(double n) { return ToIntChecked(n * screenScale.vertical, 0); }

constexpr double kBandAltitudes[3] = {-1.0, -6.0, -18.0};
constexpr const char* kMonthInitials[12] = {"J", "F", "M", "A", "M", "J", "J", "A", "S", "O", "N", "D"};

struct Colours {
    platform::Color background, bands[3], set, rise, transit, hourLines, labels;
};

Colours ChartColours() {
    const bool night = preferences.word[pref::nightMode] > 0;
    Colours c;
    c.background = night ? Rgb(0, 0, 0) : Rgb(102, 102, 153);
    c.bands[0] = night ? Rgb(90, 0, 0) : Rgb(51, 102, 204);
    c.bands[1] = night ? Rgb(65, 0, 0) : Rgb(0, 0, 102);
    c.bands[2] = Rgb(0, 0, 0);
    c.set = Rgb(150, 255, 0);
    c.rise = Rgb(255, 255, 0);
    c.transit = Rgb(255, 0, 0);
    c.hourLines = night ? Rgb(60, 0, 0) : Rgb(60, 60, 102);
    c.labels = night ? Rgb(GetNightLevel(), 0, 0) : Rgb(220, 200, 40);
    return c;
}

// The observing date set to a day for the comet computation, put back however it ends.
class ObservingDateGuard {
public:
    ObservingDateGuard() : saved_(observingDateTime) {}
    ~ObservingDateGuard() {
        SetObservingDateTime(saved_.year, saved_.month, saved_.day, saved_.hour, saved_.minute, saved_.second);
    }
    ObservingDateGuard(const ObservingDateGuard&) = delete;
    ObservingDateGuard& operator=(const ObservingDateGuard&) = delete;

private:
    ObservingDateTime saved_;
};

void Text(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }

// One curve of the object: the point of the previous column, if it had one.
struct Curve {
    platform::Color colour;
    bool had = false;
    int x = 0, y = 0;
};

void PlotCurvePoint(Curve& curve, double hours, int x, const DarknessChartGeometry& g) {
    double at;
    if (hours >= 14.0) at = hours;
    else if (hours <= 10.0) at = hours + 24.0;
    else {
        curve.had = false;
        return;
    }
    const int y = g.y0 + ToIntChecked(at * g.pixelsPerHour, 0);
    SetForeColor(curve.colour);
    if (curve.had) DrawLine(curve.x, curve.y, x, y);
    else DrawPixel(x, y);
    curve.had = true;
    curve.x = x;
    curve.y = y;
}

void DrawLegend(const char* name, bool withObject, const Colours& c, const DarknessChartGeometry& g, int width,
                int bottom) {
    SetFont(4);
    const int previousTransparent = SetTextTransparent(1);
    const platform::Color previousText = SetTextColor(c.labels);
    const int y = bottom - Sy(12);
    // "Sun Set" in a framed box at the left.
    SetForeColor(c.labels);
    DrawFrame(Bounds{Sx(2), y - Sy(1), Sx(34), Sy(11)});
    Text("Sun Set", Sx(4), y);
    if (withObject && name && *name) {
        const int w = CharsWidth(name, static_cast<int>(std::strlen(name)));
        Text(name, (width - w) / 2, Sy(26));
    }
    struct Item {
        const char* label;
        platform::Color colour;
    };
    int x = Sx(42);
    if (withObject) {
        for (const Item& item : {Item{"Transit", c.transit}, Item{"Set", c.set}, Item{"Rise", c.rise}}) {
            SetForeColor(item.colour);
            DrawLine(x, y + Sy(5), x + Sx(8), y + Sy(5));
            Text(item.label, x + Sx(10), y);
            x += Sx(10) + CharsWidth(item.label, static_cast<int>(std::strlen(item.label))) + Sx(6);
        }
    }
    for (const Item& item : {Item{"Twilight", c.bands[1]}, Item{"Night", c.bands[2]}}) {
        SetForeColor(item.colour);
        DrawRectangle(Bounds{x, y + Sy(1), Sx(8), Sy(8)}, 0);
        SetForeColor(c.labels);
        DrawFrame(Bounds{x, y + Sy(1), Sx(8), Sy(8)});
        Text(item.label, x + Sx(10), y);
        x += Sx(10) + CharsWidth(item.label, static_cast<int>(std::strlen(item.label))) + Sx(6);
    }
    (void)g;
    SetTextColor(previousText);
    SetTextTransparent(previousTransparent);
}

}  // namespace

int DarknessChartDays() {
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    return width > ToIntChecked(240 * screenScale.horizontal, 0) ? 720 : 380;
}

DarknessChartGeometry GetDarknessChartGeometry() {
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    DarknessChartGeometry g;
    g.pixelsPerHour = static_cast<float>(height - Sy(22) - Sy(24)) / 24.0f;
    g.y0 = ToIntChecked(Sy(24) - 13.0 * g.pixelsPerHour, 0);
    g.x0 = Sx(20);
    g.days = DarknessChartDays();
    g.pixelsPerDay = static_cast<float>(width - Sx(8)) / static_cast<float>(g.days);
    return g;
}

void DrawYearDarknessChart(const char* name, int catalog, int number, double ra, double dec, int bodyIndex, int year,
                           int month, int timeMode) {
    FreeTimeBarBitmap();
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    const int previousFont = SetFont(4);
    const Colours c = ChartColours();
    const int top = Sy(24), bottom = height - Sy(22);
    SetForeColor(c.background);
    DrawRectangle(Bounds{0, top, width, bottom - top}, 0);
    const DarknessChartGeometry g = GetDarknessChartGeometry();
    timeBar.pixelsPerDay = g.pixelsPerDay;
    timeBar.drawWidth = width;
    timeBar.drawHeight = height;

    const ObserverLocation& site = observerLocation;
    int offset = timeMode == kDarknessUniversalTime ? 0 : site.zoneMinutes - (site.daylight ? 60 : 0);
    const bool withObject = ra >= 0.0;
    Curve curves[3] = {{c.set}, {c.rise}, {c.transit}};
    int lastColumn = g.x0;
    for (int d = 0; d < g.days; ++d) {
        if (IsNavKeyDown()) break;
        const int column = g.x0 + ToIntChecked(d * g.pixelsPerDay, 0);
        if (column <= lastColumn && d > 0) continue;
        const int firstColumn = d == 0 ? g.x0 : lastColumn + 1;
        lastColumn = column;
        // Each column is a real date: day 1 of the chart month, then one day a column.
        int y = year, m = month, day = 1;
        AddDays(&y, &m, &day, d);
        int dayOffset = offset;
        if (timeMode == kDarknessDaylightTime) {
            const int count = (month * 30 + d) % 365;
            if (count > 110 && count <= 320) dayOffset += 60;
        }
        // The Sun at noon of the chart's clock: UT in time mode 2, whatever the site's zone.
        int sy = y, sm = m, sd = day, sh = 12, smin = 0;
        if (timeMode == kDarknessUniversalTime) AddMinutes(&sy, &sm, &sd, &sh, &smin, site.zoneMinutes);
        double sunRa = 0, sunDec = 0;
        SunPosition(&sunRa, &sunDec, sy, sm, sd, sh, smin, 0);
        for (int b = 0; b < 3; ++b) {
            double rise = 0, transit = 0, set = 0;
            ComputeRiseSet(y, m, day, site.latitude, site.longitude, dayOffset, site.height, kBandAltitudes[b], sunRa,
                           sunDec, &rise, &transit, &set);
            // Never below the altitude: no band that day.
            if (rise == 0.0 && set > 23.9) continue;
            double evening = set;
            if (set < 14.0) evening = (set > 10.0 || rise == 0.0) ? 14.0 : set + 24.0;
            double morning = (rise == 0.0 ? 10.0 : rise) + 24.0;
            if (morning > 34.0) morning = (morning < 38.0 || set < rise) ? 34.0 : rise;
            SetForeColor(c.bands[b]);
            const int from = g.y0 + ToIntChecked(evening * g.pixelsPerHour, 0);
            const int to = g.y0 + ToIntChecked(morning * g.pixelsPerHour, 0);
            for (int x = firstColumn; x <= column; ++x) DrawLine(x, from, x, to);
        }
        if (!withObject) continue;
        double objectRa = ra, objectDec = dec;
        if (bodyIndex >= 0 && bodyIndex < kOrbitBodyCount) {
            float positions[kOrbitBodyCount][3] = {};
            float equatorial[kOrbitBodyCount][2] = {};
            PlanetOrbitPosition(y, m, day, 0, 0, site.zoneMinutes, positions, equatorial, -1, bodyIndex, bodyIndex);
            objectRa = equatorial[bodyIndex][0];
            objectDec = equatorial[bodyIndex][1];
        } else if (catalog == kDarknessCometCatalog) {
            ObservingDateGuard guard;
            SetObservingDateTime(y, m, day, 0, 0, 0);
            ObjectRef object;
            if (BuildObjectDescription(kDarknessCometCatalog, number, &object, nullptr, nullptr, 1, nullptr)) {
                objectRa = object.ra;
                objectDec = object.dec;
            }
        }
        double rise = 0, transit = 0, set = 0;
        ComputeRiseSet(y, m, day, site.latitude, site.longitude, dayOffset, site.height, 0.0, objectRa, objectDec,
                       &rise, &transit, &set);
        if (transit == 0.0) {
            for (Curve& curve : curves) curve.had = false;
            continue;
        }
        PlotCurvePoint(curves[0], set, column, g);
        PlotCurvePoint(curves[1], rise, column, g);
        PlotCurvePoint(curves[2], transit, column, g);
    }

    // Hour lines with their labels at the left.
    const int previousTransparent = SetTextTransparent(1);
    const platform::Color previousText = SetTextColor(c.labels);
    char label[16];
    for (int h = 14; h <= 34; h += 2) {
        const int lineY = g.y0 + ToIntChecked(h * g.pixelsPerHour, 0);
        SetForeColor(c.hourLines);
        DrawLine(0, lineY, width - 1, lineY);
        std::snprintf(label, sizeof label, "%dh", h % 24);
        Text(label, 1, lineY - (h < 24 ? Sx(5) : Sx(6)) - Sy(4));
    }
    // Month initials above the midnight line.
    const int midnight = g.y0 + ToIntChecked(24.0 * g.pixelsPerHour, 0);
    int labelled = -1;
    for (int d = 0; d < g.days; d += 30) {
        const int column = g.x0 + ToIntChecked(d * g.pixelsPerDay, 0);
        if (column <= labelled) continue;
        labelled = column;
        Text(kMonthInitials[(month - 1 + d / 30) % 12], column, midnight - Sx(6) - Sy(8));
    }
    SetTextColor(previousText);
    SetTextTransparent(previousTransparent);
    DrawLegend(name, withObject, c, g, width, bottom);
    SetFont(previousFont);
}
