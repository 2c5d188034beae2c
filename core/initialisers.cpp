#include "core/initialisers.h"

// Definition order is construction order; keep it.
IntVector controlRegistry;
NameList downloadNameList;
NameList observerLogList;
StringList messageDetailTexts;
StringList messageHeadingTexts;
NameList listManagerFiles;
NameList listManagerFiles2;
StrBufArray serialPortNames;

int polarLayoutOffset = 0;
int eclipseLayoutOffset = 55;
int moonLayoutOffset = 0;
int planetLayoutOffset = 0;
int satelliteLayoutOffset = 15;
int furtherLayoutValues[kFurtherLayoutValues] = {};
