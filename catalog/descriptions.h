#pragma once
// Dreyer's descriptions of NGC and IC objects: the lookup in the description file and the
// expansion of his abbreviations ("vF,vS,R,bM") into words ("very faint , very small ,
// round , brighter middle "); and the expanded long description of the object in focus.
#include <cstddef>
#include <cstdint>
#include <span>

struct ObjectRef;

inline constexpr std::size_t kDreyerLongSize = 200;
// Null while not made.
extern char* dreyerLong;

// "Can't allocate memory dreyerLong" on failure. Returns false when it failed.
bool AllocDescriptionBuffer();
void FreeDescriptionBuffer();

// The description file "velkarion_obj_18k_desc.ppc" (descriptionDb): record 0 is a header,
// records 1.. are sorted by catalog code, then number: 0 u32 catalog, 4 u32 number,
// 8 char[] the description in Dreyer's abbreviations, of which 49 characters are used.
inline constexpr std::size_t kDreyerTextOffset = 8;
inline constexpr std::size_t kDreyerDescriptionLength = 49;
// Bytes a GetDreyerDescription destination needs.
inline constexpr std::size_t kDreyerDescriptionSize = kDreyerDescriptionLength + 1;

// Empties `out` (kDreyerDescriptionSize bytes), then copies at most 49 characters of the
// object's description. 1 found; 0 when absent or the file is closed or holds only its
// header; "Error during Dreyer description search" and 0 for an unreadable record.
int GetDreyerDescription(std::uint32_t catalog, std::uint32_t number, char* out);

// One abbreviation and its words.
struct DreyerAbbreviation {
    const char* abbreviation;  // up to 6 characters
    const char* expansion;     // up to 42 characters
};
// The two tables in matching order: the first entry that matches wins, so a shorter entry
// hides a longer one after it. They share no first character.
std::span<const DreyerAbbreviation> DreyerTableAM();
std::span<const DreyerAbbreviation> DreyerTableNZ();

// The entry of each table that matches the text at `at` (a case-sensitive prefix test), or
// null. "pm" is taken only when an 'i' follows it; otherwise the scan goes on to "p".
const DreyerAbbreviation* MatchDreyerAM(const char* at);
const DreyerAbbreviation* MatchDreyerNZ(const char* at);

// Writes the expansion of `input` into `output` (`size` bytes). An abbreviation becomes its
// words and a blank; "," becomes ", "; a number and what is glued to it, the rest of a word
// after "=x", and text in parentheses are copied as they stand; anything else is copied.
// The expansion ends after the step that carries it past 190 characters; a step that would
// not fit the buffer is not begun, so the text is never cut inside a step, and it always
// ends with a NUL. An empty (or null) input leaves the output untouched.
void ExpandDreyer(const char* input, char* output, std::size_t size);

// The texts of the object's description block: its raw description (kDreyerDescriptionSize
// bytes) and the expansion (`expandedSize` bytes). 0 and nothing written for objects that
// carry no Dreyer description: no object, planets (type 27), and the catalogs of stars,
// bodies, constellations, meteor showers and user objects (0, 12, 13, 26, 28, 41, 45, 51,
// 54, 60, 63), or when the file has none for it.
int GetDreyerTexts(const ObjectRef* object, char* raw, char* expanded, std::size_t expandedSize);
