#pragma once
// Temporary install and home roots for the catalog tests, and helpers that write small
// .ppc files into them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/star_tables.h"
#include "support/recorded_reports.h"
#include "platform/paths.h"
#include "catalog/chart_buffers.h"

// Writes a file of `count` records of `size` bytes, each filled by `fill(i, bytes)`.
template <typename Fill>
void WriteTestRecordFile(const std::filesystem::path& path, std::uint32_t version, std::uint32_t creator,
                         std::uint32_t size, std::uint32_t count, Fill fill) {
    RecordFileImage image;
    image.version = version;
    image.creator = creator;
    image.recordSize = size;
    for (std::uint32_t i = 0; i < count; ++i) fill(i, image.Append());
    ASSERT_TRUE(WriteRecordFileImage(path, image));
}

// The catalog layer as each test finds it: files looked for under the install and home
// roots given, the start-up loader's buffers that it fills allocated, no database open, no
// star table loaded and no report recorded. LeaveCatalogState undoes it all.
inline void EnterCatalogState(const std::filesystem::path& install, const std::filesystem::path& home) {
    platform::SetInstallRoot(install);
    platform::SetHomeRoot(home);
    brightStarsList = static_cast<std::uint8_t*>(std::calloc(1, kBrightStarsListSize));
    starBuffer = static_cast<std::uint8_t*>(std::calloc(1, kStarBufferSize));
    CloseCatalogDatabases();
    ResetStarTables();
    ClearRecordedReports();
}

inline void LeaveCatalogState() {
    CloseCatalogDatabases();
    ResetStarTables();
    ClearRecordedReports();
    platform::SetInstallRoot({});
    platform::SetHomeRoot({});
    std::free(brightStarsList);
    std::free(starBuffer);
    brightStarsList = nullptr;
    starBuffer = nullptr;
}

class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = std::filesystem::temp_directory_path() /
               ("vk-catalog-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "install" / "data");
        std::filesystem::create_directories(root / "home");
        EnterCatalogState(root / "install", root / "home");
    }
    void TearDown() override {
        LeaveCatalogState();
        std::filesystem::remove_all(root);
    }

    std::filesystem::path Data(const std::string& name) const { return root / "install" / "data" / name; }
    std::filesystem::path UserCopy(const std::string& name) const {
        return root / "home" / "usercatalogs" / "data" / name;
    }

    template <typename Fill>
    void WriteFile(const std::filesystem::path& path, std::uint32_t version, std::uint32_t creator, std::uint32_t size,
                   std::uint32_t count, Fill fill) {
        WriteTestRecordFile(path, version, creator, size, count, fill);
    }

    std::vector<std::uint8_t> Bytes(const std::filesystem::path& path) const {
        std::vector<std::uint8_t> bytes;
        platform::ReadWholeFile(path, bytes);
        return bytes;
    }

    // Texts of the boxes shown so far, heading and detail as the box shows them.
    std::vector<std::string> Messages() const { return ReportTexts(); }

    std::filesystem::path root;
};
