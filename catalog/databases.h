#pragma once
// The catalog set: the databases opened at start-up and closed at exit, each held in one
// global RecordFilePtr (null while closed); the catalog table with each catalog's record
// range in the object file; the getters by record index; and the fixed observing lists
// (Messier, Caldwell, Herschel 400, 110 Best of NGC).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "catalog/record_file.h"
#include "catalog/records.h"

// Creator codes: four ASCII characters read as one little-endian u32.
inline constexpr std::uint32_t kCreatorObjects = 0x706c3030;
inline constexpr std::uint32_t kCreatorDefaultStars = 0x706c3031;
inline constexpr std::uint32_t kCreatorMoon = 0x706c3038;
inline constexpr std::uint32_t kCreatorMars = 0x706c3039;
inline constexpr std::uint32_t kCreatorDescriptions = 0x706c3130;
inline constexpr std::uint32_t kCreatorComets = 0x706c3131;
inline constexpr std::uint32_t kCreatorSatellites = 0x706c3132;
inline constexpr std::uint32_t kCreatorUserObjects = 0x706c3133;
inline constexpr std::uint32_t kCreatorCameraLog = 0x706c3330;
inline constexpr std::uint32_t kCreatorTychoIndex = 0x706c3630;
inline constexpr std::uint32_t kCreatorHipIndex = 0x706c3631;
inline constexpr std::uint32_t kCreatorEyepieces = 0x706c3632;
inline constexpr std::uint32_t kCreatorLocations = 0x706c3633;
inline constexpr std::uint32_t kCreatorConstellationLines = 0x706c3634;
inline constexpr std::uint32_t kCreatorBrightStars = 0x706c3635;
inline constexpr std::uint32_t kCreatorHrIndex = 0x706c3636;
inline constexpr std::uint32_t kCreatorCrossReferences = 0x706c3830;
inline constexpr std::uint32_t kCreatorObjectIndex = 0x706c3930;

// Header versions the program requires.
inline constexpr std::uint32_t kObjectFileVersion = 26;
inline constexpr std::uint32_t kMoonFileVersion = 24;

// Folders and file names.
inline constexpr const char* kDataFolder = "data\\";
inline constexpr const char* kUserCatalogFolder = "usercatalogs\\";
inline constexpr const char* kDefaultStarsFile = "velkarion_default_stars.ppc";
inline constexpr const char* kObjects18kFile = "velkarion_obj_18k.ppc";
inline constexpr const char* kObjects1kFile = "velkarion_obj_1k.ppc";
inline constexpr const char* kMoonFile = "velkarion_moon.ppc";
inline constexpr const char* kMarsFile = "velkarion_mars.ppc";
inline constexpr const char* kDescriptionsFile = "velkarion_obj_18k_desc.ppc";
inline constexpr const char* kCometFile = "velkarion_comet.ppc";
inline constexpr const char* kSatelliteFile = "velkarion_satellites.ppc";
inline constexpr const char* kUserObjectFile = "velkarion_common_objects.ppc";
inline constexpr const char* kObjectIndexFile = "velkarion_obj_1k_idx.ppc";
inline constexpr const char* kCrossReferenceFile = "velkarion_obj_cross_ref.ppc";
inline constexpr const char* kBrightStarFile = "velkarion_brightstar.ppc";
inline constexpr const char* kConstellationFile = "velkarion_constellation.ppc";
inline constexpr const char* kTychoIndexFile = "velkarion_tycho_idx.ppc";
inline constexpr const char* kHipIndexFile = "velkarion_hip_110k_idx.ppc";
inline constexpr const char* kHrIndexFile = "velkarion_hr_idx.ppc";
inline constexpr const char* kEyepieceFile = "velkarion_eyepiece.ppc";
inline constexpr const char* kLocationFile = "velkarion_location.ppc";
inline constexpr const char* kCameraLogFile = "velkarion_camlog.ppc";

