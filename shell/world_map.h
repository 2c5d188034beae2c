#pragma once
// The large world map that the site form and the eclipse map page scroll under the
// stylus: two halves of 1207 x 1207 device pixels (pictures 6015 and 6016, made at set-up
// from public maps), 2415 pixels a turn of longitude with 180 degrees west at the left edge
// of the west half and 1207 pixels from pole to pole. Where a picture was not made the
// lines of a graticule stand in for it, so the map still scrolls and a tap still lands where
// the lines say.
#include "shell/draw_targets.h"

inline constexpr int kWorldMapWestBitmap = 6015;
inline constexpr int kWorldMapEastBitmap = 6016;
inline constexpr int kWorldMapHalf = 1207;
inline constexpr int kWorldMapPeriod = 2415;
inline constexpr double kWorldMapPixelsPerDegreeX = 6.708333333333334;
inline constexpr double kWorldMapPixelsPerDegreeY = 6.705555555555556;
inline constexpr double kWorldMapDegreesPerPixelX = 0.14906832298136646;
inline constexpr double kWorldMapDegreesPerPixelY = 0.14913007456503727;

// Where the two halves go for the world-map offsets: the vertical offset is kept within
// the view, the horizontal one wrapped into a turn and set to the left edge of the west
// half. Writes the x of both halves.
void PlaceWorldMapHalves(int viewHeight, int* offsetX, int* offsetY, int* westX, int* eastX);
// The place (longitude west positive, latitude) under a point of the world-map view.
void WorldMapPlaceAt(int x, int y, const Bounds& view, int offsetX, int offsetY, double* longitude, double* latitude);

// The halves as last loaded, kept by their owner while its form is open so that a drag
// does not read them again at every step; `night` is the night mode they were loaded for.
// A half that could not be loaded stays null and is drawn as a graticule.
struct WorldMapHalves {
    DrawWindow* west = nullptr;
    DrawWindow* east = nullptr;
    int night = -1;
};
// Loads the halves unless they were loaded for the night mode in force.
void LoadWorldMapHalves(WorldMapHalves* halves);
void FreeWorldMapHalves(WorldMapHalves* halves);

// The sea colour under the map (black in night modes).
platform::Color WorldMapSeaColour();
// Lines every 30 degrees over an area of the map.
void DrawWorldMapGraticule(int x, int y, int width, int height);
// Into the current draw window: the sea over (0, 0, width, viewHeight), then the halves
// placed by PlaceWorldMapHalves (which updates the offsets), loading them when needed.
void DrawWorldMapHalves(WorldMapHalves* halves, int width, int viewHeight, int* offsetX, int* offsetY);
