#include "planets/orbit_views.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/constellation_boundaries.h"
#include "astro/fixed_trig.h"
#include "astro/minor_body_magnitude.h"
#include "astro/planet_positions.h"
#include "astro/planetary_theory.h"
#include "astro/rise_set.h"
#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "chart/chart_zoom.h"
#include "chart/sky_matrix.h"
#include "chart/sky_view.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/comet_position.h"
#include "objects/limiting_magnitude.h"
#include "planets/comet_lists.h"
#include "planets/orbit_state.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/utilities.h"

std::vector<Orbit3DObject> orbit3DObjects;
OrbitViewDrawing lastOrbitView;
SelectionRecord cometTrackPoints[kCometTrackPoints];
std::vector<CometEphemerisRow> cometEphemerisRows;

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;
constexpr std::int64_t kOne = std::int64_t{1} << 24;

int Sx(double n) { return static_cast<int>(n * screenScale.horizontal); }
int Sy(double n) { return static_cast<int>(n * screenScale.vertical); }
int TextWidth(const char* text) { return CharsWidth(text, static_cast<int>(std::strlen(text))); }
// Through the transparency switch the views set: their labels lie on the orbits and the
// sky, never on a box of the back colour (white, even at night).
void DrawText(const char* text, int x, int y) { DrawStringNoFont(text, static_cast<int>(std::strlen(text)), x, y); }
void DrawRight(const char* text, int right, int y) { DrawText(text, right - TextWidth(text), y); }

std::int32_t OrbitAngle(double degrees) {
    return static_cast<std::int32_t>(std::lround(degrees)) * kFixOrbitUnitsPerDegree;
}

// A value of units (pixels x 2^12) in whole pixels.
std::int64_t Pixels(std::int64_t units) { return units >> 12; }

bool Drawable(std::int64_t pixels) { return pixels >= -kOrbitDrawableRange && pixels <= kOrbitDrawableRange; }

// An AU value in units of the zoom, or false when it does not fit the drawable range.
bool ToUnits(double au, int zoom, std::int64_t* out) {
    const double v = au * std::ldexp(1.0, 12 + zoom);
    if (!std::isfinite(v) || std::fabs(v) > static_cast<double>(kOrbitDrawableRange) * 4096.0) return false;
    *out = std::llround(v);
    return true;
}

// Row r of a matrix times (x, y, z), all 64-bit.
std::int64_t Row(const std::int32_t m[9], int r, std::int64_t x, std::int64_t y, std::int64_t z) {
    return (m[3 * r] * x + m[3 * r + 1] * y + m[3 * r + 2] * z) / kOne;
}

// The object's heliocentric ecliptic place (J2000.0, AU) at jd; false when it cannot be solved.
bool ObjectPlace(const CometElements& el, double jd, double out[3]) {
    OrbitPoint p;
    if (!ComputeOrbitPoint(el, jd, &p)) return false;
    const double w = el.argPerihelion * kDegToRad, node = el.ascendingNode * kDegToRad;
    const double incl = el.inclination * kDegToRad;
    // Rz(node) Rx(i) Rz(w) applied to the orbit-plane point.
    const double cw = std::cos(w), sw = std::sin(w), cn = std::cos(node), sn = std::sin(node);
    const double ci = std::cos(incl), si = std::sin(incl);
    const double x1 = cw * p.x - sw * p.y, y1 = sw * p.x + cw * p.y;
    const double y2 = ci * y1, z2 = si * y1;
    out[0] = cn * x1 - sn * y2;
    out[1] = sn * x1 + cn * y2;
    out[2] = z2;
    return std::isfinite(out[0]) && std::isfinite(out[1]) && std::isfinite(out[2]);
}

void SetBody(Orbit3DObject& o, double a, double e, double w, double node, double incl, int zoom) {
    FixRotationZXZ(o.matrix, OrbitAngle(w), OrbitAngle(node), OrbitAngle(incl));
    o.type = 0;
    std::int64_t units = 0;
    o.semiMajor = ToUnits(a, zoom, &units) ? Pixels(units) : -1;
    o.semiMinor = ToUnits(a * std::sqrt(std::max(0.0, 1.0 - e * e)), zoom, &units) ? Pixels(units) : -1;
    o.focalOffset = ToUnits(a * e, zoom, &units) ? units : 0;
    o.q = ToUnits(a * (1.0 - e), zoom, &units) ? units : 0;
}

