#pragma once
// NightMode Settings (dialog layout 1999): switches the whole interface between the normal
// colours and the three red night levels, or restores one of the two stored system colour
// sets. Each button takes effect at once; OK closes the dialog and the form underneath is
// made again in the new colours.
#include "platform/types.h"
#include "platform/window.h"

constexpr int kNightModeDialog = 1999;
constexpr int kNightModeTitle = 141;
constexpr int kNightModeLine = 136;
constexpr int kNightModeOff = 2;
constexpr int kNightModeLevel1 = 138;
constexpr int kNightModeLevel2 = 139;
constexpr int kNightModeLevel3 = 140;
constexpr int kNightModePreset2003 = 142;
constexpr int kNightModePreset2005 = 143;

// The names of the levels 0 to 3.
extern const char nightModeNames[4][7];

// Runs the dialog over the current form, then frees the symbol strips and rebuilds the
// current form (9502 to it, then 9900 with its id to the main window).
void NightModeSettings();

platform::LResult NightModeDlgProc(platform::Window dialog, unsigned message, platform::WParam wParam,
                                   platform::LParam lParam);
