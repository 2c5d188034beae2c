#pragma once
// What the shell uses of the telescope layer: the drive kind, the serial port's hold-open
// flag and close, the emulated-mount flag and the list of serial port names.
#include <cstddef>
#include <cstdint>

#include "core/growable_arrays.h"
#include "core/initialisers.h"

// 1 while the mount is simulated instead of driven; 1 at every start.
extern int telescopeEmulation;


// True when the chosen drive is a push-to encoder box (codes 1, 3, 4, 11, 12, 16, 22).
bool IsEncoderDrive();

// While the flag is set, CloseSerialPort leaves the port open. Serial trace forces it off.
void SetSerialHold(int flag);
int GetSerialHold();

// Closes the port when it is open and not held open.
void CloseSerialPort();

// The address of element `index` of a StrBuf array, growing it as needed; null when the
// index is negative or memory runs out.
StrBuf* StringArrayAt(StrBufArray& array, int index);

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
