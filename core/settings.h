#pragma once
// The settings record and the current site, with their defaults, valid ranges and the
// small tables that turn a stored choice into a value.
//
// Every start sets them to their defaults, then takes the user's saved settings over them
// (catalog/settings_file.h). A stored choice is the row of the chosen item as its list
// shows it, and lists show the last added item first, so each choice value is that
// reversed row number.
#include <cstdint>

// ---------------------------------------------------------------------------------------
// Preferences: numbered 32-bit words (signed; words 37 and 39 hold 32-bit floats, words
// 154-155 one 64-bit float), then text fields and two 16-bit fields. Every reader addresses
// a word by its number, through the names below or directly.

inline constexpr int kPreferenceWords = 256;

struct Preferences {
    std::int32_t word[kPreferenceWords];
    char userCatalogFile[64];   // user-object database file name
    char cometUrl[128];         // comet elements
    char asteroidUrl[128];      // bright asteroid elements
    char iridiumUrl[128];       // Iridium satellite elements
    char satelliteUrl[128];     // visual satellite elements
    char dataUrl[128];          // base URL of the data service
    std::int16_t distanceUnit;  // "Dist Format": nonzero light years, 0 parsecs
    std::int16_t eqPlatformDelay;  // minutes
    // The five personal items of the last checklist page, for the run (not in the
    // settings file); empty at start.
    char checklistLabels[5][30];
};

extern Preferences preferences;

