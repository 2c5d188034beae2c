#pragma once
// The one global state of the eclipse code: the instant under study, the apparent Sun and
// Moon for it, the nutation, the sidereal time, the point of the Earth under the shadow
// axis and the place the local circumstances are computed for. Valid for the whole run.
//
// Angles are radians unless a field says otherwise; longitudes are degrees positive WEST.

// The body the topocentric correction works on: the last body computed (the Sun or the
// Moon) or the one a caller put there.
struct EclipseBody {
    double raHours = 0.0;      // right ascension, hours
    double declination = 0.0;  // radians
    double distance = 0.0;     // AU
};

struct EclipseState {
    // The instant.
    double eclipseT = 0.0;          // Julian centuries TT from J2000.0
    double clockHours = 0.0;        // UT clock time of the instant, decimal hours
    double dayNumber = 0.0;         // days from JD 2451545.0 to 0h UT of the date
    double minusDeltaTHours = 0.0;  // -Delta T, hours
    double siderealTime0 = 0.0;     // apparent sidereal time at 0h of the date less Delta T, hours
    double siderealTime = 0.0;      // apparent Greenwich sidereal time at the instant, hours (not reduced)

    // Nutation in longitude, and the mean obliquity plus the nutation in obliquity.
    double nutationLongitude = 0.0;
    double trueObliquity = 0.0;

    // The apparent Sun and Moon.
    double sunRA = 0.0;
    double sunRAHours = 0.0;
    double sunDec = 0.0;
    double sunDistance = 0.0;  // AU
    double moonRA = 0.0;
    double moonDec = 0.0;
    double moonDistance = 0.0;  // AU
    double moonParallax = 0.0;  // equatorial horizontal parallax

    // The working body: the last body computed, in hours, radians and AU.
    EclipseBody work;

    // 0 while the places are being computed, 1 once they are ready.
    int positionsReady = 1;

    // The point under the Sun-Moon line, or the place of the local circumstances.
    double axisLatitude = 0.0;   // geodetic, degrees
    double axisLongitude = 0.0;  // degrees west, [-180, 180)
    double axisAngle = 0.0;      // from the Moon's meridian, in the equatorial plane
    int axisHit = 0;             // 1 when the line meets the ellipsoid

    // Altitude and azimuth (from north through east) of the body the last topocentric
    // correction worked on.
    double bodyAltitude = 0.0;
    double bodyAzimuth = 0.0;

    // Twice the angular distance of the topocentric centres, from the last local overlap.
    double centreSeparation = 0.0;

    // The place recorded last (degrees), the start of the shadow's direction of motion.
    double previousLatitude = 0.0;
    double previousLongitude = 0.0;
};
extern EclipseState eclipseState;

// Where the Sun and Moon come from: 0 the long series, otherwise the five-point tables
// (which fall back on the series while they are empty). 1 at start.
extern int positionSource;
// -Delta T in seconds for the date of the instant.
extern double minusDeltaTSeconds;

// Sets the position source and forgets the nutation kept for the tables.
void SelectPositionSource(int source);
