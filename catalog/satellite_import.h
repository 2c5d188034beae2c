#pragma once
// The user's element sets: "import/satellites.txt" in the user folder, three-line element
// sets (a name line, line 1, line 2) that the program merges into the user's copy of the
// satellite database at start and whenever the satellite form opens, when the file is
// newer than the one merged last. Nothing the user changed is lost: a set replaces the
// copy's set of the same catalogue number only when its epoch is later.
#include <filesystem>
#include <string_view>
#include <vector>

#include "catalog/records.h"

// What an element file holds: the sets that pass the line check, and the line number (from
// 1) of the first line of each set refused.
struct ElementFileSets {
    std::vector<SatelliteRecord> sets;
    std::vector<int> skippedLines;
};

// Reads three-line sets: blank lines are passed over; each set is a name line and its two
// element lines, checked as an edited line is (line numbers, length, checksums, the same
// catalogue number). A refused set whose first line is itself an element line (a set
// without its name) costs one line, so that the next set is found again.
ElementFileSets ReadElementFile(std::string_view text);

// The epoch of a line 1 as a number that orders epochs (year x 1000 + day of the year);
// -1 when it does not read.
double ElementEpochKey(const char* line1);

// Merges `incoming` into `copy` by catalogue number: a later epoch replaces the copy's set,
// a new number is appended, everything else stays. Returns the sets replaced or appended.
int MergeElementSets(std::vector<SatelliteRecord>& copy, const std::vector<SatelliteRecord>& incoming);

std::filesystem::path UserElementFilePath();

// Merges the user's element file into the writable copy of the satellite database (open
// as satelliteDb) when its date differs from the one merged last, through one temporary
// file renamed into place, and says how many sets were taken and which lines were
// skipped. 1 when merged; 0 without a file, with the same file, or when the copy is not
// writable (the user is told when the merge itself fails).
int ImportUserElementFile();
