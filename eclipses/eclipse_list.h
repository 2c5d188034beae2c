#pragma once
// The list of coming solar and lunar eclipses, found lunation by lunation, and the instant
// of greatest eclipse of a listed lunar eclipse.

// One row of the eclipse list.
struct EclipseEntry {
    int kind;       // 1 solar, 0 lunar
    double type;    // 1 penumbral, 2 partial, 3 annular, 4 total
    int year, month, day, hour, minute, second;  // instant of the eclipse, UT
    int duration;   // lunar: seconds of the deepest phase (total, else partial, else penumbral); 0 solar
    int refined;    // -1 until refined to greatest eclipse, then the least separation in whole arc seconds
};

// Rows in an eclipse list block; a list asks for at most one less, since the lunation
// that reaches the count may add a second row.
inline constexpr int kEclipseListRows = 15;
inline constexpr int kEclipseListMaxCount = kEclipseListRows - 1;
// The search gives up after this many lunations (about 19 years) without filling the list.
inline constexpr int kEclipseListLunations = 240;

// Eclipse type names by type 0..4, ten characters a slot: "", "Penumbral", "Partial",
// "Annular", "Total". The eclipse rows, the event rows and the eclipse pages share it.
inline constexpr int kEclipseTypeNameCount = 5;
extern const char eclipseTypeNames[kEclipseTypeNameCount][10];
// The name of an eclipse type held as a number; "" outside 0..4.
const char* EclipseTypeName(double type);

// Frees *list when set and makes a new zero-filled block of kEclipseListRows rows, filled
// with the eclipses from the date (UT) on, solar before lunar within a lunation. Stops
// after the lunation in which the row count reaches maxCount (clamped to 1..14), after
// kEclipseListLunations lunations, or at an instant that is not finite; returns the row
// count. A block that cannot be made is reported and leaves *list null and 0 rows.
int BuildEclipseList(EclipseEntry** list, int maxCount, int year, int month, int day);
// Frees the block and clears the pointer; harmless on null.
void FreeEclipseList(EclipseEntry** list);

// The Julian day (UT) of greatest eclipse of the lunar eclipse listed at the UT date and
// time: the least separation of the Moon from the antisolar point over the four hours
// before the listed instant, sampled at 0, 2 and 4 hours with the long series (which stays
// selected). Writes the least separation in arc seconds. When the Moon's offset from the
// shadow does not change the listed instant is returned.
double GreatestLunarEclipse(int year, int month, int day, int hour, int minute, int second, double* separation);
