#include "eclipses/eclipse_map.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/planet_positions.h"
#include "astro/quick_sun_moon.h"
#include "astro/time_scales.h"
#include "core/calendar.h"
#include "core/initialisers.h"
#include "core/report.h"
#include "core/settings.h"
#include "eclipses/central_line.h"
#include "eclipses/eclipse_form.h"
#include "eclipses/eclipse_math.h"
#include "eclipses/eclipse_page_text.h"
#include "eclipses/eclipse_sun_moon.h"
#include "eclipses/local_circumstances.h"
#include "eclipses/lunar_eclipse_pages.h"
#include "eclipses/umbra_ground.h"
#include "moon/globe_overlay.h"
#include "platform/gfx_context.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/place_text.h"
#include "shell/world_map.h"

namespace {

constexpr int kStepMinutes = 5;
constexpr int kDragThreshold = 3;
// Neighbouring records further apart lie on both sides of the map's seam.
constexpr int kSeamGap = 80;
constexpr double kLevels[5] = {0.0, 0.25, 0.5, 0.75, 0.99};

int Sx(double n) { return ToIntChecked(n * screenScale.horizontal, 0); }
int Sy(double n) { return ToIntChecked(n * screenScale.vertical, 0); }
bool Night() { return preferences.word[pref::nightMode] > 0; }
platform::Color Ink() { return Night() ? platform::Rgb(GetNightLevel(), 0, 0) : GetForeColor(); }

const EclipseEntry* Selected() {
    const EclipseState& s = eclipseState;
    if (!s.eclipseList || s.selectedRow < 0 || s.selectedRow >= s.eclipseCount) return nullptr;
    return &s.eclipseList[s.selectedRow];
}

Bounds RectBounds(const int r[4]) { return Bounds{r[0], r[1], r[2], r[3]}; }

// "%dh%02dm%02d" of UT hours (whole seconds, rounded).
void HoursText(char* text, std::size_t size, double hours) {
    int total = RoundChecked(hours * 3600.0, 0) % 86400;
    if (total < 0) total += 86400;
    std::snprintf(text, size, "%dh%02dm%02d", total / 3600, total / 60 % 60, total % 60);
}

// A record from the umbra of `ground` at the instant `hours` of the entry's date.
TrackRecord MakeRecord(const LocalEclipse& ground, double hours, int hour, int minute, double deltaT) {
    const EclipseState& s = eclipseState;
    TrackRecord r;
    r.latitude = ground.pointLatitude;
    r.longitude = ground.pointLongitude;
    r.hours = hours;
    r.major = ground.ellipseMajor;
    r.minor = ground.ellipseMinor;
    for (int level = 0; level < 5; ++level)
        for (int side = 0; side < 2; ++side) {
            const double latitude =
                GetLimitLatitude(s.elements, r.longitude, kLevels[level], deltaT, side == 0 ? -1 : 1);
            r.rows[level * 2 + side] = ToIntChecked((90.0 - latitude) * kWorldMapPixelsPerDegreeY, 0);
        }
    r.angle = ground.azimuthMod180;
    r.centralSeconds = ToIntChecked(ground.centralDuration, 0);
    r.hour = hour;
    r.minute = minute;
    return r;
}

// The page's progress line while the track is computed.
void ShowTrackProgress(const TrackRecord& r) {
    char text[48];
    std::snprintf(text, sizeof text, "%02d:%02d UT position computed      ", r.hour, r.minute);
    SetTextColor(Ink());
    DrawString(text, static_cast<int>(std::strlen(text)), 0, Sy(40) + Sy(13));
    ShowBusy(1);
}

void DrawTrack(const EclipseState& s) {
    const platform::Color ink = Night() ? platform::Rgb(150 * GetNightLevel() / 255, 0, 0) : platform::Rgb(0, 0, 0);
    const platform::Color lines = Night() ? platform::Rgb(100 * GetNightLevel() / 255, 0, 0) : platform::Rgb(0, 0, 0);
    SetTextColor(ink);
    for (int i = 0; i < s.trackCount; ++i) {
        TrackRecord& r = s.trackTable[i];
        TrackPosition(r.longitude, r.latitude, &r.x, &r.y);
        const int a = r.major * 10 / 125, b = r.minor * 10 / 125;
        SetForeColor(ink);
        if (r.x > 0 && r.y > 0) DrawEllipse(r.x, r.y, static_cast<float>(a), static_cast<float>(b), r.angle - 90.0f, 1, 1);
        if (i % 2 == 1) {
            // Below the ellipse when the track comes down the screen, above otherwise.
            const bool below = i > 0 && s.trackTable[i - 1].y < r.y;
            const int ex = r.x + a + 5;
            const int ey = below ? r.y + (r.minor * 40 / 125 + 5) : r.y - (r.minor * 40 / 125 + 5);
            DrawLine(r.x, r.y, ex, ey);
            char label[32];
            const int hours = static_cast<int>(std::fmod(r.hours + 0.01, 24.0));
            const int minutes = static_cast<int>(std::fmod(r.hours * 60.0 + 0.5, 60.0));
            std::snprintf(label, sizeof label, "%02d:%02d", hours < 0 ? hours + 24 : hours, minutes < 0 ? minutes + 60 : minutes);
            DrawString(label, static_cast<int>(std::strlen(label)), ex + 1, below ? ey : ey - Sy(10));
        }
        if (i == 0) continue;
        const TrackRecord& p = s.trackTable[i - 1];
        if (std::abs(r.x - p.x) >= kSeamGap) continue;
        SetForeColor(lines);
        for (int k = 0; k < kTrackLevelRows; ++k)
            DrawLine(p.x, p.rows[k] + s.mapOffsetY, r.x, r.rows[k] + s.mapOffsetY);
    }
}

// The Sun and the Moon seen from the place at UT hours of the entry's date, as two discs
// in the square (x, y, size): the Sun filling it, the Moon at its distance and size.
void DrawLocalView(const EclipseEntry& e, double hours, double latitude, double longitude, int x, int y, int size) {
    int yy, mm, dd, h, mi, sec;
    JDToDate(JulianDay0h(e.year, e.month, e.day) + hours / 24.0, &yy, &mm, &dd, &h, &mi, &sec);
    const ObserverLocation site = MakeSite(static_cast<float>(latitude), static_cast<float>(longitude), 0);
    const double deltaT = GetDeltaT(yy, mm, dd);
    BodyRecord sun{}, moon{};
    ComputePlanetAt(site, deltaT, 0, &sun, kBodySun, yy, mm, dd, h, mi, sec);
    ComputePlanetAt(site, deltaT, 0, &moon, kBodyMoon, yy, mm, dd, h, mi, sec);
    const double T = (JulianDay0h(yy, mm, dd) + (h + mi / 60.0 + sec / 3600.0) / 24.0 - 2451545.0) / 36525.0;
    double sunRa = sun.rightAscension * kHoursToRad, sunDec = sun.declination * kDegToRad;
    double moonRa = moon.rightAscension * kHoursToRad, moonDec = moon.declination * kDegToRad;
    TopocentricPosition(T, &sunRa, &sunDec, nullptr, nullptr, sun.distance, longitude, latitude, 0.0);
    TopocentricPosition(T, &moonRa, &moonDec, nullptr, nullptr, moon.distance, longitude, latitude, 0.0);
    // 6840 units a radian, scaled so the Sun fills the square.
    const double sunRadius = sun.diameter > 0.0 ? sun.diameter / 2.0 / 60.0 * kDegToRad * 6840.0 : 32.0;
    const double moonRadius = moon.diameter > 0.0 ? moon.diameter / 2.0 / 60.0 * kDegToRad * 6840.0 : 32.0;
    // The Sun half the square across, so the Moon beside it mostly stays inside.
    const double scale = (size / 4.0) / sunRadius;
    double dRa = moonRa - sunRa;
    if (dRa > kPi) dRa -= 2.0 * kPi;
    if (dRa < -kPi) dRa += 2.0 * kPi;
    const double dx = -dRa * std::cos(sunDec) * 6840.0 * scale, dy = -(moonDec - sunDec) * 6840.0 * scale;
    const int cx = x + size / 2, cy = y + size / 2;
    SetForeColor(Night() ? platform::Rgb(GetNightLevel(), 0, 0) : platform::Rgb(255, 204, 0));
    FillDisc(cx, cy, size / 2);
    SetForeColor(Night() ? platform::Rgb(40, 0, 0) : platform::Rgb(60, 60, 60));
    FillDisc(ToIntChecked(cx + dx, cx), ToIntChecked(cy + dy, cy), ToIntChecked(2.0 * moonRadius * scale, 0));
}

// UT hours of a contact (which -1 first, 0 greatest, 1 last) at the place: five steps from
// the entry's instant. -1 when the place stays outside the penumbra.
double RefinedContact(const EclipseEntry& e, int which, double latitude, double longitude, LocalCircumstances* out) {
    const double deltaT = GetDeltaT(e.year, e.month, e.day);
    double hours = e.hour + e.minute / 60.0 + e.second / 3600.0;
    for (int i = 0; i < 5; ++i) {
        if (GetLocalCircumstances(eclipseState.elements, which, latitude, longitude, 0.0, deltaT, &hours, out) < 0.0 &&
            which != 0)
            return -1.0;
    }
    return hours;
}

// A tap on the map: the place under it, its fields, and the box with the local eclipse.
int TapMap(int x, int y) {
    EclipseState& s = eclipseState;
    const Bounds rect = RectBounds(s.mapRect);
    s.penX = x;
    s.penY = y;
    if (!PointInRect(x, y, rect) || !s.mapOffscreen) return 0;
    const EclipseEntry* e = Selected();
    if (!e || e->kind != 1) return 0;
    double longitude, latitude;
    WorldMapPlaceAt(x, y, rect, s.mapOffsetX, s.mapOffsetY, &longitude, &latitude);
    s.typedLongitude = longitude;
    s.typedLatitude = latitude;
    s.partialStartHours = -1.0;
    // The previous box and its leader go with a copy of the map.
    CopyBits(s.mapOffscreen, GetDrawWindow(), Bounds{0, 0, rect.width, rect.height}, rect.x, rect.y, 0);
    ClearPageTexts();
    const int line = Sy(13);
    const Bounds box{rect.x + Sx(2), rect.y + rect.height - 4 * line - Sy(6), rect.width - Sx(4), 4 * line + Sy(4)};
    SetForeColor(Ink());
    DrawLine(x, y, x < box.x + box.width / 2 ? x + Sx(10) : x - Sx(10), box.y);
    SetForeColor(GetBackColor());
    FillRectangle(box);
    SetForeColor(Ink());
    DrawRectFrame(0, box);
    SetTextColor(Ink());
    const int previousFont = SetFont(GetDpiFactor() >= 2 ? 4 : 0);
    char a[24], b[24], text[96];
    FormatAngleLetter(a, longitude, 'W', 'E');
    FormatAngleLetter(b, latitude, 'N', 'S');
    std::snprintf(text, sizeof text, "At %s %s", a, b);
    int ty = box.y + Sy(2);
    PageString(text, box.x + Sx(3), ty);
    ShowPlaceFields(longitude, latitude);
    LocalCircumstances local;
    const double start = RefinedContact(*e, -1, latitude, longitude, &local);
    if (start > 0.0) {
        const double greatest = RefinedContact(*e, 0, latitude, longitude, &local);
        const int obscuration = RoundChecked(local.obscuration, 0);
        LocalCircumstances after;
        const double end = RefinedContact(*e, 1, latitude, longitude, &after);
        int widest = 0;
        auto boxLine = [&](const char* line) {
            PageString(line, box.x + Sx(3), ty += Sy(13));
            const int w = CharsWidth(line, static_cast<int>(std::strlen(line)));
            if (w > widest) widest = w;
        };
        HoursText(a, sizeof a, start);
        std::snprintf(text, sizeof text, "Partial Start at %s UT", a);
        boxLine(text);
        HoursText(a, sizeof a, greatest);
        std::snprintf(text, sizeof text, "Greatest at %s UT, %d%%", a, obscuration);
        boxLine(text);
        HoursText(a, sizeof a, end);
        std::snprintf(text, sizeof text, "Partial End at %s UT", a);
        boxLine(text);
        // The view right of the longest line, clipped to the box.
        const int textRight = box.x + Sx(3) + widest;
        const int room = box.x + box.width - Sx(3) - textRight;
        const int size = room < box.height - Sy(6) ? room : box.height - Sy(6);
        if (size >= Sx(16)) {
            ClipRectangle(box);
            DrawLocalView(*e, greatest, latitude, longitude, box.x + box.width - size - Sx(3), box.y + Sy(3), size);
            ResetClip();
        }
    }
    SetFont(previousFont);
    return 1;
}

void TurnGlobe(int dx, int dy) {
    EclipseState& s = eclipseState;
    s.globeLongitude = ((s.globeLongitude + dx) % 360 + 360) % 360;
    s.globeLatitude = ((s.globeLatitude + dy) % 360 + 360) % 360;
    int cx, cy, r;
    EclipseGlobeGeometry(&cx, &cy, &r);
    SetForeColor(Ink());
    DrawGlobeOverlay(cx - r, cy - r, 2 * r + 1, 2 * r + 1, s.globeLongitude, 0, s.globeLatitude, -r, 0);
}

}  // namespace

