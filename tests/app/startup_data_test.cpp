#include "app/startup_data.h"
#include "app/home_form.h"
#include "catalog/chart_buffers.h"
#include "catalog/descriptions.h"
#include "catalog/star_tables.h"
#include "core/startup_alloc.h"
#include "eclipses/eclipses_services.h"
#include "shell/scratch_text.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "astro/time_scales.h"
#include "catalog/selection_list.h"
#include "catalog/user_lists.h"
#include "objects/objects_services.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "scope/saved_alignment.h"
#include "scope/serial_port.h"
#include "core/settings.h"
#include "shell/utilities.h"
#include "shell/utilities_internal.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::size_t> allocations;
int failAt = -1;

void* RecordingCalloc(std::size_t count, std::size_t size) {
    const int n = static_cast<int>(allocations.size());
    allocations.push_back(count * size);
    if (n == failAt) return nullptr;
    return std::calloc(count, size);
}

class StartupDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        home = fs::temp_directory_path() /
               ("vk-startup-" + std::to_string(::getpid()) + "-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(home);
        fs::create_directories(home);
        platform::SetHomeRoot(home);
        platform::ClearShownBoxes();
        preferences = {};
        observerLocation = {};
        allocations.clear();
        failAt = -1;
        SetStartupAllocator(RecordingCalloc);
        SetLocalClockSource([] { return LocalDateTimeFields{2024, 8, 12, 22, 15, 30}; });
        SetShortDateSource([](int, int, int, int) { return std::string("12/1/2007"); });
        ResetDateOrder();
    }
    void TearDown() override {
        FreeStartupData();
        SetStartupAllocator(nullptr);
        SetLocalClockSource(nullptr);
        SetShortDateSource(nullptr);
        ResetDateOrder();
        platform::SetHomeRoot({});
        platform::ClearShownBoxes();
        fs::remove_all(home);
    }

    static std::vector<std::string> Messages() {
        std::vector<std::string> out;
        for (const auto& box : platform::ShownBoxes()) out.push_back(box.text);
        return out;
    }

    static void ExpectAllReleased() {
        EXPECT_EQ(txtBuffer, nullptr);
        EXPECT_EQ(brightStarsList, nullptr);
        EXPECT_EQ(starBuffer, nullptr);
        EXPECT_EQ(objectBuffer, nullptr);
        EXPECT_EQ(buttonList, nullptr);
        EXPECT_EQ(buttonList2, nullptr);
        EXPECT_EQ(buttonListSave, nullptr);
        EXPECT_EQ(buttonListTypeSave, nullptr);
        EXPECT_EQ(catalogList, nullptr);
        EXPECT_EQ(catalogList2, nullptr);
        EXPECT_EQ(alignmentStars, nullptr);
        EXPECT_EQ(dreyerLong, nullptr);
        EXPECT_EQ(objListNamePtr, nullptr);
        EXPECT_EQ(selectionList.records, nullptr);
        EXPECT_EQ(selectionListPtr, nullptr);
    }

    fs::path home;
};

TEST_F(StartupDataTest, AllocatesInOrderWithTheirSizes) {
    EXPECT_EQ(AllocStartupData(), 0);
    const std::size_t n = static_cast<std::size_t>(GetSelectionListCapacity());
    const std::vector<std::size_t> expected = {
        256, 72512, 16000, 21600,                       // text, bright stars, chart buffers
        n * 4, n * 76, n * sizeof(void*),               // selection list
        80, 80, 80, 80, 276, 172, 2560, 200,            // buttons, catalogs, alignment, description
        100 * sizeof(char*),                            // event row texts
    };
    EXPECT_EQ(allocations, expected);
    EXPECT_TRUE(Messages().empty());

    std::int32_t starMarker = 0;
    std::int16_t objectMarker = 0;
    std::memcpy(&starMarker, starBuffer, sizeof starMarker);
    std::memcpy(&objectMarker, objectBuffer, sizeof objectMarker);
    EXPECT_EQ(starMarker, 20000000);
    EXPECT_EQ(objectMarker, 30000);
    EXPECT_EQ(txtBuffer[0], '\0');
    EXPECT_EQ(selectionList.recordCount, 0);
    EXPECT_EQ(selectionList.index[0], -1);
    EXPECT_EQ(selectionList.records[n - 1].objectNumber, -1);
    EXPECT_EQ(selectionListPtr[7], &selectionList.records[7]);
}

