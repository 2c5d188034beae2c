// Object pictures on the headless screen: where a request looks, what a download keeps,
// the drawing into a rectangle, the picture view and its keys over the observing list.
#include "objects/object_pictures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "catalog/constellations.h"
#include "catalog/data_service.h"
#include "catalog/selection_list.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/picture_view.h"
#include "platform/headless.h"
#include "platform/paths.h"
#include "shell/forms_fixture.h"
#include "shell/utilities.h"
#include "support/http_test_server.h"
#include "support/recorded_reports.h"
#include "support/test_pictures.h"

namespace fs = std::filesystem;
using namespace forms_test;

namespace {

class PictureTest : public FormsFixture {
protected:
    void SetUp() override {
        FormsFixture::SetUp();
        if (HasFatalFailure()) return;
        SetDownloadTimeouts(2, 1);
        SetNetworkAllowed(0);
        pictureState = PictureState{};
        ClearRecordedReports();
    }
    void TearDown() override {
        FormsFixture::TearDown();
        FreeSelectionList();
        SetDownloadTimeouts(0, 0);
        SetNetworkAllowed(0);
        ClearRecordedReports();
    }

    void SetService(const std::string& url) {
        std::snprintf(preferences.dataUrl, sizeof preferences.dataUrl, "%s", url.c_str());
    }
    void Put(const std::string& relative, const std::vector<std::uint8_t>& bytes = SolidTestJpeg(16, 8, 200, 40, 40)) {
        ASSERT_TRUE(WriteTestFile(home / relative, bytes));
    }
    // Runs fn on the form's window as its draw target.
    // (The call may outlast this function: a modal view runs inside it.)
    void OnForm(std::function<void()> fn) {
        Call([fn] {
            const platform::Dc dc = platform::GetWindowDc(formWindow);
            SetDrawTarget(formWindow, dc);
            fn();
            platform::ReleaseDc(formWindow, dc);
        });
    }
    int Find(const std::string& name, int kind, int catalog) {
        int found = -1;
        Call([&] { found = FindObjectPicture(name.c_str(), kind, catalog); });
        return found;
    }
    // The screen as last presented.
    std::vector<std::uint16_t> Screen() {
        EXPECT_TRUE(RunUntilIdle());
        const platform::Surface& s = platform::headless::Frame();
        std::vector<std::uint16_t> pixels;
        for (int y = 0; y < s.height; ++y) pixels.insert(pixels.end(), s.Row(y), s.Row(y) + s.width);
        return pixels;
    }

    // An observing list of `count` NGC entries labelled E0, E1, ...
    void MakeList(int count) {
        ASSERT_EQ(AllocSelectionList(), 1);
        for (int i = 0; i < count; ++i) {
            SelectionRecord& r = selectionList.records[i];
            r = SelectionRecord{};
            std::snprintf(r.label, sizeof r.label, "E%d", i);
            r.objectNumber = 1000 + i;
            r.catalogCode = 42;
            selectionList.index[i] = i;
            selectionListPtr[i] = &r;
        }
        selectionList.recordCount = selectionList.indexCount = count;
    }
    void Key(int key) {
        OnForm([key] { PictureViewKey(key); });
    }
    std::string Current() const { return pictureState.fileName; }
};

TEST_F(PictureTest, EachRequestLooksInTheFolderOfItsKindAndCatalog) {
    Open(kFormA);
    const struct {
        const char* name;
        int kind, catalog;
        const char* file;   // where the picture lies, or "" for none
    } cases[] = {
        {"A100", 0, 1, "img/abell/A100.jpg"},
        {"0", 0, 13, "img/const/And.jpg"},
        {"88", 0, 13, "img/const/Vul.jpg"},
        {"vul", 0, 13, "img/const/Vul.jpg"},
        {"IC342", 0, 29, "img/ic/IC342.jpg"},
        {"M31", 0, 40, "img/messier/m31.jpg"},   // found whatever the case of the file
        {"NGC224, Andromeda Galaxy", 0, 42, "img/ngc/NGC224.jpg"},
        {"Mars", 0, 45, "img/planet/Mars.jpg"},
        {"Pal1", 0, 43, "img/misc/Pal1.jpg"},
        {"20240510M42, Orion", 1, 0, "shots/20240510M42.jpg"},
        {"mons_Olympus", 3, 0, "mars/mons_Olympus.jpg"},
        {"Copernicus", 4, 0, "moon/Copernicus.jpg"},
        {"Tycho", 5, 0, "small_moon/Tycho.jpg"},
        {"NGC224", 0, 29, ""},   // in the NGC folder, not the IC one
        {"89", 0, 13, ""},
        {"Xyz", 0, 13, ""},
    };
    for (const auto& c : cases)
        if (*c.file) Put(c.file);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Find(c.name, c.kind, c.catalog), *c.file ? 1 : 0);
        EXPECT_EQ(pictureState.catalogCode, c.catalog);
        if (*c.file) {
            EXPECT_TRUE(platform::EqualNoCase(std::string(pictureState.foundName) + ".jpg",
                                              fs::path(c.file).filename().string()));
        }
    }
    EXPECT_STREQ(PictureFolder(6, 0), "maps");
    EXPECT_TRUE(ReportTexts().empty()) << ReportTexts().front();

    for (int kind : {2, 7}) {
        ClearRecordedReports();
        EXPECT_EQ(Find("M31", kind, 40), 0);
        EXPECT_EQ(ReportTexts(), std::vector<std::string>{"Unkown image folder\nfolder kind " + std::to_string(kind)});
    }
    // A picture the user adds while the program runs is found at the next request.
    EXPECT_EQ(Find("NGC7000", 0, 42), 0);
    Put("img/ngc/ngc7000.jpg");
    EXPECT_EQ(Find("NGC7000", 0, 42), 1);
}