int ComputeEclipseTrack(const EclipseEntry& e, TrackRecord* table, int capacity, void (*progress)(const TrackRecord&)) {
    if (!table || capacity < 1) return 0;
    const double deltaT = GetDeltaT(e.year, e.month, e.day);
    const double day0 = JulianDay0h(e.year, e.month, e.day);
    LocalEclipse ground;
    // The backward pass fills the table from its end, then moves to the front.
    int back = 0;
    for (int step = 0; back < capacity; ++step) {
        int y = e.year, m = e.month, d = e.day, h = e.hour, mi = e.minute;
        AddMinutes(&y, &m, &d, &h, &mi, -kStepMinutes * step);
        if (!GetLocalEclipse(&ground, y, m, d, h, mi, 0)) break;
        const double hours = (JulianDay0h(y, m, d) - day0) * 24.0 + h + mi / 60.0;
        table[capacity - 1 - back] = MakeRecord(ground, hours, h, mi, deltaT);
        if (progress) progress(table[capacity - 1 - back]);
        ++back;
    }
    std::memmove(table, table + (capacity - back), static_cast<std::size_t>(back) * sizeof(TrackRecord));
    int count = back;
    for (int step = 1; count < capacity; ++step) {
        int y = e.year, m = e.month, d = e.day, h = e.hour, mi = e.minute;
        AddMinutes(&y, &m, &d, &h, &mi, kStepMinutes * step);
        if (!GetLocalEclipse(&ground, y, m, d, h, mi, 0)) break;
        const double hours = (JulianDay0h(y, m, d) - day0) * 24.0 + h + mi / 60.0;
        table[count] = MakeRecord(ground, hours, h, mi, deltaT);
        if (progress) progress(table[count]);
        ++count;
    }
    GetLocalEclipse(&ground, e.year, e.month, e.day, e.hour, e.minute, e.second);
    return count;
}

