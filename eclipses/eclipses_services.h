#pragma once
// What the shell uses of the eclipse and event layer: the event list freed at exit
// (FreeEventList) and the row texts.
#include "eclipses/event_list.h"

// Row texts of the event list; each non-null pointer owns a malloc'd text.
inline constexpr int kObjListNameCount = 100;
extern char** objListNamePtr;
// "Can't allocate memory objListNamePtr" on failure. The release frees every row text.
bool AllocEventRowTexts();
void FreeEventRowTexts();
