#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/resources.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

class ResourcesTest : public ::testing::Test {
protected:
    void TearDown() override { ClearResources(); }
};

TEST_F(ResourcesTest, TheProgramsResourcesLoad) {
    std::vector<std::string> problems;
    ASSERT_TRUE(LoadResources(fs::path(VELKARION_SOURCE_DIR) / "resources", &problems));
    EXPECT_TRUE(problems.empty()) << problems.front();

    EXPECT_EQ(LoadString(1), "Velkarion");
    EXPECT_EQ(LoadString(3), "POCKETPC");
    EXPECT_EQ(LoadString(999), "");

    const AcceleratorTable* keys = FindAccelerators(3);
    ASSERT_NE(keys, nullptr);
    ASSERT_EQ(keys->entries.size(), 1u);
    EXPECT_TRUE(keys->entries[0].control);
    EXPECT_EQ(keys->entries[0].key, 'Q');
    EXPECT_EQ(keys->entries[0].command, 1);

    const Menu* wide = FindMenu(102);
    const Menu* split = FindMenu(103);
    ASSERT_TRUE(wide && split);
    std::vector<std::string> titles;
    for (const MenuPopup& p : split->popups) titles.push_back(p.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"Tools", "Assistants", "Devices", "Settings"}));
    ASSERT_EQ(wide->popups.size(), 3u);
    const MenuPopup& assistants = wide->popups[1];
    EXPECT_EQ(assistants.title, "Assistants");
    EXPECT_EQ(assistants.items[3].text, "Comets&&Asteroids");
    EXPECT_EQ(assistants.items[3].command, 1028);
    EXPECT_TRUE(assistants.items[2].separator);
    EXPECT_EQ(wide->popups[0].items.back().text, "Quit");
    EXPECT_EQ(wide->popups[0].items.back().command, 1035);
    // The program does not read the platform's test layouts.
    EXPECT_EQ(FindDialogLayout(60001), nullptr);
}

TEST_F(ResourcesTest, SampleLayoutFileReads) {
    ASSERT_EQ(LoadDialogFolder(fs::path(VELKARION_SOURCE_DIR) / "resources/dialogs/test"), 1);
    const DialogLayout* d = FindDialogLayout(60001);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->caption, "Sample");
    EXPECT_EQ(d->rect, (Rect{0, 0, 240, 120}));
    ASSERT_EQ(d->controls.size(), 7u);
    EXPECT_EQ(d->controls[0].id, 0xFFFF);
    EXPECT_EQ(d->controls[4].kind, WindowKind::ListView);
    EXPECT_EQ(d->controls[4].flags, kLayoutHidden);
    EXPECT_EQ(d->controls[4].style, kStyleOwnerDraw | kStyleVScroll);
    EXPECT_EQ(d->controls[5].style, kStyleDefaultButton);
}

TEST_F(ResourcesTest, TextsBecomeWindows1252) {
    DialogLayout d;
    std::string error;
    ASSERT_TRUE(ParseDialogLayout("dialog 5\ncaption \"10\xC2\xB0 \\x95 \\\"a\\\" # not a comment\"  # a comment\n", &d, &error)) << error;
    EXPECT_EQ(d.caption, "10\xB0 \x95 \"a\" # not a comment");
}

TEST_F(ResourcesTest, BadLayoutsAreRefusedWithTheirLine) {
    const struct {
        const char* text;
        const char* line;
    } cases[] = {
        {"dialog 5\nwidget 1 \"\" 0 0 1 1\n", "line 2"},
        {"dialog 5\nbutton 1 \"OK 0 0 1 1\n", "line 2"},
        {"dialog 5\nbutton 1 OK 0 0 1 1\n", "line 2"},
        {"dialog 5\n\nbutton 1 \"OK\" 0 0 -1 1\n", "line 3"},
        {"dialog 5\nbutton 70000 \"OK\" 0 0 1 1\n", "line 2"},
        {"dialog 5\nbutton 1 \"OK\" 0 0 1 1 sparkly\n", "line 2"},
        {"dialog 5\ncaption \"\\q\"\n", "line 2"},
        {"button 1 \"OK\" 0 0 1 1\n", "no dialog"},
        // Rectangles whose edges an int cannot hold (the sums once overflowed).
        {"dialog 5\nrect 9223372036854775807 0 1 1\n", "line 2"},
        {"dialog 5\nrect 0 0 9223372036854775807 1\n", "line 2"},
        {"dialog 5\nrect 2147483647 0 1 1\n", "line 2"},
        {"dialog 5\nbutton 1 \"OK\" 0 -9223372036854775807 1 1\n", "line 2"},
        {"dialog 5\nbutton 1 \"OK\" 0 2147483000 1 1000\n", "line 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        DialogLayout d;
        std::string error;
        EXPECT_FALSE(ParseDialogLayout(c.text, &d, &error));
        EXPECT_NE(error.find(c.line), std::string::npos) << error;
    }
}

TEST_F(ResourcesTest, RectanglesUpToTheIntRangeRead) {
    DialogLayout d;
    std::string error;
    ASSERT_TRUE(ParseDialogLayout("dialog 5\nrect -2147483648 0 4294967295 2147483647\n", &d, &error)) << error;
    EXPECT_EQ(d.rect, (Rect{INT_MIN, 0, INT_MAX, INT_MAX}));
}

TEST_F(ResourcesTest, BitmapManifestEntries) {
    std::vector<std::string> problems;
    EXPECT_FALSE(ParseBitmapManifest("# id file w h key users\n"
                                     "124 popup.png 16 16 #FF00FF shell,settings\n"
                                     "4109 tools.png 168 63 none chart\n"
                                     "7 broken.png 0 10 none\n",
                                     &problems));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("line 4"), std::string::npos);
    const BitmapEntry* e = FindBitmapEntry(124);
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->hasKey);
    EXPECT_EQ(e->key, Rgb(255, 0, 255));
    EXPECT_EQ(e->users, (std::vector<std::string>{"shell", "settings"}));
    EXPECT_FALSE(FindBitmapEntry(4109)->hasKey);
    EXPECT_EQ(FindBitmapEntry(7), nullptr);
    EXPECT_EQ(BitmapPath(4109).filename(), "tools.png");
    EXPECT_TRUE(BitmapPath(7).empty());
}

TEST_F(ResourcesTest, FolderComesFromTheEnvironmentFirst) {
    const char* old = std::getenv("VELKARION_RESOURCES");
    const std::string saved = old ? old : "";
    setenv("VELKARION_RESOURCES", "/nowhere/res", 1);
    EXPECT_EQ(ResourcesFolder(), fs::path("/nowhere/res"));
    EXPECT_FALSE(LoadResources());
    unsetenv("VELKARION_RESOURCES");
    EXPECT_TRUE(fs::is_directory(ResourcesFolder()));
    if (old) setenv("VELKARION_RESOURCES", saved.c_str(), 1);
}

}  // namespace
