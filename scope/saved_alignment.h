#pragma once
// The alignment stars and the offer to restore the last two-star alignment at start.
#include <cstddef>
#include <cstdint>

#include "scope/alignment_model.h"

// Offers to restore the last two-star alignment when it is under half a day old ("Would
// you want to restore your last alignment?"). Reloading it belongs to the alignment forms,
// which are not part of the program yet: the answer changes nothing until they are.
// Returns 1 when the question was asked.
int RestoreLastAlignment();

// The alignment star records (20 of 128 bytes), made at start.
inline constexpr std::size_t kAlignmentStarsSize = 2560;
extern std::uint8_t* alignmentStars;
// "Can't allocate memory during initialization for alignment stars" on failure.
bool AllocAlignmentStars();
void FreeAlignmentStars();

// An AlignStar as its 128 bytes, little-endian, field by field: 0 i32 objectNumber,
// 4 char[20] name, 24 f64 time, 32 ra, 40 dec, 48 axis1, 56 axis2, 64 modelAxis1,
// 72 modelAxis2, 80 measuredAxis1, 88 measuredAxis2, 96 correctedAxis1,
// 104 correctedAxis2, 112 siderealTime, 120 i32 catalogCode, 124 four zero bytes.
void EncodeAlignStar(const AlignStar& star, std::uint8_t* bytes);
void DecodeAlignStar(const std::uint8_t* bytes, AlignStar* star);

// The last two-star alignment in `Preferences` words 154 to 219: the Julian day (a double
// in words 154-155), then the two stars' 32-word blocks (words 156 and 188), each word
// four of the star's bytes, little-endian.
void StoreSavedAlignment(double julianDay, const AlignStar& first, const AlignStar& second);
// The Julian day (0 when none was saved), with the two stars.
double LoadSavedAlignment(AlignStar* first, AlignStar* second);

// The N-star table in the alignment star records: entry `index` (0..19) read and written;
// false outside the table or before it is made.
inline constexpr int kNStarTableSize = 20;
bool ReadNStarRecord(int index, AlignStar* star);
bool WriteNStarRecord(int index, const AlignStar& star);
