#pragma once
// The search of alignment stars (search kind 54): the bright stars known by a proper name,
// from the bright-star name file, added to the selection list as stars. It stands in for
// the search by criteria for that kind until the full search is built; the alignment forms
// and the polar assistant filter its stars by their place in the sky and pick from them.

inline constexpr int kSearchKindAlignmentStars = 54;

// True for a proper name ("Vega", "Kaus Australis"); false for an empty name and for the
// designations the name file gives stars without one: "HR 1234", and a name whose last
// word is a constellation's abbreviation ("Alpha CrA", "61 Cyg").
bool IsProperStarName(const char* name);

// Adds the stars of the bright-star name file that have a proper name after the records
// the selection list holds (a star already listed is not added twice), with their catalog
// places, and rebuilds the list's index for its category filter. Returns the number added;
// 0 when the list is not allocated. A missing name file or default star file is reported
// ("Could not find ..." / "Please verify your configuration.") and adds nothing.
int ListNamedBrightStars();
