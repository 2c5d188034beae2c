#include "chart/chart_save_under.h"

#include "core/report.h"
#include "platform/gfx_context.h"
#include "shell/fonts.h"

namespace {

void SaveArea(SaveUnderArea& area, int width, int height, DrawWindow* source, int x, int y) {
    area.x = x;
    area.y = y;
    if (!area.bitmap) {
        const int f = GetDpiFactor();
        area.bitmap = CreateOffscreen(width * f, height * f);
        if (!area.bitmap) return;
        area.width = width * f;
        area.height = height * f;
    }
    if (!source) source = GetCurrentDrawWindow();
    CopyBits(source, area.bitmap, Bounds{x, y, area.width, area.height}, 0, 0, 0);
}

void FreeArea(SaveUnderArea& area) {
    DeleteOffscreen(area.bitmap);
    area = SaveUnderArea{};
}

}  // namespace

void SaveBubbleArea(DrawWindow* source, int x, int y) {
    SaveArea(chartState.bubble, kBubbleWidth, kBubbleHeight, source, x, y);
}

void SaveCursorArea(DrawWindow* source, int x, int y) {
    SaveArea(chartState.cursor, kCursorSize, kCursorSize, source, x, y);
}

void RestoreBubbleArea(int x, int y, const Bounds* clip, DrawWindow* target) {
    SaveUnderArea& area = chartState.bubble;
    if (!area.bitmap) {
        ShowMessage("WinHandled Null", "");
        return;
    }
    if (!target) {
        ShowMessage("WinDest Null", "");
        return;
    }
    if (!clip) {
        ShowMessage("clipBounds Null", "");
        return;
    }
    CopyBits(area.bitmap, target, Bounds{0, 0, area.width, area.height}, x, y, 0);
    area.x = 0;
    area.y = 0;
}

void RestoreCursorArea(int x, int y, const Bounds* clip, DrawWindow* target) {
    SaveUnderArea& area = chartState.cursor;
    if (!area.bitmap || !target || !clip) return;
    platform::IntersectClip(target->dc, platform::Rect{clip->x, clip->y, clip->x + clip->width, clip->y + clip->height});
    CopyBits(area.bitmap, target, Bounds{0, 0, area.width, area.height}, x, y, 0);
    platform::SelectClip(target->dc, platform::GfxObject{});
}

void FreeChartBitmaps() {
    FreeArea(chartState.bubble);
    FreeArea(chartState.cursor);
}
