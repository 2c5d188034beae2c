#include "scope/scope_control_form.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "astro/angle_text.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "scope/encoder_boxes.h"
#include "scope/encoder_guidance.h"
#include "scope/mount_dispatcher.h"
#include "scope/serial_port.h"
#include "shell/colour_scheme.h"
#include "shell/controls.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace scope_control;

ScopeControlState scopeControl{};

namespace {

constexpr int kChartFormId = 1900;
constexpr int kTakahashiDrive = 14;
constexpr int kSkyScanDrive = 20;
// The timer that wakes a move loop when its next mount read is due.
constexpr unsigned kMovePollTimerId = 7;

const char* const kSpeedTexts[4] = {"Fast", "Find", "Center", "Guide"};
// Field index of the sky view by slew rate: the faster the slew, the wider the view.
constexpr int kSkyViewField[4] = {6, 8, 9, 10};

// Design rectangles: the four text lines, the move picture at their right, the sky view.
constexpr Bounds kPanelDesign{4, 28, 186, 60};
constexpr Bounds kIndicatorDesign{196, 30, 40, 40};
constexpr Bounds kSkyViewDesign{4, 92, 232, 90};
constexpr int kLineHeight = 14;
constexpr int kValueColumn = 70;

int ownTracking = 0;
ScopeControlLinks links;

int Sh(int v) { return static_cast<int>(v * screenScale.horizontal); }
int Sv(int v) { return static_cast<int>(v * screenScale.vertical); }
Bounds Scaled(const Bounds& b) { return Bounds{Sh(b.x), Sv(b.y), Sh(b.width), Sv(b.height)}; }

int Drive() { return preferences.word[pref::scopeDrive]; }

// The window of the form while it is shown.
Window scopeWindow;

// The drive codes whose moves and stops go to the mount's own driver; the others move the
// emulated mount or nothing, and their stop answers say nothing about the mount.
bool DriveStopsThroughDriver(int drive) {
    switch (drive) {
    case 2: case 5: case 17:           // LX200 family
    case 9: case 10: case 15: case 20: // NexStar family
    case 14: case 18:                  // Takahashi, SiderealTech
        return true;
    default:
        return false;
    }
}

void DrawMoveIndicator(int bitmapId) {
    const Bounds r = Scaled(kIndicatorDesign);
    const platform::Color previous = SetForeColor(GetBackColor());
    FillRectangle(r);
    SetForeColor(previous);
    DrawBitmap(bitmapId, r.x, r.y);
}

void Present() {
    platform::MarkScreenChanged();
    platform::PresentScreen();
}

// Runs a drawing on the form's window and keeps the result for the next repaint.
template <class F>
void DrawOnForm(Window w, F draw) {
    const platform::Dc dc = platform::GetWindowDc(w);
    SetDrawTarget(w, dc);
    draw();
    SaveScreen();
    platform::ReleaseDc(w, dc);
}

// What arrives while a move runs: pen messages are taken (the loop follows the pen
// itself, and the button must not take the lift for a click afterwards), paints are
// made, and timer ticks are dropped, as no tick is handled until the move ends.
void TakeInputDuringMove() {
    platform::Message m;
    while (platform::PeekMessage(m, Window{}, platform::kMsgPenFirst, platform::kMsgPenLast, true)) {
        const platform::Point p = platform::PointFromParam(m.lParam);
        scopeControl.penX = p.x;
        scopeControl.penY = p.y;
        if (m.message == platform::kMsgPenUp) scopeControl.penDown = 0;
    }
    while (platform::PeekMessage(m, Window{}, platform::kMsgPaint, platform::kMsgPaint, true))
        platform::DispatchMessage(m);
    while (platform::PeekMessage(m, Window{}, platform::kMsgTimer, platform::kMsgTimer, true)) {
    }
}

// The pen as the move loop reads it; false once it is up.
bool PenStillDown() {
    if (!platform::AsyncKeyIsDown(platform::kKeyPen)) scopeControl.penDown = 0;
    return scopeControl.penDown != 0;
}

// Waits until something happens or the next read is due.
void WaitDuringMove() {
    const Window w = formWindow;
    if (platform::IsWindow(w)) {
        const std::uint32_t left = scopeControl.nextPoll + 1 - platform::TickCount();
        platform::SetTimer(w, kMovePollTimerId, left > 0 && left <= scopeControl.pollInterval + 1 ? left : 1);
    }
    platform::IdleWait();
}

// The button that started a move took the pen-down, and the loop took its pen-up: it is
// told that the pen left it, so that it neither stays pressed nor takes the lift for a
// click that would start the move again.
void ReleaseMoveButton(int buttonId) {
    if (buttonId == 0 || !platform::IsWindow(scopeWindow)) return;
    const Window button = platform::GetDialogItem(scopeWindow, static_cast<std::uint16_t>(buttonId));
    if (!button) return;
    platform::SendMessage(button, platform::kMsgPenUp, 0, platform::PointToParam(platform::Point{-1, -1}));
}

void MoveLoop(int direction, int bitmapId, int buttonId) {
    ScopeControlState& s = scopeControl;
    ScopeStartMove(direction);
    const bool takahashi = Drive() == kTakahashiDrive;
    if (takahashi) s.pollDue = 0;
    s.nextPoll = 0;
    s.penDown = s.held ? 0 : 1;
    const int k = IsNavKeyDown();
    if (s.held == 0 || k != 0) {
        for (;;) {
            const std::uint32_t now = platform::TickCount();
            if (now > s.nextPoll) {
                s.pollDue = 1;
                s.nextPoll = now + s.pollInterval;
            } else {
                s.pollDue = 0;
            }
            if (s.pollDue) {
                ScopeGetPosition(&s.lastRa, &s.lastDec);
                DrawScopePosition(bitmapId, s.lastRa, s.lastDec);
            }
            TakeInputDuringMove();
            bool leave = false;
            if (s.held == 0 && !PenStillDown()) leave = true;
            // The Takahashi mount ends a move by itself: it is sent again at every read.
            if (takahashi && s.pollDue) ScopeStartMove(direction);
            if (leave || IsNavKeyDown() != k) break;
            WaitDuringMove();
        }
    }
    if (platform::IsWindow(formWindow)) platform::KillTimer(formWindow, kMovePollTimerId);
    StopMountChecked(direction);
    // What was queued meanwhile (key repeats, the pen-up) belongs to this move.
    FlushPenEvents();
    FlushKeyEvents();
    if (s.held == 0) ReleaseMoveButton(buttonId);
    if (GetCurrentFormId() == kScopeControlFormId) {
        DrawMoveIndicator(kIdleBitmap);
        Present();
    }
}

// Runs the commands of one user action; a failed stop is told once per action.
int FormCommand(Window w, int id, int thenId = 0) {
    const platform::Dc dc = platform::GetWindowDc(w);
    SetDrawTarget(w, dc);
    scopeControl.stopFailureShown = 0;
    int result = ScopeControlCommand(id);
    if (thenId) result = ScopeControlCommand(thenId);
    if (platform::IsWindow(w) && GetCurrentFormId() == kScopeControlFormId) SaveScreen();
    platform::ReleaseDc(w, dc);
    return result;
}

void ScopeTimer(Window w) {
    if (Drive() <= 0) return;
    if (IsEncoderDrive()) {
        DrawOnForm(w, [] { DrawEncoderInfo(); });
        return;
    }
    double ra = 0.0, dec = 0.0;
    ScopeGetPosition(&ra, &dec);
    DrawOnForm(w, [&] { DrawScopePosition(0, ra, dec); });
}

void ShowMoveControls(Window w) {
    for (int id : {kSlewLabel, kSpeedPopup, kWest, kEast, kNorth, kSouth}) ShowObject(w, id);
}

}  // namespace

