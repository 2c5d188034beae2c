#pragma once
// The Minor Planet Center's one-line orbit formats as comet records: the comet format
// (CometEls.txt, Soft00Cmt.txt) and the MPCORB format of minor planets (Soft00Bright.txt).
#include <string_view>

#include "catalog/records.h"

// A comet line: kind 13, the perihelion date, q, e, the three angles (J2000.0), g and
// k = 2.5 x the slope, the name from columns 103 to 158. False when the line is not one.
bool ParseCometLine(std::string_view line, CometRecord* out);
// An MPCORB line: kind 18, H and G, the epoch and mean anomaly, a (as q = a (1 - e)), e and
// the angles; the perihelion date is the one nearest the epoch. The name is the readable
// designation (columns 167 to 194), else the packed one. False when the line is not one.
bool ParseMpcorbLine(std::string_view line, CometRecord* out);
// Either format: 1 comet, 2 minor planet, 0 neither.
int ParseMinorBodyLine(std::string_view line, CometRecord* out);
// The Julian day of a packed MPC date ("K107N": 2010 July 23.0); 0 when it is not one.
double UnpackMpcDate(std::string_view packed);
