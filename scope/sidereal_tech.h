#pragma once
// The driver of drive code 18 "SiderealTech": a two-axis servo controller addressed in
// encoder ticks at 19200 baud, each command ending in CR. Axis X carries the altitude (or
// declination), axis Y the azimuth (or right ascension); speeds and targets come from the
// tick resolutions the controller reports, asked at the connect whenever they are unknown.
//
// Right ascension in hours, declination, azimuth and altitude in degrees. Rate index 0
// "Fast", 1 "Find", 2 "Center", 3 "Guide"; direction 0 north, 1 south, 2 east, 3 west.
#include <cstdint>

#include "scope/mount_link.h"

struct SiderealTechState {
    std::int32_t xResolution = 0;  // ticks per turn of X (altitude or Dec); 0 unknown
    std::int32_t yResolution = 0;  // of Y (azimuth or RA)
    LearntOnPort learnt;           // the open and drive the resolutions were read on
};
extern SiderealTechState siderealTechState;

// The far targets of a move, in ticks, and the speed factor: ticks per second of a speed
// of 1 degree per second are resolution x this.
inline constexpr long kSiderealTechFarTarget = 1073741824L;
inline constexpr double kSiderealTechSpeedFactor = 0.09321272116971041;

// 1 connected with both resolutions known, 0 not.
std::uint32_t SiderealTechConnect();
// Leaves the held port open (CloseSerialPort); 1.
std::uint32_t SiderealTechDisconnect();
// Azimuth (Y, 0..360) and altitude (X) in degrees: 1 read, 0 failed (both 0).
std::uint32_t SiderealTechQueryAltAz(double* first, double* second);
// The same with the first in hours.
std::uint32_t SiderealTechQueryEQ(double* first, double* second);
// 1 when both target commands were written, else 0.
std::uint32_t SiderealTechGotoEQ(double raHours, double decDeg);
// 1 when all writes succeeded, else 0.
std::uint32_t SiderealTechSetRate(int rate);
std::uint32_t SiderealTechMove(int direction);
std::uint32_t SiderealTechStopMove(int direction);
std::uint32_t SiderealTechStopAll();