// ---- Links ---------------------------------------------------------------------------------

ScopeControlLinks SetScopeControlLinks(const ScopeControlLinks& l) {
    const ScopeControlLinks previous = links;
    links = l;
    return previous;
}

bool DrawSkyViewInto(DrawWindow*& offscreen, const Bounds& area, double raHours, double decDeg, int field,
                     bool compass) {
    return links.drawSkyViewInto && links.drawSkyViewInto(offscreen, area, raHours, decDeg, field, compass);
}

int ScopeTracking() { return links.tracking ? links.tracking() : ownTracking; }

void SetScopeTracking(int on) {
    if (links.setTracking) links.setTracking(on);
    else ownTracking = on;
}

// ---- Stopping --------------------------------------------------------------------------------

int StopMountChecked(int direction) {
    const int drive = Drive();
    const int result = direction < 0 ? ScopeStop() : ScopeStopMove(direction);
    if (!DriveStopsThroughDriver(drive) || result != 0) return 1;
    // A stop that did not reach the mount leaves it slewing: one more stop of everything,
    // and the user is told, since only the mount itself can be trusted now.
    const int again = ScopeStop();
    if (!scopeControl.stopFailureShown) {
        scopeControl.stopFailureShown = 1;
        ShowMessage("The mount did not take the stop command and may still be moving.",
                    again ? "A second stop was sent." : "Stop it at the mount.");
    }
    return 0;
}

