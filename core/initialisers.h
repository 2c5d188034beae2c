#pragma once
// The program's file-scope arrays and layout values. They are all defined in one
// translation unit, so they are made in the order below before main runs, each array with
// capacity 10 and count 0, and freed in the reverse order when the program ends.
#include <cstdint>

#include "core/growable_arrays.h"

// 1. The control ids registered on the form or modal dialog now open.
extern IntVector controlRegistry;
// 2. File names of the download layer.
extern NameList downloadNameList;
// 3. Observer log file names.
extern NameList observerLogList;
// 4, 5. The texts waiting behind an open report box: details, then headings.
extern StringList messageDetailTexts;
extern StringList messageHeadingTexts;
// 6. File names of the list manager's two directory listings.
extern NameList listManagerFiles;
extern NameList listManagerFiles2;
// 7. Serial port names offered in the port lists.
extern StrBufArray serialPortNames;

// Layout values of other subsystems' forms, fixed for the run.
extern int polarLayoutOffset;      // polar alignment form: 0
extern int eclipseLayoutOffset;    // eclipse forms: 55
extern int moonLayoutOffset;       // Moon forms: 0
extern int planetLayoutOffset;     // planet forms: 0
extern int satelliteLayoutOffset;  // satellites form: 15
inline constexpr int kFurtherLayoutValues = 9;
extern int furtherLayoutValues[kFurtherLayoutValues];  // all 0
