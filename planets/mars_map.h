#pragma once
// The Mars map of the planet view: the two map halves repeated in longitude at a scroll
// offset, the names of the large regions, one feature's label and data line, and its
// picture.
#include "catalog/records.h"
#include "shell/draw_targets.h"

// The first map half (the second is the next id); each 320 x 320 design pixels.
inline constexpr int kMarsMapFirstHalf = 6012;
inline constexpr int kMarsMapHalfSize = 320;
inline constexpr int kMarsFeatureKinds = 10;

// Draws the halves as [second][first][second][first] from one half-width left of the scroll
// x, stretched by the screen scale, into the view rectangle of the current draw window,
// after clamping the scrolls (written back) so that the map covers the view. A missing half
// leaves the background.
void BlitMapRegion(int firstBitmapId, const Bounds& view, int* scrollX, int* scrollY);
// The clamping alone.
void ClampMapScroll(const Bounds& view, int* scrollX, int* scrollY);

// A map x (design pixels of the 640-pixel map) on the view: scroll x + map x x scale,
// wrapped into the map's width.
int MarsMapScreenX(int scrollX, int mapX);

// Whether a feature's name is written on the map, and in which font: Planitia and Planum of
// 1000 km or more (font 5), Terra of 500 km or more (font 4).
bool MarsFeatureNameShown(const MarsFeatureRecord& record, int* font);
// Names of the large regions over the map.
void DrawMapFeatureNames(const Bounds& view, int scrollX, int scrollY);

// The picture name of a feature: the kind's prefix ("crater_") and the name cut at its first
// blank; a kind outside 0..9 gives the bare cut name.
void MarsFeaturePictureName(const MarsFeatureRecord& record, char* out, int size);
// The data line of a feature: its size text, "Lat:" and "Long:" with the hemisphere.
struct MarsFeaturePanel {
    char size[32];
    char latitude[24];
    char longitude[24];
};
// 0 for a kind outside 0..9 (no panel).
int FormatMarsFeaturePanel(const MarsFeatureRecord& record, MarsFeaturePanel* panel);
// The feature's label with its leader line, the data line and
// whether its picture exists: 1 when the picture button should be shown. The data line is
// written just below the view.
int FormatMapFeature(const MarsFeatureRecord& record, int scrollX, int scrollY, const Bounds& view);
// Shows the feature's picture in a 160 x 160 view; 1 when it was found.
int ShowFeaturePicture(const MarsFeatureRecord& record);

// Takes a flag and does nothing (the map's empty stylus handler).
void MapFeatureNoop(int flag);
