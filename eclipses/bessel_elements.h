#pragma once
// Besselian elements of a solar eclipse: the shadow axis projected on the fundamental
// plane through the Earth's centre, computed from the apparent Sun and Moon of the long
// series, sampled hourly and fitted with polynomials in time.
//
// Time scales. The series take terrestrial time, so the elements and their polynomials run
// in TT hours from `t0`. The sidereal angle `mu` is computed as if the hour given were UT:
// it comes out larger than for the true UT instant by the Earth's turn in Delta T
// (EarthTurnDegrees), which every consumer takes off. The central line, the limits and
// the local circumstances take UT hours of the date and Delta T in seconds, and turn them
// into hours from `t0` with ElementHoursFromUt, nowhere else.

// The elements at one instant.
struct BesselSample {
    double x = 0.0;   // shadow axis on the fundamental plane, Earth equatorial radii
    double y = 0.0;
    double d = 0.0;   // declination of the axis direction, radians
    double mu = 0.0;  // Greenwich hour angle of the axis direction, degrees, not reduced
    double f1 = 0.0;  // half-angles of the penumbral and umbral cones, radians
    double f2 = 0.0;
    double l1 = 0.0;  // radii of the penumbra and the umbra on the fundamental plane, Earth
    double l2 = 0.0;  // radii; l2 negative for a total eclipse
};

// The fitted polynomials in t = hours from t0.
struct BesselElements {
    double t0 = 0.0;  // reference hour of the date, a whole number, TT
    double x0 = 0.0, x1 = 0.0, x2 = 0.0, x3 = 0.0;
    double y0 = 0.0, y1 = 0.0, y2 = 0.0, y3 = 0.0;
    double d0 = 0.0, d1 = 0.0, d2 = 0.0;  // degrees
    double mu0 = 0.0, mu1 = 0.0;          // degrees; mu0 in [0, 360)
    double l10 = 0.0, l11 = 0.0, l12 = 0.0;
    double l20 = 0.0, l21 = 0.0, l22 = 0.0;
    double tanf1 = 0.0, tanf2 = 0.0;      // at t = t0
};

// The Moon's radius in Earth equatorial radii; it serves both the penumbral and the
// umbral cone.
inline constexpr double kMoonRadiusEarthRadii = 0.2725076;

// Fills the sample for a date and clock time taken in terrestrial time (minutes and hours
// may run outside their ranges: the instant moves through the Julian day).
void ComputeBesselElements(BesselSample* sample, int year, int month, int day, int hour, int minute, int second);

// Samples the elements at hour - 4 .. hour + 4 (TT) and fits x and y with cubics, d, l1
// and l2 with quadratics (l1 and l2 from a cubic fit of which three terms are kept) and
// mu with a line. Returns 1, or 0 when a fit fails (the record is then left as it was).
int FitBesselElements(BesselElements* elements, int year, int month, int day, int hour);

// The elements evaluated at tau hours from t0.
struct BesselValues {
    double x, y;        // Earth radii
    double dx, dy;      // per hour
    double d;           // degrees
    double mu;          // degrees
    double l1, l2;
};
BesselValues EvaluateBesselElements(const BesselElements& elements, double tauHours);

// A place against the shadow at tau hours from t0: its coordinates on the fundamental
// plane, the axis's offset from it with the offset's rate, and the cones' radii there. The
// hour angle takes the Earth's turn in Delta T off mu; latitude geodetic, longitude west.
struct PlaceOnPlane {
    BesselValues at;           // the elements at tau
    double sinD, cosD;         // of the axis's declination
    double sinH, cosH;         // of the place's hour angle
    double rhoSin, rhoCos;     // the place's geocentric coordinates, Earth radii
    double xi, eta, zeta;      // the place on the fundamental plane
    double U, V;               // the axis less the place
    double a, b, n;            // the rates of U and V (per hour) and their length
    double L1, L2;             // penumbral and umbral radii at the place
};
PlaceOnPlane LocatePlace(const BesselElements& elements, double tauHours, double latitude, double longitudeWest,
                         double heightMetres, double deltaTSeconds);

// The Earth's turn during Delta T, degrees: what `mu` carries too much.
inline double EarthTurnDegrees(double deltaTSeconds) { return 0.00417807 * deltaTSeconds; }

// Hours from t0 (TT) of a UT hour of the date, and back.
inline double ElementHoursFromUt(const BesselElements& elements, double utHours, double deltaTSeconds) {
    return utHours + deltaTSeconds / 3600.0 - elements.t0;
}
inline double UtHoursFromElementHours(const BesselElements& elements, double tauHours, double deltaTSeconds) {
    return elements.t0 - deltaTSeconds / 3600.0 + tauHours;
}
