#include "chart/chart_projection.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "astro/fixed_trig.h"
#include "astro/precession_nutation.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_math.h"
#include "chart/chart_object_index.h"
#include "chart/chart_records.h"
#include "chart/chart_save_under.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/sky_matrix.h"
#include "core/report.h"
#include "core/settings.h"
#include "shell/fonts.h"

ProjectionCenter projectionCenter{0, kFixOne, 1.0f, 0.0f, kFixOne, 0};

namespace {

using namespace chartmath;

// Busy steps while the tables are projected.
constexpr int kBusyEvery = 100;
// The catalog code of the solar-system bodies, whose places are of date.
constexpr int kBodyCatalog = 45;

std::int32_t Mul(std::int32_t a, std::int32_t b) { return FixProduct(a, b); }

// A plane coordinate from a double, held inside the 32-bit range (far below the horizon
// the stereographic radius grows without bound).
std::int32_t ToPlane(double value) {
    const double v = value * kFixedPerUnit;
    if (!(v == v)) return 0;
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(std::clamp(v, kMin, kMax));
}

// The stereographic plane point of a horizontal direction (radians) with the float
// rotation terms.
void StereographicPoint(double azimuth, double altitude, std::int32_t* p, std::int32_t* q) {
    const double r = std::tan((kHalfPi - altitude) * 0.5);
    const double x = r * std::cos(azimuth), y = r * std::sin(azimuth);
    const double c = projectionCenter.cosRotation, s = projectionCenter.sinRotation;
    *q = ToPlane(c * y - s * x);
    *p = ToPlane(s * y + c * x);
}

double ClampUnit(double v) { return std::clamp(v, -1.0, 1.0); }

// The precession of the catalog places to the chart's date, and the fixed-point rows that
// take a catalog vector e = (cos d sin a, cos d cos a, sin d) straight to the horizon at
// one sidereal time and latitude: up (sine of the altitude), west (minus the sine part of
// the azimuth) and north. Rebuilt when the time, the site or the epoch changes.
struct ChartFrame {
    double epochJd = 0.0;
    double precession[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    bool rowsValid = false;
    std::int32_t lst = 0, sinLat = 0, cosLat = 0;
    std::int32_t up[3] = {}, west[3] = {}, north[3] = {};
    // The same rows in doubles for the floating kernel.
    bool floatRowsValid = false;
    float floatLst = 0.0f;
    double floatSinLat = 0, floatCosLat = 0;
    double upF[3] = {}, westF[3] = {}, northF[3] = {};
};

// The rows for a sidereal time (cos and sine of it) and a latitude: with e' = P e of
// date, cos d' cos h = cl e'1 + sl e'0 and cos d' sin h = sl e'1 - cl e'0.
void FrameRows(const double P[9], double cl, double sl, double sinLat, double cosLat, double up[3], double west[3],
               double north[3]) {
    for (int k = 0; k < 3; ++k) {
        const double a = cl * P[3 + k] + sl * P[k];
        const double b = sl * P[3 + k] - cl * P[k];
        const double z = P[6 + k];
        up[k] = cosLat * a + sinLat * z;
        west[k] = -b;
        north[k] = cosLat * z - sinLat * a;
    }
}
ChartFrame chartFrame;

bool Precessing() { return chartFrame.epochJd != 0.0; }

void BuildFrameRows(std::int32_t lst) {
    ChartFrame& f = chartFrame;
    const double* P = f.precession;
    double cl = 0, sl = 0;
    {
        std::int32_t c, s;
        FixSinCos(lst, &c, &s);
        cl = c * kUnitPerFixed, sl = s * kUnitPerFixed;
    }
    const double sinLat = projectionCenter.sinLatitude * kUnitPerFixed;
    const double cosLat = projectionCenter.cosLatitude * kUnitPerFixed;
    double up[3], west[3], north[3];
    FrameRows(P, cl, sl, sinLat, cosLat, up, west, north);
    for (int k = 0; k < 3; ++k) {
        f.up[k] = ToPlane(up[k]);
        f.west[k] = ToPlane(west[k]);
        f.north[k] = ToPlane(north[k]);
    }
    f.lst = lst;
    f.sinLat = projectionCenter.sinLatitude;
    f.cosLat = projectionCenter.cosLatitude;
    f.rowsValid = true;
}

std::int32_t Dot(const std::int32_t row[3], std::int32_t e0, std::int32_t e1, std::int32_t e2) {
    return FixProduct(row[0], e0) + FixProduct(row[1], e1) + FixProduct(row[2], e2);
}

// The catalog vector in the chart's order, and back to hours and degrees.
void ToVector(double raHours, double decDegrees, double v[3]) {
    const double a = raHours * kHoursToRad, d = decDegrees * kDegToRad;
    v[0] = std::cos(d) * std::sin(a);
    v[1] = std::cos(d) * std::cos(a);
    v[2] = std::sin(d);
}
void FromVector(const double v[3], double* raHours, double* decDegrees) {
    double ra = std::atan2(v[0], v[1]) * kRadToHours;
    if (ra < 0.0) ra += 24.0;
    *raHours = ra;
    *decDegrees = std::asin(ClampUnit(v[2])) * kRadToDeg;
}

// The plane point of an altitude and azimuth (8.24 radians, azimuth 0..2 pi).
void PlaneFromHorizontal(std::int32_t alt, std::int32_t azimuth, std::int32_t* p, std::int32_t* q) {
    if (IsHorizonView()) {
        *q = static_cast<std::int32_t>((static_cast<std::uint64_t>(azimuth) * kHorizonPlanePerRadianFixed) >> 24);
        *p = static_cast<std::int32_t>((static_cast<std::uint64_t>(alt) * kHorizonPlanePerRadianFixed) >> 24);
        return;
    }
    const std::int32_t r = FixTanSeries((kFixQuarterTurn - alt) >> 1);
    std::int32_t cosA, sinA;
    FixSinCos(azimuth, &cosA, &sinA);
    const std::int32_t x = FixProduct(r, cosA), y = FixProduct(r, sinA);
    const std::int32_t cosRot = projectionCenter.cosRotationFixed, sinRot = projectionCenter.sinRotationFixed;
    *p = FixProduct(x, cosRot) + FixProduct(y, sinRot);
    *q = FixProduct(y, cosRot) - FixProduct(x, sinRot);
}

// A catalog place through the precessing rows.
int ProjectCatalogPoint(std::int32_t lst, std::int32_t ra, std::int32_t dec, std::int32_t* p, std::int32_t* q) {
    ChartFrame& f = chartFrame;
    if (!f.rowsValid || f.lst != lst || f.sinLat != projectionCenter.sinLatitude ||
        f.cosLat != projectionCenter.cosLatitude)
        BuildFrameRows(lst);
    std::int32_t cosA, sinA, cosD, sinD;
    FixSinCos(ra, &cosA, &sinA);
    FixSinCos(dec, &cosD, &sinD);
    const std::int32_t e0 = FixProduct(cosD, sinA), e1 = FixProduct(cosD, cosA), e2 = sinD;
    const std::int32_t sinAlt = Dot(f.up, e0, e1, e2);
    if (sinAlt < 0) return 0;
    std::int32_t azimuth = FixAtan2(Dot(f.west, e0, e1, e2), Dot(f.north, e0, e1, e2));
    if (azimuth < 0) azimuth += kFixTurn;
    PlaneFromHorizontal(FixAsin(std::min(sinAlt, kFixOne)), azimuth, p, q);
    return 1;
}

// The horizontal direction (radians) under a pixel of the plane; false without a scale.
bool PixelToHorizontal(std::int64_t dx, std::int64_t dy, double* azimuth, double* altitude) {
    std::int32_t cx, cy, sx, sy;
    GetChartMetrics(&cx, &cy, &sx, &sy);
    if (sx == 0 || sy == 0) return false;
    dx = cx - dx;
    dy = cy - dy;
    if (IsHorizonView()) {
        *azimuth = static_cast<double>(dx) / (sx * kUnitPerFixed * 256.0) * kDegToRad;
        *altitude = static_cast<double>(dy) / (sy * kUnitPerFixed * 256.0) * kDegToRad;
        return true;
    }
    const double q = static_cast<double>((dx * (std::int64_t{1} << 34)) / sx) * kUnitPerFixed;
    const double p = static_cast<double>((dy * (std::int64_t{1} << 34)) / sy) * kUnitPerFixed;
    const double c = projectionCenter.cosRotation, s = projectionCenter.sinRotation;
    const double u = p * c - q * s;
    const double v = q * c + p * s;
    *azimuth = std::atan2(v, u);
    // The radius is the tangent of half the zenith distance. Taken as u / cos A it is 0/0
    // wherever the point lies due east or west of the zenith.
    *altitude = kHalfPi - 2.0 * std::atan(std::hypot(u, v));
    return true;
}

void ProjectRecord(SelectionRecord& r, float lst, std::int32_t fixedLst, bool floating) {
    std::int32_t p = 0, q = 0;
    const bool ofDate = r.catalogCode == kBodyCatalog;
    const float ra = r.rightAscension, dec = r.declination;
    const int visible =
        floating ? (ofDate ? ProjectHorizontalPointOfDate(lst, ra, dec, &p, &q) : ProjectHorizontalPoint(lst, ra, dec, &p, &q))
                 : (ofDate ? ProjectEquatorialPointOfDate(fixedLst, HoursToFixedAngle(ra), DegreesToFixedAngle(dec), &p, &q)
                           : ProjectEquatorialPoint(fixedLst, HoursToFixedAngle(ra), DegreesToFixedAngle(dec), &p, &q));
    if (visible) {
        r.chartX = p;
        r.chartY = q;
    }
    r.offChart = visible ? 0 : 1;
}

void ProjectStar(StarRecord& s, float lst, std::int32_t fixedLst, bool floating) {
    std::int32_t p = 0, q = 0;
    int visible;
    if (floating) {
        const float ra = static_cast<float>(s.word[starword::ra] * kUnitPerFixed * kRadToHours);
        const float dec = static_cast<float>(s.word[starword::dec] * kUnitPerFixed * kRadToDeg);
        visible = ProjectHorizontalPoint(lst, ra, dec, &p, &q);
    } else {
        visible = ProjectEquatorialPoint(fixedLst, s.word[starword::ra], s.word[starword::dec], &p, &q);
    }
    if (visible) {
        s.word[starword::planeP] = p;
        s.word[starword::planeQ] = q;
    }
    s.word[starword::hidden] = visible ? 0 : 1;
}

}  // namespace

void SetProjectionCenter(int rotationDegrees) {
    projectionCenter.sinLatitude = static_cast<std::int32_t>(observerLocation.sinLatitude * kFixedPerUnit);
    projectionCenter.cosLatitude = static_cast<std::int32_t>(observerLocation.cosLatitude * kFixedPerUnit);
    const double angle = rotationDegrees * kDegToRad;
    projectionCenter.cosRotation = static_cast<float>(std::cos(angle));
    projectionCenter.sinRotation = static_cast<float>(std::sin(angle));
    FixSinCos(rotationDegrees * kFixedPerWholeDegree, &projectionCenter.cosRotationFixed,
              &projectionCenter.sinRotationFixed);
}

void GetProjectionRotation(float* cosine, float* sine) {
    if (cosine) *cosine = projectionCenter.cosRotation;
    if (sine) *sine = projectionCenter.sinRotation;
}

void SetChartPrecessionEpoch(double jd) {
    ChartFrame& f = chartFrame;
    if (jd == f.epochJd) return;
    f.epochJd = jd;
    f.rowsValid = f.floatRowsValid = false;
    if (jd == 0.0) {
        const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        std::copy(identity, identity + 9, f.precession);
    } else {
        PrecessionMatrix(jd, f.precession);
    }
}

double GetChartPrecessionEpoch() { return chartFrame.epochJd; }

void PrecessToChartDate(double* ra, double* dec) {
    if (!Precessing()) return;
    double v[3], w[3];
    ToVector(*ra, *dec, v);
    const double* P = chartFrame.precession;
    for (int i = 0; i < 3; ++i) w[i] = P[3 * i] * v[0] + P[3 * i + 1] * v[1] + P[3 * i + 2] * v[2];
    FromVector(w, ra, dec);
}

void PrecessFromChartDate(double* ra, double* dec) {
    if (!Precessing()) return;
    double v[3], w[3];
    ToVector(*ra, *dec, v);
    const double* P = chartFrame.precession;
    for (int i = 0; i < 3; ++i) w[i] = P[i] * v[0] + P[3 + i] * v[1] + P[6 + i] * v[2];
    FromVector(w, ra, dec);
}

int ProjectEquatorialPoint(std::int32_t lst, std::int32_t ra, std::int32_t dec, std::int32_t* p, std::int32_t* q) {
    if (Precessing()) return ProjectCatalogPoint(lst, ra, dec, p, q);
    return ProjectEquatorialPointOfDate(lst, ra, dec, p, q);
}

int ProjectEquatorialPointOfDate(std::int32_t lst, std::int32_t ra, std::int32_t dec, std::int32_t* p,
                                 std::int32_t* q) {
    // The hour angle into -pi..pi, whatever number of turns it lies away.
    std::int64_t h = static_cast<std::int64_t>(lst) - ra;
    if (h > kFixHalfTurn)
        h -= ((h - (kFixHalfTurn + 1)) / kFixTurn + 1) * kFixTurn;
    else if (h < -kFixHalfTurn)
        h += ((-h - (kFixHalfTurn + 1)) / kFixTurn + 1) * kFixTurn;

    std::int32_t cosH, sinH, cosDec, sinDec;
    FixSinCos(static_cast<std::int32_t>(h), &cosH, &sinH);
    FixSinCos(dec, &cosDec, &sinDec);
    const std::int32_t sinLat = projectionCenter.sinLatitude, cosLat = projectionCenter.cosLatitude;
    const std::int32_t cosHcosDec = Mul(cosH, cosDec);
    const std::int32_t sinAlt = Mul(cosHcosDec, cosLat) + Mul(sinLat, sinDec);
    if (sinAlt < 0) return 0;

    const std::int32_t alt = FixAsin(sinAlt);
    std::int32_t azimuth = FixAtan2(-Mul(cosDec, sinH), Mul(cosLat, sinDec) - Mul(sinLat, cosHcosDec));
    if (azimuth < 0) azimuth += kFixTurn;
    PlaneFromHorizontal(alt, azimuth, p, q);
    return 1;
}

int ProjectHorizontalPoint(float lst, float ra, float dec, std::int32_t* p, std::int32_t* q) {
    if (!Precessing()) return ProjectHorizontalPointOfDate(lst, ra, dec, p, q);
    ChartFrame& f = chartFrame;
    const double sinLat = observerLocation.sinLatitude, cosLat = observerLocation.cosLatitude;
    if (!f.floatRowsValid || f.floatLst != lst || f.floatSinLat != sinLat || f.floatCosLat != cosLat) {
        const double t = static_cast<double>(lst) * kHoursToRad;
        FrameRows(f.precession, std::cos(t), std::sin(t), sinLat, cosLat, f.upF, f.westF, f.northF);
        f.floatLst = lst;
        f.floatSinLat = sinLat;
        f.floatCosLat = cosLat;
        f.floatRowsValid = true;
    }
    double e[3];
    ToVector(ra, dec, e);
    const double sinAlt = f.upF[0] * e[0] + f.upF[1] * e[1] + f.upF[2] * e[2];
    if (!(sinAlt >= 0.0)) return 0;
    const double alt = std::asin(std::min(sinAlt, 1.0));
    double azimuth = std::atan2(f.westF[0] * e[0] + f.westF[1] * e[1] + f.westF[2] * e[2],
                                f.northF[0] * e[0] + f.northF[1] * e[1] + f.northF[2] * e[2]);
    if (azimuth < 0.0) azimuth += kTwoPi;
    if (IsHorizonView()) {
        *q = ToPlane(azimuth * kHorizonPlanePerRadian);
        *p = ToPlane(alt * kHorizonPlanePerRadian);
        return 1;
    }
    StereographicPoint(azimuth, alt, p, q);
    return 1;
}

int ProjectRecordPlace(const SelectionRecord& r, std::int32_t* p, std::int32_t* q) {
    const bool ofDate = r.catalogCode == kBodyCatalog;
    const float ra = r.rightAscension, dec = r.declination;
    if (ChartSetting(chartpref::tableProjection) != 0) {
        const float lst = chartClock.siderealTime;
        return ofDate ? ProjectHorizontalPointOfDate(lst, ra, dec, p, q) : ProjectHorizontalPoint(lst, ra, dec, p, q);
    }
    const std::int32_t lst = chartClock.siderealTimeFixed;
    const std::int32_t a = HoursToFixedAngle(ra), d = DegreesToFixedAngle(dec);
    return ofDate ? ProjectEquatorialPointOfDate(lst, a, d, p, q) : ProjectEquatorialPoint(lst, a, d, p, q);
}

int ProjectHorizontalPointOfDate(float lst, float ra, float dec, std::int32_t* p, std::int32_t* q) {
    const double h = std::remainder(static_cast<double>(lst) - ra, 24.0) * kHoursToRad;
    const double d = dec * kDegToRad;
    const double sinLat = observerLocation.sinLatitude, cosLat = observerLocation.cosLatitude;
    const double sinAlt = std::cos(h) * std::cos(d) * cosLat + sinLat * std::sin(d);
    if (!(sinAlt >= 0.0)) return 0;
    const double alt = std::asin(std::min(sinAlt, 1.0));
    double azimuth = std::atan2(-std::cos(d) * std::sin(h), cosLat * std::sin(d) - sinLat * std::cos(h) * std::cos(d));
    if (azimuth < 0.0) azimuth += kTwoPi;
    if (IsHorizonView()) {
        *q = ToPlane(azimuth * kHorizonPlanePerRadian);
        *p = ToPlane(alt * kHorizonPlanePerRadian);
        return 1;
    }
    StereographicPoint(azimuth, alt, p, q);
    return 1;
}

void PlaneToPixel(std::int32_t p, std::int32_t q, std::int32_t* x, std::int32_t* y) {
    std::int32_t cx, cy, sx, sy;
    GetChartMetrics(&cx, &cy, &sx, &sy);
    *x = cx - static_cast<std::int32_t>(((static_cast<std::int64_t>(q) * sx) >> 24) >> 10);
    *y = cy - static_cast<std::int32_t>(((static_cast<std::int64_t>(p) * sy) >> 24) >> 10);
}

int AltAzToPixel(float azimuth, float altitude, std::int32_t* x, std::int32_t* y) {
    std::int32_t p, q;
    if (IsHorizonView()) {
        // The horizon view's own scale: 64 degrees to a plane unit.
        q = ToPlane(azimuth / 64.0);
        p = ToPlane(altitude / 64.0);
    } else {
        StereographicPoint(azimuth * kDegToRad, altitude * kDegToRad, &p, &q);
    }
    PlaneToPixel(p, q, x, y);
    return 1;
}

void PixelToAltAz(int x, int y, float* azimuth, float* altitude) {
    const int f = GetDpiFactor();
    double a = 0.0, h = 0.0;
    if (!PixelToHorizontal(static_cast<std::int64_t>(f) * x, static_cast<std::int64_t>(f) * y, &a, &h)) return;
    *azimuth = static_cast<float>(WrapDegrees(a * kRadToDeg));
    *altitude = static_cast<float>(h * kRadToDeg);
}

void PixelToSky(int x, int y, float* ra, float* dec) {
    double a = 0.0, h = 0.0;
    if (!PixelToHorizontal(x, y, &a, &h)) return;
    const double sinLat = std::sin(observerLocation.latitude * kDegToRad);
    const double cosLat = std::cos(observerLocation.latitude * kDegToRad);
    const double hourAngle =
        std::atan2(-std::cos(h) * std::sin(a), std::sin(h) * cosLat - std::cos(h) * sinLat * std::cos(a)) *
        kRadToHours;
    float lst = 0.0f;
    GetChartLst(&lst);
    double hours = std::fmod(lst - hourAngle + 24.0, 24.0);
    if (hours < 0.0) hours += 24.0;
    // The point is of date; what lies under it is in the catalog frame.
    double declination = std::asin(ClampUnit(std::sin(h) * sinLat + std::cos(h) * std::cos(a) * cosLat)) * kRadToDeg;
    PrecessFromChartDate(&hours, &declination);
    *ra = static_cast<float>(hours);
    *dec = static_cast<float>(declination);
}

void RotateChartTables(int degrees) {
    MarkChartBuffersEmpty();
    std::int32_t c, s;
    FixSinCos(degrees * kFixedPerWholeDegree, &c, &s);
    const auto turn = [c, s](std::int32_t& p, std::int32_t& q) {
        const std::int32_t p0 = p, q0 = q;
        p = Mul(p0, c) + Mul(q0, s);
        q = Mul(q0, c) - Mul(p0, s);
    };

    if (StarRecord* stars = BrightStars()) {
        const int n = GetStarTableCount();
        for (int i = 0; i < n; ++i) {
            StarRecord& star = stars[i];
            if (star.word[starword::hidden] != 0) continue;
            turn(star.word[starword::planeP], star.word[starword::planeQ]);
            PlaneToPixel(star.word[starword::planeP], star.word[starword::planeQ], &star.word[starword::pixelX],
                         &star.word[starword::pixelY]);
        }
    }
    const int count = ChartRecordCount();
    for (int i = 0; i < count; ++i) {
        SelectionRecord& r = selectionList.records[i];
        if (r.offChart != 0) continue;
        turn(r.chartX, r.chartY);
        std::int32_t x, y;
        PlaneToPixel(r.chartX, r.chartY, &x, &y);
        SetSelectionPixel(r, x, y);
    }
}

void ProjectChartTables(float lst, int* selectionDone, int* starsDone, int* redrawFlag) {
    const bool floating = ChartSetting(chartpref::tableProjection) != 0;
    const std::int32_t fixedLst = HoursToFixedAngle(lst);

    if (selectionDone && !*selectionDone) {
        // Only the records the list holds are projected; its count is never changed here
        // (the list is saved as the last list at exit).
        const int count = ChartRecordCount();
        for (int i = 0; i < count; ++i) {
            if (i % kBusyEvery == 0) ShowBusy(1);
            ProjectRecord(selectionList.records[i], lst, fixedLst, floating);
        }
        RebuildObjectPopup();
        HideBusy(1);
        *selectionDone = 1;
        if (redrawFlag) *redrawFlag = 0;
    }

    if (starsDone && !*starsDone) {
        LoadStarTable(1);
        if (StarRecord* stars = BrightStars()) {
            const int n = GetStarTableCount();
            for (int i = 0; i < n; ++i) {
                if (i % kBusyEvery == 0) ShowBusy(1);
                ProjectStar(stars[i], lst, fixedLst, floating);
            }
        }
        HideBusy(1);
        *starsDone = 1;
        if (redrawFlag) *redrawFlag = 0;
    }
}

void CenterChartOn(double ra, double dec) {
    FreeChartBitmaps();
    float first = static_cast<float>(ra), second = static_cast<float>(dec);
    if (ChartMode() >= kChartModeWholeSky) {
        std::int32_t x = 0, y = 0, z = 0;
        ProjectToChart(HoursToFixedAngle(ra), DegreesToFixedAngle(dec), &x, &y, &z);
        first = static_cast<float>(WrapDegrees(std::atan2(static_cast<double>(x), static_cast<double>(y)) * kRadToDeg));
        second = static_cast<float>(std::asin(ClampUnit(z * kUnitPerFixed)) * kRadToDeg);
    }
    SetChartCentre(first, second);
    chartSelectionIndex = -1;
}
