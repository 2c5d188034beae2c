#pragma once
// The sky matrix of the sky views (chart modes 2 to 4 and the small views and finder charts
// of other forms). Catalog positions become unit vectors
//   e = (cos dec sin ra, cos dec cos ra, sin dec)
// that the matrix turns into the horizon frame of the site at an instant: x westward, y
// northward, z upward (the sine of the altitude); atan2(x, y) is then minus the azimuth.
// In the equatorial sky view (horizon flag 0) the vectors stay as they are.
//
// Every value here is 8.24 fixed point (1.0 = 2^24), angles in radians (a turn is
// 105414356). The matrix is kept with a cache key, so that a view redrawn within the same
// minute does not rebuild it.
#include <cstdint>

struct SelectionRecord;

struct ChartMatrix {
    std::int32_t horizon[9];   // H: true equator of date to the local horizon, row by row
    std::int32_t full[9];      // M = H (P N): J2000.0 catalog places to the local horizon
    std::int32_t piMinusLst;   // pi - local sidereal time, in 0..2 pi
    // The rows ProjectToChart uses, copied from M or from H.
    std::int32_t row0[3];
    std::int32_t row1[3];
    std::int32_t row2[3];
};
extern ChartMatrix chartMatrix;

// What the matrix was built for: the horizon flag, the instant to the minute and the site.
// A horizon flag of -1 marks the key invalid; the zone and the second are kept but not
// compared.
struct SkyCacheKey {
    int horizonFlag;
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int zoneMinutes;
    int second;
    float latitude;
    float longitude;
};
extern SkyCacheKey skyCacheKey;

// Builds H and M for a local date and time at the current site and makes M's rows active.
void BuildSkyMatrix(int year, int month, int day, int hour, int minute, int second);
// Make M's rows, or H's alone (for places already of date: the solar-system bodies), the
// active rows.
void SelectFullSkyMatrix();
void SelectHorizonOnlyMatrix();

// A place (8.24 radians) through the active rows (or unchanged while the key's horizon flag
// is 0) into (x, y, z); z is the sine of the altitude. Outputs may be null.
void ProjectToChart(std::int32_t ra, std::int32_t dec, std::int32_t* x, std::int32_t* y, std::int32_t* z);
// The two halves of ProjectToChart, for layers that keep a star's unit vector between
// redraws: the place's unit vector e (two sines and cosines, the costly part), and e turned
// through the active rows (or unchanged while the key's horizon flag is 0).
struct SkyVector {
    std::int32_t x;
    std::int32_t y;
    std::int32_t z;
};
SkyVector SkyUnitVector(std::int32_t ra, std::int32_t dec);
SkyVector TurnToChart(const SkyVector& e);

// Refreshes the chart colours; then, unless force is 0 and the flag, the date and time to
// the minute and the site equal the key, stores the flag, builds the matrix, projects the
// star table and stores the key. Returns 1 when it rebuilt, 0 on a cache hit.
int UpdateSkyForDate(int horizonFlag, int year, int month, int day, int hour, int minute, int second, int force);
// Marks the key invalid, so that the next UpdateSkyForDate rebuilds whatever the date and
// site.
void InvalidateSkyProjection();

// Loads the star table, steps the clock (forced) and projects every star into words 5, 6
// and 7.
void ProjectStarTable();
// Projects the records (x, y into words 9 and 10); records of catalog code 45 (bodies,
// already of date) through the horizon matrix alone. In chart modes 0 and 1 the chart's
// selection projection is invalidated first, since these words are its plane words there.
void ProjectObjects(SelectionRecord* records, int count);

// A sky view: the rectangle's origin (words 0 and 1), the centre pixel, the pixels per unit
// of the unit sphere each way, and the view's turn and tilt angles (8.24). The view looks
// at the point whose atan2(x, y) is the turn angle and whose z is the sine of the tilt.
struct SkyView {
    std::int32_t originX;
    std::int32_t originY;
    std::int32_t centreX;
    std::int32_t centreY;
    std::int32_t scaleX;
    std::int32_t scaleY;
    std::int32_t turn;
    std::int32_t tilt;
};

// The orthographic projection of a place onto the view. 1 with the pixel; 0 for a point on
// the far side.
int SkyViewProjectPoint(const SkyView& view, std::int32_t ra, std::int32_t dec, std::int32_t* x, std::int32_t* y);
// The same for many points of one drawing: the cosines and sines of the view's turn and tilt
// taken once, and a point already through TurnToChart.
struct SkyViewTrig {
    std::int32_t cosTurn;
    std::int32_t sinTurn;
    std::int32_t cosTilt;
    std::int32_t sinTilt;
};
SkyViewTrig MakeSkyViewTrig(const SkyView& view);
int SkyViewProjectVector(const SkyView& view, const SkyViewTrig& trig, const SkyVector& p, std::int32_t* x,
                         std::int32_t* y);
// A tap on the view to right ascension and declination (8.24): of date through the horizon
// frame while the key's horizon flag is set, else in the catalog frame. A tap outside the
// disc maps onto its rim. Returns 1; 0 for a view without a scale.
int ScreenToSky(const SkyView& view, int x, int y, std::int32_t* ra, std::int32_t* dec);
// A tap in the coordinates of the view's window (the view's centre lying at its origin
// plus its centre pixel) to azimuth (from north through east, 0..2 pi) and altitude.
// Returns 1; 0 for a view without a scale.
int SkyViewPixelToAltAz(const SkyView& view, int x, int y, std::int32_t* azimuth, std::int32_t* altitude);
