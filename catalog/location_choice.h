#pragma once
// The town the user chose on the location list (form 1600), as a record index of the
// location database, -1 for none. The list form writes it; the site form takes the town
// over at its next first paint and sets it back to -1.
#include <cstdint>

extern std::int32_t selectedLocationIndex;
// The same variable under the name the site's forms know it by.
inline std::int32_t& locationChoice = selectedLocationIndex;
