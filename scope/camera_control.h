#pragma once
// The camera control (form 5300, "CameraControl"): fires a camera's shutter through a
// cable on the serial port. The shutter is open while the camera port is open with DTR
// and RTS asserted, and is released by really closing the port. The user gives the number
// of shots, the exposure of each and the delay between them; a 500 ms timer runs the
// sequence, shows a countdown and plays "startTimer" and "stopTimer" at the start and the
// end of each exposure, and the screen is kept on while the shutter is open. Each shot
// opens the port anew (with the serial layer's settling wait before its clock starts).
// Sequences can be written to the camera log ("scope/camera_log.h").
//
// The port is the "Camera Port" setting; a shot is refused while a mount connection holds
// the serial port, so that the shutter lines never go onto the mount's line.
#include <cstdint>
#include <string>

#include "platform/types.h"
#include "platform/window.h"

inline constexpr int kCameraFormId = 5300;

namespace camera_form {
constexpr int kTitle = 8000;
constexpr int kStart = 5301;
constexpr int kStop = 5302;
constexpr int kShots = 5303;
constexpr int kExposure = 5304;
constexpr int kDelay = 5305;
constexpr int kDate = 5306;
constexpr int kFileName = 5308;
constexpr int kDescription = 5309;
constexpr int kSave = 5310;
constexpr int kDelete = 5311;
constexpr int kTime = 5312;
constexpr int kIsoPopup = 5313;
constexpr int kIsoList = 5314;
constexpr int kBack = 5315;
constexpr int kInfo = 5316;
constexpr int kLogList = 5317;
constexpr int kClear = 5318;
constexpr unsigned kTimer = 1;
constexpr unsigned kTimerMs = 500;
}  // namespace camera_form

// The shutter lines: RTS handshake, CTS flow and 8 data bits, DTR and RTS raised.
inline constexpr int kShutterLineMask = 0xF0;
inline constexpr int kShutterBaud = 9600;

// Whole seconds of the tick count (GetSeconds).
struct CameraSequence {
    std::int64_t now = 0;           // the last timer tick
    std::int64_t exposureEnd = 0;   // end of the running exposure
    int exposureSeconds = 0;
    int shotsLeft = 0;              // still to take, the running one included
    int totalShots = 0;
    int delaySeconds = 0;           // from the end of one shot to the start of the next
    std::int64_t shotStart = 0;     // start of the running shot, or of the next one
    int exposing = 0;               // 1 while the shutter is open
    int running = 0;                // 1 from Start until the last shot ends
};
extern CameraSequence cameraSeq;

// What the status area (at 100, 7 layout pixels) and the countdown (at 160, 7) show now:
// "Shot 2/3", "Wait 4s", "All done", "" once cleared; "7s ".
extern std::string cameraStatus;
extern std::string cameraCountdown;

// Opens the camera port and the shutter for the next shot. 1 when the shutter opened.
// Refused (0) with a message when no camera port is chosen, when a mount connection holds
// the serial port, or when the port cannot be opened or set; the sequence then ends.
int StartCameraShot();
// Ends the shot: one shot fewer, the port really closed (the shutter released) and
// "stopTimer" played when the shutter was open; the buttons back once the last is done.
void EndCameraShot();
// One tick of the sequence (every 500 ms while it runs).
void HandleCameraTimer();
void ClearCameraStatus();
// The Start button: the device clock becomes the observing time, the fields are read, the
// first shot starts and the timer runs while a shot was started.
void StartCameraSequence();
// The Stop button: the timer stops and an open shutter is released at once.
void StopCameraSequence();

platform::LResult CameraControl(platform::Window dialog, unsigned message, platform::WParam wParam,
                                platform::LParam lParam);
