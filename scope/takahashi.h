#pragma once
// The driver of drive code 14 "Takahashi": a text protocol at 19200 baud in which every
// command ends in CR LF. Before a GoTo or sync the mount is told the site latitude and the
// local sidereal time; at the first connect on a port the user says on which side of the
// pier the telescope stands, and the mount's zenith and side are set from the answer.
//
// Right ascension in hours, declination in degrees. Rate index 0 "Fast", 1 "Find",
// 2 "Center", 3 "Guide"; direction 0 north, 1 south, 2 east, 3 west.
#include <cstdint>

#include "scope/mount_link.h"

struct TakahashiState {
    double siderealTime = 0.0;   // local sidereal time in hours, sent by the next "T" command
    std::uint8_t siteSent = 0;   // 1 once the latitude and zenith set-up were sent on `site`
    char side = 0;               // side letter of the last position answer: 'E', 'W', 'F' turning
    std::uint32_t moveRow = 0;   // 1 for the rate "Guide": the slow row of the move commands
    LearntOnPort probed;         // the open and drive on which the version probe answered
    LearntOnPort site;           // the open and drive the site set-up was sent on
};
extern TakahashiState takahashiState;
// The answer to the side question: -1 not asked yet, 0 east, 1 west. Asked once a run.
extern std::int32_t zenithAnswer;

// How long the mount may take to report its side after the zenith command, in seconds.
inline constexpr std::uint32_t kTakahashiSideLimitSeconds = 60;
// The pause between the position queries while it turns, in milliseconds.
inline constexpr std::uint32_t kTakahashiSidePollMs = 500;

// 1 connected, 0 not.
std::uint32_t TakahashiConnect();
// Leaves the held port open (CloseSerialPort); 1.
std::uint32_t TakahashiDisconnect();
// Stores the sidereal time the next GoTo or sync sends; 1.
std::uint32_t TakahashiSetSiderealTime(double lstHours);
// Takes the local sidereal time of now at the site, stores it and sends it.
void TakahashiSendSiderealTime();
// 1 read; 0 when the write failed or the answer was short or not in the mount's form.
std::uint32_t TakahashiQueryEQ(double* raHours, double* decDeg);
// 1 when the mount took the target, 0 when it did not answer or refused it (told).
std::uint32_t TakahashiGotoEQ(double raHours, double decDeg);
std::uint32_t TakahashiSyncEQ(double raHours, double decDeg);
// 1 for rate 0..3, else 0.
std::uint32_t TakahashiSetRate(int rate);
// 1 written, 0 not.
std::uint32_t TakahashiMove(int direction);
// 1 written, 0 not.
std::uint32_t TakahashiStopMove(int direction);
// 1, or 0 when a write failed.
std::uint32_t TakahashiStopAll();
// Sets the zenith and makes the mount stand on `side` ('E' or 'W'): 1, or 0 when a query
// failed or the mount did not report its side within the time limit (told).
std::uint32_t TakahashiSetZenithSide(char side);

// The commands as sent, CR LF included: "I-33300\r\n", "T213005\r\n",
// "P053000-33300\r\n" (letter 'P' for a GoTo, 'D' for a sync).
void FormatTakahashiLatitude(char* out, std::size_t size, double latitude);
void FormatTakahashiTarget(char* out, std::size_t size, char letter, double raHours, double decDeg);
