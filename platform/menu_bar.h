#pragma once
// The menu bar: a band 26 design pixels high below the screen, outside what windows and
// forms see, with the popup titles of a menu (menus.txt) side by side. A tap on a title
// opens its drop-down above the band, over the screen; a tap on an item (or a drag onto
// it and lifting the pen there) closes the drop-down and posts kMsgCommand with the
// item's command to the target window (the main window). A tap anywhere else closes the
// drop-down and does nothing more. While a drop-down is open the keys are the menu's:
// Up and Down move the highlight, Left and Right go to the next popup, Return chooses,
// Escape closes.
//
// It sits between the window core and the backend in use: frames get the band (and the
// open drop-down) drawn in below the screen before the backend shows them, and the input
// the menu takes never reaches the windows. Drawn in the system colours of the menu, so
// night mode turns it red with everything else.
#include "platform/surface.h"
#include "platform/types.h"
#include "platform/window.h"

namespace platform::menubar {

constexpr int kBandDesignHeight = 26;

// The window the commands go to, asked at each choice (the main window is made after the
// menu bar is put in place).
using TargetFunction = Window (*)();

// Puts the menu bar over the backend now in use (install the backend first). False when
// the menu does not exist. Installing again replaces the menu and the target.
bool Install(int menuId, TargetFunction target);
// Takes it away again, back to the backend it was put over.
void Uninstall();
bool Installed();

// The band's height in pixels at the screen's scale.
int BandHeight();
// The popup whose drop-down is open (-1: none), and its highlighted item (-1: none).
int OpenPopup();
int HighlightedItem();
// Where popup title i lies in the frame (below the screen), and item j of the open
// drop-down (over the screen); empty when there is none.
Rect TitleRect(int popup);
Rect ItemRect(int item);

// The frame as the backend gets it: the screen with the band below it and the open
// drop-down drawn over it.
void ComposeFrame(const Surface& screen, Surface* frame);

}  // namespace platform::menubar
