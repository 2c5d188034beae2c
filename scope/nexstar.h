#pragma once
// The driver of NexStar hand controllers and their relatives: drive codes 8 "Nexstar 5&8"
// (an older binary dialect), 9 "NexStar old GT", 10 "NexStarGPS,GT,CGE", 15 "Ultima2000"
// (each command followed by a carriage return written on its own) and 20 "SkyScan EQ6".
// Positions travel as fractions of a full turn: a 16-bit count is angle x 65536 / 360,
// sent as four hex digits, or as two bytes high first by code 8.
//
// Right ascension in hours, declination in degrees. Rate index 0 "Fast", 1 "Find",
// 2 "Center", 3 "Guide"; direction 0 north, 1 south, 2 east, 3 west. Results: 1 done,
// 0 failed. There is no simulated mount here: the dispatcher answers for it.
#include <cstdint>

#include "scope/mount_link.h"

// The rate byte of the fixed-rate moves: 9, 7, 4 or 2; 9 at start.
extern std::uint32_t nexStarRate;
// The port open and drive on which the mount answered the connect probe.
extern LearntOnPort nexStarProbed;

std::uint32_t NexStarConnect();
// Leaves the held port open (CloseSerialPort); 1.
std::uint32_t NexStarDisconnect();
// 1 read; 0 when a write failed or the answer was missing, short or not in the mount's form.
std::uint32_t NexStarQueryEQ(double* raHours, double* decDeg);
// 1 sent, 0 failed.
std::uint32_t NexStarGotoEQ(double raHours, double decDeg);
// 1 acknowledged (code 8: sent), 0 not.
std::uint32_t NexStarSyncEQ(double raHours, double decDeg);
std::uint32_t NexStarSetRate(int rate);
// 1 sent (or nothing to send), 0 when a write failed. A missing acknowledgement is told
// but does not change the result.
std::uint32_t NexStarMove(int direction);
std::uint32_t NexStarStopMove(int direction);
std::uint32_t NexStarStopAll();

// A turn fraction of an angle in degrees (reduced into 0..360 first), and back.
std::uint16_t NexStarCount(double degrees);
double NexStarDegrees(unsigned count);
// The declination of an axis-2 angle in degrees: past the pole (90..270) it is folded
// back, from 270 on it is negative.
double NexStarDeclination(double axisDegrees);
