#include "chart/sky_window.h"

#include <algorithm>

#include "catalog/star_tables.h"
#include "chart/chart_projection.h"
#include "chart/chart_state.h"

namespace {

constexpr std::int32_t kHalfPiFixed = 26353589;
constexpr std::int32_t kPiFixed = 52707178;

bool SkyAt(const SkyView* view, int x, int y, std::int32_t* ra, std::int32_t* dec) {
    if (view) return ScreenToSky(*view, x, y, ra, dec) != 0;
    float r = 0.0f, d = 0.0f;
    PixelToSky(x, y, &r, &d);
    *ra = HoursToFixedAngle(r);
    *dec = DegreesToFixedAngle(d);
    return true;
}

bool PoleInside(const SkyView* view, const Bounds& rect, std::int32_t pole) {
    std::int32_t x = 0, y = 0;
    if (view) {
        if (!SkyViewProjectPoint(*view, 0, pole, &x, &y)) return false;
    } else {
        std::int32_t p = 0, q = 0;
        if (!ProjectEquatorialPointOfDate(chartClock.siderealTimeFixed, 0, pole, &p, &q)) return false;
        PlaneToPixel(p, q, &x, &y);
    }
    return x >= rect.x && x < rect.x + rect.width && y >= rect.y && y < rect.y + rect.height;
}

}  // namespace

SkyWindow FindSkyWindow(const SkyView* view, const Bounds& rect) {
    SkyWindow w{0x7FFFFFFF, -0x7FFFFFFF, kHalfPiFixed, -kHalfPiFixed, false, false};
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            std::int32_t ra = 0, dec = 0;
            if (!SkyAt(view, rect.x + rect.width * a / 2, rect.y + rect.height * b / 2, &ra, &dec)) continue;
            ra = static_cast<std::int32_t>(((static_cast<std::int64_t>(ra) % (2 * kPiFixed)) + 2 * kPiFixed) %
                                           (2 * kPiFixed));
            w.raMin = std::min(w.raMin, ra);
            w.raMax = std::max(w.raMax, ra);
            w.decMin = std::min(w.decMin, dec);
            w.decMax = std::max(w.decMax, dec);
        }
    }
    w.decMin = std::max(w.decMin, -kHalfPiFixed);
    w.decMax = std::min(w.decMax, kHalfPiFixed);
    w.wraps = static_cast<std::int64_t>(w.raMax) - w.raMin > kPiFixed;
    for (const std::int32_t pole : {kHalfPiFixed, -kHalfPiFixed}) {
        if (!PoleInside(view, rect, pole)) continue;
        w.all = true;
        if (pole > 0) w.decMax = kHalfPiFixed;
        else w.decMin = -kHalfPiFixed;
    }
    return w;
}
