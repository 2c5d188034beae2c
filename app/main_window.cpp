#include "app/main_window.h"

#include <cstdint>
#include <cstdio>

#include "app/composition.h"
#include "catalog/user_lists.h"
#include "planets/planets_services.h"
#include "platform/gfx_context.h"
#include "platform/instance.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/message_box.h"
#include "shell/night_mode_dialog.h"
#include "shell/power_thread.h"
#include "core/settings.h"
#include "app/startup_data.h"
#include "shell/commands.h"

namespace {

using platform::LParam;
using platform::LResult;
using platform::WParam;
using platform::Window;

// The band of the menu bar below the forms, in design pixels.
constexpr int kMenuBandHeight = 26;
constexpr int kDesignWidth = 240;
constexpr int kDesignHeight = 320;

constexpr int kStringTitle = 1;
constexpr int kStringClassName = 3;
constexpr int kAcceleratorTable = 3;

// Commands of the menus and the accelerator.
constexpr std::uint16_t kCmdQuitKey = 1;
constexpr std::uint16_t kCmdJupiter = 1009;
constexpr std::uint16_t kCmdSaturn = 1010;
constexpr std::uint16_t kCmdScopeControl = 1013;
constexpr std::uint16_t kCmdMars = 1027;
constexpr std::uint16_t kCmdImportMemo = 1033;
constexpr std::uint16_t kCmdExportMemo = 1034;
constexpr std::uint16_t kCmdQuit = 1035;
constexpr std::uint16_t kCmdNightMode = 1036;
constexpr std::uint16_t kCmdSetDateTime = 1037;

constexpr int kPlanetViewForm = 2460;
constexpr int kScopeControlForm = 2400;

// The menu commands that do nothing but open a form.
struct MenuForm {
    std::uint16_t command;
    int form;
};
constexpr MenuForm kMenuForms[] = {
    {1001, 1400},   // Preferences
    {1002, 1200},   // Location
    {1003, 1900},   // the sky chart
    {1004, 1800},   // NightTripper
    {1005, 1300},   // 2-StarAlignment
    {1006, 2100},   // N-StarAlignment
    {1007, 112},    // ObjectInfo
    {1008, 6000},   // Moon
    {1011, 1950},   // Wizard, the home form
    {1012, 2200},   // Checklist
    {1014, 2350},   // Finder
    {1017, 2450},   // Planets
    {1019, 2470},   // PolarAlignment
    {1020, 1550},   // CCD
    {1022, 2410},   // Twilight
    {1023, 2600},   // ObserverLog
    {1024, 2423},   // Day/Night
    {1025, 5200},   // the date and time form
    {1026, 5300},   // Camera Control
    {1028, 2550},   // Comets&&Asteroids
    {1029, 2700},   // Eclipses
    {1032, 2800},   // Satellites
    {40015, 2830},  // CompassChart
};

ShellActivateInfo mainActivateInfo;
platform::InstanceClaim instanceClaim;
bool instanceClaimed = false;
// Whether this run takes the single-instance lock (headless runs do not).
bool instanceLockWanted = true;

// Set while the loop of RunVelkarion is over: a destruction after that (the loop ended
// for a quit posted from outside) must not leave a quit message for a later run.
bool loopEnded = false;

// Ctrl+Q, for when the accelerator resource is missing: without it the desktop window's
// close box could not end the program.
const platform::AcceleratorTable kQuitOnly{kAcceleratorTable, {{true, false, false, 'Q', kCmdQuitKey}}};

// Closes the shown form while everything it uses still exists, then destroys the main
// window. Forms are owned by the main window, so destroying it first would destroy the
// form without its close function.
void QuitProgram(Window w) {
    RestoreMainLayout();
    platform::DestroyWindow(w);
}

// Whether a pen message of the main window happened on the bare window. The window keeps
// the pen from down to up, so the rest of a stroke that opened a form still comes here
// although the form now lies under the pen.
bool OnBareWindow(Window w, LParam lParam) {
    const platform::Point at = platform::ClientToScreen(w, platform::PointFromParam(lParam));
    return platform::WindowFromPoint(at) == w;
}

// A tap's down and up both reach the window before the form the down asked for exists.
bool FormSwitchQueued(Window w) {
    platform::Message m;
    return platform::PeekMessage(m, w, platform::kMsgCommand, platform::kMsgCommand, false) &&
           platform::LowWord(m.wParam) == kCmdShowForm;
}

void PaintMain(Window w) {
    platform::Rect update;
    const platform::Dc dc = platform::BeginPaint(w, &update);
    if (!dc) return;
    platform::FillRect(dc, platform::GetClientRect(w), GetBackBrush());
    platform::EndPaint(w, dc);
}

void ShutDown(Window w) {
    StopPowerNotify();
    FreeStartupData();
    ReleaseDrawTarget();
    FreeSavedScreen();
    ReleaseFonts();
    ShellFullScreen(w, kShellLeaveFullScreen);
    if (!loopEnded) platform::PostQuitMessage(0);
}

LResult MenuCommand(Window w, std::uint16_t command, WParam wParam, LParam lParam) {
    for (const MenuForm& entry : kMenuForms) {
        if (entry.command == command) {
            GotoForm(entry.form);
            return 0;
        }
    }
    switch (command) {
    case kCmdQuitKey:
    case kCmdQuit:
        QuitProgram(w);
        return 0;
    case kCmdJupiter:
        SelectJupiterAssistant();
        GotoForm(kPlanetViewForm);
        return 0;
    case kCmdSaturn:
        SelectSaturnAssistant();
        GotoForm(kPlanetViewForm);
        return 0;
    case kCmdMars:
        SelectMarsAssistant();
        GotoForm(kPlanetViewForm);
        return 0;
    case kCmdScopeControl:
        // Connecting first belongs to the scope layer's opener; until it exists the form
        // is asked for directly.
        if (preferences.word[pref::scopeDrive] != 0) {
            GotoForm(kScopeControlForm);
        } else {
            ShowMessage("Please chose a Telescope Drive in Preference 1/6.", "");
        }
        return 0;
    case kCmdImportMemo:
        // The imported list opens in the list form.
        if (ImportUserObjects()) GotoForm(1800);
        return 0;
    case kCmdExportMemo:
        ExportUserObjects();
        return 0;
    case kCmdNightMode:
        NightModeSettings();
        return 0;
    case kCmdSetDateTime:
        ShowMessageBox("VelkarionSetDateTime", "Not Done");
        return 0;
    case kCmdShowForm:
        ShowForm(static_cast<std::uint16_t>(lParam & 0xFFFF));
        return 0;
    case kCmdResume:
        return 0;
    default:
        return platform::DefWindowProc(w, platform::kMsgCommand, wParam, lParam);
    }
}

}  // namespace

