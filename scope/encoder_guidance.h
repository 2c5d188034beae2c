#pragma once
// The push-to guidance page of the encoder boxes on the ScopeControl form: the time, the
// raw encoder counts, where the mount points, and, with an alignment, where the GoTo
// target lies in the mount's own azimuth and altitude and how far the mount still has to
// be pushed. Refreshed at the rate of the form's refresh popup.
#include <cstdint>

// The rows of the refresh popup: "Real Time", " 1/4s", " 1/2s", " 1s ", " 2s ", " 3s ",
// " 4s ", and their periods in ms.
inline constexpr int kEncoderRefreshRows = 7;
extern const char* const kEncoderRefreshTexts[kEncoderRefreshRows];
extern const std::uint32_t kEncoderRefreshPeriods[kEncoderRefreshRows];

// The row chosen and its period; 0 and 0 until a row is chosen.
extern std::uint32_t encoderRefreshIndex;
extern std::uint32_t encoderRefreshPeriod;

// The choice of the refresh list of the active form: the row becomes the refresh index,
// its period restarts the form's timer 1. Nothing changes while no row is selected.
void SetScopeRefreshTimer();

// The guidance page, drawn on the current draw target; nothing when the box does not
// connect. In emulation the emulated counts are set to move by the remaining difference.
void DrawEncoderInfo();

// The azimuth difference brought into -180..180 degrees.
double WrapAzimuthDifference(double degrees);