// ---- Commands and keys -----------------------------------------------------------------------

void MoveScopeWest() { MoveLoop(3, kWestBitmap, scopeControl.held ? 0 : kWest); }
void MoveScopeEast() { MoveLoop(2, kEastBitmap, scopeControl.held ? 0 : kEast); }
void MoveScopeNorth() { MoveLoop(0, kNorthBitmap, scopeControl.held ? 0 : kNorth); }
void MoveScopeSouth() { MoveLoop(1, kSouthBitmap, scopeControl.held ? 0 : kSouth); }

void MoveScopeWhileKeyHeld(int direction) {
    scopeControl.held = 1;
    scopeControl.stopFailureShown = 0;
    if (scopeControl.pollInterval == 0) scopeControl.pollInterval = GetTicksPerSecond() / 8;
    switch (direction) {
    case 0: MoveScopeNorth(); break;
    case 1: MoveScopeSouth(); break;
    case 2: MoveScopeEast(); break;
    case 3: MoveScopeWest(); break;
    default: break;
    }
}

int ScopeControlCommand(int id) {
    ScopeControlState& s = scopeControl;
    switch (id) {
    case kRefreshList:
        SetScopeRefreshTimer();
        if (IsEncoderDrive()) DrawEncoderInfo();
        return 1;
    case kWest: s.held = 0; MoveScopeWest(); return 0;
    case kEast: s.held = 0; MoveScopeEast(); return 0;
    case kNorth: s.held = 0; MoveScopeNorth(); return 0;
    case kSouth: s.held = 0; MoveScopeSouth(); return 0;
    case kSpeedList: {
        const int row = GetListSelection(kSpeedList);
        if (row >= 0 && row < 4) s.rateIndex = static_cast<std::uint32_t>(row);
        SetPopupList(kSpeedPopup, kSpeedList, static_cast<int>(s.rateIndex));
        ScopeSetRate(static_cast<int>(s.rateIndex));
        return 1;
    }
    case kOk: ExitScopeControl(); return 1;
    case kStop: StopMountChecked(-1); return 1;
    case kHelp:
        ShowMessage("\x95 Use Palm Keys to control your scope.",
                    "\x95 On Tungsten use the navigation pad.\n\x95 To stop GoTo press left Palm Key.");
        return 1;
    default: return 0;
    }
}

int ScopeControlKey(int key) {
    scopeControl.held = 1;
    switch (key) {
    case platform::kKeyPageUp: MoveScopeSouth(); return 1;
    case platform::kKeyPageDown: MoveScopeNorth(); return 1;
    case platform::kKeyLeft: MoveScopeWest(); return 1;
    case platform::kKeyUp: MoveScopeNorth(); return 1;
    case platform::kKeyRight: MoveScopeEast(); return 1;
    case platform::kKeyDown: MoveScopeSouth(); return 1;
    default: return 0;
    }
}

// ---- The position panel ----------------------------------------------------------------------