void SetPosition(Orbit3DObject& o, const double au[3], int zoom) {
    o.positionValid = ToUnits(au[0], zoom, &o.x) && ToUnits(au[1], zoom, &o.y) && ToUnits(au[2], zoom, &o.z);
}

}  // namespace

int DrawOrbit3D(int zoom) {
    OrbitFormState& s = orbitForm;
    zoom = std::clamp(zoom, 1, 7);
    s.zoom3D = zoom;
    CometRecord record;
    if (!LoadCurrentComet(&record)) return 0;
    cometWorkRecord = record;
    const int offset = observerLocation.zoneMinutes;
    const double jd = OrbitFormJD(true);
    float positions[kOrbitBodyCount][3] = {};
    float equatorial[kOrbitBodyCount][2] = {};
    PlanetOrbitPosition(s.year, s.month, s.day, s.hour, s.minute, offset, positions, equatorial, kOrbitHeliocentric,
                        2, 10);
    const double t = (jd - 2415020.0) / 36525.0;
    orbit3DObjects.assign(kOrbit3DBodies, Orbit3DObject{});
    for (int k = 0; k < kOrbit3DBodies; ++k) {
        Orbit3DObject& o = orbit3DObjects[static_cast<std::size_t>(k)];
        std::snprintf(o.name, sizeof o.name, "%s", k == kBodyMoon ? record.name : bodyNames[k]);
        double place[3] = {0.0, 0.0, 0.0};
        if (k == kBodySun) {
            SetBody(o, 0.0, 0.0, 0.0, 0.0, 0.0, zoom);
            SetPosition(o, place, zoom);
        } else if (k == kBodyMoon) {
            const CometElements el = MakeCometElements(record);
            const double e = el.eccentricity;
            FixRotationZXZ(o.matrix, OrbitAngle(el.argPerihelion), OrbitAngle(el.ascendingNode),
                           OrbitAngle(el.inclination));
            o.type = e < 0.9 ? 0 : (e > 1.1 ? 2 : 1);
            std::int64_t units = 0;
            o.q = ToUnits(el.perihelionDistance, zoom, &units) ? units : 0;
            o.semiMajor = o.semiMinor = 0;
            if (o.type == 0) {
                // An ellipse only: at e = 1 and above a and b have no finite value.
                const double a = el.perihelionDistance / (1.0 - e);
                o.semiMajor = ToUnits(a, zoom, &units) ? Pixels(units) : -1;
                o.semiMinor = ToUnits(a * std::sqrt(1.0 - e * e), zoom, &units) ? Pixels(units) : -1;
                o.focalOffset = ToUnits(a * e, zoom, &units) ? units : 0;
            }
            if (ObjectPlace(el, jd, place)) SetPosition(o, place, zoom);
        } else if (k == kBodyEarth) {
            SetBody(o, 1.0, 0.0, 0.0, 0.0, 0.0, zoom);
            for (int c = 0; c < 3; ++c) place[c] = positions[kBodyEarth][c];
            SetPosition(o, place, zoom);
        } else {
            double L = 0, a = 0, e = 0, i = 0, w = 0, node = 0;
            PlanetPositionsOld(k, t, &L, &a, &e, &i, &w, &node);
            SetBody(o, a, e, w, node, i, zoom);
            for (int c = 0; c < 3; ++c) place[c] = positions[k][c];
            SetPosition(o, place, zoom);
        }
    }
    // The object's distances, from the positions in units.
    Orbit3DObject& object = orbit3DObjects[kBodyMoon];
    const Orbit3DObject& earth = orbit3DObjects[kBodyEarth];
    const double unit = std::ldexp(1.0, -(12 + zoom));
    if (object.positionValid) {
        const double x = object.x * unit, y = object.y * unit, z = object.z * unit;
        object.sunDistance = static_cast<float>(std::sqrt(x * x + y * y + z * z));
        const double ex = x - earth.x * unit, ey = y - earth.y * unit, ez = z - earth.z * unit;
        object.earthDistance = static_cast<float>(std::sqrt(ex * ex + ey * ey + ez * ez));
    }
    return 1;
}

