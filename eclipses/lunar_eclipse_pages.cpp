#include "eclipses/lunar_eclipse_pages.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "astro/angle_text.h"
#include "astro/planet_positions.h"
#include "astro/quick_sun_moon.h"
#include "astro/rise_set.h"
#include "astro/separation.h"
#include "astro/time_scales.h"
#include "core/calendar.h"
#include "core/number_text.h"
#include "core/settings.h"
#include "eclipses/eclipse_form.h"
#include "eclipses/eclipse_list.h"
#include "eclipses/eclipse_math.h"
#include "eclipses/eclipse_page_text.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/utilities.h"

namespace {

constexpr int kLunarIconBase = 4076;  // + eclipse type
constexpr int kMoonSymbol = 6057;
// The small world map: 6010 below density 4, 1221 (the same picture) from it.
constexpr int kSmallWorldMap = 6010;
constexpr int kSmallWorldMapDense = 1221;
constexpr double kHalfSecondDays = 5.787037037037037e-6;

// The contacts in the order the curves and lists take them, with their names.
struct Contact {
    int slot;
    const char* name;
};
constexpr Contact kContacts[6] = {{kLunarP1, "P1"}, {kLunarU1, "U1"}, {kLunarU2, "U2"},
                                  {kLunarU3, "U3"}, {kLunarU4, "U4"}, {kLunarP4, "P4"}};

int Sx(double n) { return ToIntChecked(n * screenScale.horizontal, 0); }
int Sy(double n) { return ToIntChecked(n * screenScale.vertical, 0); }
bool HighResolution() { return GetDpiFactor() >= 2; }
bool Night() { return preferences.word[pref::nightMode] > 0; }

// The lunar pages work in UT whatever the site's zone: the phase routine's instants are UT.
ObserverLocation UtSite() { return MakeSite(0.0f, 0.0f, 0); }

void MoonAtUt(int y, int m, int d, int h, int mi, int s, double* ra, double* dec) {
    MoonPositionAt(UtSite(), GetDeltaT(y, m, d), ra, dec, y, m, d, h, mi, s);
}

// "hh:mm UT" of a contact.
void ContactTime(char* text, std::size_t size, double jd, bool withUt = true) {
    int y, m, d, h, mi, s;
    JDToDate(jd + kHalfSecondDays, &y, &m, &d, &h, &mi, &s);
    std::snprintf(text, size, withUt ? "%02d:%02d UT" : "%02d:%02d", h, mi);
}

void ClearArea(int width, int height) {
    SetForeColor(GetBackColor());
    FillRectangle(Bounds{0, Sy(24), width, height - Sy(22) - Sy(24)});
    SetTextColor(Night() ? platform::Rgb(GetNightLevel(), 0, 0) : GetForeColor());
}

const EclipseEntry* EntryOf(const EclipseEntry* list, int row) { return list && row >= 0 ? &list[row] : nullptr; }

// Restores the site's place and zone on every way out of the Info page.
class SiteGuard {
public:
    SiteGuard()
        : longitude_(observerLocation.longitude),
          latitude_(observerLocation.latitude),
          zone_(observerLocation.zoneMinutes) {}
    ~SiteGuard() { SetSiteCoordinates(longitude_, latitude_, zone_); }
    SiteGuard(const SiteGuard&) = delete;
    SiteGuard& operator=(const SiteGuard&) = delete;

private:
    double longitude_, latitude_;
    std::int16_t zone_;
};

// Angle text of a degree value ("%d°" of trunc).
void WholeDegrees(char* text, std::size_t size, double degrees) {
    std::snprintf(text, size, "%d\xB0", ToIntChecked(degrees, 0));
}

}  // namespace

int LunarEclipseQuantities(const EclipseEntry& entry, double quantities[kLunarCircumstanceCount]) {
    for (int i = 0; i < kLunarCircumstanceCount; ++i) quantities[i] = std::numeric_limits<double>::quiet_NaN();
    int y = entry.year, m = entry.month, d = entry.day;
    AddDays(&y, &m, &d, -15);
    int lunation = 0;
    double type = kEclipseNone, jd = 0.0;
    GetMoonPhaseTime(kPhaseFullMoon, 1, &type, &jd, &lunation, 1, &d, &m, &y, 0, 0, quantities);
    return type != kEclipseNone ? 1 : 0;
}