TEST_F(StartupDataTest, SetsDefaultsObservingTimeAndDateOrder) {
    preferences.word[pref::scopeDrive] = 9;
    preferences.word[pref::lastPushedForm] = 0;
    AllocStartupData();
    EXPECT_EQ(preferences.word[pref::scopeDrive], 5);
    EXPECT_STREQ(observerLocation.name, "None");
    EXPECT_EQ(preferences.word[pref::lastPushedForm], 1950);
    EXPECT_EQ(observingDateTime.year, 2024);
    EXPECT_EQ(observingDateTime.month, 8);
    EXPECT_EQ(observingDateTime.day, 12);
    EXPECT_EQ(observingDateTime.hour, 22);
    EXPECT_EQ(observingDateTime.minute, 15);
    EXPECT_EQ(observingDateTime.second, 30);
    EXPECT_EQ(selectionCriteria.year, 2024);
    EXPECT_EQ(selectionCriteria.minute, 15);
    EXPECT_EQ(dateOrderMonthFirst, 1);
    EXPECT_EQ(GetSerialHold(), 1);  // a drive is chosen
}

// Until a site is given, UT follows the machine's time zone at the observing instant
// (summer time included); a site that is given keeps its own zone.
TEST_F(StartupDataTest, TheDefaultSiteTakesTheMachinesZoneAtTheObservingInstant) {
    const char* saved = std::getenv("TZ");
    const std::string savedTz = saved ? saved : "";
    struct Case {
        const char* tz;
        LocalDateTimeFields clock;
        int zone;
        const char* utRow;
    } cases[] = {
        // New York's rules written out, so that the test needs no time zone database.
        {"EST5EDT,M3.2.0,M11.1.0", {2026, 1, 15, 10, 7, 0}, -300, ": 15h07"},
        {"EST5EDT,M3.2.0,M11.1.0", {2024, 8, 12, 22, 15, 30}, -240, ": 02h15 >"},
        {"IST-5:30", {2024, 3, 20, 21, 30, 0}, 330, ": 16h00"},
        {"UTC0", {2024, 3, 20, 21, 30, 0}, 0, ": 21h30"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tz);
        ::setenv("TZ", c.tz, 1);
        ::tzset();
        static LocalDateTimeFields clock;
        clock = c.clock;
        SetLocalClockSource([] { return clock; });
        AllocStartupData();
        EXPECT_EQ(observerLocation.zoneMinutes, c.zone);
        char row[32];
        const ObservingDateTime& t = observingDateTime;
        FormatUtClock(row, t.year, t.month, t.day, t.hour, t.minute, observerLocation.zoneMinutes);
        EXPECT_STREQ(row, c.utRow);
        FreeStartupData();
    }
    if (saved) {
        ::setenv("TZ", savedTz.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

TEST_F(StartupDataTest, EachAllocationFailureIsReportedAndFreesCleanly) {
    const std::string prefix = "Can't allocate memory during initialization for ";
    struct Case {
        int failAt;
        std::string message;
        bool loaderContinues;  // the chart buffers and the selection list end only their own step
    } cases[] = {
        {0, "Can't allocate txtBuffer", false},
        {1, prefix + "bright stars list", false},
        {2, prefix + "star buffer", true},
        {3, prefix + "object buffer", true},
        {4, "Can't allocate memory during initialization for selection list index", true},
        {5, "Can't allocate memory during initialization for selection", true},
        {6, "Can't allocate memory selectionListPtr", true},
        {7, prefix + "buttonList", false},
        {8, prefix + "buttonList", false},
        {9, prefix + "buttonListSave", false},
        {10, prefix + "buttonListTypeSave", false},
        {11, prefix + "catalogList", false},
        {12, prefix + "catalogList", false},
        {13, prefix + "alignment stars", false},
        {14, "Can't allocate memory dreyerLong", false},
        {15, "Can't allocate memory objListNamePtr", false},
    };
    for (const Case& c : cases) {
        allocations.clear();
        platform::ClearShownBoxes();
        failAt = c.failAt;
        AllocStartupData();
        ASSERT_EQ(Messages().size(), 1u) << c.failAt;
        EXPECT_EQ(Messages()[0], c.message + "\n") << c.failAt;
        EXPECT_EQ(objListNamePtr != nullptr, c.loaderContinues) << c.failAt;
        EXPECT_EQ(preferences.word[pref::scopeDrive], 5) << "settings are set before any allocation";
        FreeStartupData();
        ExpectAllReleased();
    }
}

TEST_F(StartupDataTest, FreeingTwiceOrWithoutAStartIsHarmless) {
    FreeStartupData();
    ExpectAllReleased();
    AllocStartupData();
    objListNamePtr[0] = static_cast<char*>(std::malloc(16));
    objListNamePtr[1] = static_cast<char*>(std::malloc(16));
    FreeStartupData();
    ExpectAllReleased();
    FreeStartupData();
    ExpectAllReleased();
    EXPECT_TRUE(Messages().empty());
}

TEST_F(StartupDataTest, ExitSavesTheObservingDateAndTheLastList) {
    AllocStartupData();
    observingDateTime = {2024, 8, 13, 1, 5, 0};
    SelectionRecord& r = selectionList.records[0];
    std::strcpy(r.label, "M31");
    r.objectNumber = 224;
    r.catalogCode = 40;
    r.rightAscension = 0.712f;
    selectionList.records[1].objectNumber = 7000;
    selectionList.recordCount = 2;
    selectionList.indexCount = 2;
    FreeStartupData();

    EXPECT_EQ(preferences.word[pref::savedYear], 2024);
    EXPECT_EQ(preferences.word[pref::savedMonth], 8);
    EXPECT_EQ(preferences.word[pref::savedDay], 13);
    EXPECT_EQ(preferences.word[pref::savedHour], 1);
    EXPECT_EQ(preferences.word[pref::savedMinute], 5);
    const fs::path file = home / "userlists" / "last_list.lst";
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(fs::file_size(file), 68u + 2u * 76u);

    // The next start reads it back (and begins from the device clock again).
    AllocStartupData();
    EXPECT_EQ(observingDateTime.day, 12);
    EXPECT_EQ(selectionList.recordCount, 2);
    EXPECT_EQ(selectionList.indexCount, 2);
    EXPECT_STREQ(selectionList.records[0].label, "M31");
    EXPECT_EQ(selectionList.records[0].objectNumber, 224);
    EXPECT_FLOAT_EQ(selectionList.records[0].rightAscension, 0.712f);
    EXPECT_EQ(selectionList.records[2].objectNumber, -1);
    EXPECT_EQ(selectionCriteria.year, 2024);  // the list's date
    EXPECT_EQ(selectionCriteria.day, 12);

    // An empty list at exit leaves the previous last list in place.
    selectionList.recordCount = 0;
    FreeStartupData();
    EXPECT_EQ(fs::file_size(file), 68u + 2u * 76u);
}

TEST_F(StartupDataTest, BrokenLastListIsReported) {
    fs::create_directories(home / "userlists");
    {
        std::ofstream(home / "userlists" / "last_list.lst", std::ios::binary) << "short";
    }
    AllocStartupData();
    EXPECT_EQ(Messages(), std::vector<std::string>{"Can't read header.\n"});
    FreeStartupData();

    // A header that claims more records than follow.
    std::vector<char> bytes(68 + 76, 0);
    bytes[64] = 3;
    {
        std::ofstream out(home / "userlists" / "last_list.lst", std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    platform::ClearShownBoxes();
    AllocStartupData();
    EXPECT_EQ(Messages(), std::vector<std::string>{"Can't read data.\n"});
}

}  // namespace