// Word numbers.
namespace pref {
inline constexpr int scopeDrive = 0;        // mount drive code, 0 none; 0..20
inline constexpr int scopePort = 1;         // serial port row of the mount; 0..9
inline constexpr int secondPort = 2;        // 0..9
inline constexpr int gpsPort = 3;           // serial port row of the GPS receiver; 0..9
inline constexpr int hourFormat = 5;        // hour display format
inline constexpr int degreeFormat = 6;      // degree display format
inline constexpr int alignMethod = 8;       // 0 two-star alignment, 1 external
inline constexpr int mountType = 9;         // 0 equatorial, 1 azimuth, 2 azimuth on a platform
inline constexpr int coordinateMode = 10;   // 0..3; 2 and more topocentric
inline constexpr int encoderStepsAz = 11;   // signed steps per turn; -32127..32127
inline constexpr int encoderStepsAlt = 12;
inline constexpr int apertureChoice = 13;   // row of the aperture table, or millimetres from 20
inline constexpr int focalRatioChoice = 14; // row of the focal ratio table, or ten times a ratio from 12
inline constexpr int timeStepChoice = 18;
inline constexpr int observerExperience = 19;  // 0 beginner .. 2 expert
inline constexpr int observerAge = 20;      // 0 "15" .. 8 ">95"
inline constexpr int observerVision = 21;   // 0 "2/10" .. 10 "12/10"
inline constexpr int horizonChoice = 22;    // 0..6
inline constexpr int timeUpdateMode = 23;   // 0 the observing time follows the device clock, 1 the user set it
inline constexpr int nightMode = 24;        // 0 day, 1..3 red night levels
inline constexpr int starColorMode = 25;    // 0 colour, 1 black and white: the chart's symbol and label sizes
inline constexpr int chartBackground = 26;
inline constexpr int lineColor = 27;
inline constexpr int starsShown = 28;       // 0..3
inline constexpr int chartProjection = 35;  // 0..1
inline constexpr int grsLongitude = 37;     // float, degrees
inline constexpr int reticleResolution = 38;
inline constexpr int deltaTUser = 39;       // float, seconds
inline constexpr int chartTapAction = 40;
inline constexpr int showObjNames = 41;
inline constexpr int hideGrid = 42;
inline constexpr int showTelrad = 43;       // 0..1
inline constexpr int showFovCcd = 44;
inline constexpr int showFovEyepiece = 45;
inline constexpr int eyepieceChoice = 46;   // 1-based eyepiece, 0 none; 0..400
inline constexpr int showStarsLegend = 47;  // 0..1
inline constexpr int cameraPreset = 48;
inline constexpr int sensorWidth = 49;      // hundredths of a millimetre; 0..20000
inline constexpr int sensorHeight = 50;
inline constexpr int pixelWidth = 51;       // hundredths of a micrometre; 0..10000
inline constexpr int pixelHeight = 52;
inline constexpr int ccdFocalLength = 53;   // millimetres
inline constexpr int starLimitChoice = 54;  // 54..64, by chart zoom level
inline constexpr int objectLimitChoice = 65;  // 65..75, by chart zoom level
inline constexpr int skyViewScrollFlip = 76;  // 0..2
inline constexpr int stellarCatalogChoice = 115;
inline constexpr int chartFontSize = 116;
inline constexpr int chartMode = 117;
inline constexpr int serialWriteDelay = 118;
inline constexpr int extraDisplayFlag = 119;  // a display flag no page shows; cleared by the display page
inline constexpr int showStarSymbols = 120;
inline constexpr int showConstNames = 121;
inline constexpr int showConstLines = 122;
inline constexpr int scrollMoreStars = 123;
inline constexpr int scrollMoreObjects = 124;
inline constexpr int chartPickFlag = 125;
inline constexpr int showAltAzGrid = 126;
inline constexpr int showEcliptic = 127;
inline constexpr int telradRadius = 128;    // 128..130, tenths of a degree
inline constexpr int showGrid = 131;
inline constexpr int starsAsPixel = 132;
inline constexpr int cameraPort = 133;      // 0..9
inline constexpr int savedYear = 134;       // 134..138: saved observing date, year 0 for none
inline constexpr int savedMonth = 135;
inline constexpr int savedDay = 136;
inline constexpr int savedHour = 137;
inline constexpr int savedMinute = 138;
inline constexpr int lastPushedForm = 139;  // last pushed id of the form history
inline constexpr int lastSatellite = 252;   // record index the satellite form showed last
inline constexpr int elementFileDate = 253; // 253..254: modification time (seconds, double) of the element file merged last
inline constexpr int chartFlip = 140;       // 140..150 by view, 0..3
inline constexpr int zoomViewIcon = 140;    // 140..149: the "View" of zoom levels 0..9 (the chart flips)
inline constexpr int chartZoom = 153;       // saved zoom level of the chart
inline constexpr int savedAlignment = 154;  // 154..155 Julian day (double), then the star blocks
inline constexpr int encoderOffsetAlt = 220;
inline constexpr int encoderOffsetAz = 221;
inline constexpr int hideToolBar = 235;
inline constexpr int skyViewPlain = 236;
inline constexpr int objDrilldown = 237;
inline constexpr int cursorMode = 238;      // 0..2
inline constexpr int hideInfoBar = 240;
inline constexpr int hideCompass = 241;
inline constexpr int connectionMode = 242;  // 0 upon need, 1 persistent
inline constexpr int constellationLineSet = 243;  // 0..1
inline constexpr int focalRatioCopy = 244;  // while nonzero, follows focalRatioChoice
inline constexpr int maxSelectedChoice = 245;  // "Max Selected items" row, 0 "25" .. 10 "500"
inline constexpr int deltaTFormula = 246;   // 0 "Chapront&Touze 1997", 1 "JPL Horizon"; shown only
}  // namespace pref

// Float and double words, read and written bit for bit.
float PreferenceFloat(int word);
void SetPreferenceFloat(int word, float value);
double PreferenceDouble(int firstWord);
void SetPreferenceDouble(int firstWord, double value);

// ---------------------------------------------------------------------------------------
// The current observing site. Longitude is positive west. Whoever sets the latitude sets
// its sine and cosine with it: the rise and set code and the quick Moon read those.

struct StoredSite {
    char name[12];
    float latitude;
    float longitude;
    std::int16_t siteClass;
    std::int16_t height;
    std::int16_t zoneMinutes;
    std::int16_t daylight;
};