namespace {

struct Pens {
    platform::Color dark, bright;
};

// A segment between two points relative to the centre, in the pen of its side.
void Segment(int cx, int cy, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, const Pens& pens,
             int* count) {
    if (!Drawable(x0) || !Drawable(y0) || !Drawable(x1) || !Drawable(y1)) return;
    SetForeColor(y0 < 0 ? pens.dark : pens.bright);
    DrawLine(cx + static_cast<int>(x0), cy + static_cast<int>(y0), cx + static_cast<int>(x1), cy + static_cast<int>(y1));
    ++*count;
}

// The ellipse of semi-axes a and b (pixels) about (ox, oy), the half of eccentric angles 270
// down to 90 degrees and its mirror through the centre.
int DrawArcFixed(const std::int32_t m[9], int cx, int cy, std::int64_t ox, std::int64_t oy, std::int64_t a,
                 std::int64_t b, const Pens& pens) {
    const std::int32_t step = a == b ? 3513804 : 1171268;
    int count = 0;
    std::int64_t px = 0, py = 0;
    bool first = true;
    for (std::int32_t angle = 79060590; angle >= 26353530; angle -= step) {
        std::int32_t c = 0, s = 0;
        FixSinCos(angle, &c, &s);
        const std::int64_t ex = a * c, ey = b * s;  // pixels x 2^24
        const std::int64_t x = (m[0] * (ex >> 12) + m[1] * (ey >> 12)) >> 36;
        const std::int64_t y = (m[3] * (ex >> 12) + m[4] * (ey >> 12)) >> 36;
        if (!first) {
            Segment(cx, cy, ox + px, oy + py, ox + x, oy + y, pens, &count);
            Segment(cx, cy, ox - px, oy - py, ox - x, oy - y, pens, &count);
        }
        px = x, py = y, first = false;
    }
    return count;
}

// The parabola of perihelion distance q (units) with its focus at the centre: both
// branches for true anomalies up to 160 degrees.
int DrawArcFixedB(const std::int32_t m[9], int cx, int cy, std::int64_t q, const Pens& pens) {
    int count = 0;
    std::int64_t prev[2][2] = {};
    for (std::int32_t u = 0, k = 0; u < 23425361; u += 1171268, ++k) {
        const std::int64_t s = FixTan(u);  // 8.24
        const std::int64_t qp = q >> 12;    // pixels
        const std::int64_t px = qp * (kOne - ((s * s) >> 24));  // pixels x 2^24
        const std::int64_t py = 2 * qp * s;
        for (int branch = 0; branch < 2; ++branch) {
            const std::int64_t yy = branch == 0 ? py : -py;
            const std::int64_t x = (m[0] * (px >> 12) + m[1] * (yy >> 12)) >> 36;
            const std::int64_t y = (m[3] * (px >> 12) + m[4] * (yy >> 12)) >> 36;
            if (k > 0) Segment(cx, cy, prev[branch][0], prev[branch][1], x, y, pens, &count);
            prev[branch][0] = x, prev[branch][1] = y;
        }
    }
    return count;
}

// The axis cross: the rotated unit axes, 16 pixels long, ending in their letters.
void DrawMarkedLine(const std::int32_t view[9], int x0, int y0, platform::Color colour) {
    const char* letters[3] = {"x", "y", "z"};
    SetForeColor(colour);
    for (int j = 0; j < 3; ++j) {
        const int x = x0 + static_cast<int>((std::int64_t{view[j]} * 16) >> 24);
        const int y = y0 + static_cast<int>((std::int64_t{view[3 + j]} * 16) >> 24);
        DrawLine(x0, y0, x, y);
        DrawText(letters[j], x + 1, y - 6);
    }
}

}  // namespace

