#pragma once
// The observing state the computation tests change: the site, the observing date and time
// and the user's Delta T. A fixture keeps a SavedObservingState member to have them put
// back after each test, and sets its sites with UseTestSite.
#include <cmath>
#include <cstdint>

#include "core/observing_time.h"
#include "core/settings.h"
#include "support/fixture_files.h"

// Takes the site, the date and time and the user's Delta T when made and puts them back
// when it goes (as a fixture member: before SetUp and after TearDown).
class SavedObservingState {
public:
    SavedObservingState()
        : site_(observerLocation), date_(observingDateTime), deltaT_(PreferenceFloat(pref::deltaTUser)) {}
    ~SavedObservingState() {
        observerLocation = site_;
        observingDateTime = date_;
        SetPreferenceFloat(pref::deltaTUser, deltaT_);
    }
    SavedObservingState(const SavedObservingState&) = delete;
    SavedObservingState& operator=(const SavedObservingState&) = delete;

private:
    ObserverLocation site_;
    ObservingDateTime date_;
    float deltaT_;
};

// Puts the observer at `latitude` (north) and `longitudeWest` degrees, at sea level, with
// the zone offset given; the latitude's sine and cosine are the floats of the double ones.
// The rest of the site record stays as it is.
inline void UseTestSite(double latitude, double longitudeWest, int zoneMinutes = 0) {
    observerLocation.latitude = static_cast<float>(latitude);
    observerLocation.longitude = static_cast<float>(longitudeWest);
    observerLocation.sinLatitude = static_cast<float>(std::sin(latitude * test_units::kDeg));
    observerLocation.cosLatitude = static_cast<float>(std::cos(latitude * test_units::kDeg));
    observerLocation.zoneMinutes = static_cast<std::int16_t>(zoneMinutes);
    observerLocation.height = 0;
}
