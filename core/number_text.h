#pragma once
// Numbers as text: the integer and decimal readers every input field uses and the
// fixed-decimal writer behind every number the screens show.

// An optional "-", then an optional "+", then decimal digits up to the first non-digit.
// 0 for null or when no digit follows. Leading blanks are not skipped. Values beyond the
// int range saturate.
int StrToInt(const char* text);

// Leading blanks skipped; an optional sign; integer digits; then '.' or ',' and fraction
// digits (the first nine count). Anything after the number is ignored. 0 for null or no
// digits.
double StrToDouble(const char* text);

// Writes the value with a fixed number of decimals, rounded half up at the last decimal,
// with a leading "-" for negative values (so -0.004 with 2 decimals reads "-0.00"). A
// negative count gives 6 decimals, a count above 6 gives 8. Magnitudes of 1e15 and more
// are written as 999999999999999 plus decimals, so 26 bytes always suffice. Returns the
// length written.
int FormatFixed(char* buffer, double value, int decimals);

// Splits hours (or degrees) into whole hours, minutes and seconds, rounding by half a
// second first. Outputs may be null.
void HoursToHMS(double hours, int* h, int* m, int* s);