void LunarAltitudeAzimuth(double jd, double longitudeWest, double latitude, double* altitude, double* azimuth) {
    int y, m, d, h, mi, s;
    JDToDate(jd, &y, &m, &d, &h, &mi, &s);
    double ra, dec;
    MoonAtUt(y, m, d, h, mi, s, &ra, &dec);
    const double lst = LocalSiderealTime(y, m, d, h, mi, s, longitudeWest, 0);
    *altitude = ComputeAltitude(lst, ra, dec, latitude);
    *azimuth = ComputeAzimuth(lst, ra, dec, latitude);
}

void SubLunarPoint(int year, int month, int day, int hour, int minute, int second, double* mapLongitude,
                   double* latitude) {
    double ra, dec;
    MoonAtUt(year, month, day, hour, minute, second, &ra, &dec);
    const double gst = LocalSiderealTime(year, month, day, hour, minute, second, 0.0, 0);
    double longitude = std::fmod(180.0 - 15.0 * (gst - ra), 360.0);
    if (longitude < 0.0) longitude += 360.0;
    *mapLongitude = longitude;
    *latitude = dec;
}

void LunarHorizonRows(double jd, int mapY, int width, int height, int* rows) {
    int y, m, d, h, mi, s;
    JDToDate(jd, &y, &m, &d, &h, &mi, &s);
    double ra, dec;
    MoonAtUt(y, m, d, h, mi, s, &ra, &dec);
    const double hourAngle = 15.0 * NormalizeHourAngle(LocalSiderealTime(y, m, d, h, mi, s, 0.0, 0) - ra);
    // A Moon on the equator has its horizon along two meridians.
    const double slope = -std::cos(dec * kDegToRad) / SineAwayFromZero(std::sin(dec * kDegToRad));
    const int middle = mapY + height / 2;
    for (int c = 0; c < width; ++c) {
        const double lambda = 360.0 * c / width;
        const double a = std::atan(std::cos((lambda + hourAngle) * kDegToRad) * slope) * kRadToDeg;
        rows[c] = ToIntChecked(mapY + height + (a - 90.0) * height / 180.0, middle);
    }
}

int DrawLunarEclipseDiagram(const EclipseEntry* list, const double* quantities, int row, int mapX, int mapY,
                            int mapWidth, int mapHeight) {
    const EclipseEntry* e = EntryOf(list, row);
    if (!e || mapWidth < 2 || mapHeight < 2) return 0;
    double own[kLunarCircumstanceCount];
    if (!quantities) {
        LunarEclipseQuantities(*e, own);
        quantities = own;
    }
    const platform::Color curve = Night() ? platform::Rgb(231, 0, 0) : platform::Rgb(231, 231, 231);
    SetForeColor(curve);
    SetTextColor(curve);
    std::vector<int> rows(static_cast<std::size_t>(mapWidth));
    const int middle = mapY + mapHeight / 2;
    int drawn = 0;
    for (const Contact& c : kContacts) {
        if (!LunarContactOccurs(quantities, c.slot)) continue;
        LunarHorizonRows(quantities[c.slot], mapY, mapWidth, mapHeight, rows.data());
        int first = -1, last = -1;
        for (int x = 0; x < mapWidth; ++x) {
            if (x > 0) DrawLine(mapX + x - 1, rows[x - 1], mapX + x, rows[x]);
            if (std::abs(rows[x] - middle) <= 5) {
                if (first < 0) first = x;
                last = x;
            }
        }
        ++drawn;
        if (first < 0) continue;
        const int dx = c.slot == kLunarP4 ? 2 : 3;
        const bool lower = c.slot == kLunarP1 || c.slot == kLunarU2 || c.slot == kLunarU4;
        const int y = middle + (lower ? Sy(10) : 0);
        PageString(c.name, mapX + first - dx, y);
        if (last != first) PageString(c.name, mapX + last - dx, y);
    }
    double longitude, latitude;
    SubLunarPoint(e->year, e->month, e->day, e->hour, e->minute, e->second, &longitude, &latitude);
    const int x = ToIntChecked(mapX + mapWidth * longitude / 360.0 - 2.0, mapX);
    const int y = ToIntChecked(mapY + mapHeight / 2.0 - (mapHeight / 2.0) * latitude / 90.0 - 2.0, middle);
    DrawBitmapMasked(kLunarIconBase + ToIntChecked(e->type, 0), x, y);
    SetTextColor(Night() ? platform::Rgb(GetNightLevel(), 0, 0) : GetForeColor());
    PageString("All Eclipse", x - Sx(10), y + Sy(8));
    PageString("Visible", x - Sx(5), y + Sy(16));
    return drawn;
}