std::string ProgramInstanceName() {
    std::string className = platform::LoadString(kStringClassName);
    std::string title = platform::LoadString(kStringTitle);
    if (className.empty()) className = "POCKETPC";
    if (title.empty()) title = "Velkarion";
    return className + "-" + title;
}

bool ClaimProgramInstance() {
    if (instanceClaimed) return true;
    instanceClaimed = platform::ClaimSingleInstance(instanceClaim, ProgramInstanceName(), platform::HomeRoot());
    if (!instanceClaim.problem.empty()) std::fprintf(stderr, "velkarion: %s\n", instanceClaim.problem.c_str());
    return instanceClaimed;
}

bool ProgramInstanceLockRefused() { return instanceClaim.lockRefused; }

int InitInstance(bool show) {
    ComposeProgram();
    if (instanceLockWanted && !ClaimProgramInstance()) return 0;

    InitScreenScale();
    const int width = static_cast<int>(kDesignWidth * screenScale.horizontal);
    const int height = static_cast<int>(kDesignHeight * screenScale.vertical);
    platform::WindowSpec window;
    window.text = platform::LoadString(kStringTitle);
    window.rect = platform::Rect{0, 0, width, height};
    window.proc = MainWndProc;
    const Window w = platform::CreateWindow(window);
    if (!w) {
        ShowMessage("Can't Create window", "");
        return 0;
    }
    mainWindow = w;
    platform::ListenForFrontRequests(instanceClaim, w);

    // Room for the menu bar below the forms (the window layer keeps it on the screen).
    platform::Rect r = platform::GetWindowRect(w);
    r.bottom += static_cast<int>(kMenuBandHeight * screenScale.horizontal);
    platform::MoveWindow(w, r, true);
    ShellFullScreen(w, kShellFullScreen);
    platform::ShowWindow(w, show);

    AllocStartupData();
    RestoreMainLayout();
    platform::PostMessage(w, platform::kMsgCommand, kCmdShowForm, kHomeFormId);
    SetCurrentFormId(kHomeFormId);
    return 1;
}

LResult MainWndProc(Window w, unsigned message, WParam wParam, LParam lParam) {
    switch (message) {
    case platform::kMsgCreate:
        mainActivateInfo = ShellActivateInfo{};
        StartPowerNotify(w);
        return 0;
    case platform::kMsgPaint:
        PaintMain(w);
        return 0;
    case platform::kMsgActivate:
        ShellHandleActivate(w, message, wParam, lParam, &mainActivateInfo);
        return platform::DefWindowProc(w, message, wParam, lParam);
    case platform::kMsgSettingChange:
        ShellHandleSettingChange(w, message, wParam, lParam, &mainActivateInfo);
        return 0;
    case platform::kMsgPenMove:
    case platform::kMsgPenDown:
    case platform::kMsgPenUp:
        // The stylus on the bare window (no form shown) brings the home form back, once.
        if (OnBareWindow(w, lParam) && !FormSwitchQueued(w)) GotoForm(kHomeFormId);
        return 0;
    case platform::kMsgCommand:
        return MenuCommand(w, platform::LowWord(wParam), wParam, lParam);
    case platform::kMsgDestroy:
        ShutDown(w);
        return 0;
    default:
        return platform::DefWindowProc(w, message, wParam, lParam);
    }
}

int RunVelkarion(const RunOptions& options) {
    loopEnded = false;
    instanceLockWanted = options.instanceLock;
    int code = 0;
    if (InitInstance(options.show)) {
        const platform::AcceleratorTable* table = platform::FindAccelerators(kAcceleratorTable);
        platform::SetMainAccelerators(mainWindow, table ? table : &kQuitOnly);
        code = platform::RunMessageLoop();
        loopEnded = true;
        // A quit posted from outside ends the loop with the window still there: end the
        // run the orderly way all the same, so the thread is joined and the list saved.
        if (platform::IsWindow(mainWindow)) QuitProgram(mainWindow);
        platform::SetMainAccelerators(Window{}, nullptr);
    }
    mainWindow = Window{};
    platform::ReleaseInstance(instanceClaim);
    instanceClaimed = false;
    return code;
}
