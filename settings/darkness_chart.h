#pragma once
// The yearly darkness chart drawn on the current target (the Twilight form): one pixel
// column per day from the first day of a month over a year (portrait) or two (a screen
// wider than the design), the hours of the night from 13:00 at the top to 13:00 of the
// next day at the bottom, the Sun's set-to-rise spans below -1, -6 and -18 degrees as
// nested bands, and an object's set, rise and transit curves over them.

// Time modes of the chart: the site's standard time, the same with a summer hour, UT.
inline constexpr int kDarknessLocalTime = 0;
inline constexpr int kDarknessDaylightTime = 1;
inline constexpr int kDarknessUniversalTime = 2;
// The catalog code of comets and asteroids, whose place is worked out for each day.
inline constexpr int kDarknessCometCatalog = 12;

// Days across: 720 when the screen is wider than 240 x the horizontal scale, else 380.
int DarknessChartDays();
// The chart's geometry on the current screen.
struct DarknessChartGeometry {
    float pixelsPerHour;
    float pixelsPerDay;
    int y0;    // the y of 00:00 of the evening's day (13:00 lies at y0 + 13 x pixelsPerHour)
    int x0;    // the first column
    int days;
};
DarknessChartGeometry GetDarknessChartGeometry();

// Draws the chart for the current site. ra < 0: no object, the bands alone. bodyIndex >= 0:
// a planet (`BodyIndex`) placed day by day; catalog kDarknessCometCatalog: the comet or
// asteroid `number` placed day by day (the observing date is set to each day for the
// computation and put back); any other object stays at ra, dec. Stores the pixels per day
// for the date cursor. A held navigation key stops the drawing.
void DrawYearDarknessChart(const char* name, int catalog, int number, double ra, double dec, int bodyIndex, int year,
                           int month, int timeMode);
