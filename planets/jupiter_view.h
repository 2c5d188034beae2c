#pragma once
// The four Galilean satellites with their shadows and phenomena, and the Jupiter view that
// draws them around the disc with the Great Red Spot at its current rotation phase. The
// events list calls DrawJupiter with drawing off to read the phenomena at any instant.

inline constexpr int kGalileanCount = 4;
extern const char kGalileanNames[kGalileanCount][10];

// Phenomenon codes shared by the Jupiter and Saturn satellites and the events list.
enum SatellitePhenomenon : int {
    kNoPhenomenon = 0,
    kTransit = 1,
    kTransitAndShadow = 2,
    kShadowOnly = 3,
    kEclipse = 4,
    kOccultation = 5,
};

// The last computed instant, also when drawing was off: i + 1 when satellite i is shown in
// front of the planet's plane of sky, -(i + 1) behind, 0 when hidden (eclipsed or occulted);
// shadow flag i + 1 when its shadow falls on the disc, else 0.
extern int jupiterMoonFlags[kGalileanCount];
extern int jupiterShadowFlags[kGalileanCount];

// Positions in Jupiter equatorial radii, X positive west and Y positive north in Jupiter's
// equatorial frame, every Y already stretched by the flattening 1.071374: the satellite, its
// shadow on the disc and the satellite seen from the Sun, and the corrected angle u
// (radians, [0, 2 pi)) along the orbit from the far side of the planet.
struct GalileanPositions {
    double x[kGalileanCount], y[kGalileanCount];
    double shadowX[kGalileanCount], shadowY[kGalileanCount];
    double sunX[kGalileanCount], sunY[kGalileanCount];
    double u[kGalileanCount];
};

// The low-accuracy theory for d days of universal time from J2000.0.
void ComputeGalileanSatellites(double d, GalileanPositions* out);

// Phenomenon codes and the two flag sets of one instant.
void ClassifyGalileanPhenomena(const GalileanPositions& positions, int codes[kGalileanCount],
                               int moonFlags[kGalileanCount], int shadowFlags[kGalileanCount]);

// The disc strip cell 0..28 showing the Red Spot `hoursSinceTransit` hours after the day's
// first transit (any value: folded by whole rotations); mirrored for xSign -1.
int RedSpotCell(double hoursSinceTransit, int xSign);

// Computes the satellites for a local date and time; per satellite writes outX = -xSign X,
// outY = ySign Y and the phenomenon code into the arrays that are given (each may be null),
// sets jupiterMoonFlags and jupiterShadowFlags, and with `draw` draws the view into the
// current draw window. Returns 1.
int DrawJupiter(int viewWidth, int top, int year, int month, int day, int hour, int minute, double* outX,
                double* outY, int* outCodes, int draw, int xSign, int ySign);

// Draws cell `frame` of the disc strip with its top-left corner at (x, y), loading the strip
// for the view's zoom mirrored by the signs when the cached one does not match. Returns 1,
// also when the strip cannot be made (nothing is then drawn).
int DrawJupiterDisc(double screenFactor, int frame, int x, int y, int xSign, int ySign);

// The close function of the planet view form: gives back the star style, frees the chart's
// saved bitmap, both sprite slots and the globe kit's angle strip.
void ClosePlanetView();