TEST_F(PictureTest, DownloadsKeepOnlyWholePicturesAndStopWhenTheServiceHasNothing) {
    Open(kFormA);
    const std::vector<std::uint8_t> good = NoiseTestJpeg(40, 40);
    ASSERT_GT(good.size(), 2000u);
    std::vector<std::uint8_t> cut = NoiseTestJpeg(80, 80, 7);
    cut.resize(cut.size() / 2);
    ASSERT_GT(cut.size(), 2000u);
    const std::vector<std::uint8_t> huge = NoiseTestJpeg(640, 640, 3);
    ASSERT_GE(huge.size(), kPictureReplyLimit);
    auto text = [](const std::vector<std::uint8_t>& b) { return std::string(b.begin(), b.end()); };
    HttpTestServer server([&](const std::string& target) {
        const std::string name = target.substr(target.rfind('/') + 1);
        if (name == "good.jpg" || name == "x.jpg" || name == "ab.jpg") return HttpTestReply{200, text(good)};
        if (name == "short.jpg") return HttpTestReply{200, std::string(2000, 'x')};
        if (name == "page.jpg") return HttpTestReply{200, "<html>" + std::string(5000, ' ') + "</html>"};
        if (name == "cut.jpg") return HttpTestReply{200, text(cut)};
        if (name == "huge.jpg") return HttpTestReply{200, text(huge)};
        return HttpTestReply{200, ""};
    });
    SetService(server.Url("/velkarion/"));
    SetNetworkAllowed(1);

    EXPECT_EQ(Find("Good", 0, 42), 1);
    const std::string head = server.Requests().at(0);
    EXPECT_NE(head.find("getdata.php?param1=0&param2=65&param3=58274106&param4=30&param5=1&param6=img/ngc/good.jpg "),
              std::string::npos)
        << head;
    EXPECT_TRUE(fs::is_regular_file(home / "img/ngc/Good.jpg"));
    EXPECT_EQ(Find("Good", 0, 42), 1);
    EXPECT_EQ(server.Requests().size(), 1u) << "a kept picture is found without asking again";

    // Replies that are no picture, or not all of one, leave nothing and keep the downloads on.
    for (const char* name : {"short", "page", "cut", "huge"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Find(name, 0, 42), 0);
        EXPECT_FALSE(fs::exists(home / "img/ngc" / (std::string(name) + ".jpg")));
        EXPECT_EQ(IsNetworkAllowed(), 1);
    }
    // Names from imported catalogs stay inside the folder.
    EXPECT_EQ(Find("../../x", 0, 42), 1);
    EXPECT_EQ(Find("a/b", 0, 42), 1);
    EXPECT_TRUE(fs::exists(home / "img/ngc/x.jpg"));
    EXPECT_TRUE(fs::exists(home / "img/ngc/ab.jpg"));
    EXPECT_FALSE(fs::exists(home.parent_path() / "x.jpg"));
    EXPECT_TRUE(ReportTexts().empty()) << ReportTexts().front();

    // An empty reply: nothing for this run, and no further request.
    const std::size_t asked = server.Requests().size();
    EXPECT_EQ(Find("none", 0, 42), 0);
    EXPECT_EQ(IsNetworkAllowed(), 0);
    EXPECT_EQ(Find("other", 0, 42), 0);
    EXPECT_EQ(server.Requests().size(), asked + 1);
}

