#include "astro/constellation_boundaries.h"

#include <algorithm>
#include <cmath>

#include "astro/precession_nutation.h"

int FindConstellation(double ra, double dec, double jd) {
    const double a = ra * 0.26179938779914946;
    const double d = dec * 0.0174532925199433;
    const double v[3] = {std::cos(d) * std::cos(a), std::cos(d) * std::sin(a), std::sin(d)};
    double w[3];
    Precession(jd, v, kB1875JulianDay, w);
    const double r = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
    if (!(r > 0.0)) return -1;
    double raSeconds = std::atan2(w[1], w[0]) * 13750.987083139758;
    if (raSeconds < 0) raSeconds += 86400.0;
    // A tiny negative angle rounds to exactly 86400 when raised; it is 0h.
    if (raSeconds >= 86400.0) raSeconds -= 86400.0;
    const double decArcsec = std::asin(std::clamp(w[2] / r, -1.0, 1.0)) * 206264.80624709636;

    for (const ConstellationBoundary& row : kConstellationBoundaries) {
        if (raSeconds >= row.raLow && raSeconds < row.raHigh && decArcsec > row.decLow)
            return row.constellation;
    }
    // The last row's floor is the pole itself, which belongs to that row too.
    const ConstellationBoundary& last = kConstellationBoundaries[kConstellationBoundaryCount - 1];
    if (decArcsec <= last.decLow) return last.constellation;
    return -1;
}
