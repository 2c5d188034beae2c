#include "objects/limiting_magnitude.h"

#include <algorithm>
#include <cmath>

#include "astro/time_scales.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "objects/sky_brightness.h"

namespace {

constexpr float kNakedEyeCeiling = 7.0f;

}  // namespace

float TelescopeLimitingMagnitude(int apertureMm) {
    const int centimetres = std::max(apertureMm / 10, 1);
    return static_cast<float>(std::floor((7.5 + 5.0 * std::log10(static_cast<double>(centimetres))) * 10.0) / 10.0);
}

float ComputeLimitingMagnitude() {
    CopyObservingDateToCriteria();
    const ObservingDateTime& t = observingDateTime;
    const ObserverLocation& site = observerLocation;
    skyModel.localSiderealTime = static_cast<float>(
        LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, 0, site.longitude, site.zoneMinutes));
    ComputeSkyBrightness(&skyModel, t.year, t.month, t.day, t.hour, t.minute);
    selectionCriteria.nakedEyeLimit = std::min(static_cast<float>(skyModel.limitingMagnitude), kNakedEyeCeiling);
    selectionCriteria.skyValue1 = static_cast<float>(skyModel.sunlightMagnitude);
    selectionCriteria.skyValue2 = static_cast<float>(skyModel.moonlightMagnitude);
    selectionCriteria.telescopeLimit = TelescopeLimitingMagnitude(GetApertureMm());
    return selectionCriteria.telescopeLimit;
}
