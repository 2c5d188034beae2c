#include "chart/sky_matrix.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "astro/fixed_trig.h"
#include "astro/horizontal.h"
#include "astro/matrices.h"
#include "astro/precession_nutation.h"
#include "astro/time_scales.h"
#include "catalog/databases.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_colours.h"
#include "chart/chart_math.h"
#include "chart/chart_records.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "core/calendar.h"
#include "core/settings.h"

ChartMatrix chartMatrix{};
SkyCacheKey skyCacheKey{-1, 0, 0, 0, 0, 0, 0, 0, 0.0f, 0.0f};

namespace {

using namespace chartmath;

constexpr double kOne = 16777216.0;

std::int32_t Mul(std::int32_t a, std::int32_t b) { return FixProduct(a, b); }

std::int32_t ToFixed(double v) { return static_cast<std::int32_t>(v * kOne); }
double ToDouble(std::int32_t v) { return v / kOne; }

void CopyRows(const std::int32_t a[9]) {
    for (int j = 0; j < 3; ++j) {
        chartMatrix.row0[j] = a[j];
        chartMatrix.row1[j] = a[3 + j];
        chartMatrix.row2[j] = a[6 + j];
    }
}

std::int32_t ToFixedAngle(double radians) {
    const std::int32_t v = ToFixed(WrapTurn(radians));
    return v >= kFixTurn ? v - kFixTurn : v;
}

// The inverse of the orthographic view: a tap to the frame angle a (minus the view's
// turn-angle convention: the azimuth in the horizon frame) and the elevation b, radians.
// The centre may be offset by the view's origin. False for a view without a scale.
bool TapToFrame(const SkyView& view, int x, int y, std::int64_t originX, std::int64_t originY, double* a,
                double* b) {
    if (view.scaleX == 0 || view.scaleY == 0) return false;
    const std::int64_t dx = view.centreX + originX - x, dy = view.centreY + originY - y;
    double u = ToDouble(static_cast<std::int32_t>((dx * (std::int64_t{1} << 24)) / view.scaleX));
    double v = ToDouble(static_cast<std::int32_t>((dy * (std::int64_t{1} << 24)) / view.scaleY));
    const double r2 = u * u + v * v;
    if (r2 > 1.0) {
        const double r = std::sqrt(r2);
        u /= r;
        v /= r;
    }
    const double depth = std::sqrt(std::max(1.0 - u * u - v * v, 0.0));
    const double t = ToDouble(view.tilt), a0 = ToDouble(view.turn);
    const double ct = std::cos(t), st = std::sin(t), ca = std::cos(a0), sa = std::sin(a0);
    *b = std::asin(std::clamp(depth * st + v * ct, -1.0, 1.0));
    const double m = depth * ct - v * st;
    *a = WrapTurn(std::atan2(m * sa + u * ca, u * sa - m * ca) + kPi);
    return true;
}

}  // namespace

void BuildSkyMatrix(int year, int month, int day, int hour, int minute, int second) {
    const ObserverLocation& site = observerLocation;
    const double jd = DateTimeToJD(year, month, day, hour, minute, second, site.zoneMinutes);
    const double lst = LocalSiderealTime(year, month, day, hour, minute, second, site.longitude, site.zoneMinutes);
    const std::int32_t fixedLst = static_cast<std::int32_t>(lst * kHoursToFixed);
    chartMatrix.piMinusLst = kFixHalfTurn - fixedLst;
    if (chartMatrix.piMinusLst < 0) chartMatrix.piMinusLst = 3 * kFixHalfTurn + 1 - fixedLst;

    double p[9], n[9], pn[9], h[9], m[9];
    PrecessionMatrix(jd, p);
    NutationMatrix(jd, n);
    MultiplyMatrix3(p, n, pn);
    HorizonMatrix(year, month, day, hour, minute, second, h);
    MultiplyMatrix3(h, pn, m);
    for (int i = 0; i < 9; ++i) {
        chartMatrix.horizon[i] = ToFixed(h[i]);
        chartMatrix.full[i] = ToFixed(m[i]);
    }
    SelectFullSkyMatrix();
}

void SelectFullSkyMatrix() { CopyRows(chartMatrix.full); }
void SelectHorizonOnlyMatrix() { CopyRows(chartMatrix.horizon); }