void DrawScopePosition(int bitmapId, double raHours, double decDeg) {
    if (GetCurrentFormId() == kChartFormId) {
        if (links.showOnChart) links.showOnChart(bitmapId, raHours, decDeg);
        return;
    }
    if (IsEncoderDrive()) return;
    ScopeControlState& s = scopeControl;
    int year, month, day, hour, minute, second;
    GetLocalDateTime(&year, &month, &day, &hour, &minute, &second);
    SetObservingDateTime(year, month, day, hour, minute, second);
    const double lst = LocalSiderealTime(year, month, day, hour, minute, second, observerLocation.longitude,
                                         observerLocation.zoneMinutes);
    const double az = ComputeAzimuth(lst, raHours, decDeg, observerLocation.latitude);
    const double alt = ComputeAltitude(lst, raHours, decDeg, observerLocation.latitude);

    s.panel = Scaled(kPanelDesign);
    const platform::Color previousFore = SetForeColor(GetBackColor());
    FillRectangle(s.panel);
    SetForeColor(previousFore);
    HMSToStr(s.raText, sizeof s.raText, raHours);
    DMSToStr(s.decText, sizeof s.decText, decDeg);
    DMSToStr(s.azText, sizeof s.azText, az);
    DMSToStr(s.altText, sizeof s.altText, alt);
    const struct {
        const char* label;
        const char* value;
    } lines[4] = {{"Scope RA", s.raText}, {"Scope Dec", s.decText}, {"Scope Az", s.azText}, {"Scope Alt", s.altText}};
    const platform::Color previousText = SetTextColor(GetForeColor());
    const int previousTransparent = SetTextTransparent(1);
    for (int i = 0; i < 4; ++i) {
        const int y = s.panel.y + Sv(i * kLineHeight);
        DrawString(lines[i].label, static_cast<int>(std::strlen(lines[i].label)), s.panel.x, y);
        DrawString(":", 1, s.panel.x + Sh(kValueColumn - 8), y);
        DrawString(lines[i].value, static_cast<int>(std::strlen(lines[i].value)), s.panel.x + Sh(kValueColumn), y);
    }
    SetTextTransparent(previousTransparent);
    SetTextColor(previousText);
    if (bitmapId != 0) DrawMoveIndicator(bitmapId);

    if (links.drawSkyViewInto) {
        // The drill-down is left on for the chart as well.
        preferences.word[pref::objDrilldown] = 1;
        const std::uint32_t rate = s.rateIndex < 4 ? s.rateIndex : 0;
        DrawSkyViewInto(s.skyView, Scaled(kSkyViewDesign), raHours, decDeg, kSkyViewField[rate], true);
    }
    Present();
}

// ---- Opening and leaving -------------------------------------------------------------------

void InitScopeControl() {
    ScopeControlState& s = scopeControl;
    const Window w = scopeWindow;
    PushFormHistory(kScopeControlFormId);
    SetScopeTracking(1);
    s.stopFailureShown = 0;
    ShowObject(w, kOk);
    ShowObject(w, kStop);
    if (!ScopeConnect()) {
        EraseWindow(w);
        telescopeEmulation = 1;
        ShowMessage("Activating Telescope emulation mode.", "");
    }
    if (IsEncoderDrive()) {
        ShowObject(w, kRefreshPopup);
        platform::SetTimer(w, kScopeTimerId, kScopeTimerMs);
        return;
    }
    ShowMoveControls(w);
    ScopeSetRate(static_cast<int>(s.rateIndex));
    s.pollInterval = Drive() == kTakahashiDrive ? 2 * GetTicksPerSecond() : GetTicksPerSecond() / 8;
    ScopeSetRate(static_cast<int>(s.rateIndex));
    SetPopupList(kSpeedPopup, kSpeedList, static_cast<int>(s.rateIndex));
    DrawMoveIndicator(kIdleBitmap);
    platform::SetTimer(w, kScopeTimerId, kScopeTimerMs);
}

void ExitScopeControl() {
    if (Drive() != kSkyScanDrive) StopMountChecked(-1);
    ScopeDisconnect();
    SetScopeTracking(0);
    FlushPenEvents();
    GoBackForm();
}

void CloseScopeControl() {
    ScopeControlState& s = scopeControl;
    // With no port open the form drove the emulated mount: its stop goes there, before the
    // emulation ends, and cannot fail to reach a mount. Checked after the emulation ended it
    // would be sent to a mount that is not there and reported as not taken.
    const bool emulatedOnly = telescopeEmulation != 0 && !IsSerialOpen();
    if (emulatedOnly && Drive() != kSkyScanDrive) ScopeStop();
    telescopeEmulation = 0;
    if (s.skyView) {
        DeleteOffscreen(s.skyView);
        s.skyView = nullptr;
    }
    FlushPenEvents();
    if (Drive() != kSkyScanDrive && !emulatedOnly) StopMountChecked(-1);
    ScopeDisconnect();
    s.stopFailureShown = 0;
}

