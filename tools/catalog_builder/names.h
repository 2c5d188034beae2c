#pragma once
// Name tables the builder needs to read the sources and write the program's texts:
// constellation abbreviations in the program's numbering, Greek letters of the Bayer
// designations, and the conversion of UTF-8 source text to the program's 8-bit text.
#include <string>
#include <string_view>

namespace catalog_builder {

// The program's constellation number of an IAU abbreviation (any letter case); Cancer is
// 22 and Serpens 74, as the boundary lookup numbers them. −1 for an unknown text.
int ConstellationNumber(std::string_view abbreviation);
// The abbreviation of a constellation number 0..88, or "" out of range.
std::string_view ConstellationAbbreviation(int number);

// A Bayer letter given as the three-letter catalog form ("Alp", "Bet", ..., "Ome"), the
// Greek letter itself (UTF-8 "α") or the full name ("alpha"). Returns the index 0..23
// (alpha..omega) or −1.
int GreekLetterIndex(std::string_view letter);
// The character that shows the letter in the symbol font ('a' alpha, 'b' beta, 'g'
// gamma, ... 'w' omega), as the chart draws it.
char GreekSymbolChar(int index);
// "Alpha", "Beta", ... for the ASCII names of stars.
std::string_view GreekName(int index);

// UTF-8 to the program's 8-bit text (Windows-1252). Characters the code page lacks are
// dropped after removing their accents where possible; the result is trimmed.
std::string ToProgramText(std::string_view utf8);

std::string Trim(std::string_view s);

}  // namespace catalog_builder