void DrawLunarContacts(const EclipseEntry* list, int row, int width, int height) {
    const EclipseEntry* e = EntryOf(list, row);
    if (!e) return;
    ClearPageTexts();
    ClearArea(width, height);
    char date[40], text[96], first[24], second[24];
    FormatDate(date, e->day, e->month, e->year);
    std::snprintf(text, sizeof text, "Path of %s Moon Eclipse", date);
    SetFont(HighResolution() ? 5 : 0);
    PageString(text, Sx(1), Sy(24));
    const int mapX = width / 2 - Sy(240) / 2;
    const int mapY = Sy(24) + Sy(13);
    DrawBitmap(GetDpiFactor() < 4 ? kSmallWorldMap : kSmallWorldMapDense, mapX, mapY);
    double q[kLunarCircumstanceCount];
    LunarEclipseQuantities(*e, q);
    SetFont(HighResolution() ? 4 : 0);
    int y = mapY + Sy(120);
    const int L = Sy(13) + (GetDpiFactor() == 1 ? 1 : 0);
    PageString("Contacts:", mapX, y);
    struct Line {
        const char* label;
        const char* names[2];
        int slots[2];
    };
    const Line lines[3] = {{"Penumbra", {": P1=", "P4="}, {kLunarP1, kLunarP4}},
                           {"Umbra", {": U1=", "U4="}, {kLunarU1, kLunarU4}},
                           {"Total Phase", {": U2=", "U3="}, {kLunarU2, kLunarU3}}};
    for (const Line& line : lines) {
        if (!LunarContactOccurs(q, line.slots[0]) || !LunarContactOccurs(q, line.slots[1])) continue;
        y += L;
        ContactTime(first, sizeof first, q[line.slots[0]]);
        ContactTime(second, sizeof second, q[line.slots[1]]);
        std::snprintf(text, sizeof text, "%s%s%s", line.label, line.names[0], first);
        PageString(text, mapX + Sx(5), y);
        std::snprintf(text, sizeof text, "%s%s", line.names[1], second);
        PageString(text, mapX + Sy(148), y);
    }
    SetFont(HighResolution() ? 4 : 0);
    DrawLunarEclipseDiagram(list, q, row, mapX, mapY, Sy(240), Sy(120));
    SetFont(0);
}

