#include "planets/saturn_phenomena.h"

#include <cmath>

#include "astro/numerical_tools.h"
#include "astro/quick_sun_moon.h"
#include "core/angle_units.h"
#include "planets/tables/saturn_satellite_terms.h"

std::vector<double> saturnTables[kSaturnTableCount];

namespace {

constexpr double kLightDaysPerAU = 0.0057755183;
constexpr double kStartLightTime = 0.0519796647;
constexpr double kFlattening = 1.108601;
constexpr double kB1950 = 2433282.4235;
// One differential light-time constant for every satellite.
constexpr double kInverseK = 4.773953310736621e-5;
constexpr double kPerspective = 2475.0;

enum Table : int { kInstants, kWeights, kLongitude, kLatitude, kRadius, kEarthX, kEarthY, kEarthZ, kSunX, kSunY, kSunZ };

bool Prepared() {
    for (int t = 0; t <= kSunZ; ++t)
        if (saturnTables[t].size() < static_cast<std::size_t>(t >= kEarthX ? kSaturnSlots * kSaturnSamples : kSaturnSamples))
            return false;
    return true;
}

double Interpolate(double jd, const double* ys) {
    return LagrangeInterpolate(jd, kSaturnSamples, saturnTables[kInstants].data(), saturnTables[kWeights].data(), ys);
}

const double* SlotSamples(int table, int slot) { return saturnTables[table].data() + slot * kSaturnSamples; }

// Saturn seen from an observer at the given geocentric Sun, light time included: geocentric
// ecliptic longitude and latitude (radians), distance (AU) and the light time (days).
struct SaturnSeen {
    double lambda, beta, distance, tau, helioRadius;
};
bool SeeSaturn(double jd, double sunLongitude, double sunLatitude, double sunDistance, SaturnSeen* seen) {
    double x = 0, y = 0, z = 0, l = 0, b = 0, r = 0;
    bool ok = true;
    double tau = kStartLightTime;
    IterateLightTime(&tau, [&](double t) {
        if (!InterpolateSaturnPosition(jd - t, &l, &b, &r)) {
            ok = false;
            return t;
        }
        const double lr = l * kDegToRad, br = b * kDegToRad;
        x = r * std::cos(br) * std::cos(lr) + sunDistance * std::cos(sunLongitude);
        y = r * std::cos(br) * std::sin(lr) + sunDistance * std::sin(sunLongitude);
        z = r * std::sin(br) + sunDistance * std::sin(sunLatitude);
        return kLightDaysPerAU * std::sqrt(x * x + y * y + z * z);
    });
    if (!ok) return false;
    seen->lambda = std::atan2(y, x);
    seen->beta = std::atan(z / std::sqrt(x * x + y * y));
    seen->distance = std::sqrt(x * x + y * y + z * z);
    seen->tau = tau;
    seen->helioRadius = r;
    return true;
}

// The published rotation of a vector of the orbit frame into the apparent-disc frame.
void RotateVector(double X, double Y, double Z, double lambda0, double beta0, double* A, double* B, double* C) {
    double a = X;
    double b = kSaturnRefC1 * Y - kSaturnRefS1 * Z;
    const double c = kSaturnRefS1 * Y + kSaturnRefC1 * Z;
    const double a0 = kSaturnRefC2 * a - kSaturnRefS2 * b;
    b = kSaturnRefS2 * a + kSaturnRefC2 * b;
    a = a0;
    *A = a * std::sin(lambda0) - b * std::cos(lambda0);
    b = a * std::cos(lambda0) + b * std::sin(lambda0);
    *B = b * std::cos(beta0) + c * std::sin(beta0);
    *C = c * std::cos(beta0) - b * std::sin(beta0);
}

}  // namespace

void FreeSaturnTables() {
    for (std::vector<double>& table : saturnTables) std::vector<double>().swap(table);
}

void PrepareSaturnTables(double jd0, double step, int body) {
    FreeSaturnTables();
    for (int t = 0; t < kSaturnTableCount; ++t)
        saturnTables[t].assign(t >= kEarthX ? kSaturnSlots * kSaturnSamples : kSaturnSamples, 0.0);
    for (int k = 0; k < kSaturnSamples; ++k) {
        const double jd = jd0 + k * step;
        saturnTables[kInstants][k] = jd;
        ComputeSunMoonSeries(body, jd, &saturnTables[kLongitude][k], &saturnTables[kLatitude][k],
                             &saturnTables[kRadius][k]);
    }
    // Longitudes are interpolated: keep them continuous across 0 degrees.
    for (int k = 1; k < kSaturnSamples; ++k)
        saturnTables[kLongitude][k] = saturnTables[kLongitude][k - 1] +
                                      std::remainder(saturnTables[kLongitude][k] - saturnTables[kLongitude][k - 1], 360.0);
    PrepareInterpolation(kSaturnSamples, saturnTables[kInstants].data(), saturnTables[kWeights].data());
    for (int k = 0; k < kSaturnSamples; ++k) ComputeSaturnSample(saturnTables[kInstants][k], k);
}

