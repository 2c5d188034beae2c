#pragma once
// Designations: the text that names an object by its catalog and number ("NGC224", "M31",
// "TYC1234-56-1"), and the cross-reference file that gives an object's common name and up
// to three designations in other catalogs.
#include <cstddef>
#include <cstdint>

#include "catalog/record_file.h"

// The designation prefix of a catalog code ("NGC", "M", "HIP"); "" for a code outside the
// catalog table.
const char* CatalogPrefix(int catalog);

// "%s%ld": prefix and number, with no blank between. Returns the length written; the text
// is cut to fit `size` bytes (always NUL-terminated).
int FormatDesignation(char* out, std::size_t size, int catalog, long number);
// Tycho numbers carry the region: region x 100000 + star in region, written
// "TYC<region>-<star>-1".
int FormatTychoDesignation(char* out, std::size_t size, long number);

// The cross-reference file "velkarion_obj_cross_ref.ppc" (crossReferenceDb): record 0 is a
// header, records 1.. are sorted by key catalog, then key number (signed comparisons).
//   0 s16 key catalog   2, 4, 6 s16 catalogs of other designations 1..3 (0 or less: none)
//   8 u32 key number   12, 16, 20 u32 numbers of other designations 1..3
//  24 char[] common name, NUL-terminated; its stored last character is not part of it
inline constexpr int kCrossRefNameOffset = 24;

// Looks up (catalog, number). nameOut (or null) is emptied first; on a hit it receives the
// common name cut to nameLen characters less the last one (the file stores one character
// more than the name), so it never holds more than nameLen bytes with the NUL. With both
// arrays given, slot k (k < maxOthers) receives other designation k + 1 when that has a
// catalog code of 1 or more; slots keep their positions and unfilled ones are left as the
// caller set them. Returns 1 when anything was delivered (a hit with a name buffer counts,
// even for an empty name), else 0. A file that is closed or holds only its header gives 0;
// an unreadable record "Error during Cross Ref search" and 0.
int FindCrossReference(int catalog, std::uint32_t number, std::int16_t* otherCatalogs, std::uint32_t* otherNumbers,
                       int maxOthers, char* nameOut, int nameLen);

// The search both keyed files (cross references, descriptions) use: halving over records
// 1..count-1 (record 0 is the header) of a file sorted by catalog code, then number, both
// compared as signed values. The catalog is read as s16 at 0 when catalogIs16, else as a
// 32-bit value at 0; the number as a 32-bit value at numberAt. Returns the record's bytes
// (valid until the file's next read), or null: not found, file closed or header only. A
// record too short for the key or that cannot be read sets *readFailed and gives null.
const std::uint8_t* FindKeyedRecord(RecordFile* db, std::int32_t catalog, std::int32_t number, bool catalogIs16,
                                    std::size_t numberAt, bool* readFailed);