TEST_F(PictureTest, WithoutAServiceAddressOrAWritableFolderNothingIsKept) {
    Open(kFormA);
    preferences.dataUrl[0] = 0;
    SetNetworkAllowed(1);
    EXPECT_EQ(Find("M31", 0, 40), 0);
    EXPECT_EQ(IsNetworkAllowed(), 0);
    EXPECT_TRUE(ReportTexts().empty());

    const std::vector<std::uint8_t> good = NoiseTestJpeg(40, 40);
    HttpTestServer server([&](const std::string&) { return HttpTestReply{200, std::string(good.begin(), good.end())}; });
    SetService(server.Url("/"));
    SetNetworkAllowed(1);
    Put("img", {1, 2, 3});   // a plain file where the folder should be
    EXPECT_EQ(Find("M31", 0, 40), 0);
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_TRUE(fs::is_regular_file(home / "img"));
    ASSERT_EQ(ReportTexts().size(), 1u);
    EXPECT_EQ(ReportTexts()[0].rfind("Can't save picture\n" + (home / "img/messier/M31.jpg").string(), 0), 0u)
        << ReportTexts()[0];
}

TEST_F(PictureTest, APictureIsDrawnIntoItsRectangleWithItsNameInTheDayOrNightColour) {
    Open(kFormA);
    Put("img/ngc/NGC1.jpg", SolidTestJpeg(64, 32, 0, 0, 200));
    for (int night : {0, 1}) {
        SCOPED_TRACE(night);
        preferences.word[pref::nightMode] = night;
        int shown = 0;
        // Below the form's controls; the picture covers the rectangle, so the only pixels of
        // the name's colour are the name's.
        OnForm([&] { shown = ShowObjectPicture("NGC1", 10, 200, 64, 32, 0, 0, 42); });
        ASSERT_EQ(shown, 1);
        EXPECT_STREQ(pictureState.fileName, "NGC1.jpg");
        const platform::Color text = night ? platform::Rgb(255, 0, 0) : platform::Rgb(255, 255, 255);
        int textPixels = 0;
        for (int y = 200; y < 232; ++y)
            for (int x = 10; x < 74; ++x) textPixels += PixelOf(formWindow, x, y) == text;
        EXPECT_GT(textPixels, 0);
        // Below the name, the picture (blue by day; nothing but red is left at night).
        const platform::Color below = PixelOf(formWindow, 70, 228);
        EXPECT_EQ(platform::GreenOf(below), 0);
        EXPECT_NE(night ? platform::RedOf(below) : platform::BlueOf(below), 0);
    }
    EXPECT_EQ(Find("None", 0, 42), 0);
    int shown = -1;
    OnForm([&] { shown = ShowObjectPicture("None", 0, 0, 160, 160, 0, 0, 42); });
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(ReportTexts().empty()) << "a missing picture is no error";
}

TEST_F(PictureTest, ThePictureViewOpensOverTheFormAndATapPutsTheScreenBack) {
    Open(kFormA);
    ASSERT_TRUE(RunUntilIdle());
    Put("img/const/Ori.jpg", SolidTestJpeg(32, 32, 0, 180, 0));
    const std::vector<std::uint16_t> before = Screen();
    int shown = 0;
    // The Finder asks by number, the list by abbreviation: both show the same file.
    OnForm([&] { shown = ShowObjectPicture("60", 0, 0, 160, 160, 1, 0, 13); });
    ASSERT_EQ(platform::ModalStack().size(), 1u);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_STREQ(pictureState.fileName, "Ori.jpg");
    EXPECT_STREQ(ConstellationTable[60].abbreviation, "Ori");
    EXPECT_NE(Screen(), before);
    TapWindow(platform::ModalStack()[0]);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(Screen(), before);
    EXPECT_TRUE(ReportTexts().empty()) << ReportTexts().front();
}

