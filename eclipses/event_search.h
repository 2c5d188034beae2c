#pragma once
// The search that fills the event list over a period from a local date at the current
// site: New and Full Moons with their eclipses, inferior conjunctions of Mercury and Venus,
// oppositions of the outer planets, and close conjunctions of two planets.

// Period lengths in days, by the row of the Events view's period popup.
inline constexpr int kEventPeriodDays[4] = {30, 90, 180, 370};

// Fills the event list (see eclipses/event_list.h) with the events of periodDays days from
// the local date on, each dated in the site's local civil time, and sorts it. A list that
// already holds records is left as it is (only sorted). Returns the record count.
int SearchEventPeriod(int year, int month, int day, int periodDays);

// The closest approach of every two-body record of the list, from three days of positions
// around its day: a least separation under 3 degrees becomes its value and its instant
// (local time, the site's zone offset in minutes) its date and time; a record with more is
// removed, and so is one that refines to within a day of an earlier record of the same
// bodies.
void RefineConjunctions(int zoneMinutes);
