#pragma once
// The expanded long description of the object in focus.
#include <cstddef>

inline constexpr std::size_t kDreyerLongSize = 200;
// Null while not made.
extern char* dreyerLong;

// "Can't allocate memory dreyerLong" on failure. Returns false when it failed.
bool AllocDescriptionBuffer();
void FreeDescriptionBuffer();