int InterpolateSaturnPosition(double jd, double* longitude, double* latitude, double* radius) {
    for (int t = kInstants; t <= kRadius; ++t)
        if (saturnTables[t].size() < kSaturnSamples) return 0;
    *longitude = Interpolate(jd, saturnTables[kLongitude].data());
    *latitude = Interpolate(jd, saturnTables[kLatitude].data());
    *radius = Interpolate(jd, saturnTables[kRadius].data());
    return 1;
}

int InterpolateSaturnSatellite(double jd, int slot, double* x, double* y, double* z, double* sunX, double* sunY,
                               double* sunZ) {
    if (!Prepared() || slot < 0 || slot >= kSaturnSlots) return 0;
    *x = Interpolate(jd, SlotSamples(kEarthX, slot));
    *y = Interpolate(jd, SlotSamples(kEarthY, slot));
    *z = Interpolate(jd, SlotSamples(kEarthZ, slot));
    *sunX = Interpolate(jd, SlotSamples(kSunX, slot));
    *sunY = Interpolate(jd, SlotSamples(kSunY, slot));
    *sunZ = Interpolate(jd, SlotSamples(kSunZ, slot));
    return 1;
}

int ClassifySatelliteDisc(SaturnSatelliteRecord* record) {
    const double fy = kFlattening * record->y;
    const bool inside = record->x * record->x + fy * fy < 1.0;
    record->transit = inside && record->z < 0;
    record->occultation = inside && !(record->z < 0);
    return inside ? 1 : 0;
}

int SaturnPhenomenonCode(const SaturnSatelliteRecord& r) {
    int code = 0;
    if (r.shadow) code = r.transit ? 2 : 3;
    else if (r.transit) code = 1;
    if (r.occultation) code = 5;
    if (r.eclipse) code = 4;
    return code;
}

int GetSaturnSatellitesAt(double jd, SaturnSatelliteRecord records[kSaturnSlots]) {
    if (!Prepared()) return -1;
    int result = 0;
    for (int slot = 1; slot < kSaturnSlots; ++slot) {
        SaturnSatelliteRecord& record = records[slot];
        SaturnSatelliteRecord fromSun{};
        InterpolateSaturnSatellite(jd, slot, &record.x, &record.y, &record.z, &fromSun.x, &fromSun.y, &fromSun.z);
        ClassifySatelliteDisc(&fromSun);
        record.shadow = fromSun.transit;
        record.eclipse = fromSun.occultation;
        result = ClassifySatelliteDisc(&record);
    }
    return result;
}

int GetSaturnPhenomena(double jd, int codes[5]) {
    SaturnSatelliteRecord records[kSaturnSlots]{};
    if (GetSaturnSatellitesAt(jd, records) < 0) return 0;
    for (int slot = 1; slot < kSaturnSlots; ++slot) codes[slot - 1] = SaturnPhenomenonCode(records[slot]);
    return 1;
}

void ComputeSaturnSample(double jd, int column) {
    double sunLongitude = 0, sunLatitude = 0, sunDistance = 0;
    ComputeSunMoonSeries(0, jd, &sunLongitude, &sunLatitude, &sunDistance);
    sunLongitude *= kDegToRad;
    sunLatitude *= kDegToRad;
    SaturnSeen seen{};
    if (!SeeSaturn(jd, sunLongitude, sunLatitude, sunDistance, &seen)) return;
    double earth[kSaturnSlots][7] = {}, sun[kSaturnSlots][7] = {};
    ComputeSaturnSatellites(jd, sunLongitude, sunLatitude, sunDistance, earth);
    ComputeSaturnSatellites(jd - seen.tau + kLightDaysPerAU * seen.helioRadius, sunLongitude, sunLatitude, 0.0, sun);
    for (int slot = 1; slot < kSaturnSlots; ++slot) {
        const int at = slot * kSaturnSamples + column;
        saturnTables[kEarthX][at] = earth[slot][3];
        saturnTables[kEarthY][at] = earth[slot][4];
        saturnTables[kEarthZ][at] = earth[slot][5];
        saturnTables[kSunX][at] = sun[slot][3];
        saturnTables[kSunY][at] = sun[slot][4];
        saturnTables[kSunZ][at] = sun[slot][5];
    }
}

