#pragma once
// The periodic terms of the Moon's physical libration (rho, sigma, tau; D. H. Eckhardt 1981,
// as Meeus, Astronomical Algorithms, 2nd ed., chapter 53 tabulates them), transcribed from
// PyMeeus 0.5.11 (`Moon.moon_librations`, LGPL-3.0-or-later), whose results the fixtures of
// tools/make_moon_fixtures.py check the sums against.
//
// A term is coefficient x trig(d D + m M + mp M' + f F + extra) in degrees, times E when
// timesE is set; extra is K1, K2 or the node Omega.

namespace libration_terms {

enum Trig : int { kSin = 0, kCos = 1 };
enum Extra : int { kNone = 0, kK1 = 1, kK2 = 2, kNode = 3 };

struct Term {
    double coefficient;
    Trig trig;
    int d, m, mp, f;
    Extra extra;
    bool timesE;
};

inline constexpr Term kRho[10] = {
    {-0.02752, kCos, 0, 0, 1, 0, kNone, false},  {-0.02245, kSin, 0, 0, 0, 1, kNone, false},
    {+0.00684, kCos, 0, 0, 1, -2, kNone, false}, {-0.00293, kCos, 0, 0, 0, 2, kNone, false},
    {-0.00085, kCos, -2, 0, 0, 2, kNone, false}, {-0.00054, kCos, -2, 0, 1, 0, kNone, false},
    {-0.00020, kSin, 0, 0, 1, 1, kNone, false},  {-0.00020, kCos, 0, 0, 1, 2, kNone, false},
    {-0.00020, kCos, 0, 0, 1, -1, kNone, false}, {+0.00014, kCos, -2, 0, 1, 2, kNone, false},
};

inline constexpr Term kSigma[13] = {
    {-0.02816, kSin, 0, 0, 1, 0, kNone, false},  {+0.02244, kCos, 0, 0, 0, 1, kNone, false},
    {-0.00682, kSin, 0, 0, 1, -2, kNone, false}, {-0.00279, kSin, 0, 0, 0, 2, kNone, false},
    {-0.00083, kSin, -2, 0, 0, 2, kNone, false}, {+0.00069, kSin, -2, 0, 1, 0, kNone, false},
    {+0.00040, kCos, 0, 0, 1, 1, kNone, false},  {-0.00025, kSin, 0, 0, 2, 0, kNone, false},
    {-0.00023, kSin, 0, 0, 1, 2, kNone, false},  {+0.00020, kCos, 0, 0, 1, -1, kNone, false},
    {+0.00019, kSin, 0, 0, 1, -1, kNone, false}, {+0.00013, kSin, -2, 0, 1, 2, kNone, false},
    {-0.00010, kCos, 0, 0, 1, -3, kNone, false},
};

inline constexpr Term kTau[19] = {
    {+0.02520, kSin, 0, 1, 0, 0, kNone, true},   {+0.00473, kSin, 0, 0, 2, -2, kNone, false},
    {-0.00467, kSin, 0, 0, 1, 0, kNone, false},  {+0.00396, kSin, 0, 0, 0, 0, kK1, false},
    {+0.00276, kSin, -2, 0, 2, 0, kNone, false}, {+0.00196, kSin, 0, 0, 0, 0, kNode, false},
    {-0.00183, kCos, 0, 0, 1, -1, kNone, false}, {+0.00115, kSin, -2, 0, 1, 0, kNone, false},
    {-0.00096, kSin, -1, 0, 1, 0, kNone, false}, {+0.00046, kSin, -2, 0, 0, 2, kNone, false},
    {-0.00039, kSin, 0, 0, 1, -1, kNone, false}, {-0.00032, kSin, -1, -1, 1, 0, kNone, false},
    {+0.00027, kSin, -2, -1, 2, 0, kNone, false}, {+0.00023, kSin, 0, 0, 0, 0, kK2, false},
    {-0.00014, kSin, 2, 0, 0, 0, kNone, false},  {+0.00014, kCos, 0, 0, 2, -2, kNone, false},
    {-0.00012, kSin, 0, 0, 1, -2, kNone, false}, {-0.00012, kSin, 0, 0, 2, 0, kNone, false},
    {+0.00011, kSin, -2, -2, 2, 0, kNone, false},
};

}  // namespace libration_terms
