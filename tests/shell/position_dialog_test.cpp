#include "shell/position_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/list_view.h"
#include "shell/forms_fixture.h"
#include "shell/list_views.h"

using namespace forms_test;
using platform::Point;
using platform::Rect;
using platform::Window;

namespace {

// What the chart hands in: buffers that hold the longest text it passes.
struct CallerTexts {
    char name[kPositionTextIn + 1];
    char first[kPositionTextIn + 1];
    char second[kPositionTextIn + 1];
    int type = -5;
    int result = -9;
    bool returned = false;
};

class PositionDialogTest : public FormsFixture {
protected:
    void SetUp() override {
        FormsFixture::SetUp();
        Open(kFormA);
        ASSERT_TRUE(platform::IsWindow(formWindow));
        Set("M42", "05:35:17", "-05:23:28");
    }

    void Set(const char* name, const char* first, const char* second) {
        std::memset(texts.name, '#', sizeof texts.name);
        std::memset(texts.first, '#', sizeof texts.first);
        std::memset(texts.second, '#', sizeof texts.second);
        std::strcpy(texts.name, name);
        std::strcpy(texts.first, first);
        std::strcpy(texts.second, second);
        texts.type = -5;
        texts.result = -9;
        texts.returned = false;
    }

    // Opens the dialog; it stays open until one of its buttons ends it.
    Window Run(int mode) {
        Call([this, mode] {
            texts.result = PositionInput(formWindow, mode, texts.name, texts.first, texts.second, &texts.type);
            texts.returned = true;
        });
        const auto stack = platform::ModalStack();
        return stack.empty() ? Window{} : stack.back();
    }
    static Window In(Window dialog, int id) { return platform::GetDialogItem(dialog, static_cast<std::uint16_t>(id)); }
    static std::string TextOf(Window dialog, int id) { return platform::GetWindowText(In(dialog, id)); }

    CallerTexts texts;
};

TEST_F(PositionDialogTest, LabelsFollowTheModeAndTheTextsAreShown) {
    struct Case {
        int mode;
        const char* first;
        const char* second;
    };
    for (const Case& c : {Case{0, "Az", "Alt"}, Case{1, "RA", "Dec"}}) {
        const Window dialog = Run(c.mode);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(TextOf(dialog, kPositionFirstLabel), c.first);
        EXPECT_EQ(TextOf(dialog, kPositionSecondLabel), c.second);
        EXPECT_EQ(TextOf(dialog, kPositionName), "M42");
        EXPECT_EQ(TextOf(dialog, kPositionSecond), "-05:23:28");
        EXPECT_EQ(platform::GetWindowRect(dialog), (Rect{0, 0, 240, 120}));
        TapWindow(In(dialog, kPositionCancel));
        EXPECT_TRUE(texts.returned);
    }
}

TEST_F(PositionDialogTest, OkWithoutThePopupGivesTypeNone) {
    const std::vector<int> registry = Registry();
    const Window dialog = Run(1);
    TapWindow(In(dialog, kPositionOk));
    ASSERT_TRUE(texts.returned);
    EXPECT_EQ(texts.result, 1);
    EXPECT_EQ(texts.type, kPositionTypeNone);
    EXPECT_STREQ(texts.first, "05:35:17");
    EXPECT_EQ(Registry(), registry);
    EXPECT_EQ(GetActiveForm(), formWindow);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(PositionDialogTest, PickingStarGivesSevenAndShowsIt) {
    const Window dialog = Run(1);
    const Window trigger = In(dialog, kPositionTypeTrigger);
    const Window list = In(dialog, kPositionTypeList);
    TapWindow(trigger);
    ASSERT_TRUE(platform::IsWindowVisible(list));
    ASSERT_EQ(GetListCount(list), 8);
    // The list is cut to the dialog's height: the last rows come into view by its scroll bar.
    const Rect r = platform::GetWindowRect(list);
    EXPECT_LE(r.bottom, platform::GetWindowRect(dialog).bottom);
    const int h = platform::ListRowHeight(list);
    auto top = [&] { return static_cast<int>(platform::SendMessage(list, platform::kMsgListGetTopIndex, 0, 0)); };
    const int page = r.Height() / h;
    for (int i = 0; i < 8 && top() + page <= kPositionTypeStar; ++i)
        Tap(Point{r.right - platform::ListScrollBarWidth() / 2, r.bottom - 2});
    ASSERT_GT(top() + page, kPositionTypeStar);
    Tap(Point{r.left + 10, r.top + (kPositionTypeStar - top()) * h + h / 2});
    EXPECT_FALSE(platform::IsWindowVisible(list));
    EXPECT_EQ(positionInput.type, kPositionTypeStar);
    std::string shown;
    platform::SendMessage(list, platform::kMsgListGetItemText, static_cast<platform::WParam>(ListSelectionMark(list)),
                          reinterpret_cast<platform::LParam>(&shown));
    EXPECT_EQ(shown, "Star");

    TapWindow(In(dialog, kPositionTitle));  // the title closes as Ok does
    ASSERT_TRUE(texts.returned);
    EXPECT_EQ(texts.result, 1);
    EXPECT_EQ(texts.type, kPositionTypeStar);
}

TEST_F(PositionDialogTest, CancelLeavesTheCallersTextsAlone) {
    const Window dialog = Run(1);
    TapWindow(In(dialog, kPositionName));
    Type("XYZ");
    EXPECT_EQ(TextOf(dialog, kPositionName), "M42XYZ");
    TapWindow(In(dialog, kPositionCancel));
    ASSERT_TRUE(texts.returned);
    EXPECT_EQ(texts.result, 0);
    EXPECT_STREQ(texts.name, "M42");
    EXPECT_EQ(texts.type, -5);
}

TEST_F(PositionDialogTest, TheDialogEndsWithItsFormAsCancelled) {
    const Window dialog = Run(1);
    ASSERT_TRUE(dialog);
    platform::ClearShownBoxes();
    Call([] { RestoreMainLayout(); });
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_TRUE(texts.returned);
    EXPECT_EQ(texts.result, 0);
    EXPECT_STREQ(texts.name, "M42");
    EXPECT_TRUE(Texts().empty());
    EXPECT_TRUE(Registry().empty());
}

TEST_F(PositionDialogTest, LongTextsComeInWholeAndGoBackCutToFourteen) {
    Set("ABCDEFGHIJKLMNOPQRSTUVWXY", "0123456789012345678901234", "short");
    const Window dialog = Run(1);
    EXPECT_EQ(TextOf(dialog, kPositionName), "ABCDEFGHIJKLMNOPQRSTUVWXY");
    EXPECT_EQ(TextOf(dialog, kPositionFirst), "0123456789012345678901234");
    TapWindow(In(dialog, kPositionOk));
    ASSERT_TRUE(texts.returned);
    EXPECT_STREQ(texts.name, "ABCDEFGHIJKLMN");
    EXPECT_STREQ(texts.first, "01234567890123");
    EXPECT_STREQ(texts.second, "short");
    // Nothing is written past the fourteen characters and their end.
    EXPECT_EQ(texts.name[kPositionTextOut + 1], 'P');
    EXPECT_EQ(texts.second[kPositionTextOut + 1], '#');
}

}  // namespace

