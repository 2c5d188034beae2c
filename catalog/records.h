#pragma once
// The records of the catalog databases, as plain in-memory structs, and their fixed file
// layouts. Decode* reads a record's bytes field by field (little-endian, offsets below);
// Encode* writes all of a record's bytes. Both follow one field table per layout in
// records.cpp. Text fields hold one byte more than their file width so that they are
// always NUL-terminated in memory (object names: 19 characters in 20 bytes).
#include <cstdint>

// ObjectRecord, 44 bytes, of the object databases (sorted by catalog code, then number):
//   0 u32 catalog code (row of CatalogTable)   4 u32 number within the catalog
//   8 i32 object type code (ObjectTypeTable)  12 i32 constellation number
//  16 f32 right ascension, hours, J2000.0     20 f32 declination, degrees, J2000.0
//  24 f32 magnitude                           28 f32 size a, arc minutes
//  32 f32 size b, arc minutes                 36 i16 flag value
//  38 i16 morphology code 0..296              40 f32 distance value
inline constexpr int kObjectRecordSize = 44;
struct ObjectRecord {
    std::uint32_t catalog = 0;
    std::uint32_t number = 0;
    std::int32_t type = 0;
    std::int32_t constellation = 0;
    float ra = 0;
    float dec = 0;
    float magnitude = 0;
    float sizeA = 0;
    float sizeB = 0;
    std::int16_t flag = 0;
    std::int16_t morphology = 0;
    float distance = 0;
};

// The reference to any object of any catalog: the object record, then a display name of
// at most 19 characters. As 64 bytes: the 44 record bytes, then char[20] at 44.
inline constexpr int kObjectRefSize = 64;
inline constexpr int kObjectNameSize = 20;
struct ObjectRef : ObjectRecord {
    char name[kObjectNameSize] = {};
};

// UserObjectRecord, 64 bytes, of the user-object databases: bytes 0..39 as in ObjectRecord
// (no distance), 40 char[20] name (NUL-terminated), 60..63 reserved (0).
inline constexpr int kUserObjectRecordSize = 64;

// CometRecord, 128 bytes, of "velkarion_comet.ppc":
//   0 u32 kind (13 comet, 18 minor planet)    4 char[44] name
//  48 f32 day of perihelion with fraction     52 f32 epoch Julian day
//  56 f32[8] work area (filled by the orbit code)
//  88 f32 perihelion distance q               92 f32 mean anomaly
//  96 f32 eccentricity                       100 f32 argument of perihelion
// 104 f32 ascending node                     108 f32 inclination (degrees, J2000.0)
// 112 f32 H or g                             116 f32 G or k
//     (k is the factor of log10 r in m = g + 5 log10 delta + k log10 r: a list's slope n of
//     m = H + 5 log10 delta + 2.5 n log10 r is stored as k = 2.5 n)
// 120 u16 reserved   122 i16 year   124 i16 month   126 u16 reserved
inline constexpr int kCometRecordSize = 128;
struct CometRecord {
    std::uint32_t kind = 0;
    char name[45] = {};
    float perihelionDay = 0;
    float epochJd = 0;
    float work[8] = {};
    float perihelionDistance = 0;
    float meanAnomaly = 0;
    float eccentricity = 0;
    float argPerihelion = 0;
    float ascendingNode = 0;
    float inclination = 0;
    float magnitude1 = 0;  // H, or g for comets
    float magnitude2 = 0;  // G, or k for comets
    std::uint16_t reserved120 = 0;
    std::int16_t year = 0;
    std::int16_t month = 0;
    std::uint16_t reserved126 = 0;
};

// SatelliteRecord, 213 bytes: 0 char[71] name, 71 char[71] element line 1, 142 char[71]
// element line 2.
inline constexpr int kSatelliteRecordSize = 213;
inline constexpr int kSatelliteTextSize = 71;
struct SatelliteRecord {
    char name[kSatelliteTextSize + 1] = {};
    char line1[kSatelliteTextSize + 1] = {};
    char line2[kSatelliteTextSize + 1] = {};
};

// MoonFeatureRecord, 44 bytes: 0 i16 kind, 2 i16 column, 4 i16 row, 6 i16 radius (pixels
// of the 960-pixel picture), 8 f32 latitude, 12 f32 longitude, 16 f32 diameter km,
// 20 char[24] name.
inline constexpr int kMoonFeatureRecordSize = 44;
struct MoonFeatureRecord {
    std::int16_t kind = 0;
    std::int16_t column = 0;
    std::int16_t row = 0;
    std::int16_t radius = 0;
    float latitude = 0;
    float longitude = 0;
    float diameter = 0;
    char name[25] = {};
};

// MarsFeatureRecord, 36 bytes: 0 char[20] name, 20 i16 kind (equal for the consecutive
// records of one feature), 22 i16 x, 24 i16 y (pixels of the 640 x 320 map), 26 i16 size
// km, 28 f32 latitude (north positive), 32 f32 longitude (east positive).
inline constexpr int kMarsFeatureRecordSize = 36;
struct MarsFeatureRecord {
    char name[21] = {};
    std::int16_t kind = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t sizeKm = 0;
    float latitude = 0;
    float longitude = 0;
};

