#pragma once
// Writes the built catalogs as the program's database files, field by field, each through
// a temporary file renamed into place.
#include <filesystem>
#include <functional>
#include <string>

#include "tools/catalog_builder/builder.h"

namespace catalog_builder {

// Record size of the cross-reference file: 24 bytes of designations, then the common
// name (with the one trailing character the reader drops) and its NUL.
inline constexpr int kCrossReferenceRecordSize = 56;
inline constexpr int kCrossReferenceNameSize = kCrossReferenceRecordSize - 24;

// The object record's distance value of a distance in kiloparsecs: the program shows the
// value v as v × 0.014084507 kiloparsecs.
inline double DistanceValueOfKpc(double kpc) { return kpc > 0.0 ? kpc / 0.014084507 : 0.0; }

// Writes every database file into `folder` (created when missing), then "SOURCES" with
// `sources` followed by the record counts. `progress` receives one line per file. Returns
// false with a message naming the file on the first failure.
bool WriteDataFolder(const BuildOutput& built, const std::filesystem::path& folder, const std::string& sources,
                     const std::function<void(const std::string&)>& progress, std::string& error);

}  // namespace catalog_builder
