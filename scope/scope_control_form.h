#pragma once
// The ScopeControl form (2400), the hand paddle: where the mount points (right ascension,
// declination, azimuth and altitude, with a small sky view around that point) every
// 600 ms; a slew while a direction button or a cursor key is held; the slew speed; Stop.
// For encoder boxes, which cannot slew, the push-to guidance page instead
// (scope/encoder_guidance.h).
//
// The move loops run inside the command or key handler: they start the move, poll the
// pen and the keys themselves (reading the mount every pollInterval meanwhile) and stop
// the move when the button or key is released. The chart's keys drive the mount through
// the same loops.
//
// The form stands beside the chart: what it needs of the chart (the following flag, the
// scope cursor, the sky view) comes through ScopeControlLinks, which the program installs
// at start.
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

inline constexpr int kScopeTimerId = 1;
inline constexpr unsigned kScopeTimerMs = 600;

// Controls of the form.
namespace scope_control {
inline constexpr int kTitle = 8019;
inline constexpr int kWest = 2396;
inline constexpr int kEast = 2397;
inline constexpr int kNorth = 2398;
inline constexpr int kSouth = 2399;
inline constexpr int kSlewLabel = 138;
inline constexpr int kSpeedPopup = 2401;
inline constexpr int kSpeedList = 2402;
inline constexpr int kOk = 2403;
inline constexpr int kStop = 2404;
inline constexpr int kHelp = 2405;
inline constexpr int kRefreshPopup = 2305;
inline constexpr int kRefreshList = 2304;
// The picture of the mount at rest, and of a move west, east, north and south.
inline constexpr int kIdleBitmap = 5084;
inline constexpr int kWestBitmap = 5085;
inline constexpr int kEastBitmap = 5086;
inline constexpr int kNorthBitmap = 5087;
inline constexpr int kSouthBitmap = 5088;
}  // namespace scope_control

struct ScopeControlState {
    int width;
    int height;
    std::uint32_t rateIndex;    // 0 "Fast" .. 3 "Guide"
    std::uint8_t held;          // 1 while a cursor key started the current move, 0 for a button
    int penX;
    int penY;
    int penDown;
    DrawWindow* skyView;        // the sky view's offscreen, made on first use
    Bounds panel;               // the four position lines (design pixels times the scale)
    char raText[32];
    char decText[32];
    char azText[32];            // the azimuth and altitude of the position at the site, now
    char altText[32];
    std::uint32_t pollInterval; // ms between mount reads during a move
    std::uint32_t nextPoll;
    std::uint8_t pollDue;
    double lastRa;              // hours
    double lastDec;             // degrees
    // 1 once a failed stop was told to the user during the current action (a button, a
    // key, leaving the form), so that leaving with Ok, which stops, then closes, which
    // stops again, tells it once.
    std::uint8_t stopFailureShown;
};
extern ScopeControlState scopeControl;

// What the form asks of the chart. Until installed each call has the default given.
struct ScopeControlLinks {
    // The chart's following flag (`scopeTracking`): 1 while the chart polls the mount
    // fast and a GoTo does not reopen this form over it. Default: a flag of the form's own.
    int (*tracking)() = nullptr;
    void (*setTracking)(int on) = nullptr;
    // On the chart form, a position read during a move: moves the chart's scope cursor
    // and shows the move's picture on the chart. Default: nothing.
    void (*showOnChart)(int bitmapId, double raHours, double decDeg) = nullptr;
    // Draws the sky around the position into `offscreen` (made or remade to the area's
    // size) and copies it to `area` of the current draw target, at the sky view's field
    // index (6 widest .. 10 narrowest), for the observing instant now set, as a plain
    // horizon view without the info bar, with or without the compass. False when nothing
    // was drawn. Default: nothing (the panel shows the text lines only).
    bool (*drawSkyViewInto)(DrawWindow*& offscreen, const Bounds& area, double raHours, double decDeg, int field,
                            bool compass) = nullptr;
};
// Installs the links (a null member falls back to its default) and returns those replaced.
ScopeControlLinks SetScopeControlLinks(const ScopeControlLinks& links);
// The installed sky view around a position (right ascension in hours, declination in
// degrees, field as the chart's zoom level) through the link above; false without one.
bool DrawSkyViewInto(DrawWindow*& offscreen, const Bounds& area, double raHours, double decDeg, int field,
                     bool compass);

// Through the links.
int ScopeTracking();
void SetScopeTracking(int on);

// The dialog procedure of form 2400.
platform::LResult ScopeControl(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);
// The first paint: connects (or falls back to the emulated mount), shows the controls of
// the drive and starts the 600 ms timer.
void InitScopeControl();
// 1 handled, 0 not (the direction buttons answer 0 after their move).
int ScopeControlCommand(int id);
// Page up and down and the cursor keys: 1 handled, 0 not.
int ScopeControlKey(int key);
// The move-while-held loops.
void MoveScopeWest();
void MoveScopeEast();
void MoveScopeNorth();
void MoveScopeSouth();
// The same loops for a key held on another form (the chart): the move lasts while the key
// stays down. Direction 0 north, 1 south, 2 east, 3 west.
void MoveScopeWhileKeyHeld(int direction);
// The position panel (or, on the chart, the scope cursor); bitmapId 0 leaves the move
// picture as it is.
void DrawScopePosition(int bitmapId, double raHours, double decDeg);
void ExitScopeControl();
void CloseScopeControl();
void LayoutScopeControl(platform::Window form, int width, int height);
void ReleaseScopeControls(platform::Window form);

// Stops the mount: a stop of the move in `direction` (0..3), or of everything (-1). A stop
// that the mount did not take is followed by one more stop-all, and the user is told that
// the mount may still be moving. Returns 1 when the first stop was taken.
int StopMountChecked(int direction);
