#include "shell/popup_lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gfx_context.h"
#include "platform/list_view.h"
#include "platform/system_colors.h"
#include "shell/list_views.h"
#include "shell/forms_fixture.h"
#include "shell/utilities.h"

using namespace forms_test;
using platform::LParam;
using platform::LResult;
using platform::Point;
using platform::Rect;
using platform::Window;
using platform::WParam;

namespace {

constexpr int kDialog = 60601;
constexpr int kTrigger = 60610;
constexpr int kList = 60611;
constexpr int kLowTrigger = 60612;
constexpr int kLowList = 60613;
constexpr int kRightTrigger = 60614;
constexpr int kRightList = 60615;
constexpr int kPlainList = 60620;
constexpr int kOwnerList = 60621;
constexpr int kOther = 60630;
constexpr int kUnder = 60640;

const char* const kLayout = R"(dialog 60601
rect 0 0 240 294
button 60610 "" 10 30 100 18
listview 60611 "" 10 48 100 60 hidden
button 60612 "" 10 250 100 18
listview 60613 "" 10 268 100 60 hidden
button 60614 "" 180 100 50 18
listview 60615 "" 180 118 100 60 hidden
listview 60620 "" 120 30 110 60
listview 60621 "" 120 150 110 60 ownerdraw
button 60630 "Other" 150 260 60 20
button 60640 "Under" 60 60 40 20
)";

struct OwnerRow {
    int row;
    Bounds rect;
    int flag;
    int width;
    Window target;
};

struct DialogLog {
    std::vector<WParam> commands;
    std::vector<OwnerRow> rows;
} seen;

void RecordRow(int row, Bounds rect, int flag, int width) {
    seen.rows.push_back(OwnerRow{row, rect, flag, width, drawState.window});
}

LResult DialogProc(Window d, unsigned m, WParam wp, LParam lp) {
    switch (m) {
        case platform::kMsgCommand: seen.commands.push_back(wp); return 1;
        case platform::kMsgDrawItem:
            DrawOwnerListItem(d, reinterpret_cast<const platform::DrawItemInfo*>(lp), &RecordRow);
            return 1;
        case platform::kMsgNotify: return DefaultListDispInfo(d, reinterpret_cast<platform::NotifyHeader*>(lp));
        default: return 0;
    }
}

// Quits as the program's main window does on Ctrl+Q (command 1), and counts what is posted
// to it.
int mainCommands = 0;
LResult QuittingMain(Window w, unsigned m, WParam wp, LParam lp) {
    if (m == platform::kMsgCommand && platform::LowWord(wp) == 1) {
        platform::PostQuitMessage(0);
        return 0;
    }
    if (m == platform::kMsgCommand && platform::LowWord(wp) == 4343) {
        ++mainCommands;
        return 0;
    }
    return TestMainProc(w, m, wp, lp);
}

std::string ListRowText(Window list, int row) {
    std::string text;
    platform::SendMessage(list, platform::kMsgListGetItemText, static_cast<WParam>(row), reinterpret_cast<LParam>(&text));
    return text;
}

// A modeless dialog of the tests' own over the main window, the form now current.
class PopupListTest : public FormsFixture {
protected:
    void SetUp() override {
        FormsFixture::SetUp();
        seen = DialogLog{};
        mainCommands = 0;
        platform::DialogLayout layout;
        std::string error;
        ASSERT_TRUE(platform::ParseDialogLayout(kLayout, &layout, &error)) << error;
        Call([&] {
            dialog = platform::CreateDialogFromLayout(layout, mainWindow, &DialogProc, 0);
            SetActiveFormHandle(dialog);
        });
        ASSERT_TRUE(platform::IsWindow(dialog));
    }

    void ExpectGeometry(int s) {
        const int rowHeight = RowHeight();
        Append(kList, 8);
        Append(kLowList, 8);
        Append(kRightList, 3);
        Call([&] {
            InitPopupList(dialog, kTrigger, kList, -1, -1, 0);
            InitPopupList(dialog, kLowTrigger, kLowList, -1, 0, 0);
            InitPopupList(dialog, kRightTrigger, kRightList, 3, 2, 0);
        });
        auto at = [&](int id) { return platform::GetRectInParent(Control(id)); };
        EXPECT_EQ(at(kList), (Rect{10 * s, 48 * s, 110 * s, 48 * s + 9 * rowHeight}));
        EXPECT_FALSE(platform::IsWindowVisible(Control(kList)));
        // Past the bottom: above, ending 22 x scale over the dialog's bottom edge.
        EXPECT_EQ(at(kLowList).top, 294 * s - 22 * s - 9 * rowHeight);
        EXPECT_EQ(at(kLowList).Height(), 9 * rowHeight);
        // Past the right edge: moved left, same width.
        EXPECT_EQ(at(kRightList), (Rect{140 * s, 118 * s, 240 * s, 118 * s + 2 * rowHeight}));
    }

