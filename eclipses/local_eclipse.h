#pragma once
// The local circumstances of a solar eclipse at one place, and the umbra's footprint on
// the ground at one instant. Hours are UT hours of the date; angles degrees.

inline constexpr int kUmbraLevelCount = 9;

struct LocalEclipse {
    // The circumstances at the place (FindLocalContacts).
    double maxMagnitude = 0.0;  // fraction of the Sun's diameter covered at greatest eclipse
    double separation = 0.0;    // distance of the centres at greatest eclipse, plus 0.008333
    double sunAltitude = 0.0;   // of the Sun at greatest eclipse (of the Moon on the axis, GetLocalEclipse)
    double sunAzimuth = 0.0;
    double maxTime = 0.0;       // hour of greatest eclipse
    double innerStart = -1.0;   // second and third contacts; -1 when they do not happen
    double innerEnd = -1.0;
    double outerStart = -1.0;   // first and last contacts; -1 when they do not happen
    double outerEnd = -1.0;
    int obscuration = 0;        // percent of the Sun's area covered at greatest eclipse

    // The place recorded (NormalizeEclipsePlace).
    double pointLatitude = 0.0;
    double pointLongitude = 0.0;  // west positive

    // The umbra on the ground (GetLocalEclipse).
    double centralMagnitude = 0.0;  // magnitude on the axis
    double centralDuration = 0.0;   // duration of the central phase on the axis, seconds, plus 0.5
    double clockHours = 0.0;        // the instant
    int speed = 0;                  // the shadow's speed over the ground, km/h rounded to tens
    // Lines of equal central duration, from the longest down: duration (s), distance from
    // the axis (km), and the shift (s) of the line's middle from the perpendicular through
    // the axis point.
    int levelDuration[kUmbraLevelCount] = {};
    int levelOffset[kUmbraLevelCount] = {};
    int levelHalfLength[kUmbraLevelCount] = {};
    int ellipseMajor = 0;    // semi-major axis of the shadow on the ground, km
    int ellipseMinor = 0;    // radius of the shadow (semi-minor axis), km
    int halfWidth = 0;       // half-width of the path across the direction of motion, km
    int direction = 0;       // direction of motion, degrees from north through east (-180..180)
    int directionWidth = 0;  // |2 sin(direction) x half-width|
    int azimuthMod180 = 0;   // the azimuth of the shadow's long axis reduced into 0..180
};
