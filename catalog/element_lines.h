#pragma once
// The check of an element line as the user or an element file gives it: the line number in
// column 0, the modulo-10 checksum in the last column and 69 significant columns. The
// orbit itself is judged later, by the conversion.
#include <string>

enum ElementLineStatus : int {
    kElementLineValid = 0,
    kElementLineNumber = 1,    // column 0 is not the expected line number
    kElementLineLength = 2,    // fewer than 69 columns
    kElementLineChecksum = 3,  // the last column is not the sum of the others modulo 10
    kElementLineCatalog = 4,   // the two lines name different catalogue numbers
};

// Modulo-10 sum of the first 68 columns: digits count their value, a minus sign 1.
int ElementLineChecksum(const char* line);
// Status of one line expected to be line `lineNumber` (1 or 2).
int CheckElementLine(const char* line, int lineNumber);
// Both lines, and the same catalogue number on each.
int CheckElementSet(const char* line1, const char* line2);
// "number", "length", "checksum", "catalogue number" or "" for kElementLineValid.
const char* ElementLineStatusText(int status);