void TrackPosition(double longitude, double latitude, int* x, int* y) {
    const EclipseState& s = eclipseState;
    int px = ToIntChecked((180.0 - longitude) * kWorldMapPixelsPerDegreeX, 0) + s.mapOffsetX;
    if (px > kWorldMapPeriod) px -= kWorldMapPeriod;
    *x = px;
    *y = ToIntChecked((90.0 - latitude) * kWorldMapPixelsPerDegreeY, 0) + s.mapOffsetY;
}

int DrawEclipseMap(int draw, const int rectValues[4]) {
    EclipseState& s = eclipseState;
    const EclipseEntry* e = Selected();
    const Bounds rect = RectBounds(rectValues);
    if (!e || rect.width <= 0 || rect.height <= 0) return 0;
    if (!s.trackTable) {
        s.trackTable = static_cast<TrackRecord*>(std::calloc(kTrackCapacity, sizeof(TrackRecord)));
        s.trackCount = 0;
    }
    if (!s.mapOffscreen) s.mapOffscreen = CreateOffscreen(s.formWidth, s.formHeight);
    if (!s.trackTable || !s.mapOffscreen) {
        ShowMessage("Can't allocate offscreen Buffer to draw map", "");
        return 0;
    }
    if (s.mapCentreFlag == -1) {
        const double latitude = s.placeLatitude > -400.0 ? s.placeLatitude : s.centralLatitude;
        const double longitude = s.placeLatitude > -400.0 ? s.placeLongitude : s.centralLongitude;
        s.mapOffsetX = rect.width / 2 - ToIntChecked((180.0 - longitude) * kWorldMapPixelsPerDegreeX, 0);
        s.mapOffsetY = rect.height / 2 - ToIntChecked((90.0 - latitude) * kWorldMapPixelsPerDegreeY, 0);
        s.mapCentreFlag = 0;
    }
    if (e->kind == 1 && s.trackCount == 0 && draw == 1) {
        SelectPositionSource(1);
        SetForeColor(GetBackColor());
        FillRectangle(rect);
        SetTextColor(Ink());
        const char* wait = "Please wait until positions are computated.";
        DrawString(wait, static_cast<int>(std::strlen(wait)), 0, Sy(40));
        ShowBusy(1);
        s.trackCount = ComputeEclipseTrack(*e, s.trackTable, kTrackCapacity, &ShowTrackProgress);
        HideBusy(1);
    }
    DrawWindow* const screen = SetDrawWindow(s.mapOffscreen);
    DrawWorldMapHalves(&s.mapHalves, rect.width, rect.height, &s.mapOffsetX, &s.mapOffsetY);
    if (e->kind == 1) {
        DrawTrack(s);
    } else {
        DrawLunarEclipseDiagram(s.eclipseList, nullptr, s.selectedRow, s.mapOffsetX, s.mapOffsetY, kWorldMapPeriod,
                                kWorldMapHalf);
    }
    SetDrawWindow(screen);
    CopyBits(s.mapOffscreen, screen, Bounds{0, 0, rect.width, rect.height}, rect.x, rect.y, 0);
    SetForeColor(GetForeColor());
    SetTextColor(GetForeColor());
    return 1;
}