SkyVector SkyUnitVector(std::int32_t ra, std::int32_t dec) {
    // A redraw projects the places of the last one again (the chart's records, its grid and
    // lines), and the two CORDIC sine/cosines are what a projection costs: the vectors of
    // recent places are kept by place. The vector depends on nothing else, so a kept one is
    // always the one that would be computed.
    struct Kept {
        std::int32_t ra = 0, dec = 0;
        SkyVector v{};
        bool valid = false;
    };
    constexpr int kSlotBits = 12;
    thread_local std::array<Kept, std::size_t{1} << kSlotBits> kept{};
    const std::uint32_t hash = static_cast<std::uint32_t>(ra) * 2654435761u ^ static_cast<std::uint32_t>(dec) * 40503u;
    Kept& k = kept[hash >> (32 - kSlotBits)];
    if (k.valid && k.ra == ra && k.dec == dec) return k.v;
    std::int32_t cosRa, sinRa, cosDec, sinDec;
    FixSinCos(ra, &cosRa, &sinRa);
    FixSinCos(dec, &cosDec, &sinDec);
    k = Kept{ra, dec, {Mul(cosDec, sinRa), Mul(cosDec, cosRa), sinDec}, true};
    return k.v;
}

SkyVector TurnToChart(const SkyVector& e) {
    if (skyCacheKey.horizonFlag == 0) return e;
    const ChartMatrix& a = chartMatrix;
    // The third term is 0 for the horizon matrix alone, but precession tilts the pole by
    // about 0.001 in the full matrix: left out, x would be off by up to 0.06 degree.
    return {Mul(a.row0[0], e.x) + Mul(a.row0[1], e.y) + Mul(a.row0[2], e.z),
            Mul(a.row1[0], e.x) + Mul(a.row1[1], e.y) + Mul(a.row1[2], e.z),
            Mul(a.row2[0], e.x) + Mul(a.row2[1], e.y) + Mul(a.row2[2], e.z)};
}

void ProjectToChart(std::int32_t ra, std::int32_t dec, std::int32_t* x, std::int32_t* y, std::int32_t* z) {
    const SkyVector p = TurnToChart(SkyUnitVector(ra, dec));
    if (x) *x = p.x;
    if (y) *y = p.y;
    if (z) *z = p.z;
}

int UpdateSkyForDate(int horizonFlag, int year, int month, int day, int hour, int minute, int second, int force) {
    SetChartColors();
    SkyCacheKey& key = skyCacheKey;
    const ObserverLocation& site = observerLocation;
    if (force == 0 && key.horizonFlag == horizonFlag && key.year == year && key.month == month && key.day == day &&
        key.hour == hour && key.minute == minute && key.latitude == site.latitude && key.longitude == site.longitude)
        return 0;
    key.horizonFlag = horizonFlag;
    BuildSkyMatrix(year, month, day, hour, minute, second);
    ProjectStarTable();
    key.year = year;
    key.month = month;
    key.day = day;
    key.hour = hour;
    key.minute = minute;
    key.zoneMinutes = site.zoneMinutes;
    key.second = second;
    key.latitude = site.latitude;
    key.longitude = site.longitude;
    return 1;
}

void InvalidateSkyProjection() { skyCacheKey.horizonFlag = -1; }

void ProjectStarTable() {
    LoadStarTable(1);
    UpdateCurrentTime(1);
    StarRecord* stars = BrightStars();
    if (!stars) return;
    const int n = GetStarTableCount();
    for (int i = 0; i < n; ++i) {
        StarRecord& s = stars[i];
        ProjectToChart(s.word[starword::ra], s.word[starword::dec], &s.word[starword::planeP],
                       &s.word[starword::planeQ], &s.word[starword::skyZ]);
    }
}

void ProjectObjects(SelectionRecord* records, int count) {
    if (!records) return;
    if (ChartMode() < kChartModeWholeSky) InvalidateSelectionProjection();
    for (int i = 0; i < count; ++i) {
        SelectionRecord& r = records[i];
        const std::int32_t ra = HoursToFixedAngle(r.rightAscension);
        const std::int32_t dec = DegreesToFixedAngle(r.declination);
        const bool ofDate = r.catalogCode == kCatalogPlanet;
        if (ofDate) SelectHorizonOnlyMatrix();
        ProjectToChart(ra, dec, &r.chartX, &r.chartY, nullptr);
        if (ofDate) SelectFullSkyMatrix();
    }
}