    Window Control(int id) const { return platform::GetDialogItem(dialog, static_cast<std::uint16_t>(id)); }
    void Append(int list, int n) {
        Call([&] {
            for (int i = 0; i < n; ++i) AppendListItem(dialog, list, ("Row " + std::to_string(n - 1 - i)).c_str());
        });
    }
    // 8 rows, the default height, row 0 chosen.
    void MakePopup(int rows = 8, int visible = -1) {
        Append(kList, rows);
        Call([&] { InitPopupList(dialog, kTrigger, kList, -1, visible, 0); });
    }
    int RowHeight() const {
        const platform::Dc dc = platform::GetWindowDc(dialog);
        const int h = platform::TextExtent(dc, "A").height + platform::ScreenScale();
        platform::ReleaseDc(dialog, dc);
        return h;
    }
    // The middle of a row of a list, on the screen.
    Point RowPoint(int list, int row) const {
        const Rect r = platform::GetWindowRect(Control(list));
        return Point{r.left + 10, r.top + row * RowHeight() + RowHeight() / 2};
    }
    int Mark(int list) const { return ListSelectionMark(Control(list)); }
    bool Open() const { return platform::IsWindowVisible(Control(kList)); }
    int CommandsOf(WParam wp) const {
        int n = 0;
        for (WParam c : seen.commands) n += c == wp;
        return n;
    }

    Window dialog;
};

const WParam kPicked = platform::MakeLong(kTrigger, kList);

TEST_F(PopupListTest, AppendedRowsShowLastFirstAndFillListKeepsItsOrder) {
    Call([&] {
        for (const char* t : {"Star", "Nebula", "Galaxy"}) AppendListItem(dialog, kPlainList, t);
        AppendListItem(dialog, kPlainList, nullptr);
        AppendListItem(dialog, 999, "nowhere");
        AppendListItem(dialog, kPlainList, std::string(70, 'x').c_str());
    });
    const Window list = Control(kPlainList);
    EXPECT_EQ(GetListCount(list), 4);
    EXPECT_EQ(ListRowText(list, 0), std::string(kAppendTextLimit, 'x'));
    EXPECT_EQ(ListRowText(list, 1), "Galaxy");
    EXPECT_EQ(ListRowText(list, 3), "Star");

    const char* const texts[] = {"a", nullptr, "c"};
    Call([&] { FillList(list, texts, 3); });
    EXPECT_EQ(GetListCount(list), 3);
    EXPECT_EQ(ListRowText(list, 0), "a");
    EXPECT_EQ(ListRowText(list, 1), "");
    EXPECT_EQ(ListRowText(list, 2), "c");

    const Window owner = Control(kOwnerList);
    Call([&] { FillList(owner, nullptr, 5); });
    EXPECT_EQ(GetListCount(owner), 5);
    Call([&] { FillList(owner, nullptr, 2); });
    EXPECT_EQ(GetListCount(owner), 2);
    EXPECT_EQ(ListRowText(owner, 1), "Item 1");  // asked of the form
    EXPECT_EQ(GetListRowCount(kOwnerList), 2);
    EXPECT_EQ(GetListRowCount(999), 0);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(PopupListTest, PopupPlacementAtScaleOne) { ExpectGeometry(1); }

class PopupListScaleTwo : public PopupListTest {
protected:
    void SetUp() override {
        options.scale = 2;
        PopupListTest::SetUp();
    }
};
TEST_F(PopupListScaleTwo, PopupPlacementAtScaleTwo) { ExpectGeometry(2); }

TEST_F(PopupListTest, AListTallerThanTheDialogKeepsTheRowsThatFitAndScrolls) {
    Append(kLowList, 30);
    Call([&] { InitPopupList(dialog, kLowTrigger, kLowList, -1, 0, 0); });
    const Rect r = platform::GetRectInParent(Control(kLowList));
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.Height(), 294 / RowHeight() * RowHeight());
    EXPECT_TRUE(platform::ListScrollBarShown(Control(kLowList)));
}

