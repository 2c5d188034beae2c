#include "catalog/location_choice.h"

std::int32_t selectedLocationIndex = -1;