int TrackEclipsePen(int x, int y) {
    EclipseState& s = eclipseState;
    const EclipseEntry* e = Selected();
    const int dx = x - s.penX, dy = y - s.penY;
    if (s.page == eclipse_form::kPageMap) {
        if (!s.penDragged) {
            // Only a stroke that starts on the map moves it.
            if (!PointInRect(s.penX, s.penY, RectBounds(s.mapRect))) return 1;
            if (std::abs(dx) <= kDragThreshold && std::abs(dy) <= kDragThreshold) return 1;
            s.penDragged = 1;
        }
        s.mapOffsetX += dx;
        s.mapOffsetY += dy;
        s.penX = x;
        s.penY = y;
        DrawEclipseMap(1, s.mapRect);
        return 1;
    }
    if (s.page != eclipse_form::kPageDiagram || !e || e->kind != 1) return 0;
    if (!s.globeDragged) {
        const int threshold = 3 * ToIntChecked(screenScale.horizontal, 1);
        if (std::abs(dx) <= threshold && std::abs(dy) <= threshold) return 1;
        s.globeDragged = 1;
    }
    s.penX = x;
    s.penY = y;
    TurnGlobe(dx, dy);
    return 1;
}

int HandleEclipsePenUp(int x, int y) {
    EclipseState& s = eclipseState;
    if (s.page == eclipse_form::kPageMap) {
        const int dragged = s.penDragged;
        s.penDragged = 0;
        if (dragged) {
            DrawEclipseMap(1, s.mapRect);
            return 1;
        }
        return TapMap(x, y);
    }
    if (s.page == eclipse_form::kPageDiagram && s.globeDragged) {
        s.globeDragged = 0;
        RefreshEclipseForm();
        return 1;
    }
    return 0;
}

