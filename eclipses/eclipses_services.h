#pragma once
// What the shell uses of the eclipse and event layer: the event list freed at exit.
#include <cstdint>

struct EventListState {
    std::uint8_t* records;  // one zero-filled block of at most 100 events; null when empty
    int count;
    int filter;             // 0..4
};
extern EventListState eventList;

// Frees the event list; count and filter back to 0. A second call does nothing.
void FreeEventList();

// Row texts of the event list; each non-null pointer owns a malloc'd text.
inline constexpr int kObjListNameCount = 100;
extern char** objListNamePtr;
// "Can't allocate memory objListNamePtr" on failure. The release frees every row text.
bool AllocEventRowTexts();
void FreeEventRowTexts();
