#pragma once
// Stars in memory and the small star files read on demand: the default star table
// `brightStarsList` in 8.24 fixed point, the bright-star name file with its two sorted
// halves, the constellation line sets, the object index file's search by declination, and
// the stellar catalog level.
#include <cstdint>
#include <vector>

#include "catalog/record_file.h"
#include "catalog/records.h"

// The default star file holds this many stars; the table takes the file's own count.
inline constexpr int kDefaultStarCount = 1646;
// 8.24 fixed-point angles: radians x 2^24.
inline constexpr double kHoursToFixed = 4392264.877774095;
inline constexpr double kDegreesToFixed = 292817.65851827303;

// Truncated to an integer; a value that is not finite gives 0.
std::int32_t HoursToFixedAngle(double hours);
std::int32_t DegreesToFixedAngle(double degrees);

// ---------------------------------------------------------------------------------------
// Default stars

// The default star table lives in `brightStarsList`, allocated at
// start-up for kStarTableCapacity records and filled once by LoadStarTable: one entry per
// record of the star file (1646 in the shipped file), with right ascension (word 1) and
// declination (word 2) as 8.24 fixed-point angles and word 10 cleared.
inline constexpr std::size_t kBrightStarsListSize = 72512;
extern std::uint8_t* brightStarsList;
inline constexpr int kStarTableCapacity = static_cast<int>(kBrightStarsListSize / kStarRecordSize);
// "Can't allocate memory during initialization for bright stars list" on failure; returns
// false when it failed. The release also forgets the loaded count.
bool AllocBrightStarsList();
void FreeBrightStarsList();
// The table as records; null while brightStarsList is not allocated.
StarRecord* BrightStars();
// Stars in the table: 0 until it is loaded.
int GetStarTableCount();

// Copies star record n of the default star file (right ascension and declination as
// floats). 0 without a message when n is outside the file or the file is closed;
// "Could not retrieve star record!" with "recId %d" when the read fails.
int GetStarRecord(int n, StarRecord* out);
// Fills the table once, stepping the busy indicator (ShowBusy(owner)) every 150 stars.
// While the star file is closed or the table unallocated there is nothing to load, and a
// later call tries again. Returns 1.
int LoadStarTable(int owner);
bool IsStarTableLoaded();

// ---------------------------------------------------------------------------------------
// Bright-star names: records 0..n-1 sorted by name, n..2n-1 the same stars sorted by star
// number.

// n, half the record count of the bright-star file (remembered once read); 0 when the file
// cannot be opened.
int GetBrightStarCount();
// Opens the file, copies record n, closes it. 1 or 0.
int GetBrightStarRecord(int n, BrightStarRecord* out);
// The index of the star's record in the name half, or in the number half when its name is
// missing there; -1 when the star is not in the file or the file cannot be read. `out`
// receives the record found.
int FindBrightStar(int starNumber, BrightStarRecord* out);

// ---------------------------------------------------------------------------------------
// Constellation lines

// One line entry: value 0 as stored, values 1 and 2 the two end stars (indexes into
// brightStarsList).
struct ConstellationLine {
    std::int32_t value[3];
};
// The classic set (0) holds 647 entries, the alternative set (1) 867, in the shipped file.
inline constexpr int kClassicLineCount = 647;
inline constexpr int kAlternateLineCount = 867;

// The entries of the set loaded last.
extern std::vector<ConstellationLine> constellationLines;

// Loads set 0 or 1 from the constellation file; entries whose stars lie outside the star
// table are dropped. 1 when the set is (already) loaded in full, 0 otherwise; a missing
// file shows "Could not find velkarion_constellation.ppc" / "Please verify your
// configuration.".
int LoadConstellationLines(int set);
void FreeConstellationLines();

// ---------------------------------------------------------------------------------------
// Object index

// The object index record whose first entry lies at that declination (8.24), or the last
// record probed by the search (never record 0 unless the file has one record); -1 when the
// file is closed or empty, or "Can't find Object record number %d" when a read fails.
int FindObjectIndexByDec(std::int32_t dec);

// ---------------------------------------------------------------------------------------
// Stellar catalog levels: 0..6 name the level files below; -1 is none.
//
// A level file holds 12-byte star entries, 42 to a record (80 in files of more than 25000
// stars), records sorted by declination. The HR level (0) and the Hipparcos 110K level (4)
// have star indexes: star k's level record in slot k mod 42 of index record k / 42 (-1 for
// none). The Tycho index holds a pair of f32 declination bounds per region of 100000 star
// numbers.

inline constexpr int kStarLevelNone = -1;
inline constexpr int kStarLevelHr = 0;
inline constexpr int kStarLevelHip110k = 4;
inline constexpr int kStarLevelTycho390k = 5;
inline constexpr int kStarLevelTycho2500k = 6;
extern const char* const kStellarLevelFiles[7];
// The level files' creator code (not checked at open).
inline constexpr std::uint32_t kCreatorStellarLevel = 0x706c3637;
inline constexpr int kStellarIndexSlots = 42;
inline constexpr int kTychoIndexRecordSize = 8;
inline constexpr int StellarStarsPerRecord(std::size_t stars) { return stars > 25000 ? 80 : 42; }

// The levels the lookups ask SelectStarCatalogLevel for: the HR lookup opens the HR level,
// the Hipparcos lookup the 110K level, the Tycho lookup the largest Tycho level present,
// each with its star index. The chart and the sky views ask with kStarLookupChart for the
// level of the "Card Catalog" setting, whatever their zoom (the zoom only sets the
// magnitude limit); any other value asks for that level too.
inline constexpr int kStarLookupHr = 0;
inline constexpr int kStarLookupHip = 8;
inline constexpr int kStarLookupTycho = 10;
inline constexpr int kStarLookupChart = -1;

extern RecordFilePtr stellarDb;
extern int starCatalogLevel;
// Star entries per stellar record (42 or 80); 0 while no level file is open.
extern int starsPerRecord;

// 0 when the stellar catalog setting is 0. Otherwise makes the level the caller needs the
// open one (see the lookup levels above), closing another level's file and opening this
// one's when they differ, and returns 1 while it is open. A chosen level whose file is
// missing is replaced by the nearest level present (below it first), and reported once
// per run as not installed; with no level file at all the result is 0, without a message.
int SelectStarCatalogLevel(int level);
int IsStellarDbOpen();
// Closes the level file and sets the level to none.
void ResetStarCatalogLevel();
// Stars of the open level file; 0 when none is open.
int GetStellarStarCount();
// The stellar record at that declination (degrees): the last record whose first star lies
// at or below it, record 0 for a declination below every record; -1 when no level file is
// open.
int FindStellarRecordByDec(double decDegrees);
// "Database Hipparchos isn't open!" and 0 when no level file is open.
int GetStellarStar(int index, StellarStarEntry* out);
// Lookups by catalog number through the open level's star index (HR numbers in the HR
// level, HIP numbers in the 110K level, Tycho numbers in a Tycho level): 1 and the entry,
// or 0 when no level file is open, the level has no index, or the star is not in it.
int GetHipparcosStar(int number, StellarStarEntry* out);
int GetTychoStar(int number, StellarStarEntry* out);
// The declination of an entry in degrees.
double StellarEntryDeclination(const StellarStarEntry& e);

// Forgets the loaded star table (the buffer stays allocated), the remembered bright-star
// count and the constellation lines, so that they are read again from the files.
void ResetStarTables();