TEST_F(PopupListTest, TappingTheTriggerOfAnEmptyListDoesNothing) {
    Call([&] { InitPopupList(dialog, kLowTrigger, kLowList, -1, 0, -1); });
    TapWindow(Control(kLowTrigger));
    EXPECT_FALSE(platform::IsWindowVisible(Control(kLowList)));
    TapWindow(Control(kOther));  // the program's own loop is running, not a popup's
    EXPECT_EQ(CommandsOf(kOther), 1);
}

TEST_F(PopupListTest, ADrawOnlyTriggerIgnoresTheStylusUntilGivenItsProcedureBack) {
    MakePopup();
    Call([&] { SetDrawOnlyProc(dialog, kTrigger); });
    TapWindow(Control(kTrigger));
    EXPECT_FALSE(Open());
    Call([&] { SetPopupListProc(dialog, kTrigger); });
    TapWindow(Control(kTrigger));
    EXPECT_TRUE(Open());
}

TEST_F(PopupListTest, DraggingOffTheListKeepsItOpenAndLiftingOnARowPicksIt) {
    MakePopup();
    TapWindow(Control(kTrigger));
    ASSERT_TRUE(Open());
    EXPECT_EQ(platform::GetFocus(), Control(kList));

    platform::headless::PenDown(RowPoint(kList, 1));
    platform::headless::PenMove(RowPoint(kList, 3));
    const Rect list = platform::GetWindowRect(Control(kList));
    platform::headless::PenMove(Point{list.right + 20, RowPoint(kList, 5).y});
    platform::headless::PenUp(Point{list.right + 20, RowPoint(kList, 5).y});
    EXPECT_TRUE(Open());
    EXPECT_EQ(Mark(kList), 3);
    EXPECT_TRUE(seen.commands.empty());

    Tap(RowPoint(kList, 5));
    EXPECT_FALSE(Open());
    EXPECT_EQ(seen.commands, std::vector<WParam>{kPicked});
    EXPECT_EQ(GetListSelection(kList), 5);
    EXPECT_EQ(platform::GetFocus(), dialog);
}

TEST_F(PopupListTest, ATapElsewhereClosesTheListAndDoesNothingMore) {
    MakePopup();
    TapWindow(Control(kTrigger));
    ASSERT_TRUE(Open());
    TapWindow(Control(kOther));
    EXPECT_FALSE(Open());
    EXPECT_TRUE(seen.commands.empty());
    TapWindow(Control(kOther));  // the next tap is the form's again
    EXPECT_EQ(CommandsOf(kOther), 1);
}

TEST_F(PopupListTest, UpAndDownMarkARowEscapeClosesWithoutAChoiceReturnChoosesIt) {
    MakePopup(3);
    TapWindow(Control(kTrigger));
    for (int i = 0; i < 5; ++i) Key(platform::kKeyDown);
    EXPECT_EQ(Mark(kList), 2);
    Key(platform::kKeyUp);
    EXPECT_EQ(Mark(kList), 1);
    EXPECT_TRUE(Open());
    EXPECT_TRUE(seen.commands.empty());

    // Escape: closed, and the choice is the one the list opened with.
    Key(platform::kKeyEscape);
    EXPECT_FALSE(Open());
    EXPECT_TRUE(seen.commands.empty());
    EXPECT_EQ(GetListSelection(kList), 0);
    EXPECT_EQ(GetPopupControl(Control(kTrigger))->selected, 0);
    EXPECT_EQ(platform::GetFocus(), dialog);

    // Return: the marked row is chosen, as a tap on it would.
    TapWindow(Control(kTrigger));
    ASSERT_TRUE(Open());
    Key(platform::kKeyDown);
    Key(platform::kKeyDown);
    Key(platform::kKeyReturn);
    EXPECT_FALSE(Open());
    EXPECT_EQ(seen.commands, std::vector<WParam>{kPicked});
    EXPECT_EQ(GetListSelection(kList), 2);
    EXPECT_EQ(GetPopupControl(Control(kTrigger))->selected, 2);
    EXPECT_EQ(platform::GetFocus(), dialog);
}

TEST_F(PopupListTest, CtrlQWhileOpenQuitsTheProgram) {
    Call([] { platform::SetWindowProc(mainWindow, &QuittingMain); });
    MakePopup();
    TapWindow(Control(kTrigger));
    ASSERT_TRUE(Open());
    Key('Q', true);
    EXPECT_FALSE(platform::headless::ProgramRunning());
}

