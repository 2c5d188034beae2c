#pragma once
// The search of the solar system's bodies (search kind 45): the Sun, the Moon and the
// planets at the observing time, listed in the selection list as bodies. It stands in for
// the search by criteria for that kind until the full search is built.

inline constexpr int kSearchKindBodies = 45;

// Empties the selection list and lists the Sun, the Moon and the planets Mercury to Pluto
// with their places at the observing date, time and site. Returns the number listed; 0
// when the list is not allocated.
int ListSolarSystemBodies();
