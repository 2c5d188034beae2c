#pragma once
// Mean motion of Phobos and Deimos in Mars's equator from its node, written by
// tools/fit_mars_moons.py (a fit against python3-ephem over 2000 to 2039).

struct MarsMoonElements {
    double longitude;    // degrees at the epoch
    double turnsPerDay;  // mean motion
};
inline constexpr double kMarsMoonEpoch = 2451545.0;
inline constexpr MarsMoonElements kMarsMoonElements[2] = {
    {203.635951, 3.135680373105},  // Phobos, within 10.7 degrees of the reference
    {255.860750, 0.792116382027},  // Deimos, within 2.5 degrees of the reference
};
