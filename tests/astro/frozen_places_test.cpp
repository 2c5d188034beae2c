// The places of the long series and the apparent-place pipeline held to the values they
// gave before the code was tuned for speed (tests/data/astro/frozen_places.txt): a faster
// evaluation must give the same results to within a microarcsecond, at instants spread over
// the ephemeris range.
//
// To write the file afresh (only when a result is meant to change):
//   VELKARION_WRITE_FROZEN=tests/data/astro/frozen_places.txt build/test_astro --gtest_filter='FrozenPlaces.*'
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "astro/apparent_place.h"
#include "astro/apparent_place_internal.h"
#include "astro/precession_nutation.h"
#include "astro/precession_nutation_internal.h"
#include "astro/quick_sun_moon.h"
#include "core/angle_units.h"
#include "support/fixture_files.h"
#include "theories/moon_series.h"
#include "theories/sun_series.h"

namespace {

using test_units::kArcsec;

constexpr const char* kFixture = "astro/frozen_places.txt";
constexpr double kMicroArcsec = 1e-6 * kArcsec;  // radians

// How a column is compared: the largest difference allowed.
enum class Unit {
    kRadians,      // 1e-6" as radians
    kDegrees,      // 1e-6" as degrees
    kHours,        // 1e-6" as hours of right ascension
    kArcsecs,      // 1e-6"
    kDistance,     // the distance times 1e-6" in radians: the same angle across the line of sight
    kFraction,     // a ratio or magnitude: 1e-12 of it, or 1e-12
    kTimeSeconds,  // seconds of time, 1e-6" / 15
};

double Allowed(Unit unit, double value) {
    switch (unit) {
        case Unit::kRadians: return kMicroArcsec;
        case Unit::kDegrees: return 1e-6 / 3600.0;
        case Unit::kHours: return 1e-6 / 3600.0 / 15.0;
        case Unit::kArcsecs: return 1e-6;
        case Unit::kDistance: return std::fabs(value) * kMicroArcsec;
        case Unit::kFraction: return 1e-12 * std::max(1.0, std::fabs(value));
        case Unit::kTimeSeconds: return 1e-6 / 15.0;
    }
    return 0.0;
}

// One kind of result: its tag in the file, the units of its columns after the inputs and
// how many inputs lead each row.
struct Row {
    std::string kind;
    std::vector<double> inputs;
    std::vector<double> values;
    std::vector<Unit> units;
};

// Terrestrial-time Julian days: the golden-ratio sequence over the years 1700-2290, and
// again over 2000-2025 where the program is used most.
std::vector<double> Instants() {
    std::vector<double> jds;
    for (int i = 0; i < 30; ++i) {
        const double x = i * 0.6180339887498949;
        jds.push_back(2342000.5 + 215000.0 * (x - std::floor(x)));
    }
    for (int i = 0; i < 30; ++i) {
        const double x = i * 0.7548776662466927 + 0.1;
        jds.push_back(kJ2000 + 9131.25 * (x - std::floor(x)));
    }
    return jds;
}

// Every result the file holds, computed by the code as it stands. The caches are emptied
// before each row so that no row depends on the one before.
std::vector<Row> Compute() {
    std::vector<Row> rows;
    auto fresh = [] {
        ResetAstrometryCaches();
        ResetApparentPlaceCaches();
    };
    using U = Unit;
    SolarSystemBody earth{};
    SetBody(0, kEarth, "Earth", &earth);
    const SiteInfo site{48.2, 16.4, 200.0, 10.0, 1010.0};
    CatalogStar star{};
    std::snprintf(star.catalog, sizeof star.catalog, "HIP");
    star.ra = 14.66136;  // a star of large proper motion, parallax and radial velocity
    star.dec = -60.8339;
    star.pmRa = -49.486;
    star.pmDec = 69.60;
    star.parallax = 0.747;
    star.radialVelocity = -21.6;
    int n = 0;
    for (double jd : Instants()) {
        const double T = (jd - kJ2000) / 36525.0;
        ++n;
        fresh();
        double dpsi, deps;
        NutationAngles(T, &dpsi, &deps);
        rows.push_back({"nutation", {T}, {dpsi, deps}, {U::kArcsecs, U::kArcsecs}});

        fresh();
        double mean, trueObl, ee;
        ComputeEarthTilt(jd, &mean, &trueObl, &ee, nullptr, nullptr);
        rows.push_back({"tilt", {jd}, {mean, trueObl, ee}, {U::kDegrees, U::kDegrees, U::kTimeSeconds}});

        double lon, lat, dist;
        GetMoonEclipticPosition(T, &lon, &lat, &dist);
        rows.push_back({"moon_ecliptic", {T}, {lon, lat, dist}, {U::kRadians, U::kRadians, U::kDistance}});
        GetSunEclipticPosition(T, &lon, &lat, &dist);
        rows.push_back({"sun_ecliptic", {T}, {lon, lat, dist}, {U::kRadians, U::kRadians, U::kDistance}});

        fresh();
        FullPosition sun{};
        SunPositionFull(&sun, T);
        rows.push_back({"sun_full", {T}, {sun.rightAscension, sun.declination, sun.distance},
                        {U::kRadians, U::kRadians, U::kDistance}});
        fresh();
        FullPosition moon{};
        const double sunLongitude = 0.37 * n;  // any angle, beyond one turn too
        MoonPositionFull(&moon, T, sunLongitude);
        rows.push_back({"moon_full",
                        {T, sunLongitude},
                        {moon.rightAscension, moon.declination, moon.distance, moon.illuminatedFraction,
                         moon.magnitude, moon.diameter},
                        {U::kRadians, U::kRadians, U::kDistance, U::kFraction, U::kFraction, U::kFraction}});

        fresh();
        double ra = 5.5 + 0.3 * n, dec = -70.0 + 2.3 * n;
        ra = std::fmod(ra, 24.0);
        const double ra0 = ra, dec0 = dec;
        PrecessToDate(jd, &ra, &dec);
        rows.push_back({"precess_to_date", {jd, ra0, dec0}, {ra, dec}, {U::kHours, U::kDegrees}});

        fresh();
        double starRa, starDec;
        AppStar(jd, earth, star, &starRa, &starDec);
        rows.push_back({"app_star", {jd}, {starRa, starDec}, {U::kHours, U::kDegrees}});

        for (int body = kMercury; body <= kSun; ++body) {
            if (body == kEarth || body == kPluto) continue;
            SolarSystemBody b{};
            SetBody(0, body, "body", &b);
            fresh();
            double pra, pdec, pdist, bodyDist, earthSun;
            AppPlanet(jd, b, earth, &pra, &pdec, &pdist, &bodyDist, &earthSun);
            rows.push_back({"app_planet", {jd, double(body)}, {pra, pdec, pdist, bodyDist, earthSun},
                            {U::kHours, U::kDegrees, U::kDistance, U::kDistance, U::kDistance}});
        }
        for (int body : {int(kMars), int(kSun)}) {
            SolarSystemBody b{};
            SetBody(0, body, "body", &b);
            fresh();
            double pra, pdec, pdist, bodyDist, siteDist;
            TopoPlanet(jd, b, earth, 69.2, site, &pra, &pdec, &pdist, &bodyDist, &siteDist);
            rows.push_back({"topo_planet", {jd, double(body)}, {pra, pdec, pdist, bodyDist, siteDist},
                            {U::kHours, U::kDegrees, U::kDistance, U::kDistance, U::kDistance}});
        }

        fresh();
        double tra = moon.rightAscension, tdec = moon.declination, az, alt;
        TopocentricPosition(T, &tra, &tdec, &az, &alt, moon.distance, -16.4, 48.2, 200.0);
        rows.push_back({"topocentric_moon", {T}, {tra, tdec, az, alt},
                        {U::kRadians, U::kRadians, U::kDegrees, U::kDegrees}});
    }
    return rows;
}

void Write(const char* path, const std::vector<Row>& rows) {
    std::FILE* f = std::fopen(path, "w");
    ASSERT_NE(f, nullptr) << path;
    std::fprintf(f, "# Results of the long series and the apparent-place pipeline, frozen so that a\n"
                    "# faster evaluation can be held to them: kind, inputs, results.\n"
                    "# Written by tests/astro/frozen_places_test.cpp (VELKARION_WRITE_FROZEN); do not edit.\n");
    for (const Row& row : rows) {
        std::fprintf(f, "%s", row.kind.c_str());
        for (double v : row.inputs) std::fprintf(f, " %.17g", v);
        for (double v : row.values) std::fprintf(f, " %.17g", v);
        std::fprintf(f, "\n");
    }
    std::fclose(f);
}

TEST(FrozenPlaces, EveryResultStaysWithinAMicroarcsecondOfItsFrozenValue) {
    const std::vector<Row> rows = Compute();
    if (const char* path = std::getenv("VELKARION_WRITE_FROZEN")) {
        Write(path, rows);
        GTEST_SKIP() << "wrote " << path;
    }
    // The file's rows of each kind in order, matched to the computed ones of that kind.
    std::map<std::string, std::vector<std::vector<double>>> frozen;
    std::map<std::string, size_t> next;
    for (const Row& row : rows) {
        if (frozen.count(row.kind) == 0) frozen[row.kind] = ReadTaggedFixtureRows(kFixture, row.kind);
        std::vector<std::vector<double>>& saved = frozen[row.kind];
        const size_t k = next[row.kind]++;
        ASSERT_LT(k, saved.size()) << row.kind << ": the file has fewer rows than computed";
        const std::vector<double>& s = saved[k];
        ASSERT_EQ(s.size(), row.inputs.size() + row.values.size()) << row.kind << " row " << k;
        for (size_t i = 0; i < row.inputs.size(); ++i)
            ASSERT_EQ(s[i], row.inputs[i]) << row.kind << " row " << k << ": the instants moved";
        for (size_t i = 0; i < row.values.size(); ++i) {
            const double want = s[row.inputs.size() + i];
            EXPECT_NEAR(row.values[i], want, Allowed(row.units[i], want))
                << row.kind << " row " << k << " column " << i << " inputs " << row.inputs[0];
        }
    }
    for (const auto& [kind, saved] : frozen) EXPECT_EQ(next[kind], saved.size()) << kind;
}

}  // namespace
