#include "shell/busy_indicator.h"

#include "platform/window.h"

BusyIndicator busyIndicator;

void StepBusyIndicator(int flag) {
    if (!flag) return;
    BusyIndicator& b = busyIndicator;
    if (!b.active) {
        if (b.mode == 1) {
            // The desktop shows no wait cursor of ours: only the state is kept.
            b.savedCursor = 1;
            return;
        }
        b.width = static_cast<int>(40 * screenScale.horizontal);
        b.height = static_cast<int>(40 * screenScale.vertical);
        int screenWidth = 0;
        int screenHeight = 0;
        GetScreenSize(&screenWidth, &screenHeight);
        b.x = (screenWidth - b.width) / 2;
        b.y = (screenHeight - b.height) / 2;
        DeleteOffscreen(b.savedRect);
        b.savedRect = SaveRect(Bounds{b.x, b.y, b.width, b.height});
        b.active = 1;
    }
    DrawBitmapMasked(kBusyFirstFrame + b.frame, b.x + static_cast<int>(screenScale.horizontal),
                     b.y + static_cast<int>(4 * screenScale.vertical));
    b.frame = (b.frame + 1) % kBusyFrames;
    // A long computation does not come back to the loop: show the frame now.
    platform::PresentScreen();
}

void RemoveBusyIndicator(int) {
    BusyIndicator& b = busyIndicator;
    const bool wasActive = b.active != 0;
    b.active = 0;
    if (b.mode == 1) {
        b.savedCursor = 0;
        return;
    }
    if (b.savedRect) {
        RestoreRect(b.savedRect, b.x, b.y);  // releases the copy
        b.savedRect = nullptr;
    }
    if (wasActive) platform::PresentScreen();
}

void SetTrackingFlag(int flag) { busyIndicator.mode = flag; }

bool BusyCancelAsked() {
    if (!IsBusyShown()) return false;
    platform::Message m;
    bool asked = false;
    while (platform::PeekMessage(m, platform::Window{}, platform::kMsgKeyDown, platform::kMsgKeyDown, true))
        if (m.wParam == static_cast<decltype(m.wParam)>(platform::kKeyEscape)) asked = true;
    while (platform::PeekMessage(m, platform::Window{}, platform::kMsgPenDown, platform::kMsgPenDown, true)) asked = true;
    return asked;
}
