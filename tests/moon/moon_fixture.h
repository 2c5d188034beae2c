#pragma once
// A small Moon feature database written into a temporary install root: each feature twice,
// as the program's file holds them (in the given order, then again by column).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/catalog_fixture.h"
#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/records.h"

struct TestFeature {
    int kind = 2;
    int column = 480, row = 480, radius = 10;
    float storedLatitude = 0, longitude = 0, diameter = 50;
    std::string name = "Feature";
};

inline void WriteMoonDatabase(const std::filesystem::path& dataFolder, const std::vector<TestFeature>& features) {
    std::vector<TestFeature> all = features;
    std::vector<TestFeature> byColumn = features;
    std::stable_sort(byColumn.begin(), byColumn.end(),
                     [](const TestFeature& a, const TestFeature& b) { return a.column < b.column; });
    all.insert(all.end(), byColumn.begin(), byColumn.end());
    WriteTestRecordFile(dataFolder / kMoonFile, kMoonFileVersion, kCreatorMoon, kMoonFeatureRecordSize,
                        static_cast<std::uint32_t>(all.size()), [&](std::uint32_t i, std::uint8_t* r) {
                            const TestFeature& f = all[i];
                            MoonFeatureRecord rec;
                            rec.kind = static_cast<std::int16_t>(f.kind);
                            rec.column = static_cast<std::int16_t>(f.column);
                            rec.row = static_cast<std::int16_t>(f.row);
                            rec.radius = static_cast<std::int16_t>(f.radius);
                            rec.latitude = f.storedLatitude;
                            rec.longitude = f.longitude;
                            rec.diameter = f.diameter;
                            std::strncpy(rec.name, f.name.c_str(), sizeof rec.name - 1);
                            EncodeMoonFeatureRecord(rec, r);
                        });
}

inline int OpenMoonDatabase() { return OpenDb(moonDb, kCreatorMoon, kTypeCodeQvn1, 0, kDataFolder, kMoonFile); }
