// The image synchronisation step by step, on a page with the preference page's three
// labels, against a data service inside the test.
#include "objects/image_sync.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/byte_order.h"
#include "catalog/data_service.h"
#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/records.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/object_pictures.h"
#include "platform/paths.h"
#include "shell/forms_fixture.h"
#include "shell/utilities.h"
#include "support/http_test_server.h"
#include "support/recorded_reports.h"
#include "support/test_pictures.h"

namespace fs = std::filesystem;
using namespace forms_test;

namespace {

std::vector<int> handedCommands;

class ImageSyncTest : public FormsFixture {
protected:
    void SetUp() override {
        FormsFixture::SetUp();
        if (HasFatalFailure()) return;
        platform::DialogLayout layout;
        std::string error;
        ASSERT_TRUE(platform::ParseDialogLayout(R"(dialog 60201
rect 0 0 240 294
button 8001 "" 0 0 60 24
static 146 "" 10 40 200 14
static 147 "" 10 60 200 14
static 139 "" 10 80 200 14
)",
                                                &layout, &error))
            << error;
        platform::RegisterDialogLayout(layout);
        Scripts()[kFormA].buttons.clear();
        Scripts()[kFormA].release = {kTitle};
        Open(kFormA);
        ASSERT_TRUE(RunUntilIdle());
        imageSyncState = ImageSyncState{};
        handedCommands.clear();
        SetDownloadTimeouts(2, 1);
        install = home / "install";
        fs::create_directories(install / "data");
        platform::SetInstallRoot(install);
        ClearRecordedReports();
    }
    void TearDown() override {
        FormsFixture::TearDown();
        SetImageSyncLinks(ImageSyncLinks{});
        CloseCatalogDatabases();
        platform::SetInstallRoot({});
        SetDownloadTimeouts(0, 0);
        SetNetworkAllowed(0);
        imageSyncState = ImageSyncState{};
        ClearRecordedReports();
    }

    template <typename Fill>
    void Write(const char* file, std::uint32_t version, std::uint32_t creator, std::uint32_t size, std::uint32_t count,
               Fill fill) {
        RecordFileImage image;
        image.version = version;
        image.creator = creator;
        image.recordSize = size;
        for (std::uint32_t i = 0; i < count; ++i) fill(i, image.Append());
        ASSERT_TRUE(WriteRecordFileImage(install / "data" / file, image));
    }
    // Three Moon features (each twice in the file), three Mars features, three objects.
    void WriteDatabases() {
        static const char* const moon[] = {"Tycho", "Copernicus", "Plato"};
        Write(kMoonFile, kMoonFileVersion, kCreatorMoon, kMoonFeatureRecordSize, 6, [](std::uint32_t i, std::uint8_t* r) {
            MoonFeatureRecord m;
            std::snprintf(m.name, sizeof m.name, "%s", moon[i % 3]);
            EncodeMoonFeatureRecord(m, r);
        });
        static const char* const mars[] = {"Arsia", "Olympus", "Gale"};
        static const int kinds[] = {1, 1, 12};
        Write(kMarsFile, 0, kCreatorMars, kMarsFeatureRecordSize, 3, [](std::uint32_t i, std::uint8_t* r) {
            MarsFeatureRecord m;
            std::snprintf(m.name, sizeof m.name, "%s", mars[i]);
            m.kind = static_cast<std::int16_t>(kinds[i]);
            EncodeMarsFeatureRecord(m, r);
        });
        static const std::uint32_t objects[][2] = {{29, 342}, {42, 224}, {42, 7000}};
        Write(kObjects1kFile, kObjectFileVersion, kCreatorObjects, kObjectRecordSize, 3, [](std::uint32_t i, std::uint8_t* r) {
            ObjectRecord o;
            o.catalog = objects[i][0];
            o.number = objects[i][1];
            EncodeObjectRecord(o, r);
        });
        Write(kDefaultStarsFile, 0, kCreatorDefaultStars, kStarRecordSize, 3, [](std::uint32_t, std::uint8_t*) {});
        OpenCatalogDatabases(1);
        ClearRecordedReports();
    }

