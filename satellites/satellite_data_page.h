#pragma once
// The Info view of the satellite form (where the satellite is over the world map, with its
// numbers and the facts of its orbit) and the export of the satellite database as text.

// Draws the page for a satellite; 1.
int DrawSatelliteDataPage(int satellite);
// Writes every record as its three lines into memo files of about 3.6 KB each and reports
// the count; 1.
int ExportSatellites();
// Minutes between two points of the ground track: 4 % of the period, at least one minute.
int GroundTrackStep(double periodMinutes);
// Map pixel of a sub-point (longitude west positive) on a map of width x height at left, top.
void SatelliteMapPoint(double longitudeWest, double latitude, int left, int top, int width, int height, int* x,
                       int* y);