void DrawLunarEclipseTimes(const EclipseEntry* list, int row, double, double, int width, int height) {
    const EclipseEntry* e = EntryOf(list, row);
    if (!e) return;
    ClearPageTexts();
    SetTextColor(Night() ? platform::Rgb(GetNightLevel(), 0, 0) : GetForeColor());
    double q[kLunarCircumstanceCount];
    LunarEclipseQuantities(*e, q);
    const int left = (width - Sx(240)) / 2;
    const int top = (height - Sy(320)) / 2;
    const int x0 = left + Sx(70), y0 = top + Sy(130), W = Sx(100), H = Sy(100);
    const int cx = x0 + W / 2, cy = y0 + H / 2;
    char text[96], value[32];
    SetFont(HighResolution() ? 4 : 0);
    FormatDate(text, e->day, e->month, e->year);
    PageString(text, 0, Sy(13) + Sy(24));
    std::snprintf(text, sizeof text, "(Greatest at %02dh%02d:%02dmUT", e->hour, e->minute, e->second);
    PageString(text, 2 * left + Sx(112), Sy(24));

    const ObserverLocation ut = UtSite();
    const double deltaT = GetDeltaT(e->year, e->month, e->day);
    BodyRecord sun{}, moon{};
    ComputePlanetAt(ut, deltaT, 0, &sun, kBodySun, e->year, e->month, e->day, e->hour, e->minute, e->second);
    ComputePlanetAt(ut, deltaT, 0, &moon, kBodyMoon, e->year, e->month, e->day, e->hour, e->minute, e->second);
    const int k = 14 * GetDpiFactor();
    const double ratio = sun.distance > 0.0 ? moon.distance / sun.distance : 0.0;
    const double penumbra = 6378.14 + 701378.14 * ratio;
    const double umbra = 6378.14 - 688621.86 * ratio;
    const bool big = e->type >= 3.0;
    const int penumbraDiameter = ToIntChecked(penumbra * k * 0.0006041426927502877 * (big ? 1.05 : 1.0), 0);
    const int umbraDiameter = ToIntChecked(umbra * k * 0.0005930955120828538 * (big ? 1.07 : 1.0), 0);
    const double moonDiameter = moon.diameter > 0.0 ? moon.diameter : 31.0;  // arc minutes
    // Pixels per arc minute: the Moon's 1738 km radius drawn at the discs' scale.
    const double pixelsPerArcmin = k * 0.0006041426927502877 * 1738.0 * 2.0 / (2.0 * moonDiameter);

    PageString("N", x0 + W / 2 - Sx(3), y0);
    PageString("S", x0 + W / 2 - Sx(3), y0 + H - Sy(10));
    PageString("E", x0, y0 + H / 2 - Sy(3));
    PageString("W", x0 + W - Sx(6), y0 + H / 2 - Sy(3));
    const int n = GetNightLevel();
    SetForeColor(Night() ? platform::Rgb(201 * n / 255, 0, 0) : platform::Rgb(201, 201, 255));
    FillDisc(cx, cy, penumbraDiameter);
    SetForeColor(Night() ? platform::Rgb(n, 0, 0) : platform::Rgb(255, 153, 153));
    FillDisc(cx, cy, umbraDiameter);

    // Offsets on the sky (arc minutes, east to the left) turned into pixels.
    auto toPixels = [&](double dRaHours, double dDecDegrees, double dec, int* px, int* py) {
        if (dRaHours > 12.0) dRaHours -= 24.0;
        if (dRaHours < -12.0) dRaHours += 24.0;
        *px = ToIntChecked(cx - dRaHours * 900.0 * std::cos(dec * kDegToRad) * pixelsPerArcmin, cx);
        *py = ToIntChecked(cy - dDecDegrees * 60.0 * pixelsPerArcmin, cy);
    };
    // The ecliptic: the antisolar point two days before and after.
    {
        int ends[2][2];
        for (int i = 0; i < 2; ++i) {
            int y = e->year, m = e->month, d = e->day;
            AddDays(&y, &m, &d, i == 0 ? -2 : 2);
            BodyRecord other{};
            ComputePlanetAt(ut, GetDeltaT(y, m, d), 0, &other, kBodySun, y, m, d, e->hour, e->minute, e->second);
            toPixels(other.rightAscension - sun.rightAscension, -(other.declination - sun.declination),
                     -sun.declination, &ends[i][0], &ends[i][1]);
        }
        SetForeColor(Night() ? platform::Rgb(n, 0, 0) : platform::Rgb(0, 0, 0));
        DrawLine(ends[0][0], ends[0][1], ends[1][0], ends[1][1]);
    }
    SetFont(HighResolution() ? 4 : 0);
    const double penumbraRadius = moonDiameter * penumbra / 1738.0 / 120.0;
    const double umbraRadius = moonDiameter * umbra / 1738.0 / 120.0;
    const int L = Sy(13) + (GetDpiFactor() == 1 ? 1 : 0);
    FormatFixed(value, penumbraRadius, 2);
    std::snprintf(text, sizeof text, "P. Radius=%s\xB0", value);
    PageString(text, left + Sx(130), top + Sy(64));
    FormatFixed(value, umbraRadius, 2);
    std::snprintf(text, sizeof text, "U. Radius=%s\xB0", value);
    PageString(text, left + Sx(130), top + Sy(64) + L);

    // The Moon at each instant, placed from the shadow's centre of that instant.
    struct Instant {
        int slot;
        const char* name;
    };
    constexpr Instant kInstants[7] = {{kLunarP1, "P1"}, {kLunarU1, "U1"}, {kLunarU2, "U2"}, {kLunarGreatest, ""},
                                      {kLunarU3, "U3"}, {kLunarU4, "U4"}, {kLunarP4, "P4"}};
    int listY = top + Sy(64);
    const int half = Sx(8);
    for (const Instant& c : kInstants) {
        if (!LunarContactOccurs(q, c.slot)) continue;
        int y, m, d, h, mi, s;
        JDToDate(q[c.slot] + kHalfSecondDays, &y, &m, &d, &h, &mi, &s);
        BodyRecord at{}, shadow{};
        const double dt = GetDeltaT(y, m, d);
        ComputePlanetAt(ut, dt, 0, &at, kBodyMoon, y, m, d, h, mi, s);
        ComputePlanetAt(ut, dt, 0, &shadow, kBodyEarthShadow, y, m, d, h, mi, s);
        int px, py;
        toPixels(at.rightAscension - shadow.rightAscension, at.declination - shadow.declination, shadow.declination,
                 &px, &py);
        DrawBitmapMasked(kMoonSymbol, px - half, py - half);
        if (c.name[0] == '\0') continue;
        PageString(c.name, px + half + 1, py - Sy(6));
        std::snprintf(text, sizeof text, "%s=%02d:%02d", c.name, h, mi);
        PageString(text, 2, listY);
        listY += L;
    }
    SetFont(0);
}