    struct Step {
        std::string stage, progress, item;
    };
    Step SyncOnce() {
        Call([] { SyncImages(); });
        return Step{Text(kSyncStageLabel), Text(kSyncProgressLabel), Text(kSyncItemLabel)};
    }

    fs::path install;
};

TEST_F(ImageSyncTest, WithoutNetworkThePageIsToldAndNothingIsFetched) {
    SyncOnce();
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"The Velkarion web site and/or Internet access are not available.\n"});
    ImageSyncLinks links;
    links.preferenceCommand = [](int id) { handedCommands.push_back(id); };
    SetImageSyncLinks(links);
    SyncOnce();
    EXPECT_EQ(handedCommands, std::vector<int>{kImageSyncControl});
    EXPECT_EQ(imageSyncState.planet, 0);
    EXPECT_EQ(Text(kSyncStageLabel), "");
}

TEST_F(ImageSyncTest, TheStagesRunInOrderOneItemAStepAndResumeAfterAStop) {
    WriteDatabases();
    const std::vector<std::uint8_t> picture = NoiseTestJpeg(40, 40);
    const std::vector<std::string> kept = {"img/planet/mars.jpg", "img/messier/m31.jpg", "moon/copernicus.jpg",
                                           "mars/mons_olympus.jpg", "img/ngc/ngc224.jpg"};
    std::vector<std::string> asked;
    HttpTestServer server([&](const std::string& target) {
        const std::string path = target.substr(target.find("param6=") + 7);
        asked.push_back(path);
        for (const std::string& k : kept)
            if (path == k) return HttpTestReply{200, std::string(picture.begin(), picture.end())};
        return HttpTestReply{200, "none"};   // no picture, downloads stay on
    });
    std::snprintf(preferences.dataUrl, sizeof preferences.dataUrl, "%s", server.Url("/").c_str());
    SetNetworkAllowed(1);

    std::vector<Step> steps;
    steps.push_back(SyncOnce());
    EXPECT_EQ(ReportTexts().at(0).rfind("Please plug your PDA during the synchronization process.\nUpon you network", 0), 0u);
    for (int i = 0; i < 5; ++i) steps.push_back(SyncOnce());
    // Stopped: nothing happens, and the next step goes on where it stopped.
    imageSyncState.stop = 1;
    SyncOnce();
    EXPECT_EQ(imageSyncState.planet, 6);
    imageSyncState.stop = 0;
    for (int i = 0; i < 150 && IsNetworkAllowed(); ++i) steps.push_back(SyncOnce());
    EXPECT_EQ(IsNetworkAllowed(), 0);
    EXPECT_EQ(ReportTexts().back(), "Sycnrhonization of the images is finished.\n");
    EXPECT_EQ(ReportTexts().size(), 2u);

    // 11 planets, 110 Messier objects, features 1 and 2 of the Moon and Mars, objects 1 and 2.
    ASSERT_EQ(steps.size(), 11u + 110u + 2u + 2u + 2u + 1u);
    auto is = [&](std::size_t i, const char* stage, const char* progress, const char* item) {
        SCOPED_TRACE(i);
        EXPECT_EQ(steps[i].stage, stage);
        EXPECT_EQ(steps[i].progress, progress);
        EXPECT_EQ(steps[i].item, item);
    };
    is(0, "Planet", "0/10", "Sun ko");
    is(4, "Planet", "4/10", "Mars ok");
    is(10, "Planet", "10/10", "Earth ko");
    is(11, "Messier", "1/110", "m1 ko");
    is(41, "Messier", "31/110", "m31 ok");
    is(120, "Messier", "110/110", "m110 ko");
    is(121, "Moon", "1/3", "Copernicus ok");
    is(122, "Moon", "2/3", "Plato ko");
    is(123, "Mars", "1/3", "mons_Olympus ok");
    is(124, "Mars", "2/3", "Gale ko");   // a kind without a prefix
    is(125, "DSO", "1/3", "NGC224 ok");
    is(126, "DSO", "2/3", "NGC7000 ko");
    EXPECT_EQ(asked.at(0), "img/planet/sun.jpg");
    EXPECT_TRUE(fs::exists(home / "img/messier/m31.jpg"));
    EXPECT_TRUE(fs::exists(home / "mars/mons_Olympus.jpg"));
}

}  // namespace
