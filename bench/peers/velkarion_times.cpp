// The program's side of the comparison with a peer library (bench/peers/run.sh): writes
// the instants both sides time, then times the program's functions on them and prints one
// line per measure: its name and the microseconds per call (the best of several passes).
//
//   velkarion_peer_times INSTANTS_FILE
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "astro/apparent_place.h"
#include "astro/apparent_place_internal.h"
#include "astro/precession_nutation_internal.h"
#include "astro/quick_sun_moon.h"
#include "astro/rise_set.h"
#include "core/angle_units.h"
#include "core/calendar.h"
#include "core/settings.h"

namespace {

constexpr int kInstants = 1000;
constexpr int kPasses = 15;
constexpr double kDeltaT = 69.2;  // seconds, this decade's

// Terrestrial-time Julian days spread over 2000-2025 by the golden-ratio sequence.
std::vector<double> Instants() {
    std::vector<double> jds;
    for (int i = 0; i < kInstants; ++i) {
        const double x = i * 0.6180339887498949;
        jds.push_back(kJ2000 + 9131.25 * (x - std::floor(x)));
    }
    return jds;
}

// Microseconds per call: `pass` runs `calls` calls; the best pass counts. The caches start
// empty for every pass, as for a new set of instants.
double Time(int calls, const std::function<double()>& pass) {
    double best = 1e300, sink = 0.0;
    for (int p = 0; p <= kPasses; ++p) {
        ResetAstrometryCaches();
        ResetApparentPlaceCaches();
        const auto start = std::chrono::steady_clock::now();
        sink += pass();
        const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
        if (p > 0) best = std::min(best, us / calls);  // the first pass warms up
    }
    std::printf("# checksum %g\n", sink);  // keeps the work from being left out
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velkarion_peer_times INSTANTS_FILE\n");
        return 2;
    }
    const std::vector<double> jds = Instants();
    if (std::FILE* f = std::fopen(argv[1], "w")) {
        for (double jd : jds) std::fprintf(f, "%.9f\n", jd);
        std::fclose(f);
    } else {
        std::fprintf(stderr, "velkarion_peer_times: cannot write %s\n", argv[1]);
        return 1;
    }

    std::printf("moon\t%.4f\n", Time(kInstants, [&] {
                    double s = 0.0;
                    for (double jd : jds) {
                        FullPosition p{};
                        MoonPositionFull(&p, (jd - kJ2000) / 36525.0, 0.0);
                        s += p.rightAscension;
                    }
                    return s;
                }));
    std::printf("sun\t%.4f\n", Time(kInstants, [&] {
                    double s = 0.0;
                    for (double jd : jds) {
                        FullPosition p{};
                        SunPositionFull(&p, (jd - kJ2000) / 36525.0);
                        s += p.rightAscension;
                    }
                    return s;
                }));

    SolarSystemBody earth{};
    SetBody(0, kEarth, "Earth", &earth);
    const int planets[] = {kMercury, kVenus, kMars, kJupiter, kSaturn, kUranus, kNeptune};
    const char* names[] = {"mercury", "venus", "mars", "jupiter", "saturn", "uranus", "neptune"};
    for (int k = 0; k < 7; ++k) {
        SolarSystemBody body{};
        SetBody(0, planets[k], names[k], &body);
        std::printf("%s\t%.4f\n", names[k], Time(kInstants, [&] {
                        double s = 0.0;
                        for (double jd : jds) {
                            double ra, dec, distance;
                            AppPlanet(jd, body, earth, &ra, &dec, &distance, nullptr, nullptr);
                            s += ra;
                        }
                        return s;
                    }));
    }
    SolarSystemBody bodies[7];
    for (int k = 0; k < 7; ++k) SetBody(0, planets[k], names[k], &bodies[k]);
    std::printf("seven_planets_per_body\t%.4f\n", Time(7 * kInstants, [&] {
                    double s = 0.0;
                    for (double jd : jds) {
                        for (const SolarSystemBody& body : bodies) {
                            double ra, dec, distance;
                            AppPlanet(jd, body, earth, &ra, &dec, &distance, nullptr, nullptr);
                            s += ra;
                        }
                    }
                    return s;
                }));

    // Vienna, an hour east of Greenwich; one civil day per instant.
    const ObserverLocation site = MakeSite(48.2f, -16.4f, 60, 200);
    std::printf("sun_rise_set_day\t%.4f\n", Time(kInstants, [&] {
                    double s = 0.0;
                    for (double jd : jds) {
                        int year, month, day;
                        JDToDate(jd, &year, &month, &day, nullptr, nullptr, nullptr);
                        double rise, transit, set, twilight;
                        ComputeSunRiseSetAt(site, kDeltaT, year, month, day, &rise, &transit, &set, &twilight);
                        s += rise + set;
                    }
                    return s;
                }));
    return 0;
}