// StarRecord, 44 bytes = 11 little-endian words, of "velkarion_default_stars.ppc": star
// number in halfword 0, f32 right ascension (hours) in word 1, f32 declination (degrees)
// in word 2, further fields for the chart (magnitude in sixteenths in halfword 6, colour
// class in halfword 7, name bytes 16..18), word 10 free. In brightStarsList words 1 and 2
// hold 8.24 fixed-point angles and words 5..10 the chart's projection.
inline constexpr int kStarRecordSize = 44;
struct StarRecord {
    std::int32_t word[11] = {};

    std::int16_t Half(int n) const { return static_cast<std::int16_t>(static_cast<std::uint32_t>(word[n / 2]) >> (16 * (n % 2))); }
    std::uint8_t Byte(int n) const { return static_cast<std::uint8_t>(static_cast<std::uint32_t>(word[n / 4]) >> (8 * (n % 4))); }
    std::int16_t StarNumber() const { return Half(0); }
    float FloatWord(int n) const;
    void SetFloatWord(int n, float v);
};

// BrightStarRecord, 20 bytes, of "velkarion_brightstar.ppc": 0 char[18] name, 18 i16 the
// star's position in brightStarsList.
inline constexpr int kBrightStarRecordSize = 20;
inline constexpr int kBrightStarNameSize = 18;
struct BrightStarRecord {
    char name[kBrightStarNameSize + 1] = {};
    std::int16_t starIndex = 0;
};

// Constellation line file record, 8 bytes: 0 i16 line set (0 or 1), then three i16 values
// of one line entry; values 2 and 3 are the indexes of the two end stars in brightStarsList.
inline constexpr int kConstellationLineRecordSize = 8;
struct ConstellationLineRecord {
    std::int16_t set = 0;
    std::int16_t value[3] = {};
};

// ObjectIndexEntry, 20 bytes; the object index file holds zone records of 15 entries,
// sorted by declination: 0 u32 number, 4 i16 catalog code, 6 i16 selection number,
// 8 i32 right ascension, 12 i32 declination (8.24 fixed-point angles), 16 i16 type code,
// 18 i16 limit value (magnitude x 10).
inline constexpr int kObjectIndexEntrySize = 20;
inline constexpr int kObjectIndexEntriesPerRecord = 15;
struct ObjectIndexEntry {
    std::uint32_t number = 0;
    std::int16_t catalog = 0;
    std::int16_t selectionNumber = 0;
    std::int32_t ra = 0;
    std::int32_t dec = 0;
    std::int16_t type = 0;
    std::int16_t limit = 0;
};

// StellarStarEntry, 12 bytes, of the stellar level files: 0 u32 star number, 4..6 i8
// right ascension h m s, 7..9 i8 declination d ' ", 10 u8 magnitude in sixteenths,
// 11 i8 colour class.
inline constexpr int kStellarStarEntrySize = 12;
struct StellarStarEntry {
    std::uint32_t number = 0;
    std::int8_t raHours = 0, raMinutes = 0, raSeconds = 0;
    std::int8_t decDegrees = 0, decMinutes = 0, decSeconds = 0;
    std::uint8_t magnitude = 0;
    std::int8_t colour = 0;
};

void DecodeObjectRecord(const std::uint8_t* bytes, ObjectRecord& out);
void EncodeObjectRecord(const ObjectRecord& rec, std::uint8_t* bytes);
// The user-object layout: the name comes from bytes 40..59 and the distance is 0.
void DecodeUserObjectRecord(const std::uint8_t* bytes, ObjectRef& out);
void EncodeUserObjectRecord(const ObjectRef& ref, std::uint8_t* bytes);
// The 64-byte reference form: record bytes then the name at 44.
void DecodeObjectRef(const std::uint8_t* bytes, ObjectRef& out);
void EncodeObjectRef(const ObjectRef& ref, std::uint8_t* bytes);
void DecodeCometRecord(const std::uint8_t* bytes, CometRecord& out);
void EncodeCometRecord(const CometRecord& rec, std::uint8_t* bytes);
void DecodeSatelliteRecord(const std::uint8_t* bytes, SatelliteRecord& out);
void EncodeSatelliteRecord(const SatelliteRecord& rec, std::uint8_t* bytes);
void DecodeMoonFeatureRecord(const std::uint8_t* bytes, MoonFeatureRecord& out);
void EncodeMoonFeatureRecord(const MoonFeatureRecord& rec, std::uint8_t* bytes);
void DecodeMarsFeatureRecord(const std::uint8_t* bytes, MarsFeatureRecord& out);
void EncodeMarsFeatureRecord(const MarsFeatureRecord& rec, std::uint8_t* bytes);
void DecodeStarRecord(const std::uint8_t* bytes, StarRecord& out);
void EncodeStarRecord(const StarRecord& rec, std::uint8_t* bytes);
void DecodeBrightStarRecord(const std::uint8_t* bytes, BrightStarRecord& out);
void EncodeBrightStarRecord(const BrightStarRecord& rec, std::uint8_t* bytes);
void DecodeConstellationLineRecord(const std::uint8_t* bytes, ConstellationLineRecord& out);
void EncodeConstellationLineRecord(const ConstellationLineRecord& rec, std::uint8_t* bytes);
void DecodeObjectIndexEntry(const std::uint8_t* bytes, ObjectIndexEntry& out);
void EncodeObjectIndexEntry(const ObjectIndexEntry& entry, std::uint8_t* bytes);
void DecodeStellarStarEntry(const std::uint8_t* bytes, StellarStarEntry& out);
void EncodeStellarStarEntry(const StellarStarEntry& entry, std::uint8_t* bytes);