struct ObserverLocation {
    char name[12];
    float latitude;          // degrees, north positive
    float longitude;         // degrees, west positive
    float sinLatitude;
    float cosLatitude;
    std::int16_t height;       // metres
    std::int16_t zoneMinutes;  // local time minus UT, daylight-saving hour included
    std::int16_t temperature;  // degrees Celsius
    std::int16_t pressure;     // millibar
    std::int16_t humidity;     // percent
    std::int16_t siteClass;    // sky class 0 "Bright town" to 4, the chart font size choice
    StoredSite storedSites[3];
    std::int16_t daylight;     // daylight-saving flag, 0..1
};

extern ObserverLocation observerLocation;

// Sets a site's latitude with its sine and cosine; SetSiteLatitude does it for the
// current site. Every writer of a latitude goes through here.
void SetLatitude(ObserverLocation& site, float latitude);
void SetSiteLatitude(float latitude);
// Moves the current site (longitude west positive, degrees) and its zone offset, nothing
// else.
void SetSiteCoordinates(double longitude, double latitude, std::int16_t zoneMinutes);
// A site record for a computation or a test: latitude north, longitude WEST, zone offset in
// minutes, height in metres, 10 degrees C and 1013 mbar; everything else zero.
ObserverLocation MakeSite(float latitude, float longitudeWest, int zoneMinutes, int height = 0);

// 1 at every start; the home form clears it when it has asked for the site.
extern int noSiteFlag;

// ---------------------------------------------------------------------------------------
// Operations

// Sets the site and every settings word to its default or back into its valid range:
// drive codes other than an encoder box become the default mount (5). Called once at
// start. Returns 1.
int SetDefaultSettings();

// Called after a preference page, a site or a two-star alignment is applied: stores the
// settings through the installed store, then runs the listener.
void AfterSettingsHook();
// What AfterSettingsHook stores the settings with (null, the default: nothing is stored).
// A running program installs the settings file's writer; tests and tools store nothing.
void SetSettingsStore(void (*store)());
// Brings saved settings back into their valid ranges: every word with a range, the drive
// code (0..20), the site and stored sites (a value out of range takes its default), the
// text fields' ends. Values in range are left as they are.
void BringSettingsIntoRange();
// What AfterSettingsHook also runs (null, the default: nothing). The program installs
// nothing; tests install a counter to see that a change of settings was announced.
void SetAfterSettingsListener(void (*listener)());

// Horizon altitude in degrees for the horizon choice: 0, 2, 4, 5, 6, 8, 10.
int GetHorizonAltitude();
// Chart font height for the site's class: 14, 19, 22, 24, 29.
int GetChartFontSize();
// Aperture in millimetres: the table row for choices 0..19, the stored value from 20 on.
int GetApertureMm();
// Focal length in millimetres: aperture times the table ratio for choices below 12, else
// aperture times the stored value / 10 (integer, truncated).
int GetFocalLengthMm();
// Star and object magnitude limits for a chart zoom level (levels above 9 use 9; a
// negative level gives 13.0 and 100.0; an object limit of 100.0 means no limit). Outputs
// may be null.
void GetMagnitudeLimits(int zoomLevel, float* starLimit, float* objectLimit);
// The choices of a zoom level's star or object limit list, in the order the list shows
// them: a magnitude, or one of the markers below (the observer's telescope or naked-eye
// limit, or no limit). GetMagnitudeLimits reads the same rows, so a list made from them
// offers what the chart applies. Levels above 9 use 9. Star rows: levels 4 and 5 share
// the list of starLimitChoice + 0, levels 6 to 9 have the words after it; levels 0 to 3
// have a fixed star limit and no rows (0).
inline constexpr float kLimitNone = 100.0f;
inline constexpr float kLimitScope = -1.0f;
inline constexpr float kLimitEyes = -2.0f;
inline constexpr int kMaxLimitRows = 8;
int ObjectLimitRows(int zoomLevel, float* rows);
int StarLimitRows(int zoomLevel, float* rows);
// Negates the offsets by the chart flip of the view (views above 9 use 9): 1 negates y,
// 2 x and y, 3 x. Null offsets are skipped.
void ApplyChartFlip(int view, int* x, int* y);

// True for the drive codes of push-to encoder boxes (1, 3, 4, 11, 12, 16, 22).
bool IsEncoderDriveCode(int drive);
