#include "eclipses/eclipse_limits_drawing.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>

#include "astro/globe_view.h"
#include "eclipses/central_line.h"
#include "eclipses/eclipse_math.h"
#include "platform/types.h"
#include "shell/draw_primitives.h"

namespace {
constexpr double kMagnitudes[kLimitMagnitudes] = {0.0, 0.25, 0.5, 0.75, 1.0};

// A place on the globe's screen; false on the far side. The globe's axes run with the
// latitude and the longitude both negated (its longitudes east, its latitudes south); the
// screen offsets are scaled by division, which the lines' own rule takes.
bool ProjectPlace(const GlobeView& view, int latitude, int longitudeWest, int centreX, int centreY, int radius,
                  int* x, int* y) {
    const GlobeVector v = GlobeSurfaceVector(GlobeSinCosDegrees(-latitude), GlobeSinCosDegrees(-longitudeWest));
    if (GlobeTexelHidden(view, v)) return false;
    *x = centreX + GlobeDot(view.p, v) * radius / kGlobeOne;
    *y = centreY - GlobeDot(view.q, v) * radius / kGlobeOne;
    return true;
}

// The west longitude of the central line's start, and the signed longitude its path
// covers to the end, followed through the path: eastward paths run to smaller west
// longitudes, possibly across the 180th meridian, and a polar path may run west. NaN when
// the line has no points.
double CentralLineSweep(const BesselElements& elements, double start, double end, double deltaTSeconds,
                        double* sweep) {
    constexpr int kSamples = 24;
    constexpr double kInside = 1.0 / 7200.0;  // half a second inside each end
    double latitude, longitude, duration, width;
    if (!GetCentralLinePoint(elements, start + kInside, deltaTSeconds, &latitude, &longitude, &duration, &width))
        return std::numeric_limits<double>::quiet_NaN();
    const double first = longitude;
    double previous = longitude;
    *sweep = 0.0;
    for (int i = 1; i <= kSamples; ++i) {
        const double t = i == kSamples ? end - kInside : start + (end - start) * i / kSamples;
        if (!GetCentralLinePoint(elements, t, deltaTSeconds, &latitude, &longitude, &duration, &width)) continue;
        *sweep += ReduceDegrees180(longitude - previous);
        previous = longitude;
    }
    *sweep = std::fmax(-360.0, std::fmin(360.0, *sweep));  // once round the globe at most
    return first;
}

void AddSegment(LimitCurves* curves, const LimitPoint& from, int x, int y, int colour, int curve) {
    if (from.x == kLimitNoPoint || std::abs(x - from.x) >= kLimitJumpPixels) return;
    if (curves->segmentCount >= kMaxLimitSegments) return;
    curves->segments[curves->segmentCount++] = LimitSegment{from.x, from.y, x, y, colour, curve};
}
}  // namespace

int ComputeEclipseLimitCurves(const BesselElements& elements, int centreX, int centreY, double angle1, double angle2,
                              double angle3, double radius, double deltaTSeconds, LimitCurves* curves) {
    curves->segmentCount = 0;
    for (int side = 0; side < kLimitSides; ++side)
        for (int m = 0; m < kLimitMagnitudes; ++m) {
            curves->first[side][m] = curves->last[side][m] = LimitPoint{};
            curves->points[side][m] = 0;
        }

    double start, end;
    if (!GetCentralLineEnds(elements, deltaTSeconds, &start, &end)) return 0;
    double sweep;
    const double firstLongitude = CentralLineSweep(elements, start, end, deltaTSeconds, &sweep);
    if (!std::isfinite(firstLongitude)) return 0;

    const GlobeView view = MakeGlobeView(angle1, angle2, -angle3);
    const int r = ToIntChecked(radius, 0);
    const int first = ToIntChecked(firstLongitude, 0);
    const int direction = sweep < 0.0 ? -1 : 1;
    const int steps = ToIntChecked(std::fabs(firstLongitude + sweep - first) / 6.0, -1);
    for (int i = 0; i <= steps; ++i) {
        const int lambda = first + direction * 6 * i;
        for (int side = 0; side < kLimitSides; ++side) {
            for (int m = 0; m < kLimitMagnitudes; ++m) {
                const double limit =
                    GetLimitLatitude(elements, lambda, kMagnitudes[m], deltaTSeconds, side == 0 ? -1 : 1);
                int x, y;
                if (!ProjectPlace(view, ToIntChecked(limit, 0), lambda, centreX, centreY, r, &x, &y)) continue;
                AddSegment(curves, curves->last[side][m], x, y, m == kLimitMagnitudes - 1 ? kLimitRed : kLimitGrey,
                           side * kLimitMagnitudes + m);
                if (curves->first[side][m].x == kLimitNoPoint) curves->first[side][m] = LimitPoint{x, y};
                curves->last[side][m] = LimitPoint{x, y};
                ++curves->points[side][m];
            }
        }
    }

    // Close the bands between neighbouring magnitudes at both ends of the path.
    for (int side = 0; side < kLimitSides; ++side) {
        for (int m = 0; m + 1 < kLimitMagnitudes; ++m) {
            const LimitPoint& a = curves->first[side][m + 1];
            if (a.x != kLimitNoPoint)
                AddSegment(curves, curves->first[side][m], a.x, a.y, kLimitGrey, kLimitClosingJoin);
            const LimitPoint& b = curves->last[side][m + 1];
            if (b.x != kLimitNoPoint)
                AddSegment(curves, curves->last[side][m], b.x, b.y, kLimitGrey, kLimitClosingJoin);
        }
    }
    return curves->segmentCount;
}

void DrawEclipseLimits(const BesselElements& elements, int centreX, int centreY, double angle1, double angle2,
                       double angle3, double radius, double deltaTSeconds) {
    auto curves = std::make_unique<LimitCurves>();
    const int count =
        ComputeEclipseLimitCurves(elements, centreX, centreY, angle1, angle2, angle3, radius, deltaTSeconds, curves.get());
    for (int i = 0; i < count; ++i) {
        const LimitSegment& s = curves->segments[i];
        const platform::Color colour =
            s.colour == kLimitRed ? platform::Rgb(255, 0, 0) : platform::Rgb(203, 203, 203);
        DrawLineColor(s.x0, s.y0, s.x1, s.y1, colour);
    }
}