// The databases of the set. The user-object file is opened at start-up only to make its
// writable copy and closed again.
extern RecordFilePtr starDb;
extern RecordFilePtr objectDb;
extern RecordFilePtr moonDb;
extern RecordFilePtr marsDb;
extern RecordFilePtr descriptionDb;
extern RecordFilePtr cometDb;
extern RecordFilePtr satelliteDb;
extern RecordFilePtr userObjectDb;
extern RecordFilePtr objectIndexDb;
extern RecordFilePtr crossReferenceDb;
// The object index file name (in data\).
extern std::string objectIndexFileName;

// ---------------------------------------------------------------------------------------
// Catalog table

inline constexpr int kCatalogCount = 68;
// First index of a catalog with no records in the object file.
inline constexpr std::int32_t kCatalogAbsent = 50000;

// Catalog codes with a meaning of their own. Codes are stored in every object record, list
// file and selection record, so they never change.
inline constexpr int kCatalogNone = 0;
inline constexpr int kCatalogCaldwell = 9;
inline constexpr int kCatalogComet = 12;
inline constexpr int kCatalogConstellation = 13;
inline constexpr int kCatalogHerschel = 25;
inline constexpr int kCatalogHipparcos = 26;
inline constexpr int kCatalogHr = 28;
inline constexpr int kCatalogIc = 29;
inline constexpr int kCatalogMelotte = 39;
inline constexpr int kCatalogMessier = 40;
inline constexpr int kCatalogMeteor = 41;
inline constexpr int kCatalogNgc = 42;
inline constexpr int kCatalogPlanet = 45;
inline constexpr int kCatalogBestNgc = 49;
inline constexpr int kCatalogSao = 51;
inline constexpr int kCatalogSharpless = 52;
inline constexpr int kCatalogBrightStar = 54;
inline constexpr int kCatalogTycho = 60;
inline constexpr int kCatalogUgc = 61;
inline constexpr int kCatalogUser = 63;

struct CatalogEntry {
    char prefix[13];   // designation prefix; six blanks for catalogs without designations
    char name[21];
    std::int32_t first;  // first object record of the catalog, kCatalogAbsent when none
    std::int32_t last;   // one past its last record
};

// Indexed by catalog code. The record ranges are found in the object file each time the
// set opens (the file is sorted by catalog code, then number).
extern CatalogEntry CatalogTable[kCatalogCount];

// ---------------------------------------------------------------------------------------
// The set

// Opens the set when it is not open, or closes and reopens it when `reopen` is nonzero;
// marks it open. Returns 1.
int OpenCatalogDatabases(int reopen);
// Opens every database of the set and reports missing ones: 0, or -1 when the star, the
// object or the Moon file cannot be opened.
int OpenAllCatalogDatabases();
// Closes every database of the set and sets the stellar level back to none.
void CloseCatalogDatabases();
// Closes the user-object file if open. Returns 0.
int CloseUserObjectDb();
// Closes and reopens the object index file named in objectIndexFileName. Nonzero when open.
int OpenObjectIndex();

// ---------------------------------------------------------------------------------------
// Getters by record index: 1 after copying, 0 on failure (with the messages given).