void PrecessEcliptic(double longitude, double latitude, double jdFrom, double jdTo, double* outLongitude,
                     double* outLatitude) {
    const double T = (jdFrom - kJ2000) / 36525.0;
    const double t = (jdTo - jdFrom) / 36525.0;
    const double eta = ((47.0029 - 0.06603 * T + 0.000598 * T * T) * t + (-0.03302 + 0.000598 * T) * t * t +
                        0.000060 * t * t * t) * kArcsecToRad;
    const double Pi = 174.876384 * kDegToRad +
                      (3289.4789 * T + 0.60622 * T * T - (869.8089 + 0.50491 * T) * t + 0.03536 * t * t) * kArcsecToRad;
    const double p = ((5029.0966 + 2.22226 * T - 0.000042 * T * T) * t + (1.11113 - 0.000042 * T) * t * t -
                      0.000006 * t * t * t) * kArcsecToRad;
    const double l = longitude * kDegToRad, b = latitude * kDegToRad;
    const double A = std::cos(eta) * std::cos(b) * std::sin(Pi - l) - std::sin(eta) * std::sin(b);
    const double B = std::cos(b) * std::cos(Pi - l);
    const double C = std::cos(eta) * std::sin(b) + std::sin(eta) * std::cos(b) * std::sin(Pi - l);
    *outLongitude = NormalizeDegrees((p + Pi - std::atan2(A, B)) * kRadToDeg);
    *outLatitude = std::asin(C) * kRadToDeg;
}

SatelliteOrbitPoint ComputeEllipticSatellite(double meanLongitude, double perisaturnium, double e, double a,
                                             double node, double inclination) {
    const double M = meanLongitude - perisaturnium;
    const double e2 = e * e, e3 = e2 * e, e4 = e2 * e2, e5 = e3 * e2;
    const double C = (2 * e - 0.25 * e3 + 0.0520833333 * e5) * std::sin(M) +
                     (1.25 * e2 - 0.458333333 * e4) * std::sin(2 * M) +
                     (1.083333333 * e3 - 0.671875 * e5) * std::sin(3 * M) + 1.072917 * e4 * std::sin(4 * M) +
                     1.142708 * e5 * std::sin(5 * M);
    SatelliteOrbitPoint point{};
    point.radius = a * (1 - e2) / (1 + e * std::cos(M + C));
    const double g = node - kSaturnRefNode;
    const double a1 = std::sin(inclination) * std::sin(g);
    const double a2 = kSaturnRefC1 * std::sin(inclination) * std::cos(g) - kSaturnRefS1 * std::cos(inclination);
    point.inclination = std::asin(std::sqrt(a1 * a1 + a2 * a2));
    const double u = std::atan2(a1, a2);
    point.node = kSaturnRefNode + u;
    const double h = kSaturnRefC1 * std::sin(inclination) - kSaturnRefS1 * std::cos(inclination) * std::cos(g);
    const double psi = std::atan2(kSaturnRefS1 * std::sin(g), h);
    point.longitude = meanLongitude + C + u - g - psi;
    return point;
}

void RotateSatelliteCoordinates(const SatelliteOrbitPoint& o, double lambda0, double beta0, double* A, double* B,
                                double* C) {
    const double u = o.longitude - o.node, w = o.node - kSaturnRefNode;
    const double X = o.radius * (std::cos(u) * std::cos(w) - std::sin(u) * std::cos(o.inclination) * std::sin(w));
    const double Y = o.radius * (std::sin(u) * std::cos(w) * std::cos(o.inclination) + std::cos(u) * std::sin(w));
    const double Z = o.radius * std::sin(u) * std::sin(o.inclination);
    RotateVector(X, Y, Z, lambda0, beta0, A, B, C);
}

int ComputeSaturnSatellites(double jd, double sunLongitude, double sunLatitude, double sunDistance,
                            double out[kSaturnSlots][7]) {
    SaturnSeen seen{};
    if (!SeeSaturn(jd, sunLongitude, sunLatitude, sunDistance, &seen)) return 0;
    double lambda0 = 0, beta0 = 0;
    PrecessEcliptic(seen.lambda * kRadToDeg, seen.beta * kRadToDeg, jd, kB1950, &lambda0, &beta0);
    lambda0 *= kDegToRad;
    beta0 *= kDegToRad;
    SatelliteOrbitPoint orbits[kSaturnSlots]{};
    ComputeSaturnOrbits(jd - seen.tau, orbits);

    // The direction of Saturn's pole fixes the disc's axes.
    double poleA, poleB, poleC;
    RotateVector(0.0, 0.0, 1.0, lambda0, beta0, &poleA, &poleB, &poleC);
    const double D = std::atan2(poleA, poleC);
    for (int slot = 1; slot < kSaturnSlots; ++slot) {
        double A, B, C;
        RotateSatelliteCoordinates(orbits[slot], lambda0, beta0, &A, &B, &C);
        double X = A * std::cos(D) - C * std::sin(D);
        double Y = A * std::sin(D) + C * std::cos(D);
        const double Z = B;
        out[slot][0] = X, out[slot][1] = Y, out[slot][2] = Z;
        const double q = X / orbits[slot].radius;
        X += std::fabs(Z) * kInverseK * std::sqrt(std::fmax(0.0, 1 - q * q));
        const double W = seen.distance / (seen.distance + Z / kPerspective);
        out[slot][3] = X * W, out[slot][4] = Y * W, out[slot][5] = Z;
        out[slot][6] = 0;
    }
    return 1;
}