TEST_F(PopupListTest, QuitPostedWhileOpenEndsTheProgramWithItsCode) {
    MakePopup();
    TapWindow(Control(kTrigger));
    ASSERT_TRUE(Open());
    Call([] { platform::PostQuitMessage(3); });
    EXPECT_FALSE(platform::headless::ProgramRunning());
    EXPECT_EQ(Stop(), 3);
}

TEST_F(PopupListTest, WhileOpenTheMainWindowIsServedAndOtherPostsWait) {
    Call([] { platform::SetWindowProc(mainWindow, &QuittingMain); });
    MakePopup();
    TapWindow(Control(kTrigger));
    ASSERT_TRUE(Open());
    Call([&] {
        platform::PostMessage(mainWindow, platform::kMsgCommand, 4343, 0);
        platform::PostMessage(dialog, platform::kMsgCommand, 4242, 0);
    });
    EXPECT_EQ(mainCommands, 1);
    EXPECT_TRUE(seen.commands.empty());
    // Painting goes on while the list is open, and what lies under the list stays under it.
    Call([&] {
        platform::InvalidateRect(Control(kPlainList), nullptr, false);
        platform::InvalidateRect(Control(kUnder), nullptr, false);
    });
    EXPECT_FALSE(platform::HasUpdateRect(Control(kPlainList)));
    EXPECT_FALSE(platform::HasUpdateRect(Control(kUnder)));
    const Rect under = platform::GetWindowRect(Control(kUnder));
    const Point listCorner = platform::ScreenToClient(Control(kList), Point{under.right - 2, under.bottom - 2});
    EXPECT_EQ(PixelOf(Control(kList), listCorner.x, listCorner.y),
              platform::PixelToColor(platform::ColorToPixel(platform::SystemColor(platform::kColorMenu))));

    Tap(RowPoint(kList, 2));
    EXPECT_EQ(seen.commands, (std::vector<WParam>{kPicked, 4242}));
}

TEST_F(PopupListTest, TheScrollBarOfAnOpenListScrollsWithoutPicking) {
    MakePopup(8, 4);
    TapWindow(Control(kTrigger));
    const Window list = Control(kList);
    ASSERT_TRUE(platform::ListScrollBarShown(list));
    const Rect r = platform::GetWindowRect(list);
    Tap(Point{r.right - platform::ListScrollBarWidth() / 2, r.bottom - 2});
    EXPECT_EQ(platform::SendMessage(list, platform::kMsgListGetTopIndex, 0, 0), 1);
    EXPECT_TRUE(Open());
    EXPECT_TRUE(seen.commands.empty());
    Tap(RowPoint(kList, 0));  // the first row shown is row 1 now
    EXPECT_EQ(GetListSelection(kList), 1);
}

TEST_F(PopupListTest, SetPopupListAndLabelDecideWhatTheTriggerShows) {
    MakePopup();
    const Window trigger = Control(kTrigger);
    PopupControl* st = GetPopupControl(trigger);
    ASSERT_NE(st, nullptr);
    // Whether anything is drawn in the trigger's text area.
    auto inked = [&] {
        const Rect rc = platform::GetClientRect(trigger);
        const platform::Color back = PixelOf(trigger, rc.right - 1, rc.bottom - 1);
        int n = 0;
        for (int y = 0; y < rc.bottom; ++y)
            for (int x = st->textOffset; x < rc.right; ++x) n += PixelOf(trigger, x, y) != back;
        return n;
    };
    Call([] { SetPopupList(kTrigger, kList, 2); });
    EXPECT_EQ(Mark(kList), 2);
    EXPECT_GT(inked(), 0);
    Call([] { SetPopupList(kTrigger, kList, -1); });
    EXPECT_STREQ(st->label, " ");
    EXPECT_EQ(Mark(kList), 2);  // the list is left alone
    EXPECT_EQ(inked(), 0);

    Call([] { SetPopupLabel(kTrigger, "Choose"); });
    EXPECT_STREQ(st->label, "Choose");
    EXPECT_GT(inked(), 0);
    Call([] { SetPopupLabel(kTrigger, ""); });
    EXPECT_STREQ(st->label, " ");
    EXPECT_EQ(inked(), 0);
    Call([] { SetPopupLabel(kTrigger, std::string(80, 'y').c_str()); });
    EXPECT_EQ(std::string(st->label), std::string(63, 'y'));
    Call([] { SetPopupLabel(kTrigger, nullptr); });
    EXPECT_STREQ(st->label, "");
    EXPECT_TRUE(Boxes().empty());

    Call([] {
        SetPopupList(999, kList, 1);
        SetPopupLabel(998, "x");
    });
    EXPECT_EQ(Texts(), (std::vector<std::string>{"SetPopupList:\nNULL popup Wnd\n999", "SetPopupLabel:\nNULL popup Wnd\n998"}));
}