void DrawEclipseAtPlace() {
    EclipseState& s = eclipseState;
    const EclipseEntry* e = Selected();
    if (!e) return;
    ClearPageTexts();
    SetForeColor(GetBackColor());
    FillRectangle(Bounds{0, Sy(24), s.formWidth, s.formHeight - Sy(22) - Sy(24)});
    SetTextColor(Ink());
    SelectPositionSource(1);
    char text[320], a[32], b[32];
    const int p = Sy(15);
    // The small font keeps the level columns apart.
    const int previousFont = SetFont(2);
    LocalEclipse ground;
    if (!GetLocalEclipse(&ground, e->year, e->month, e->day, s.timeHour, s.timeMinute, s.timeSecond)) {
        std::snprintf(text, sizeof text,
                      "No central eclipse at this time.\n\nThe maximun of this eclipse is at %02d:%02d UT, so please "
                      "select a time closer to this time or check with the Path module the start and the end of the "
                      "central eclipse.",
                      e->hour, e->minute);
        PageTextBox(text, Sx(4), Sy(24) + 4 * p, s.formWidth - Sx(8), s.formHeight - Sy(22) - Sy(24) - 4 * p);
        s.placeLatitude = s.centralLatitude;
        s.placeLongitude = s.centralLongitude;
        SetFont(previousFont);
        return;
    }
    if (s.placeLatitude < -490.0) {
        s.placeLatitude = ground.pointLatitude;
        s.placeLongitude = ground.pointLongitude;
    }
    const double deltaT = GetDeltaT(e->year, e->month, e->day);
    const int millis = ToIntChecked(deltaT * 1000.0, 0);
    std::snprintf(text, sizeof text, "(UT-ET=%d.%03ds)", millis / 1000, std::abs(millis % 1000));
    // Under the place fields: at the height of the time field it would be hidden by them.
    PageString(text, 2, Sy(24) + 2 * Sy(22));
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", s.timeHour, s.timeMinute, s.timeSecond);
    SetField(eclipse_form::kTime, text);
    ShowPlaceFields(s.placeLongitude, s.placeLatitude);
    if (s.partialStartHours == -1.0) {
        FindLocalContacts(&s.local, e->year, e->month, e->day, e->hour, e->minute, s.placeLatitude, s.placeLongitude);
        s.partialStartHours = s.local.outerStart;
        s.partialEndHours = s.local.outerEnd;
        s.centralStartHours = s.local.innerStart;
        s.centralEndHours = s.local.innerEnd;
    }
    int y = Sy(24) + 4 * p;
    auto angle = [](double degrees, int* whole, int* minutes) {
        *whole = ToIntChecked(degrees, 0);
        *minutes = std::abs(RoundChecked((degrees - *whole) * 60.0, 0));
    };
    if (s.centralStartHours >= 0.0) {
        int altD, altM, azD, azM;
        angle(s.local.sunAltitude, &altD, &altM);
        // From the south, positive west.
        const double azimuth = ReduceDegrees180(s.local.sunAzimuth - 180.0);
        angle(azimuth, &azD, &azM);
        std::snprintf(text, sizeof text, "Alt %d.%d\xB0  Azimuth %d.%d\xB0 %s", altD, altM, std::abs(azD), azM,
                      azimuth < 0.0 ? "E" : "W");
        PageString(text, Sx(1), y);
        y += p;
        const int central = RoundChecked(ground.centralDuration, 0);
        std::snprintf(text, sizeof text, "%02dm%02ds on center %dkm/h", central / 60, central % 60, ground.speed);
        PageString(text, Sx(1), y);
        y += p;
        const int perRow = s.formWidth > Sx(240) ? 4 : 3;
        int column = 0;
        for (int i = 0; i < kUmbraLevelCount && ground.levelDuration[i] > 0; ++i) {
            std::snprintf(text, sizeof text, " %ds (%dkm, %ds)", ground.levelDuration[i], ground.levelOffset[i],
                          ground.levelHalfLength[i]);
            PageString(text, Sx(1) + column * Sx(76), y);
            if (++column == perRow) {
                column = 0;
                y += p;
            }
        }
        if (column) y += p;
        PageString("Ellipse umbra", Sx(1), y);
        // Two columns: the direction of motion and the axes, then the length and the half
        // width of the path.
        std::snprintf(text, sizeof text, "  %c: %d\xB0", '\xDF', ground.direction);
        PageString(text, Sx(51), y);
        std::snprintf(text, sizeof text, "  a: %dkm (%d\xB0)", ground.ellipseMajor, ground.azimuthMod180);
        PageString(text, Sx(51), y + p);
        std::snprintf(text, sizeof text, "  b: %dkm", ground.ellipseMinor);
        PageString(text, Sx(51), y + 2 * p);
        std::snprintf(text, sizeof text, "  L: %dkm", ground.directionWidth);
        PageString(text, Sx(141), y);
        std::snprintf(text, sizeof text, "  half Diam: %dkm", ground.halfWidth);
        PageString(text, Sx(141), y + p);
        y += 3 * p;
    }
    PageString("Umbra transit", Sx(1), y);
    const int thousandths = RoundChecked(s.local.maxMagnitude * 1000.0, 0);
    if (s.local.maxMagnitude >= 1.0)
        std::snprintf(text, sizeof text, "(Total Eclipse m=%d.%03d)", thousandths / 1000, std::abs(thousandths % 1000));
    else
        std::snprintf(text, sizeof text, "(Eclipse at %d%%, m=%d.%03d)", s.local.obscuration, thousandths / 1000,
                      std::abs(thousandths % 1000));
    PageString(text, Sx(86), y);
    y += p;
    if (s.partialStartHours >= 0.0) {
        PageString("  Partial from", Sx(1), y);
        PageString(HMSToStr(a, sizeof a, s.partialStartHours), Sx(86), y);
        PageString(HMSToStr(b, sizeof b, s.partialEndHours), Sx(146), y);
        y += p;
    }
    if (s.centralStartHours >= 0.0) {
        PageString(e->type == 4.0 ? "  Total from" : "  Annular from ", Sx(1), y);
        PageString(HMSToStr(a, sizeof a, s.centralStartHours), Sx(86), y);
        PageString(HMSToStr(b, sizeof b, s.centralEndHours), Sx(146), y);
    }
    SetFont(previousFont);
    s.mapCentreFlag = -1;
    const int top = Sx(224);
    const int small[4] = {0, top, s.formWidth, s.formHeight - Sy(22) - top};
    if (small[3] > 0) DrawEclipseMap(0, small);
    s.mapCentreFlag = -1;
}

void FreeEclipseMap() {
    EclipseState& s = eclipseState;
    std::free(s.trackTable);
    s.trackTable = nullptr;
    s.trackCount = 0;
    DeleteOffscreen(s.mapOffscreen);
    s.mapOffscreen = nullptr;
    FreeWorldMapHalves(&s.mapHalves);
    s.globeDragged = 0;
}