void DrawOrbitView(DrawWindow* offscreen, const Bounds& rect, const Orbit3DObject* objects, int count, int angle1,
                   int angle2, int angle3, int zoom) {
    (void)zoom;
    lastOrbitView = OrbitViewDrawing{};
    DrawWindow* screen = GetDrawWindow();
    if (offscreen) SetDrawWindow(offscreen);
    if (!GetDrawWindow()) return;
    const bool night = preferences.word[pref::nightMode] > 0;
    const int level = GetNightLevel();
    SetForeColor(night ? platform::Rgb(0, 0, 0) : platform::Rgb(0, 0, 70));
    DrawRectangle(rect, 0);
    const platform::Color label = night ? platform::Rgb(level, 0, 0) : platform::Rgb(200, 200, 200);
    const Pens planetPens = night ? Pens{platform::Rgb(203, 0, 0), platform::Rgb(255, 0, 0)}
                                  : Pens{platform::Rgb(0, 0, 133), platform::Rgb(0, 0, 203)};
    const Pens objectPens = night ? planetPens : Pens{platform::Rgb(133, 0, 0), platform::Rgb(204, 0, 0)};
    const platform::Color previousText = SetTextColor(label);
    const int previousTransparent = SetTextTransparent(1);

    std::int32_t view[9];
    FixRotationMatrix(view, angle1 * kFixOrbitUnitsPerDegree, angle2 * kFixOrbitUnitsPerDegree,
                      angle3 * kFixOrbitUnitsPerDegree);
    DrawMarkedLine(view, Sx(20), Sx(70), label);
    const int cx = rect.x + rect.width / 2, cy = rect.y + rect.height / 2;
    ClipRectangle(rect);
    for (int k = 0; k < count && k < kOrbit3DBodies; ++k) {
        const Orbit3DObject& o = objects[k];
        const bool ellipse = o.type == 0;
        if (o.semiMajor > 400 && k > 1) { lastOrbitView.skipped[k] = true; continue; }
        if (o.semiMajor < 11 && k != 0 && !(k == 1 && !ellipse)) { lastOrbitView.skipped[k] = true; continue; }
        std::int32_t m[9];
        FixMatrixMultiply(view, o.matrix, m);
        const Pens& pens = k == 1 ? objectPens : planetPens;
        if (ellipse && o.semiMajor > 0 && Drawable(o.semiMajor) && Drawable(o.semiMinor) && o.semiMinor >= 0) {
            // The ellipse's centre lies a e from the focus, away from perihelion.
            const std::int64_t ox = -Row(m, 0, o.focalOffset, 0, 0) >> 12;
            const std::int64_t oy = -Row(m, 1, o.focalOffset, 0, 0) >> 12;
            lastOrbitView.segments[k] = DrawArcFixed(m, cx, cy, ox, oy, o.semiMajor, o.semiMinor, pens);
        } else if (o.type == 1 && o.q > 0) {
            lastOrbitView.segments[k] = DrawArcFixedB(m, cx, cy, o.q, pens);
        }
        if (!o.positionValid) continue;
        const std::int64_t x = Pixels(Row(view, 0, o.x, o.y, o.z));
        const std::int64_t y = Pixels(Row(view, 1, o.x, o.y, o.z));
        if (!Drawable(x) || !Drawable(y)) continue;
        const int px = cx + static_cast<int>(x), py = cy + static_cast<int>(y);
        DrawSymbolIcon(k == 1 ? 11 : k, 0, px, py);
        DrawText(o.name, px - TextWidth(o.name) / 2, py + Sy(6));
        lastOrbitView.symbol[k] = true;
        lastOrbitView.symbolX[k] = px;
        lastOrbitView.symbolY[k] = py;
    }
    ResetClip();
    if (count > 1) {
        char text[64];
        const int y = rect.y + rect.height - Sy(13);
        std::snprintf(text, sizeof text, "Earth (AU):%.3f", objects[1].earthDistance);
        DrawText(text, Sx(5), y);
        std::snprintf(text, sizeof text, "Sun (AU):%.3f", objects[1].sunDistance);
        DrawText(text, Sx(120), y);
    }
    SetTextTransparent(previousTransparent);
    SetTextColor(previousText);
    if (offscreen) {
        SetDrawWindow(screen);
        if (screen) CopyBits(offscreen, screen, rect, rect.x, rect.y, 0);
    }
}

void TurnOrbitView(int dx, int dy) {
    auto wrap = [](int a) { return ((a % 360) + 360) % 360; };
    orbitForm.angles[0] = wrap(orbitForm.angles[0] + 2 * dy);
    orbitForm.angles[2] = wrap(orbitForm.angles[2] + 2 * dx);
}

// ---- Sky view ------------------------------------------------------------------------------

