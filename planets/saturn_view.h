#pragma once
// The Saturn view: the tilt of the rings seen from the Earth and Enceladus, Tethys, Dione,
// Rhea and Titan on circular orbits in the ring plane, drawn as the satellites view or the
// rings view, or computed only (mode 0) for the time strips.
#include "platform/types.h"

inline constexpr int kSaturnViewMoons = 5;

// The drawing modes of DrawSaturn.
enum SaturnViewMode : int { kSaturnCompute = 0, kSaturnSatellites = 2, kSaturnRings = 4 };

// The ring tilt B (degrees, positive when the Earth is north of the ring plane) and the
// satellites' X, Y (Saturn radii along the ring plane's axes, X positive east, Y positive
// north) and codes (0, 1 in front
// of the disc, 5 behind it) for a Julian day of terrestrial time.
struct SaturnAspect {
    double tilt;
    double x[kSaturnViewMoons], y[kSaturnViewMoons];
    int codes[kSaturnViewMoons];
};
void ComputeSaturnAspect(double jde, SaturnAspect* out);

// The ring strip cell 0..9 for a tilt in degrees.
int SaturnRingCell(double tiltDegrees);
// The strip row: 0 the north face, 1 the south face; flipped for ySign -1.
int SaturnRingRow(double tiltDegrees, int ySign);

// Computes (modes 0 and 2) the satellites' pixel offsets from the centre of the rectangle
// and their codes for a local date and time, and draws the satellites view (mode 2) or the
// rings view (mode 4) into the current draw window. Any other mode computes no satellite
// and puts the ring width in outX. `colours` gives the satellites' colours.
void DrawSaturn(int year, int month, int day, int hour, int minute, int x, int y, int width, int height,
                double outX[kSaturnViewMoons], double outY[kSaturnViewMoons], int outCodes[kSaturnViewMoons],
                int mode, const platform::Color colours[kSaturnViewMoons], int xSign, int ySign);