void DrawLunarEclipseInfo(const EclipseEntry* list, int row, int width, int height, int hour, int minute, int second,
                          double longitude, double latitude) {
    const EclipseEntry* e = EntryOf(list, row);
    if (!e) return;
    SiteGuard guard;
    SetSiteCoordinates(longitude, latitude, 0);
    ClearPageTexts();
    ClearArea(width, height);
    const bool high = HighResolution();
    const int L = Sy(13) + (GetDpiFactor() == 1 ? 1 : 0);
    // The small font keeps the page's columns apart on a 240-pixel-wide screen.
    const int bodyFont = 2, headingFont = high ? 5 : 0;
    char text[112], a[40], b[40], c[40];

    SetFont(bodyFont);
    const double deltaT = GetDeltaT(e->year, e->month, e->day);
    const int millis = ToIntChecked(deltaT * 1000.0, 0);
    std::snprintf(text, sizeof text, "(UT-ET=%d.%03ds)", millis / 1000, std::abs(millis % 1000));
    int y = Sy(24) + 2 * Sy(22);
    PageString(text, 2, y);
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
    SetField(eclipse_form::kTime, text);
    ShowPlaceFields(longitude, latitude);

    double q[kLunarCircumstanceCount];
    LunarEclipseQuantities(*e, q);
    y += L + 2;

    if (high) {
        BodyRecord moon{}, shadow{};
        ComputePlanet(&moon, kBodyMoon, e->year, e->month, e->day, hour, minute, second);
        ComputePlanet(&shadow, kBodyEarthShadow, e->year, e->month, e->day, hour, minute, second);
        SetFont(headingFont);
        PageString("Current Positions", 2, y);
        SetFont(4);
        DMSToStr(a, sizeof a,
                 AngularSeparation(moon.rightAscension, moon.declination, shadow.rightAscension, shadow.declination));
        std::snprintf(text, sizeof text, "(Visual separation %s)", a);
        PageString(text, 2 + Sx(100), y);
        SetFont(bodyFont);
        const int x0 = 2 + Sx(5);
        const struct {
            const char* name;
            const BodyRecord* body;
        } rows[2] = {{"Moon", &moon}, {"Earth Shadow", &shadow}};
        for (const auto& r : rows) {
            y += L;
            PageString(r.name, x0, y);
            PageString(HMSToStr(a, sizeof a, r.body->rightAscension), x0 + Sx(110), y);
            PageString(DMSToStr(a, sizeof a, r.body->declination), x0 + Sx(170), y);
        }
        y += L;
    }

    const int x = high ? 2 + 2 * Sx(5) : 2;
    const int x1 = x + Sx(5);
    const int pad = high ? 4 : 5;
    SetFont(headingFont);
    PageString("Eclipse Informations", x, y);
    SetFont(bodyFont);
    // The formatter rounds, so the values go in as they are.
    FormatFixed(b, e->refined / 3600.0, 3);
    if (high) {
        FormatFixed(a, q[kLunarGamma], 3);
        std::snprintf(text, sizeof text, "(Gamma %s, Axis %s\xB0)", a, b);
    } else {
        std::snprintf(text, sizeof text, "(Axis %s\xB0)", b);
    }
    PageString(text, x + Sx(100), y);
    struct Magnitude {
        const char* label;
        int magnitude, radius;
    };
    for (const Magnitude& m : {Magnitude{"Penumbral Magnitude", kLunarPenumbralMagnitude, kLunarPenumbralRadius},
                               Magnitude{"Umbral Magnitude", kLunarUmbralMagnitude, kLunarUmbralRadius}}) {
        y += L;
        PageString(m.label, x1, y);
        if (q[m.magnitude] >= 0.0) FormatFixed(a, q[m.magnitude], 2);
        else std::snprintf(a, sizeof a, "-");
        PageString(a, x1 + Sx(110), y);
        PageString("Radius", x1 + Sx(150), y);
        FormatFixed(b, q[m.radius], 3);
        std::snprintf(text, sizeof text, "%s\xB0", b);
        PageString(text, x1 + Sx(190), y);
    }

    y += L;
    SetFont(headingFont);
    PageString("Local Circumstances of Eclipse", x, y);
    SetFont(bodyFont);
    if (height <= Sy(240)) {
        y += L;
        std::snprintf(text, sizeof text, "(Greatest at %02d:%02d UT)", e->hour, e->minute);
        PageString(text, x1, y);
        struct Compact {
            const char* label;
            const char* names[2];
            int slots[2];
        };
        const Compact lines[3] = {{"Penumbra", {": P1=", " P4="}, {kLunarP1, kLunarP4}},
                                  {"Umbra", {": U1=", " U4="}, {kLunarU1, kLunarU4}},
                                  {"Total", {": U2=", " U3="}, {kLunarU2, kLunarU3}}};
        for (const Compact& line : lines) {
            if (!LunarContactOccurs(q, line.slots[0]) || !LunarContactOccurs(q, line.slots[1])) continue;
            y += L;
            PageString(line.label, x1, y);
            PageString(line.names[0], x1 + Sx(60), y);
            ContactTime(a, sizeof a, q[line.slots[0]]);
            PageString(a, x1 + Sx(90) + pad, y);
            PageString(line.names[1], x1 + Sx(150), y);
            ContactTime(a, sizeof a, q[line.slots[1]]);
            PageString(a, x1 + Sx(190) + pad, y);
        }
    } else {
        y += L;
        PageString("Alt", x + Sx(165), y);
        if (high) {
            PageString("Azt", x + Sx(195), y);
            PageString("Axis", x + Sx(215), y);
        }
        struct Full {
            const char* label;
            const char* name;
            int slot;
        };
        const Full lines[7] = {{"Penumbra Start", ": P1=", kLunarP1}, {"Umbra Start", ": U1=", kLunarU1},
                               {"Total start", ": U2=", kLunarU2},    {"Greatest", " ", kLunarGreatest},
                               {"Total End", ": U3=", kLunarU3},      {"Umbra End", ": U4=", kLunarU4},
                               {"Penumbra End", ": P4=", kLunarP4}};
        for (const Full& line : lines) {
            double jd;
            if (line.slot == kLunarGreatest) {
                jd = DateTimeToJD(e->year, e->month, e->day, e->hour, e->minute, 0, 0);
                std::snprintf(a, sizeof a, "%02d:%02d UT", e->hour, e->minute);
            } else {
                if (!LunarContactOccurs(q, line.slot)) continue;
                jd = q[line.slot] + kHalfSecondDays;
                ContactTime(a, sizeof a, q[line.slot]);
            }
            y += L;
            PageString(line.label, x1, y);
            PageString(line.name, x1 + Sx(80), y);
            PageString(a, x1 + Sx(110) + pad, y);
            double altitude, azimuth;
            LunarAltitudeAzimuth(jd, longitude, latitude, &altitude, &azimuth);
            WholeDegrees(b, sizeof b, altitude);
            PageString(b, x1 + Sx(160) + pad, y);
            if (high) {
                WholeDegrees(c, sizeof c, azimuth);
                PageString(c, x1 + Sx(190) + pad, y);
            }
        }
    }
    SetFont(0);
}