int DrawCometSkyView(int index) {
    OrbitFormState& s = orbitForm;
    CometRecord record;
    if (index != s.currentComet || !LoadCurrentComet(&record)) {
        if (index < 0 || !GetCometData(index, &record)) return 0;
        FillCometWorkElements(record);
    }
    const CometElements elements = MakeCometElements(record);
    int year = s.year, month = s.month, day = s.day;
    for (int i = 0; i < kCometTrackPoints; ++i) {
        const double jd = DateTimeToJD(year, month, day, s.hour, s.minute, 0, observerLocation.zoneMinutes);
        CometPosition p;
        ComputeCometPosition(elements, jd, year, &p);
        SelectionRecord& r = cometTrackPoints[i];
        r = SelectionRecord{};
        char date[40];
        FormatDate(date, day, month, year);
        std::memcpy(r.label, date, sizeof r.label - 1);
        r.label[sizeof r.label - 1] = '\0';
        r.objectNumber = index;
        r.objectIndex = 11;
        r.catalogCode = kCatalogComet;
        r.typeCode = static_cast<std::int16_t>(record.kind);
        r.constellation = static_cast<std::int16_t>(FindConstellation(p.rightAscension, p.declination, jd));
        r.rightAscension = static_cast<float>(p.rightAscension);
        r.declination = static_cast<float>(p.declination);
        r.group = 12;
        r.magnitude10 = 0;
        AddDays(&year, &month, &day, OrbitStepDays());
    }
    if (s.skyCentre[0] == 0.0f && s.skyCentre[1] == 0.0f) {
        const int point = s.skyCentrePoint >= 0 && s.skyCentrePoint < kCometTrackPoints ? s.skyCentrePoint : 6;
        const SelectionRecord& r = cometTrackPoints[point];
        std::int32_t x = 0, y = 0, z = 0;
        ProjectToChart(static_cast<std::int32_t>(std::lround(r.rightAscension * 15.0 * kDegToRad * kOne)),
                       static_cast<std::int32_t>(std::lround(r.declination * kDegToRad * kOne)), &x, &y, &z);
        double turn = std::atan2(static_cast<double>(x), static_cast<double>(y)) * kRadToDeg;
        if (turn < 0.0) turn += 360.0;
        s.skyCentre[0] = static_cast<float>(turn);
        s.skyCentre[1] = static_cast<float>(std::asin(std::clamp(z / static_cast<double>(kOne), -1.0, 1.0)) * kRadToDeg);
    }
    ProjectObjects(cometTrackPoints, kCometTrackPoints);
    ComputeLimitingMagnitude();
    s.skyCentrePoint = DrawSkyView(cometTrackPoints, kCometTrackPoints, s.viewRect, nullptr, s.skyFieldIndex,
                                   s.skyCentre[0], s.skyCentre[1], 1);
    return 1;
}

int DragCometSkyView(int dx, int dy) {
    OrbitFormState& s = orbitForm;
    if (std::abs(dx) < Sx(4) && std::abs(dy) < Sx(4)) return 0;
    const double width = GetZoomFieldWidth(s.skyFieldIndex);
    double turn = s.skyCentre[0] + dx * width / (120.0 * screenScale.horizontal);
    const double tilt = s.skyCentre[1] + dy * width / (120.0 * screenScale.vertical);
    while (turn >= 360.0) turn -= 360.0;
    while (turn < 0.0) turn += 360.0;
    s.skyCentre[0] = static_cast<float>(turn);
    s.skyCentre[1] = static_cast<float>(std::clamp(tilt, -90.0, 90.0));
    return 1;
}

int TapCometSkyView(int x, int y) {
    OrbitFormState& s = orbitForm;
    const int hit = ShowTapInfo(cometTrackPoints, kCometTrackPoints, s.viewRect, s.skyFieldIndex, x, y);
    if (hit >= 0) {
        s.skyCentrePoint = hit;
        s.skyCentre[0] = s.skyCentre[1] = 0.0f;
    }
    return hit;
}

// ---- Ephemeris -----------------------------------------------------------------------------

