#include "planets/mars_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "catalog/databases.h"
#include "core/settings.h"
#include "objects/object_pictures.h"
#include "platform/gfx_context.h"
#include "platform/system_colors.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fonts.h"

namespace {

using platform::Color;
using platform::Rgb;

constexpr const char* kPicturePrefixes[kMarsFeatureKinds] = {
    "cavus_", "mons_", "crater_", "planitia_", "planum_", "landing_", "catena_", "chasma_", "rupes_", "terra_"};
constexpr const char* kSizeTexts[kMarsFeatureKinds] = {
    "Cavus %d km ",   "Mons %d km ",    "Crater %d km ", "Plannitia %d km ", "Planum %d km ",
    "Landing %d km ", "Catena %d km ", "Chasma %d km ", "Rupes %d km ",    "Terra %d km "};
constexpr int kPlanitia = 3, kPlanum = 4, kTerra = 9;
constexpr int kPanelFont = 5;
constexpr int kPictureView = 160;

int ScaleX() { return static_cast<int>(screenScale.horizontal); }
int ScaleY() { return static_cast<int>(screenScale.vertical); }

bool KnownKind(int kind) { return kind >= 0 && kind < kMarsFeatureKinds; }

// The feature's name cut at its first blank.
void FirstWord(const MarsFeatureRecord& record, char* out, int size) {
    int n = 0;
    while (n < size - 1 && record.name[n] && record.name[n] != ' ') {
        out[n] = record.name[n];
        ++n;
    }
    out[n] = '\0';
}

void DrawText(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }

}  // namespace

void ClampMapScroll(const Bounds& view, int* scrollX, int* scrollY) {
    const int half = kMarsMapHalfSize * ScaleX();
    const int mapHeight = kMarsMapHalfSize * ScaleY();
    // The left tile starts half a map width left of the scroll x; four tiles must reach
    // the view's right edge.
    *scrollX = std::clamp(*scrollX, std::min(view.width - 3 * half, half), half);
    *scrollY = std::clamp(*scrollY, std::min(view.height - mapHeight, 0), 0);
}

void BlitMapRegion(int firstBitmapId, const Bounds& view, int* scrollX, int* scrollY) {
    ClampMapScroll(view, scrollX, scrollY);
    const int half = kMarsMapHalfSize * ScaleX();
    const int mapHeight = kMarsMapHalfSize * ScaleY();
    const Color previous = SetForeColor(Rgb(0, 0, 0));
    DrawRectangle(view, 0);
    SetForeColor(previous);
    const DrawWindow* halves[2] = {CachedBitmapAt(firstBitmapId, half, mapHeight),
                                   CachedBitmapAt(firstBitmapId + 1, half, mapHeight)};
    DrawWindow* target = GetCurrentDrawWindow();
    const int top = view.y + *scrollY;
    const int y0 = std::max(top, view.y), y1 = std::min(top + mapHeight, view.y + view.height);
    for (int tile = 0; tile < 4; ++tile) {
        // [second][first][second][first], each cut to the view.
        const DrawWindow* picture = halves[tile % 2 == 0 ? 1 : 0];
        const int left = view.x + *scrollX + (tile - 1) * half;
        const int x0 = std::max(left, view.x), x1 = std::min(left + half, view.x + view.width);
        if (!picture || x0 >= x1 || y0 >= y1) continue;
        CopyBits(const_cast<DrawWindow*>(picture), target, Bounds{x0 - left, y0 - top, x1 - x0, y1 - y0}, x0, y0, 0);
    }
}

int MarsMapScreenX(int scrollX, int mapX) {
    const int width = 2 * kMarsMapHalfSize * ScaleX();
    const int x = (scrollX + mapX * ScaleX()) % width;
    return x < 0 ? x + width : x;
}

bool MarsFeatureNameShown(const MarsFeatureRecord& record, int* font) {
    if ((record.kind == kPlanitia || record.kind == kPlanum) && record.sizeKm >= 1000) {
        if (font) *font = 5;
        return true;
    }
    if (record.kind == kTerra && record.sizeKm >= 500) {
        if (font) *font = 4;
        return true;
    }
    return false;
}

