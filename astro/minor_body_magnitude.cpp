#include "astro/minor_body_magnitude.h"

#include <cmath>

double CometMagnitude(int kind, double h, double g, double sunDistance, double earthDistance, double phaseAngle) {
    if (kind == 13) return h + 5.0 * std::log10(earthDistance) + g * std::log10(sunDistance);
    const double t = std::tan(phaseAngle / 2.0);
    const double phi1 = std::exp(-3.33 * std::pow(t, 0.63));
    const double phi2 = std::exp(-1.87 * std::pow(t, 1.22));
    return h + 5.0 * std::log10(sunDistance * earthDistance) - 2.5 * std::log10((1.0 - g) * phi1 + g * phi2);
}