TEST_F(PictureTest, TheViewsKeysStepThroughTheListsPictures) {
    Open(kFormA);
    MakeList(7);
    Put("img/ngc/E2.jpg");
    Put("img/ngc/E5.jpg");
    selectionList.records[6].catalogCode = 29;
    pictureState.folderKind = 0;

    Key(platform::kKeyRight);
    EXPECT_EQ(Current(), "E2.jpg");
    EXPECT_EQ(pictureState.listPicturePosition, 3);
    Key(platform::kKeyDown);
    EXPECT_EQ(Current(), "E5.jpg");
    Key(platform::kKeyRight);
    EXPECT_EQ(Current(), "E5.jpg");
    // The search went over an IC entry; the picture shown is still drawn from its own folder.
    EXPECT_EQ(pictureState.catalogCode, 42);
    Key(platform::kKeyLeft);
    EXPECT_EQ(Current(), "E2.jpg");
    Key(platform::kKeyUp);
    EXPECT_EQ(Current(), "E2.jpg") << "the first picture stays";
    EXPECT_EQ(pictureState.listPicturePosition, 0);

    pictureState.fileName[0] = 0;
    pictureState.listPicturePosition = 3;
    Key(kFirstApplicationKey);
    EXPECT_EQ(Current(), "E5.jpg");

    // A Caldwell entry is named by its catalog designation.
    selectionList.records[0].group = kGroupCaldwell;
    Put("img/ngc/NGC1000.jpg");
    pictureState.listPicturePosition = 0;
    OnForm([] { ShowListPictureFrom(0, 0); });
    EXPECT_EQ(Current(), "NGC1000.jpg");
    EXPECT_EQ(pictureState.listPicturePosition, 1);
}

TEST_F(PictureTest, AHeldKeyEndsALongSearchAndAnEmptyListDoesNothing) {
    Open(kFormA);
    MakeList(25);
    Put("img/ngc/E24.jpg");
    platform::headless::KeyDown(platform::kKeyRight);
    Key(platform::kKeyRight);
    EXPECT_EQ(pictureState.listPicturePosition, 11);
    EXPECT_EQ(Current(), "");
    platform::headless::KeyUp(platform::kKeyRight);
    RunUntilIdle();
    Key(platform::kKeyRight);
    EXPECT_EQ(Current(), "E24.jpg");

    FreeSelectionList();
    ASSERT_EQ(AllocSelectionList(), 1);
    pictureState = PictureState{};
    pictureState.listPicturePosition = 4;
    for (int key : {platform::kKeyRight, platform::kKeyLeft, 193})
        Key(key);
    OnForm([] { ShowListPictureFrom(1, 1); });
    EXPECT_EQ(pictureState.listPicturePosition, 4);
    EXPECT_EQ(Current(), "");
}

TEST_F(PictureTest, TheNextListPictureStartsAtTheListsPositionAndTellsWhetherMoreMayFollow) {
    Open(kFormA);
    MakeList(7);
    Put("img/ngc/E2.jpg");
    Put("img/ngc/E5.jpg");
    const struct {
        int current;
        const char* shown;
        int more;
    } cases[] = {{-1, "E2.jpg", 1}, {3, "E5.jpg", 1}, {99, "E2.jpg", 1}, {6, "", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.current);
        selectionList.currentPosition = c.current;
        pictureState.fileName[0] = 0;
        int more = -1;
        OnForm([&] { more = ShowNextListPicture(); });
        if (*c.shown) {
            ASSERT_EQ(platform::ModalStack().size(), 1u);
            EXPECT_EQ(Current(), c.shown);
            // The view's keys go on from the picture it opened with.
            Call([] { platform::SendMessage(platform::ModalStack()[0], platform::kMsgKeyDown, platform::kKeyRight, 0); });
            EXPECT_EQ(Current(), "E5.jpg");
            TapWindow(platform::ModalStack()[0]);
            ASSERT_TRUE(RunUntilIdle());
        }
        EXPECT_TRUE(platform::ModalStack().empty());
        EXPECT_EQ(more, c.more);
    }
}

}  // namespace