void LayoutScopeControl(Window form, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(form, width, height, &dx, &dy)) return;
    for (int id : {kOk, kStop, kSlewLabel, kSpeedPopup, kSpeedList}) MoveObject(form, id, dx, dy, 0, 0);
}

void ReleaseScopeControls(Window form) {
    platform::KillTimer(form, kScopeTimerId);
    *FormRedrawFlag(kScopeControlFormId) = 1;
    for (int id : {kTitle, kSpeedPopup, kRefreshPopup, kWest, kEast, kNorth, kSouth, kStop, kOk})
        ReleaseControl(form, id);
    if (scopeWindow == form) scopeWindow = Window{};
}

// ---- The dialog procedure ------------------------------------------------------------------

LResult ScopeControl(Window w, unsigned message, WParam wParam, LParam lParam) {
    std::int32_t* const redraw = FormRedrawFlag(kScopeControlFormId);
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, redraw, &result)) return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        scopeWindow = w;
        InitFormWindow(w);
        InitTitle(w, kTitle, "ScopeControl");
        for (int i = 3; i >= 0; --i) AppendListItem(w, kSpeedList, kSpeedTexts[i]);
        InitPopupList(w, kSpeedPopup, kSpeedList, -1, 0, static_cast<int>(scopeControl.rateIndex));
        for (int i = kEncoderRefreshRows - 1; i >= 0; --i) AppendListItem(w, kRefreshList, kEncoderRefreshTexts[i]);
        InitPopupList(w, kRefreshPopup, kRefreshList, -1, 0, static_cast<int>(encoderRefreshIndex));
        const int bitmaps[4] = {kWestBitmap, kEastBitmap, kNorthBitmap, kSouthBitmap};
        const int buttons[4] = {kWest, kEast, kNorth, kSouth};
        for (int i = 0; i < 4; ++i) {
            InitButton(w, buttons[i], bitmaps[i], 0, 0);
            SetButtonAutoRepeat(w, buttons[i], 1);
        }
        InitButton(w, kOk, -1, 0, 0);
        InitButton(w, kStop, -1, 0, 0);
        *FormRedrawFlag(kScopeControlFormId) = 1;
        const platform::Rect client = platform::GetClientRect(w);
        scopeControl.width = client.Width();
        scopeControl.height = client.Height();
        LayoutScopeControl(w, client.Width(), client.Height());
        return 1;
    }
    case platform::kMsgPaint:
        PaintForm(w, &InitScopeControl, FormRedrawFlag(kScopeControlFormId), 0, 0);
        return 1;
    case platform::kMsgTimer:
        if (wParam != kScopeTimerId) return 0;
        ScopeTimer(w);
        return 1;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        switch (id) {
        case kCmdCloseForm:
            CloseScopeControl();
            ReleaseScopeControls(w);
            CloseForm(kScopeControlFormId);
            return 1;
        case 1:
            FormCommand(w, kStop, kOk);
            return 1;
        case kSpeedPopup:
        case kRefreshPopup:
            return FormCommand(w, platform::HighWord(wParam));
        default:
            return FormCommand(w, id);
        }
    }
    case platform::kMsgKeyDown: {
        const int key = static_cast<int>(wParam);
        if (key != platform::kKeyPageUp && key != platform::kKeyPageDown && key != platform::kKeyLeft &&
            key != platform::kKeyUp && key != platform::kKeyRight && key != platform::kKeyDown)
            return 0;
        const platform::Dc dc = platform::GetWindowDc(w);
        SetDrawTarget(w, dc);
        scopeControl.stopFailureShown = 0;
        const int handled = ScopeControlKey(key);
        if (platform::IsWindow(w)) SaveScreen();
        platform::ReleaseDc(w, dc);
        return handled;
    }
    case platform::kMsgClose:
        CloseScopeControl();
        ReleaseScopeControls(w);
        return 1;
    default:
        return 0;
    }
}