SkyViewTrig MakeSkyViewTrig(const SkyView& view) {
    SkyViewTrig t;
    FixSinCos(view.turn, &t.cosTurn, &t.sinTurn);
    FixSinCos(view.tilt, &t.cosTilt, &t.sinTilt);
    return t;
}

int SkyViewProjectVector(const SkyView& view, const SkyViewTrig& trig, const SkyVector& p, std::int32_t* x,
                         std::int32_t* y) {
    const std::int32_t ca = trig.cosTurn, sa = trig.sinTurn, ct = trig.cosTilt, st = trig.sinTilt;
    const std::int32_t w = Mul(ca, p.y) + Mul(p.x, sa);
    const std::int32_t depth = Mul(ct, w) + Mul(p.z, st);
    if (depth < 1) return 0;
    const std::int32_t u = Mul(p.x, ca) - Mul(p.y, sa);
    const std::int32_t v = Mul(ct, p.z) - Mul(w, st);
    *x = view.centreX - Mul(view.scaleX, u);
    *y = view.centreY - Mul(v, view.scaleY);
    return 1;
}

int SkyViewProjectPoint(const SkyView& view, std::int32_t ra, std::int32_t dec, std::int32_t* x, std::int32_t* y) {
    return SkyViewProjectVector(view, MakeSkyViewTrig(view), TurnToChart(SkyUnitVector(ra, dec)), x, y);
}

int ScreenToSky(const SkyView& view, int x, int y, std::int32_t* ra, std::int32_t* dec) {
    double a = 0.0, b = 0.0;
    if (!TapToFrame(view, x, y, 0, 0, &a, &b)) return 0;
    if (skyCacheKey.horizonFlag == 0) {
        // In the catalog frame the frame angle runs against the right ascension.
        *ra = ToFixedAngle(-a);
        *dec = ToFixed(b);
        return 1;
    }
    // Undo the latitude tilt of the horizon matrix; what remains is the equator of date
    // turned by the stored pi - LST.
    const double lat = observerLocation.latitude * kDegToRad;
    const double sinLat = std::sin(lat), cosLat = std::cos(lat);
    const double hx = -std::cos(b) * std::sin(a), hy = std::cos(b) * std::cos(a), hz = std::sin(b);
    const double ex = hx, ey = sinLat * hy - cosLat * hz, ez = cosLat * hy + sinLat * hz;
    *dec = ToFixed(std::asin(std::clamp(ez, -1.0, 1.0)));
    *ra = ToFixedAngle(std::atan2(ex, ey) - ToDouble(chartMatrix.piMinusLst));
    return 1;
}

int SkyViewPixelToAltAz(const SkyView& view, int x, int y, std::int32_t* azimuth, std::int32_t* altitude) {
    double a = 0.0, b = 0.0;
    if (!TapToFrame(view, x, y, view.originX, view.originY, &a, &b)) return 0;
    if (skyCacheKey.horizonFlag != 0) {
        *azimuth = ToFixedAngle(a);
        *altitude = ToFixed(b);
        return 1;
    }
    // The catalog frame: the hour angle (negated: a runs against the right ascension).
    const double lat = observerLocation.latitude * kDegToRad;
    const double sinLat = std::sin(lat), cosLat = std::cos(lat);
    const double h = std::remainder(ToDouble(chartMatrix.piMinusLst) - a + kPi, kTwoPi);
    const double cb = std::cos(b), sb = std::sin(b), ch = std::cos(h);
    *altitude = ToFixed(std::asin(std::clamp(cb * ch * cosLat + sb * sinLat, -1.0, 1.0)));
    std::int32_t turned = FixAtan2(ToFixed(-cb * std::sin(h)), ToFixed(cosLat * sb - cb * ch * sinLat));
    if (turned < 0) turned += kFixTurn;
    std::int32_t az = kFixTurn + 1 - turned;
    if (az >= kFixTurn) az -= kFixTurn;
    *azimuth = az;
    return 1;
}
