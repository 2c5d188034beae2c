// What the chart benchmarks set up alike: the site and instant they draw for, a temporary
// install to write catalog files into, and a default star file of scattered stars.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "catalog/byte_order.h"
#include "catalog/databases.h"
#include "catalog/records.h"
#include "catalog/record_file.h"
#include "catalog/star_tables.h"
#include "chart/chart_settings.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "platform/paths.h"

// 48.2 N, 16.4 W, an hour east of Greenwich, 10 May 2024 22:30, the time not following the
// clock.
inline void SetBenchSiteAndTime() {
    SetDefaultSettings();
    SetSiteLatitude(48.2f);
    observerLocation.longitude = -16.4f;
    observerLocation.zoneMinutes = 60;
    SetChartSetting(chartpref::timeUpdate, 1);
    SetObservingDateTime(2024, 5, 10, 22, 30, 0);
}

// A temporary folder named for the benchmark and the process, with its data/ folder, made
// the install and home roots; returns it.
inline std::filesystem::path MakeBenchInstallRoot(const std::string& name) {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "data");
    platform::SetInstallRoot(root);
    platform::SetHomeRoot(root);
    return root;
}

// Writes root/data/<default stars file> with kDefaultStarCount stars scattered over the
// sky by `random`; magnitude(i) gives star i's magnitude field, drawn after its place.
template <typename Magnitude>
void WriteScatteredStarFile(const std::filesystem::path& root, std::mt19937& random, Magnitude magnitude) {
    std::uniform_real_distribution<float> ra(0.0f, 24.0f), dec(-89.0f, 89.0f);
    RecordFileImage image;
    image.creator = kCreatorDefaultStars;
    image.recordSize = kStarRecordSize;
    for (int i = 0; i < kDefaultStarCount; ++i) {
        std::uint8_t* r = image.Append();
        le::PutI16(r, 0, static_cast<std::int16_t>(i + 1));
        le::PutF32(r, 4, ra(random));
        le::PutF32(r, 8, dec(random));
        le::PutI16(r, 12, magnitude(i));
    }
    WriteRecordFileImage(root / "data" / kDefaultStarsFile, image);
}