void DrawCometEphemeris() {
    OrbitFormState& s = orbitForm;
    cometEphemerisRows.clear();
    char text[40];
    std::snprintf(text, sizeof text, "%02d:%02d", s.hour % 100, s.minute % 100);
    SetField(orbit_form::kTime, text);
    CometRecord record;
    if (!LoadCurrentComet(&record)) return;
    const CometElements elements = MakeCometElements(record);
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    const int rowHeight = Sy(20);
    const int rows = rowHeight > 0 ? std::max((height - Sy(80)) / rowHeight, 0) : 0;
    const bool night = preferences.word[pref::nightMode] > 0;
    const int level = GetNightLevel();
    const platform::Color even = night ? platform::Rgb(level / 2, 0, 0) : platform::Rgb(180, 180, 250);
    const platform::Color odd = night ? platform::Rgb(0, 0, 0) : platform::Rgb(255, 255, 255);
    const platform::Color previousText = SetTextColor(night ? GetForeColor() : platform::Rgb(0, 0, 0));
    const int previousTransparent = SetTextTransparent(1);

    int edge[7];
    int x = TextWidth("00/00/000") + 1;
    edge[0] = x;
    x += TextWidth(" 00h00"), edge[1] = x;
    x += TextWidth(" -00h00"), edge[2] = x;
    x += TextWidth("-0.00 "), edge[3] = x;
    x += TextWidth("  180\xB0"), edge[4] = x;
    x += TextWidth(" Www") - Sx(3), edge[5] = x;
    x += TextWidth(" 0000.00") - Sx(10), edge[6] = x;
    const char* heads[7] = {"Date", "Ra", "Dec", "Mag ", "Elon", "Cnst", "Dist"};
    const int headOffsets[7] = {38, 22, 22, 8, 14, 10, 20};
    const bool dayBar = width > Sx(240);
    if (GetDrawWindow()) {
        for (int k = 0; k < 7; ++k) DrawText(heads[k], edge[k] - Sx(headOffsets[k]), Sy(45));
    }
    int year = s.year, month = s.month, day = s.day;
    const ObserverLocation& site = observerLocation;
    for (int i = 0; i < rows; ++i) {
        CometEphemerisRow row;
        row.jd = DateTimeToJD(year, month, day, s.hour, s.minute, 0, site.zoneMinutes);
        CometPosition p;
        ComputeCometPosition(elements, row.jd, year, &p);
        const double m = CometMagnitude(static_cast<int>(record.kind), record.magnitude1, record.magnitude2,
                                        p.sunDistance, p.earthDistance, p.phaseAngle);
        FormatDateShort(row.text[0], day, month, year);
        HMSToStr(row.text[1], sizeof row.text[1], p.rightAscension);
        DMSToStr(row.text[2], sizeof row.text[2], p.declination);
        for (int k : {1, 2}) {
            const std::size_t n = std::strlen(row.text[k]);
            row.text[k][n > 3 ? n - 3 : 0] = '\0';
        }
        FormatFixed(row.text[3], m, 1);
        std::snprintf(row.text[4], sizeof row.text[4], "%d\xB0", static_cast<int>(p.elongation * kRadToDeg));
        const int c = FindConstellation(p.rightAscension, p.declination, row.jd);
        std::snprintf(row.text[5], sizeof row.text[5], "%s",
                      c >= 0 && c < kConstellationCount ? ConstellationTable[c].abbreviation : "");
        FormatFixed(row.text[6], p.earthDistance, 3);
        row.dayBar = dayBar;
        if (GetDrawWindow()) {
            const int y = Sy(58) + i * rowHeight;
            SetForeColor(i % 2 == 0 ? even : odd);
            DrawRectangle(Bounds{0, y, width, rowHeight}, 0);
            const int textY = y + (rowHeight - Sy(12)) / 2;
            DrawText(row.text[0], 1, textY);
            for (int k = 1; k < 7; ++k) DrawRight(row.text[k], edge[k], textY);
            if (dayBar) {
                double rise = 0, transit = 0, set = 0;
                ComputeRiseSet(year, month, day, site.latitude, site.longitude, site.zoneMinutes, site.height,
                               GetHorizonAltitude(), p.rightAscension, p.declination, &rise, &transit, &set);
                const int barX = edge[6] + Sx(4);
                DrawDayBar(barX, y + (rowHeight - Sy(14)) / 2, width - Sx(5) - barX, Sy(14),
                           static_cast<float>(s.hour + s.minute / 60.0), static_cast<float>(rise),
                           static_cast<float>(transit), static_cast<float>(set));
            }
        }
        cometEphemerisRows.push_back(row);
        AddDays(&year, &month, &day, OrbitStepDays());
    }
    SetTextTransparent(previousTransparent);
    SetTextColor(previousText);
}
