#pragma once
// The town the user chose on the location list (form 1600), as a record index of the
// location database, -1 for none. The list form writes it; the site form takes the town
// over at its next first paint and sets it back to -1.
#include <cstdint>

extern std::int32_t selectedLocationIndex;