TEST_F(PopupListTest, ListSelectionByIdWithItsReports) {
    Append(kPlainList, 4);
    const Window list = Control(kPlainList);
    int r[6] = {};
    Call([&] {
        r[0] = SetListSelection(kPlainList, 1);
        r[1] = SetListSelection(kPlainList, 1);
        r[2] = SetListSelection(kPlainList, 3);
        r[3] = SetListSelection(kPlainList, -1);
    });
    EXPECT_EQ(r[0], -1);
    EXPECT_EQ(r[1], 1);
    EXPECT_EQ(r[2], 1);
    EXPECT_EQ(r[3], -1);
    EXPECT_EQ(platform::SendMessage(list, platform::kMsgListGetNextItem, static_cast<WParam>(-1), platform::kItemSelected), -1);
    EXPECT_EQ(GetListSelection(kPlainList), 3);  // the mark stays
    Call([&] { r[4] = SetListSelection(kPlainList, 3); });
    EXPECT_EQ(r[4], 3);
    EXPECT_EQ(platform::SendMessage(list, platform::kMsgListGetNextItem, static_cast<WParam>(-1), platform::kItemSelected), 3);
    EXPECT_TRUE(Boxes().empty());

    Call([&] {
        r[5] = SetListSelection(999, 4);
        r[0] = GetListSelection(998);
    });
    EXPECT_EQ(r[5], 4);
    EXPECT_EQ(r[0], -1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Set: NULL List ptr\n999", "Get: NULL List ptr\n998"}));
}

TEST_F(PopupListTest, OwnerDrawnRowsOnTheHighlightOrTheMenuColour) {
    const Window list = Control(kOwnerList);
    Call([&] {
        FillList(list, nullptr, 3);
        SetListSelection(kOwnerList, 2);
        seen.rows.clear();
        platform::InvalidateRect(list, nullptr, false);
    });
    ASSERT_EQ(seen.rows.size(), 3u);
    const int h = platform::ListRowHeight(list);
    const int width = platform::GetClientRect(list).Width();
    EXPECT_EQ(seen.rows[2].row, 2);
    EXPECT_EQ(seen.rows[2].flag, 1);
    EXPECT_EQ(seen.rows[0].flag, 0);
    EXPECT_EQ(seen.rows[2].rect.y, 2 * h);
    EXPECT_EQ(seen.rows[2].rect.height, h);
    EXPECT_EQ(seen.rows[2].width, width);
    EXPECT_EQ(seen.rows[2].target, list);
    EXPECT_EQ(drawState.window, dialog);
    EXPECT_EQ(PixelOf(list, 3, 2 * h + 1), platform::PixelToColor(platform::ColorToPixel(GetHighlightColor())));
    EXPECT_EQ(PixelOf(list, 3, 1), platform::PixelToColor(platform::ColorToPixel(platform::SystemColor(platform::kColorMenu))));
}

TEST_F(PopupListTest, AListSendsItsIdForUpDownAndTapsOnRows) {
    Append(kPlainList, 3);
    const Window list = Control(kPlainList);
    Call([&] {
        InitList(dialog, kPlainList, -1, 0, 0);
        platform::SetFocus(list);
    });
    Key(platform::kKeyDown);
    EXPECT_EQ(Mark(kPlainList), 1);
    Key(platform::kKeyDown);
    Key(platform::kKeyDown);
    EXPECT_EQ(Mark(kPlainList), 2);
    Key(platform::kKeyUp);
    EXPECT_EQ(Mark(kPlainList), 1);
    EXPECT_EQ(CommandsOf(kPlainList), 4);

    Tap(RowPoint(kPlainList, 0));
    EXPECT_EQ(Mark(kPlainList), 0);
    EXPECT_EQ(CommandsOf(kPlainList), 5);
    Tap(RowPoint(kPlainList, 3));  // below the last row
    EXPECT_EQ(CommandsOf(kPlainList), 5);
    EXPECT_EQ(Registry(), std::vector<int>{kPlainList});
}

}  // namespace
