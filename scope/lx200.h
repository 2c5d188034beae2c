#pragma once
// The driver of mounts that speak the LX200 command set: drive codes 2 "AutoStar",
// 5 "LX200" and 17 "Losmandy" use every operation, 6 "Magelan-I" and 7 "Magelan-II" the
// connect, disconnect and position query. While `telescopeEmulation` is set every
// operation runs on a simulated mount instead, which moves towards its targets and by
// slew steps at each position query, so that the forms work without a mount.
//
// Right ascension in hours, declination in degrees. Rate index 0 "Fast", 1 "Find",
// 2 "Center", 3 "Guide"; direction 0 north, 1 south, 2 east, 3 west.
#include <cstdint>

struct MeadeState {
    // 1 once the mount answered the connect probe with 10 bytes: the long formats.
    std::uint32_t highPrecision = 0;
    // The port open (serialPort.openCount) and drive code on which the mount answered the
    // probe; a connect on another open or for another drive asks again.
    std::uint32_t probedOpen = 0;
    std::int32_t probedDrive = -1;
    // What the mount said when it refused the last GoTo ("" after silence); the detail of
    // "Goto failed".
    char gotoReply[64] = {};
    // The simulated mount.
    double raStep = 0.0;     // hours added at each position query
    double decStep = 0.0;    // degrees added at each position query
    double rate = 0.0;       // degrees per query
    double ra = 0.0;         // hours, 0 <= ra < 24
    double dec = 0.0;        // degrees, -90 to 90
    double targetRa = 0.0;
    double targetDec = 0.0;
};
extern MeadeState meadeState;

// 1 connected (or emulating), 0 not.
std::uint32_t MeadeConnect();
// Leaves the held port open (CloseSerialPort); 1.
std::uint32_t MeadeDisconnect();
// 1 read, 0 failed (no answer, a short one, or one not in the mount's format).
std::uint32_t MeadeQueryEQ(double* raHours, double* decDeg);
// 0 when the mount accepted the GoTo, 1 when it failed.
std::uint32_t MeadeGotoEQ(double raHours, double decDeg);
// 1 done, 0 failed.
std::uint32_t MeadeSyncEQ(double raHours, double decDeg);
// Puts the simulated mount at rest on a place (what a sync does while emulating).
void PlaceEmulatedMount(double raHours, double decDeg);
// 1, or 0 when the write failed.
std::uint32_t MeadeSetRate(int rate);
std::uint32_t MeadeMove(int direction);
std::uint32_t MeadeStopMove(int direction);
std::uint32_t MeadeStopAll();

// The set-target commands as sent, with the half second of rounding:
// "#:Sr 05:30:00#" or "#:Sr 05:30.0#", ":Sd -30\xDF15:00#" or ":Sd -30\xDF15#".
void FormatMeadeRa(char* out, std::size_t size, double raHours, bool highPrecision);
void FormatMeadeDec(char* out, std::size_t size, double decDeg, bool highPrecision);
