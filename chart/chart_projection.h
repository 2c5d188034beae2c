#pragma once
// The chart's plane (chart modes 0 and 1). Every star and selection record is projected
// once per time step into a fixed plane of 8.24 fixed-point values (1.0 = 2^24); zooming
// and shifting only move the window onto the plane, so a redraw after a shift or a zoom is
// integer arithmetic.
//
// A plane point is (p, q): p towards the top of the chart and q towards the left at
// rotation 0. In the sky map (mode 0) the projection is stereographic about the zenith at
// (0, 0), the horizon being the circle of radius 1.0; in the horizon view (mode 1) q is the
// azimuth and p the altitude, both in units of 64 degrees.
//
// A plane point falls on the pixel (GetChartMetrics: origin cx, cy, scales sx, sy in 16.16)
//   x = cx - ((q * sx) >> 24 >> 10),  y = cy - ((p * sy) >> 24 >> 10).
//
// Angles in fixed point are 8.24 radians (a turn is 105414356); right ascensions in hours
// and declinations, azimuths and altitudes in degrees where they are floats.
#include <cstdint>

struct SelectionRecord;

// The site and rotation terms of the projection, set by SetProjectionCenter.
struct ProjectionCenter {
    std::int32_t sinLatitude;   // 8.24
    std::int32_t cosLatitude;
    float cosRotation;
    float sinRotation;
    std::int32_t cosRotationFixed;
    std::int32_t sinRotationFixed;
};
extern ProjectionCenter projectionCenter;

// Degrees and hours to 8.24 radians (doubles), and the integer step of a whole degree.
inline constexpr double kFixedPerUnit = 16777216.0;
inline constexpr double kUnitPerFixed = 1.0 / 16777216.0;
inline constexpr double kDegreesToFixedRadians = 292817.658518273;
inline constexpr double kHoursToFixedRadians = 4392264.877774095;
inline constexpr std::int32_t kFixedPerWholeDegree = 292817;
// The horizon view's scale: 1/64 plane unit per degree, 0.8952465548 per radian.
inline constexpr double kHorizonPlanePerRadian = 0.8952465548;
inline constexpr std::int32_t kHorizonPlanePerRadianFixed = 15019745;

// Takes the site's latitude (the current site) and the chart's rotation angle.
void SetProjectionCenter(int rotationDegrees);
// The rotation's float cosine and sine.
void GetProjectionRotation(float* cosine, float* sine);

// The chart's catalog frame. Catalog places (stars, deep-sky objects, lines) are of
// J2000.0; the sky turns about the pole of date, so they are precessed to the mean equator
// of this Julian day as they are projected. The rotation is folded into the projection's
// own, so a point costs what it did without it. 0 (the start): no precession. The chart's
// clock sets it with the sidereal time.
void SetChartPrecessionEpoch(double jd);
double GetChartPrecessionEpoch();
// J2000.0 to the chart's date and back (hours, degrees); unchanged without an epoch.
void PrecessToChartDate(double* ra, double* dec);
void PrecessFromChartDate(double* ra, double* dec);

// The fixed-point projection of the chart: local sidereal time, right ascension and
// declination as 8.24 radians. Returns 1 and writes (p, q) for a point on or above the
// horizon; 0 below it, leaving p and q unwritten. The place is of J2000.0 (precessed to the
// chart's date); the OfDate form takes places already of date (the solar-system bodies,
// the mount's position).
int ProjectEquatorialPoint(std::int32_t lst, std::int32_t ra, std::int32_t dec, std::int32_t* p, std::int32_t* q);
int ProjectEquatorialPointOfDate(std::int32_t lst, std::int32_t ra, std::int32_t dec, std::int32_t* p,
                                 std::int32_t* q);
// The same in floating point (sidereal time and right ascension in hours, declination in
// degrees).
int ProjectHorizontalPoint(float lst, float ra, float dec, std::int32_t* p, std::int32_t* q);
int ProjectHorizontalPointOfDate(float lst, float ra, float dec, std::int32_t* p, std::int32_t* q);
// A selection record's place by the chart's projection setting, of date for the bodies.
int ProjectRecordPlace(const SelectionRecord& record, std::int32_t* p, std::int32_t* q);

// The plane point's pixel by the chart's metrics.
void PlaneToPixel(std::int32_t p, std::int32_t q, std::int32_t* x, std::int32_t* y);

// A horizontal position (degrees) straight to chart pixels. Points below the horizon are
// not refused. Returns 1.
int AltAzToPixel(float azimuth, float altitude, std::int32_t* x, std::int32_t* y);
// Inverses for taps and pickers: layout units (multiplied by the dpi factor) to azimuth
// (0..360) and altitude in degrees; device pixels to right ascension (0..24 hours) and
// declination in degrees at the chart's sidereal time, in the catalog frame (J2000.0).
void PixelToAltAz(int x, int y, float* azimuth, float* altitude);
void PixelToSky(int x, int y, float* ra, float* dec);

// Turns every projected star and selection point by the angle (degrees) in place and
// refreshes their pixels; empties the chart's star and object buffers. The caller then
// takes the new angle with SetProjectionCenter.
void RotateChartTables(int degrees);

// Projects what is not yet projected: the selection records when *selectionDone is 0 (then
// the object popup is rebuilt), the star table when *starsDone is 0, each with a busy step
// every 100 records, setting the flag to 1 and *redrawFlag to 0. The tables use the
// fixed-point projection unless the table-projection setting asks for floating point.
// Pixels are filled later by the layers.
void ProjectChartTables(float lst, int* selectionDone, int* starsDone, int* redrawFlag);

// Centres the chart on a position (hours, degrees): in the sky-view modes as the turn angle
// atan2(x, y) and altitude of the sky matrix, in modes 0 and 1 as given; frees the
// save-unders and leaves no popup row current.
void CenterChartOn(double ra, double dec);