void DrawMapFeatureNames(const Bounds& view, int scrollX, int scrollY) {
    const bool night = preferences.word[pref::nightMode] != 0;
    const Color light = night ? Rgb(1, 0, 0) : Rgb(240, 240, 240);
    const Color dark = night ? Rgb(1, 0, 0) : Rgb(0, 0, 0);
    const int previousFont = GetFont();
    const int previousTransparent = SetTextTransparent(1);
    const Color previousText = SetTextColor(light);
    ClipRectangle(view);
    const int count = GetMarsFeatureCount();
    MarsFeatureRecord record;
    for (int i = 0; i < count; ++i) {
        int font = 0;
        if (!GetMarsFeature(i, &record) || !MarsFeatureNameShown(record, &font)) continue;
        SetFont(font);
        // Names at the top edge stand on the light polar cap on a large screen.
        SetTextColor(record.y < 10 && GetDpiFactor() != 1 ? dark : light);
        const int length = static_cast<int>(std::strlen(record.name));
        const int x = view.x + MarsMapScreenX(scrollX, record.x);
        const int y = view.y + scrollY + record.y * ScaleY();
        DrawString(record.name, length, x - CharsWidth(record.name, length) / 2, y);
    }
    // No clip of our own left behind (ResetClip would clip an offscreen to nothing).
    platform::SelectClip(GetDrawDC(), platform::GfxObject{});
    SetTextColor(previousText);
    SetTextTransparent(previousTransparent);
    SetFont(previousFont);
}

void MarsFeaturePictureName(const MarsFeatureRecord& record, char* out, int size) {
    char word[sizeof record.name];
    FirstWord(record, word, sizeof word);
    std::snprintf(out, static_cast<std::size_t>(size), "%s%s", KnownKind(record.kind) ? kPicturePrefixes[record.kind] : "",
                  word);
}

int FormatMarsFeaturePanel(const MarsFeatureRecord& record, MarsFeaturePanel* panel) {
    if (!KnownKind(record.kind)) return 0;
    std::snprintf(panel->size, sizeof panel->size, kSizeTexts[record.kind], record.sizeKm);
    std::snprintf(panel->latitude, sizeof panel->latitude, "Lat:%.1f\xB0%c", std::fabs(record.latitude),
                  record.latitude < 0 ? 'S' : 'N');
    std::snprintf(panel->longitude, sizeof panel->longitude, "Long:%.1f\xB0%c", std::fabs(record.longitude),
                  record.longitude < 0 ? 'W' : 'E');
    return 1;
}

int FormatMapFeature(const MarsFeatureRecord& record, int scrollX, int scrollY, const Bounds& view) {
    const int h = ScaleX(), v = ScaleY();
    const int px = view.x + MarsMapScreenX(scrollX, record.x);
    const int py = view.y + scrollY + record.y * v;
    // The leader goes up, or down for a point near the top.
    const int ex = px + 5 * h;
    const int ey = py - view.y < 60 * v ? py + 13 * v : py - 13 * v;

    const Color line = platform::SystemColor(platform::kColorStatic);
    const Color text = platform::SystemColor(platform::kColorWindowText);
    const Color previousFore = SetForeColor(line);
    const int previousTransparent = SetTextTransparent(1);
    const Color previousText = SetTextColor(text);
    const int previousFont = GetFont();
    DrawLine(px, py, ex, ey);
    char label[sizeof record.name + 1];
    std::snprintf(label, sizeof label, " %s", record.name);
    const int length = static_cast<int>(std::strlen(label));
    const int width = CharsWidth(label, length);
    const int right = view.x + view.width;
    const int lx = ex + width > right ? right - 5 * h - width : ex;
    DrawString(label, length, lx, ey);

    MarsFeaturePanel panel;
    if (FormatMarsFeaturePanel(record, &panel)) {
        SetFont(kPanelFont);
        const int y = view.y + view.height + 2 * v;
        DrawText(panel.size, view.x + h, y);
        DrawText(panel.latitude, view.x + 100 * h, y);
        DrawText(panel.longitude, view.x + 163 * h, y);
    }
    SetFont(previousFont);
    SetTextColor(previousText);
    SetTextTransparent(previousTransparent);
    SetForeColor(previousFore);

    char name[48];
    MarsFeaturePictureName(record, name, sizeof name);
    return FindObjectPicture(name, kPictureFolderMars, 0) ? 1 : 0;
}

int ShowFeaturePicture(const MarsFeatureRecord& record) {
    char name[48];
    MarsFeaturePictureName(record, name, sizeof name);
    return ShowObjectPicture(name, 0, 0, kPictureView, kPictureView, 1, kPictureFolderMars, 0);
}

void MapFeatureNoop(int) {}
