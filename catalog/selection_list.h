#pragma once
// The selection list: the one in-memory list of objects the user is working with (a
// search result, a loaded observing list, imported user objects, the chart's object),
// with an index of the entries that pass the category filter and a pointer per entry.
#include <cstddef>
#include <cstdint>

// One entry, 76 bytes, stored unchanged in ".lst" files: every offset is file format.
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
    std::uint8_t reserved1[4];    // 44
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
              offsetof(SelectionRecord, offChart) == 68 && offsetof(SelectionRecord, distance) == 72);

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
// results and imports, and 5.
int GetSelectionListCapacity();
inline constexpr int kSelectionListReserve = 500;
