#include "planets/tables/saturn_satellite_terms.h"

#include "planets/saturn_phenomena.h"

namespace {

constexpr double d = 3.141592653589793 / 180.0;

struct TimeArguments {
    double t1, t2, t3, t4, t5, t6, t7, t8, t9;
    double W0, W1, W2, W3, W4, W5, W6, W7, W8;
    double e1;
};

TimeArguments Arguments(double jde) {
    TimeArguments q{};
    q.t1 = jde - 2411093.0;
    q.t2 = q.t1 / 365.25;
    q.t3 = (jde - 2433282.423) / 365.25 + 1950.0;
    q.t4 = jde - 2411368.0;
    q.t5 = q.t4 / 365.25;
    q.t6 = jde - 2415020.0;
    q.t7 = q.t6 / 36525.0;
    q.t8 = q.t6 / 365.25;
    q.t9 = (jde - 2442000.5) / 365.25;
    q.W0 = 5.095 * d * (q.t3 - 1866.39);
    q.W1 = 74.4 * d + 32.39 * d * q.t2;
    q.W2 = 134.3 * d + 92.62 * d * q.t2;
    q.W3 = 42.0 * d - 0.5118 * d * q.t5;
    q.W4 = 276.59 * d + 0.5118 * d * q.t5;
    q.W5 = 267.2635 * d + 1222.1136 * d * q.t7;
    q.W6 = 175.4762 * d + 1221.5515 * d * q.t7;
    q.W7 = 2.4891 * d + 0.002435 * d * q.t7;
    q.W8 = 113.35 * d - 0.2597 * d * q.t7;
    q.e1 = 0.05589 - 0.000346 * q.t7;
    return q;
}

SatelliteOrbitPoint Circular(double longitude, double radius, double inclination, double node) {
    return SatelliteOrbitPoint{radius, longitude, inclination, node};
}

SatelliteOrbitPoint Enceladus(const TimeArguments& q) {
    const double L = 200.317 * d + 262.7319002 * d * q.t1 + 0.25667 * d * std::sin(q.W1) + 0.20883 * d * std::sin(q.W2);
    const double p = 309.107 * d + 123.44121 * d * q.t2;
    const double M = L - p;
    const double C = 0.55577 * d * std::sin(M) + 0.00168 * d * std::sin(2 * M);
    return Circular(L + C, 3.94118 / (1 + 0.00485 * std::cos(M + C)), 0.0262 * d, 348.0 * d - 151.95 * d * q.t2);
}

SatelliteOrbitPoint Tethys(const TimeArguments& q) {
    const double lambda = 285.306 * d + 190.69791226 * d * q.t1 + 2.063 * d * std::sin(q.W0) +
                          0.03409 * d * std::sin(3 * q.W0) + 0.001015 * d * std::sin(5 * q.W0);
    return Circular(lambda, 4.880998, 1.0976 * d, 111.33 * d - 72.2441 * d * q.t2);
}

SatelliteOrbitPoint Dione(const TimeArguments& q) {
    const double L = 254.712 * d + 131.53493193 * d * q.t1 - 0.0215 * d * std::sin(q.W1) - 0.01733 * d * std::sin(q.W2);
    const double p = 174.8 * d + 30.82 * d * q.t2;
    const double M = L - p;
    const double C = 0.24717 * d * std::sin(M) + 0.00033 * d * std::sin(2 * M);
    return Circular(L + C, 6.24871 / (1 + 0.002157 * std::cos(M + C)), 0.0139 * d, 232.0 * d - 30.27 * d * q.t2);
}

SatelliteOrbitPoint Rhea(const TimeArguments& q) {
    const double pp = 342.7 * d + 10.057 * d * q.t2;
    const double a1 = 0.000265 * std::sin(pp) + 0.001 * std::sin(q.W4);
    const double a2 = 0.000265 * std::cos(pp) + 0.001 * std::cos(q.W4);
    const double e = std::hypot(a1, a2);
    const double p = std::atan2(a1, a2);
    const double N = 345.0 * d - 10.057 * d * q.t2;
    const double lambda = 359.244 * d + 79.6900472 * d * q.t1 + 0.086754 * d * std::sin(N);
    const double i = 28.0362 * d + 0.346898 * d * std::cos(N) + 0.0193 * d * std::cos(q.W3);
    const double node = 168.8034 * d + 0.736936 * d * std::sin(N) + 0.041 * d * std::sin(q.W3);
    return ComputeEllipticSatellite(lambda, p, e, 8.725924, node, i);
}

SatelliteOrbitPoint Titan(const TimeArguments& q) {
    const double L = 261.1582 * d + 22.57697855 * d * q.t4 + 0.074025 * d * std::sin(q.W3);
    const double i1 = 27.45141 * d + 0.295999 * d * std::cos(q.W3);
    const double node1 = 168.66925 * d + 0.628808 * d * std::sin(q.W3);
    const double a1 = std::sin(q.W7) * std::sin(node1 - q.W8);
    const double a2 = std::cos(q.W7) * std::sin(i1) - std::sin(q.W7) * std::cos(i1) * std::cos(node1 - q.W8);
    const double g0 = 102.8623 * d;
    const double psi = std::atan2(a1, a2);
    const double s = std::hypot(a1, a2);
    double g = q.W4 - node1 - psi;
    double varpi = 0;
    for (int pass = 0; pass < 3; ++pass) {
        varpi = q.W4 + 0.37515 * d * (std::sin(2 * g) - std::sin(2 * g0));
        g = varpi - node1 - psi;
    }
    const double e1 = 0.029092 + 0.00019048 * (std::cos(2 * g) - std::cos(2 * g0));
    const double qq = 2 * (q.W5 - varpi);
    const double b1 = std::sin(i1) * std::sin(node1 - q.W8);
    const double b2 = std::cos(q.W7) * std::sin(i1) * std::cos(node1 - q.W8) - std::sin(q.W7) * std::cos(i1);
    const double theta = std::atan2(b1, b2) + q.W8;
    const double e = e1 + 0.002778797 * e1 * std::cos(qq);
    const double p = varpi + 0.159215 * d * std::sin(qq);
    const double u = 2 * q.W5 - 2 * theta + psi;
    const double h = 0.9375 * e1 * e1 * std::sin(qq) + 0.1875 * s * s * std::sin(2 * (q.W5 - theta));
    const double lambda =
        L - 0.254744 * d * (q.e1 * std::sin(q.W6) + 0.75 * q.e1 * q.e1 * std::sin(2 * q.W6) + h);
    const double i = i1 + 0.031843 * d * s * std::cos(u);
    const double node = node1 + 0.031843 * d * s * std::sin(u) / std::sin(i1);
    return ComputeEllipticSatellite(lambda, p, e, 20.216193, node, i);
}

}  // namespace

void ComputeSaturnOrbits(double jde, SatelliteOrbitPoint orbits[6]) {
    const TimeArguments q = Arguments(jde);
    orbits[1] = Enceladus(q);
    orbits[2] = Tethys(q);
    orbits[3] = Dione(q);
    orbits[4] = Rhea(q);
    orbits[5] = Titan(q);
}
