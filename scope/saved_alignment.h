#pragma once
// The alignment stars and the offer to restore the last two-star alignment at start.
#include <cstddef>
#include <cstdint>

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
