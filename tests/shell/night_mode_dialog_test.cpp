#include "shell/night_mode_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/system_colors.h"
#include "shell/fonts.h"
#include "shell/forms_fixture.h"

using namespace forms_test;
using platform::Rgb;
using platform::Window;

namespace {

class NightModeDialogTest : public FormsFixture {
protected:
    void SetUp() override {
        FormsFixture::SetUp();
        Open(kFormA);
        ASSERT_TRUE(platform::IsWindow(formWindow));
    }
    void TearDown() override {
        FormsFixture::TearDown();
        platform::ResetSystemColors();
        nightColours.savedValid = false;
        preferences.word[pref::nightMode] = 0;
    }

    // Opens the dialog; it stays open (the program waits in its loop) until OK.
    Window OpenDialog() {
        Call([] { NightModeSettings(); });
        const auto stack = platform::ModalStack();
        return stack.empty() ? Window{} : stack.back();
    }
    static Window In(Window dialog, int id) { return platform::GetDialogItem(dialog, static_cast<std::uint16_t>(id)); }
    static std::string ModeLine(Window dialog) { return platform::GetWindowText(In(dialog, kNightModeLine)); }
    static int Mode() { return preferences.word[pref::nightMode]; }
};

TEST_F(NightModeDialogTest, ThreeThenOffEndsInTheNormalColours) {
    const platform::Color text = platform::SystemColor(platform::kColorWindowText);
    const Window dialog = OpenDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ModeLine(dialog), "Current Mode: <Normal> mode");
    EXPECT_EQ(platform::GetWindowRect(dialog), (platform::Rect{0, 0, 240, 88}));

    TapWindow(In(dialog, kNightModeLevel3));
    EXPECT_EQ(Mode(), 3);
    EXPECT_EQ(ModeLine(dialog), "Current Mode: <Bright> mode");
    EXPECT_EQ(platform::SystemColor(platform::kColorWindowText), Rgb(204, 0, 0));
    EXPECT_EQ(GetForeColor(), Rgb(204, 0, 0));

    TapWindow(In(dialog, kNightModeOff));
    EXPECT_EQ(Mode(), 0);
    EXPECT_EQ(ModeLine(dialog), "Current Mode: <Normal> mode");
    EXPECT_EQ(platform::SystemColor(platform::kColorWindowText), text);
    EXPECT_EQ(GetHighlightColor(), Rgb(62, 65, 200));
    EXPECT_EQ(platform::ModalStack().size(), 1u);  // each button acts with the dialog open
}

TEST_F(NightModeDialogTest, PresetThenOkRebuildsTheFormAndFreesTheStrips) {
    Call([] { LoadToolIcons(1); });
    ASSERT_NE(toolStrip.strip, nullptr);
    const std::vector<int> registry = Registry();
    const Window dialog = OpenDialog();
    TapWindow(In(dialog, kNightModeLevel1));
    TapWindow(In(dialog, kNightModePreset2005));
    EXPECT_EQ(platform::SystemColor(platform::kColorScrollBar), 0xE9DCC9u);
    TapWindow(In(dialog, kNightModePreset2003));
    EXPECT_EQ(Mode(), 0);
    EXPECT_EQ(ModeLine(dialog), "Current Mode: <Normal> mode");
    EXPECT_EQ(platform::SystemColor(platform::kColorScrollBar), 0xC0C0C0u);
    EXPECT_EQ(platform::SystemColor(platform::kColorButtonFace), 0xC0CCD9u);

    Log().clear();
    ShownIds().clear();
    TapWindow(In(dialog, platform::kIdOk));
    EXPECT_TRUE(platform::ModalStack().empty());
    const auto closed = std::find(Log().begin(), Log().end(), "close " + std::to_string(kFormA));
    const auto made = std::find(Log().begin(), Log().end(), "init " + std::to_string(kFormA));
    EXPECT_NE(closed, Log().end());
    EXPECT_LT(closed, made);
    EXPECT_EQ(ShownIds(), std::vector<int>{kFormA});
    EXPECT_EQ(GetCurrentFormId(), kFormA);
    EXPECT_EQ(toolStrip.strip, nullptr);
    EXPECT_EQ(Registry(), registry);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(NightModeDialogTest, TheTitleAndEscapeCloseWithoutChangingTheMode) {
    Window dialog = OpenDialog();
    TapWindow(In(dialog, kNightModeLevel2));
    TapWindow(In(dialog, kNightModeTitle));
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_EQ(Mode(), 2);

    dialog = OpenDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ModeLine(dialog), "Current Mode: <Medium> mode");
    Key(platform::kKeyEscape);
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_EQ(Mode(), 2);
    EXPECT_EQ(ShownIds().back(), kFormA);
}

// The program quitting (or the menu band asking for another form) closes the form under
// the open dialog: the dialog ends with it, leaving no control behind to be reported.
TEST_F(NightModeDialogTest, TheDialogEndsWithItsForm) {
    const Window dialog = OpenDialog();
    TapWindow(In(dialog, kNightModeLevel2));
    platform::ClearShownBoxes();
    Call([] { RestoreMainLayout(); });
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_FALSE(platform::IsWindow(dialog));
    EXPECT_TRUE(Texts().empty());
    EXPECT_TRUE(Registry().empty());
    EXPECT_EQ(Mode(), 2);
}

class NightModeWideScreen : public NightModeDialogTest {
protected:
    void SetUp() override {
        options.width = 300;
        NightModeDialogTest::SetUp();
    }
};

TEST_F(NightModeWideScreen, LevelButtonsKeepTheirDistanceFromTheRightEdge) {
    const Window dialog = OpenDialog();
    EXPECT_EQ(platform::GetWindowRect(dialog).Width(), 300);
    EXPECT_EQ(platform::GetRectInParent(In(dialog, kNightModeLevel3)).right, 296);
    EXPECT_EQ(platform::GetRectInParent(In(dialog, kNightModeOff)).left, 56);
}

}  // namespace
