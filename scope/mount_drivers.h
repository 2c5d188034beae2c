#pragma once
// The mount drivers as the dispatcher sees them: one row of operations per drive family.
// The dispatcher (mount_dispatcher.h) picks the row by the drive code and calls through
// it, so a test can put fakes in a row and put the row back afterwards.
//
// Every row answers every operation. A family whose driver is not part of the program
// answers each call with "Sorry, this function is not implemented for your telescope"
// and 0. Angles: right ascension in hours, declination, azimuth and altitude in degrees.
// Rate index 0 "Fast", 1 "Find", 2 "Center", 3 "Guide"; direction 0 north, 1 south,
// 2 east, 3 west. Results are 1 for success and 0 for failure, GoTo included.
#include <cstdint>

enum class MountFamily : int {
    Encoder = 0,    // push-to encoder boxes: 1, 3, 4, 11, 12, 16
    Lx200,          // 2, 5, 6, 7, 17
    NexStar,        // 8, 9, 10, 15, 20
    ServoCat,       // 13
    Takahashi,      // 14
    SiderealTech,   // 18
    SkyCommander,   // 19
    Emulated,       // the emulated mount's rate, move and stop (the "emul" drive codes)
};
inline constexpr int kMountFamilyCount = 8;

struct MountDriver {
    const char* name;  // for tests and reports
    std::uint32_t (*connect)();
    std::uint32_t (*disconnect)();
    // Right ascension (hours) and declination, or the first axis in hours and the second
    // in degrees for a box on an equatorial mount.
    std::uint32_t (*queryEQ)(double* raHours, double* decDeg);
    // Azimuth and altitude (degrees), for the families that read an alt-azimuth mount.
    std::uint32_t (*queryAltAz)(double* azDeg, double* altDeg);
    // 1 when the mount accepted the target.
    std::uint32_t (*gotoEQ)(double raHours, double decDeg);
    std::uint32_t (*syncEQ)(double raHours, double decDeg);
    std::uint32_t (*setRate)(int rate);
    std::uint32_t (*move)(int direction);
    std::uint32_t (*stopMove)(int direction);
    std::uint32_t (*stopAll)();
    // Tells the mount the local sidereal time (hours) before a connect; the families that
    // keep no clock of their own answer 1 and send nothing.
    std::uint32_t (*setSiderealTime)(double lstHours);
};

// The rows, indexed by MountFamily.
extern MountDriver mountDrivers[kMountFamilyCount];

MountDriver& DriverOf(MountFamily family);
// The row the program starts with (what a test puts back).
MountDriver DefaultMountDriver(MountFamily family);
// The row of a family whose driver is not part of the program: every operation shows
// "Sorry, this function is not implemented for your telescope" and returns 0, except
// setSiderealTime, which answers 1 without a word.
MountDriver NotImplementedDriver(const char* name);

// The family of the connect, disconnect, position and GoTo of a drive code; false for 0
// and codes outside 1..20.
bool MountFamilyOfDrive(int drive, MountFamily* family);

// "Sorry, this function is not implemented for your telescope"; the message's result.
int ShowNotImplemented();
