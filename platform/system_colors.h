#pragma once
// The table of system colours that everything the layer draws for itself reads (dialog
// backgrounds, standard controls, list selection, scroll bars, message boxes, the menu
// bar). Changing it repaints every window, which is how night mode turns the whole screen
// red.
#include "platform/types.h"

namespace platform {

enum SystemColorIndex : int {
    kColorScrollBar = 0,
    kColorDesktop = 1,
    kColorActiveCaption = 2,
    kColorInactiveCaption = 3,
    kColorMenu = 4,
    kColorWindow = 5,
    kColorWindowFrame = 6,
    kColorMenuText = 7,
    kColorWindowText = 8,
    kColorCaptionText = 9,
    kColorActiveBorder = 10,
    kColorInactiveBorder = 11,
    kColorAppWorkspace = 12,
    kColorHighlight = 13,
    kColorHighlightText = 14,
    kColorButtonFace = 15,
    kColorButtonShadow = 16,
    kColorGrayText = 17,
    kColorButtonText = 18,
    kColorInactiveCaptionText = 19,
    kColorButtonHighlight = 20,
    kColorDarkShadow = 21,
    kColorLight = 22,
    kColorInfoText = 23,
    kColorInfoBack = 24,
    kColorStatic = 25,
    kColorStaticText = 26,
    kColorCaptionGradient = 27,
    kColorInactiveCaptionGradient = 28,
};
constexpr int kSystemColorCount = 29;

// The colour of an entry; 0 for an index out of range.
Color SystemColor(int index);
// Sets `count` entries, then repaints every window once. Indices out of range are
// skipped. Returns false when none was valid.
bool SetSystemColors(int count, const int* indices, const Color* colors);
// Back to the colours the program started with (tests).
void ResetSystemColors();

}  // namespace platform
