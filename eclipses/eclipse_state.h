#pragma once
// The one global state of the eclipse code: the instant under study, the apparent Sun and
// Moon for it, the nutation, the sidereal time, the point of the Earth under the shadow
// axis and the place the local circumstances are computed for. Valid for the whole run.
//
// Angles are radians unless a field says otherwise; longitudes are degrees positive WEST.
//
// The eclipse form keeps its own fields here too (the second part of the record): they
// live for the whole run, so a reopened form finds its list date, selection, place and
// time as the user left them.
#include <cstdint>

#include "eclipses/bessel_elements.h"
#include "eclipses/eclipse_list.h"
#include "eclipses/local_eclipse.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"
#include "shell/world_map.h"

// The body the topocentric correction works on: the last body computed (the Sun or the
// Moon) or the one a caller put there.
struct EclipseBody {
    double raHours = 0.0;      // right ascension, hours
    double declination = 0.0;  // radians
    double distance = 0.0;     // AU
};

// One instant of the shadow's track on the Map page.
inline constexpr int kTrackCapacity = 60;
inline constexpr int kTrackLevelRows = 10;  // magnitudes 0, 0.25, 0.5, 0.75, 0.99 on both sides
struct TrackRecord {
    double latitude = 0.0, longitude = 0.0;  // the point under the axis, degrees, west positive
    double hours = 0.0;                      // UT hours from 0h of the entry's date
    std::int32_t major = 0, minor = 0;       // umbra ellipse half-axes, km
    std::int32_t rows[kTrackLevelRows] = {};  // map rows (from the north pole) of the magnitude lines
    std::int32_t x = 0, y = 0;               // position in the map buffer at the last drawing
    std::int32_t angle = 0;                  // azimuth of the ellipse's long axis, degrees 0..180
    std::int32_t centralSeconds = 0;         // central duration on the axis, whole seconds
    std::int32_t hour = 0, minute = 0;       // clock time of the instant
};

struct EclipseState {
    // The instant.
    double eclipseT = 0.0;          // Julian centuries TT from J2000.0
    double clockHours = 0.0;        // UT clock time of the instant, decimal hours
    double dayNumber = 0.0;         // days from JD 2451545.0 to 0h UT of the date
    double minusDeltaTHours = 0.0;  // -Delta T, hours
    double siderealTime0 = 0.0;     // apparent sidereal time at 0h of the date less Delta T, hours
    double siderealTime = 0.0;      // apparent Greenwich sidereal time at the instant, hours (not reduced)

    // Nutation in longitude, and the mean obliquity plus the nutation in obliquity.
    double nutationLongitude = 0.0;
    double trueObliquity = 0.0;

    // The apparent Sun and Moon.
    double sunRA = 0.0;
    double sunRAHours = 0.0;
    double sunDec = 0.0;
    double sunDistance = 0.0;  // AU
    double moonRA = 0.0;
    double moonDec = 0.0;
    double moonDistance = 0.0;  // AU
    double moonParallax = 0.0;  // equatorial horizontal parallax

    // The working body: the last body computed, in hours, radians and AU.
    EclipseBody work;

    // 0 while the places are being computed, 1 once they are ready.
    int positionsReady = 1;

    // The point under the Sun-Moon line, or the place of the local circumstances.
    double axisLatitude = 0.0;   // geodetic, degrees
    double axisLongitude = 0.0;  // degrees west, [-180, 180)
    double axisAngle = 0.0;      // from the Moon's meridian, in the equatorial plane
    int axisHit = 0;             // 1 when the line meets the ellipsoid

    // Altitude and azimuth (from north through east) of the body the last topocentric
    // correction worked on.
    double bodyAltitude = 0.0;
    double bodyAzimuth = 0.0;

    // Twice the angular distance of the topocentric centres, from the last local overlap.
    double centreSeparation = 0.0;

    // The place recorded last (degrees), the start of the shadow's direction of motion.
    double previousLatitude = 0.0;
    double previousLongitude = 0.0;

    // ---- The eclipse form (2700) ----
    EclipseEntry* eclipseList = nullptr;  // built at the first refresh while empty; freed at closing
    int eclipseCount = 0;
    int page = 0;                         // 0 List, 1 Info, 2 Path, 3 Map, 4 Diagram
    int selectedRow = -3;                 // the row last computed; -1 makes the next selection compute
    int mapCentreFlag = -1;               // -1: the map page centres on the place next time
    int listYear = -1, listMonth = 1, listDay = 1;  // the list starts there; -1 until the first opening
    int timeHour = 0, timeMinute = 0, timeSecond = 0;  // UT of the Time field
    double typedLatitude = 0.0, typedLongitude = 0.0;  // degrees, west positive
    double placeLatitude = -500.0, placeLongitude = 0.0;  // -500: no place
    double centralLatitude = 0.0, centralLongitude = 0.0;  // the central point at greatest eclipse
    double centralDuration = 0.0;         // seconds
    int centralLine = 0;                  // 1 when the selected solar eclipse has a central line
    int globeLatitude = 0, globeLongitude = 0;  // the Diagram globe's view, whole degrees
    double localMaximumHours = 0.0;       // UT of the local maximum at the typed place
    double partialStartHours = -1.0;      // -1 while the local contacts are stale
    LocalEclipse local;                   // the local circumstances at the typed place
    BesselElements elements;              // fitted for the selected solar eclipse
    int formWidth = 0, formHeight = 0;    // screen pixels at the last opening
    int mapRect[4] = {0, 0, 0, 0};        // x, y, width, height of the map area
    int penX = 0, penY = 0, penDragged = 0;
    int mapStep = 2;                      // 1 .. GetDpiFactor
    // The Map page: the track (allocated at its first drawing), the map's offsets in the
    // map buffer, the buffer (the form's size) that also serves to erase the tap box, and
    // the two halves of the world map.
    TrackRecord* trackTable = nullptr;
    int trackCount = 0;                   // 0 when the selection changes
    int mapOffsetX = 0, mapOffsetY = 0;
    DrawWindow* mapOffscreen = nullptr;
    WorldMapHalves mapHalves;
    int globeDragged = 0;                 // the Diagram globe follows the stylus
    // The local contacts at the place, UT hours; -1 when they do not happen.
    double partialEndHours = -1.0, centralStartHours = -1.0, centralEndHours = -1.0;
    std::int32_t redrawFlag = 1;
    // The globe's disc colour: blue-grey by day, deep red once drawn in a night mode; and
    // the globe's second colour.
    ColourRecord diagramColor{0, 0x66, 0x66, 0x99};
    ColourRecord diagramSecondColor{0, 0, 0, 0};
};
extern EclipseState eclipseState;

// Where the Sun and Moon come from: 0 the long series, otherwise the five-point tables
// (which fall back on the series while they are empty). 1 at start.
extern int positionSource;
// -Delta T in seconds for the date of the instant.
extern double minusDeltaTSeconds;

// Sets the position source and forgets the nutation kept for the tables.
void SelectPositionSource(int source);
