#include "moon/angle_icons.h"

#include "shell/draw_targets.h"

namespace {
DrawWindow* angleStrip = nullptr;
}  // namespace

int AngleIconFrame(int degrees) {
    int a = degrees % 360;
    if (a < 0) a += 360;
    return a / 15;
}

int DrawAngleIcon(int x, int y, int degrees) {
    if (!angleStrip) angleStrip = LoadBitmapOffscreen(kAngleIconStrip, 16);
    if (!angleStrip) return 0;
    CopyBits(angleStrip, GetDrawWindow(),
             Bounds{kAngleIconWidth * AngleIconFrame(degrees), 0, kAngleIconWidth, kAngleIconHeight}, x, y, 0);
    return 1;
}

void FreeFeatureBitmap() {
    DeleteOffscreen(angleStrip);
    angleStrip = nullptr;
}
