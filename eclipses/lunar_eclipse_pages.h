#pragma once
// The pages of a lunar eclipse in the eclipse form: the Info page (the quantities, the
// contacts and the Moon's altitude and azimuth at each contact for the typed place), the
// Path page (the contacts and the visibility map over the small world map) and the Diagram
// page (the Moon crossing the penumbra and the umbra). Each draws into the current draw
// target and keeps nothing between calls. Their texts go through PageString
// (eclipses/eclipse_page_text.h).
//
// Longitudes are degrees positive WEST; times UT.
#include "astro/lunar_phases.h"

struct EclipseEntry;

// The thirteen quantities of the Full Moon of the entry (astro/lunar_phases.h): the phase
// routine from the entry's date less 15 days. A contact that does not occur holds NaN.
// Returns 1, or 0 (every quantity NaN) when no eclipse is found there.
int LunarEclipseQuantities(const EclipseEntry& entry, double quantities[kLunarCircumstanceCount]);
// Whether a contact (P1 .. P4 slot) of the quantities takes place.
inline bool LunarContactOccurs(const double* quantities, int slot) { return quantities[slot] > 0.0; }

// The Moon's geocentric altitude and azimuth (degrees, azimuth from north through east) at
// a UT Julian day for a place.
void LunarAltitudeAzimuth(double jd, double longitudeWest, double latitude, double* altitude, double* azimuth);

// The point with the Moon in the zenith at a UT instant: map longitude 0 .. 360 from 180
// degrees west eastward, and latitude.
void SubLunarPoint(int year, int month, int day, int hour, int minute, int second, double* mapLongitude,
                   double* latitude);
// The rows (one per column) of the line on which the Moon stands on the horizon at the UT
// Julian day, over a map of `width` x `height` pixels at (mapX, mapY): longitude 0 .. 360
// (from 180 degrees west) across the width, latitude +90 .. -90 down the height.
void LunarHorizonRows(double jd, int mapY, int width, int height, int* rows);

// The visibility map: for each contact that occurs the horizon line with the contact's
// name, and the lunar eclipse icon at the sub-lunar point of greatest eclipse with "All
// Eclipse" / "Visible". Null quantities are computed. Returns the number of lines drawn.
int DrawLunarEclipseDiagram(const EclipseEntry* list, const double* quantities, int row, int mapX, int mapY,
                            int mapWidth, int mapHeight);
// The Path page: title, small world map, contact lines and the visibility map.
void DrawLunarContacts(const EclipseEntry* list, int row, int width, int height);
// The Diagram page: the penumbra and umbra discs, the ecliptic, the Moon at each contact,
// the contact list and the shadow radii (the place takes no part).
void DrawLunarEclipseTimes(const EclipseEntry* list, int row, double latitude, double longitude, int width,
                           int height);
// The Info page for the place (the site is moved there, zone 0, for the call and put back
// on every return).
void DrawLunarEclipseInfo(const EclipseEntry* list, int row, int width, int height, int hour, int minute, int second,
                          double longitude, double latitude);
