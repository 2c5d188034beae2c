#pragma once
// The small angle symbols of the map views: a strip of 24 frames of 22 x 20 pixels, frame
// n standing for the angles 15n to 15n + 14 degrees.

inline constexpr int kAngleIconStrip = 6014;
inline constexpr int kAngleIconWidth = 22;
inline constexpr int kAngleIconHeight = 20;
inline constexpr int kAngleIconFrames = 24;

// The frame of an angle in whole degrees (any value, reduced into 0 to 359).
int AngleIconFrame(int degrees);
// Copies the frame of the angle to (x, y) of the current draw window; the strip is loaded
// on first use and kept. 0 when the strip cannot be loaded.
int DrawAngleIcon(int x, int y, int degrees);
// Releases the strip; harmless when it is not loaded.
void FreeFeatureBitmap();
