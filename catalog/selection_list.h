#pragma once
// The selection list: the one in-memory list of objects the user is working with (a
// search result, a loaded observing list, imported user objects, the chart's object),
// with an index of the entries that pass the category filter and a pointer per entry.
#include <cstddef>
#include <cstdint>

#include "catalog/records.h"

// One entry, 76 bytes, stored unchanged in ".lst" files: every offset is file format, and
// EncodeSelectionRecord / DecodeSelectionRecord read and write them field by field.
inline constexpr int kSelectionRecordSize = 76;
inline constexpr int kSelectionLabelLength = 14;
struct SelectionRecord {
    char label[15];               // 0: designation, at most 14 characters, NUL at 14
    std::uint8_t reserved0;       // 15
    std::int32_t objectNumber;    // 16: catalog number, -1 marks an empty slot
    std::int16_t objectIndex;     // 20: position in the source table
    std::int16_t catalogCode;     // 22
    std::int16_t typeCode;        // 24
    std::int16_t constellation;   // 26
    float rightAscension;         // 28: hours
    float declination;            // 32: degrees
    std::int32_t chartX;          // 36
    std::int32_t chartY;          // 40
    std::int16_t positionAngle;   // 44: whole degrees, 0 when unknown
    std::uint8_t reserved1[2];    // 46
    std::int16_t sizeA;           // 48: arc minutes
    std::int16_t sizeB;           // 50
    std::int16_t group;           // 52: the kind of source that added it
    std::int8_t flagValue;        // 54
    std::int8_t morphology;       // 55
    std::int32_t magnitude10;     // 56: magnitude x 10
    std::uint8_t reserved2[8];    // 60
    std::uint16_t offChart;       // 68
    std::uint16_t cleared;        // 70
    float distance;               // 72
};
static_assert(sizeof(SelectionRecord) == 76);
static_assert(offsetof(SelectionRecord, objectNumber) == 16 && offsetof(SelectionRecord, rightAscension) == 28 &&
              offsetof(SelectionRecord, sizeA) == 48 && offsetof(SelectionRecord, magnitude10) == 56 &&
              offsetof(SelectionRecord, offChart) == 68 && offsetof(SelectionRecord, distance) == 72 &&
              offsetof(SelectionRecord, positionAngle) == 44);

// The record's bytes in the file layout (kSelectionRecordSize), reserved bytes included.
void EncodeSelectionRecord(const SelectionRecord& record, std::uint8_t* bytes);
// Reads all fields; the label always ends with a NUL at 14.
void DecodeSelectionRecord(const std::uint8_t* bytes, SelectionRecord& record);

struct SelectionList {
    std::int32_t* index;          // capacity entries: record positions passing the filter, -1 past the count
    SelectionRecord* records;     // capacity entries
    int capacity;
    int indexCount;               // -1 right after allocation
    int recordCount;              // 0 right after allocation, -1 once freed
    int currentPosition;          // position in the index of the object in focus, -1 for none
    int categoryFilter;           // 0 all, 1..6 one category
};
extern SelectionList selectionList;
// One pointer per entry: at allocation pointer i is record i; a filter points slot k at
// the record of index entry k.
extern SelectionRecord** selectionListPtr;

// Frees the list, then allocates it for GetSelectionListCapacity entries: the index all
// -1, the records zeroed with object number -1, the pointers at their records; counts
// empty. A failure shows which part could not be made and returns 0.
int AllocSelectionList();

// Frees the list; counts and current position become -1. Harmless when already freed.
void FreeSelectionList();

// Entries to allocate for the selection list: the bright stars, a reserve for search
// results and imports, and 5. The bright stars count as at least the default star table,
// so that a missing bright-star file never shrinks the list below what a saved list holds.
int GetSelectionListCapacity();
inline constexpr int kSelectionListReserve = 500;

// The kind of source that added a record (SelectionRecord::group).
enum SelectionGroup : std::int16_t {
    kGroupCatalog = 0,
    kGroupBody = 1,       // label from the body name
    kGroupMessier = 2,
    kGroupCaldwell = 3,
    kGroupHerschel = 7,
    kGroupBestNgc = 9,
    kGroupByCatalog = 11, // label made from the catalog
};

// The catalog fields of a record from an object: codes, number, place, magnitude x 10,
// distance, sizes (size b as size a when it is 0), flags, morphology and position angle.
// The label, list fields and chart fields are left as they are.
void SetSelectionFromObject(SelectionRecord& record, const ObjectRef& ref);

// Builds a record from the reference at position p = index count (0 while the list is
// fresh) of `records` and sets index[p] = p. The counts are the caller's: it increments
// the index count after each success and sets the record count when the batch is done.
// Messier and Caldwell references (number = list position) are replaced by their object
// record, keeping their display name. Returns 0 without a message when the list is full,
// when the (number, catalog) is already among the first index-count records, or when the
// label would index a table outside its rows (a constellation number past 88).
int AddObjectToSelection(int objectIndex, int group, SelectionRecord* records, const ObjectRef& ref);
// Removes the record at pos (0 <= pos < index count): both counts drop by one, later records
// move down, and the slot after the last is marked empty. 1 or 0.
int RemoveSelectionRecord(int pos);
// The position of the first of the record count's records with the reference's number and
// catalog, or -1.
int FindSelectionRecord(const SelectionRecord* records, const ObjectRef& ref);
// The first index position holding `value`, or -1.
int FindSelectionPos(int value);
// index[pos]; -1 for a negative pos.
int GetSelectionObject(int pos);
// True outside the records, without a filter, or when the record's type is in the
// filter's category.
bool IsRecordInCategory(int pos);
// Marks the object types of the category shown (0 and 7 and above: all), then rebuilds the
// index and pointers over the first `count` records in order. Returns the index count.
int FilterSelectionByType(int category, SelectionRecord* records, int count);

// Comparators of the list form's sort choices (negative, zero, positive). Keys that are
// not finite sort after all others.
int CompareSelectionByGroup(const SelectionRecord& a, const SelectionRecord& b);
int CompareSelectionByCatalog(const SelectionRecord& a, const SelectionRecord& b);
int CompareSelectionByMagnitude(const SelectionRecord& a, const SelectionRecord& b);
int CompareSelectionBySize(const SelectionRecord& a, const SelectionRecord& b);
int CompareSelectionByTransit(const SelectionRecord& a, const SelectionRecord& b);
int CompareSelectionByRA(const SelectionRecord& a, const SelectionRecord& b);
int CompareSelectionByAltitude(const SelectionRecord& a, const SelectionRecord& b);
int CompareSelectionByConstellation(const SelectionRecord& a, const SelectionRecord& b);
// The keys the transit and altitude comparators compute from a record's place at the
// observing date, time and site.
double SelectionTransitKey(const SelectionRecord& record);
double SelectionAltitudeKey(const SelectionRecord& record);

// Sorts the first record-count records by the list form's sort choice 0..6 (0: by group,
// then the records after the leading groups 1, 2 and 3 by catalog), then rebuilds the
// index for the current category filter. Returns the index count.
int SortSelectionList(int choice);

// Moves the planets, comets and asteroids of the list to the local date and time: place,
// constellation and magnitude (planets also distance and size, in coordinate mode 2).
// Records whose elements cannot be read or placed keep what they held.
void UpdateObjectEphemeris(int year, int month, int day, int hour, int minute, int second);