// "Object database isn't open!"; "Could not retrieve object record!". Clears out->name[0].
int GetObjectRecord(int n, ObjectRef* out);
int GetUserObjectCount();
// "User Object database isn't open!"; n outside the records gives 0 silently; "Could not
// retrieve user object record!". An empty name reads as prefix + number ("NGC224").
int GetUserObject(int n, ObjectRef* out);
// Writes the object in the user-object layout over record n, or appends it for 0xFFFF.
int WriteUserObject(int n, const ObjectRef& object);
int DeleteUserObject(int n);
int DeleteSatellite(int n);
// Records of the satellite database; 0 when it is closed.
int GetSatelliteCount();
// Writes the record over satellite n, or appends it for kAppendRecord.
int WriteSatellite(int n, const SatelliteRecord& record);
// Appends `text` cut to 71 characters and a newline to out; returns the characters added.
int FormatSatelliteLine(std::string& out, const char* text);
// 0 silently when closed; "GetCometData: Could not retrieve comet record! %d".
int GetCometData(int n, CometRecord* out);
// Records of the comet database; 0 when it is closed.
int GetCometCount();
// Writes the record over comet n, or appends it for kAppendRecord; 0 when closed or failed.
int WriteComet(int n, const CometRecord& record);
// Removes comet n (later records move down); 0 when closed or failed.
int DeleteComet(int n);
// Replaces every record of the comet database (the user's copy) in one write, then opens it
// again. 0, with a message naming the file, when it is closed, read-only or not written.
int ReplaceAllComets(const std::vector<CometRecord>& comets);
// "Satellite database isn't open!"; "Could not retrieve satellite record!".
int GetSatelliteData(int n, SatelliteRecord* out);
// Half the Moon file's record count (each feature is there twice); 0 when closed or when
// the file holds more than 1000 records.
int GetMoonFeatureCount();
// n outside 0..1794 gives 0 silently; "Moon Database isn't open!"; "Could not retrieve
// moon record!".
int GetMoonFeature(int n, MoonFeatureRecord* out);
int GetMarsFeatureCount();
// "Mars Database isn't open!"; n outside the records gives 0 silently; "Could not
// retrieve mars record!".
int GetMarsFeature(int n, MarsFeatureRecord* out);
// The first Mars record with that kind (feature id) and the number of consecutive records
// carrying it; -1 when no record has it (first 0, count the number of Mars records).
int FindMarsFeatureRun(int kind, int* first, int* count);

// The selectable catalogs: "Caldwell" 9, "Comet&Asteroid" 12, "Constellation" 13,
// "Herschel" 25, "Messier" 40, "Planet" 45, "110 Best of NGC" 49, "Stars (Brighest)" 54,
// and "User catalog" 63 when the user-object file holds a record. Writes as many as the
// spans hold and returns the number of catalogs (8 or 9).
inline constexpr int kMaxCatalogListEntries = 9;
int GetCatalogList(std::span<const char*> names, std::span<int> codes);

// ---------------------------------------------------------------------------------------
// Locations

// LocationRecord, 64 bytes, of "velkarion_location.ppc", sorted by country, then town:
//   0 char[21] country name   21 char[3] country code (ISO, two letters)   24 char[23] town
//  47 unused                 48 f32 latitude, degrees north   52 f32 longitude, degrees EAST
//  56 i16 time-zone offset, minutes (local standard time minus UT)   58..63 zero
inline constexpr int kLocationRecordSize = 64;
struct LocationRecord {
    char country[22] = {};
    char countryCode[4] = {};
    char town[24] = {};
    float latitude = 0;
    float longitude = 0;
    std::int16_t zoneMinutes = 0;
};
void DecodeLocationRecord(const std::uint8_t* bytes, LocationRecord& out);
void EncodeLocationRecord(const LocationRecord& rec, std::uint8_t* bytes);

extern RecordFilePtr locationDb;
// Opens the location database (the writable copy), reads record `index` and closes it
// again; the longitude comes out positive WEST, as the site keeps it. 1 or 0.
int GetLocationRecord(int index, LocationRecord* out);

// ---------------------------------------------------------------------------------------
// Observing lists: position n of the list -> the object record of that object. 0 without
// a message for a position outside the list or an object missing from the object file.

inline constexpr int kMessierCount = 110;
inline constexpr int kCaldwellCount = 109;
inline constexpr int kHerschelCount = 400;
inline constexpr int kBestNgcCount = 110;

int GetMessierObject(int n, ObjectRef* out);
int GetCaldwellObject(int n, ObjectRef* out);
int GetHerschelObject(int n, ObjectRef* out);
int GetBestNgcObject(int n, ObjectRef* out);
