#include "platform/list_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/surface.h"
#include "platform/system_colors.h"
#include "support/headless_fixture.h"

using namespace platform;

namespace {

constexpr std::uint16_t kListId = 7;

// What the list's parent saw.
struct OwnerLog {
    std::vector<DrawItemInfo> drawn;
    int measured = 0;
    int measureHeight = 0;   // 0: leave the list's own height
    std::vector<int> asked;  // rows whose text was requested
    int commands = 0;
    int notifications = 0;
} owner;

LResult OwnerProc(Window w, unsigned m, WParam wp, LParam lp) {
    switch (m) {
        case kMsgDrawItem:
            owner.drawn.push_back(*reinterpret_cast<DrawItemInfo*>(lp));
            return 1;
        case kMsgMeasureItem: {
            ++owner.measured;
            auto* info = reinterpret_cast<MeasureItemInfo*>(lp);
            if (owner.measureHeight) info->height = owner.measureHeight;
            return 1;
        }
        case kMsgNotify: {
            auto* header = reinterpret_cast<NotifyHeader*>(lp);
            if (header->code != kNotifyListDisplayInfo) {
                ++owner.notifications;
                return 0;
            }
            auto* info = reinterpret_cast<ListDisplayInfo*>(lp);
            owner.asked.push_back(info->item);
            info->text = "Row " + std::to_string(info->item);
            return 0;
        }
        case kMsgCommand: ++owner.commands; return 0;
        default: return DefWindowProc(w, m, wp, lp);
    }
}

class ListViewTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        owner = OwnerLog{};
        Start();
    }

    // A list `rows` text rows high (the row height of the list's own font) inside a window.
    void Make(int rows, std::uint32_t style = 0) {
        Call([&] {
            InstallListView();
            WindowSpec top;
            top.rect = Rect{0, 0, 240, 300};
            top.proc = &OwnerProc;
            parent = CreateWindow(top);
            WindowSpec child;
            child.kind = WindowKind::ListView;
            child.parent = parent;
            child.id = kListId;
            child.style = style;
            child.rect = Rect{10, 10, 130, 20};
            list = CreateWindow(child);
            rowHeight = ListRowHeight(list);
            MoveWindow(list, Rect{10, 10, 130, 10 + rows * rowHeight}, true);
        });
    }

    LResult Send(unsigned m, WParam wp = 0, LParam lp = 0) {
        LResult r = 0;
        Call([&] { r = SendMessage(list, m, wp, lp); });
        return r;
    }
    void Insert(int at, const char* text) { Send(kMsgListInsertItem, static_cast<WParam>(at), reinterpret_cast<LParam>(text)); }
    std::string Text(int row) {
        std::string out;
        Send(kMsgListGetItemText, static_cast<WParam>(row), reinterpret_cast<LParam>(&out));
        return out;
    }
    void SetState(int row, unsigned state, unsigned mask) {
        Send(kMsgListSetItemState, static_cast<WParam>(row), static_cast<LParam>(MakeLong(static_cast<std::uint16_t>(state), static_cast<std::uint16_t>(mask))));
    }
    int Selected() { return static_cast<int>(Send(kMsgListGetNextItem, static_cast<WParam>(-1), kItemSelected)); }
    int Top() { return static_cast<int>(Send(kMsgListGetTopIndex)); }
    int Hit(Point p) { return static_cast<int>(Send(kMsgListHitTest, 0, reinterpret_cast<LParam>(&p))); }
    void Fill(int n) {
        for (int i = 0; i < n; ++i) Insert(1000, ("Item " + std::to_string(i)).c_str());
    }
    // The colour on the screen surface at a client point of the list.
    Color PixelAt(int x, int y) const {
        const Surface* s = WindowSurface(list);
        const Point o = WindowOrigin(list);
        return PixelToColor(s->Row(y + o.y)[x + o.x]);
    }
    static Color AsDrawn(Color c) { return PixelToColor(ColorToPixel(c)); }
    Point OnScreen(int x, int y) const { return ClientToScreen(list, Point{x, y}); }

    Window parent;
    Window list;
    int rowHeight = 0;
};

TEST_F(ListViewTest, RowsGoInAtTheTopOrTheEndAndDeleteAllEmptiesTheList) {
    Make(5);
    Insert(0, "A");
    Insert(0, "B");
    Insert(0, "C");
    Insert(99, "D");
    EXPECT_EQ(Send(kMsgListGetItemCount), 4);
    EXPECT_EQ(Text(0), "C");
    EXPECT_EQ(Text(2), "A");
    EXPECT_EQ(Text(3), "D");
    EXPECT_EQ(Text(9), "");

    // The mark follows its row when a row goes in above it.
    Send(kMsgListSetSelectionMark, 0, 2);
    Insert(0, "E");
    EXPECT_EQ(Send(kMsgListGetSelectionMark), 3);

    Send(kMsgListDeleteAll);
    EXPECT_EQ(Send(kMsgListGetItemCount), 0);
    EXPECT_EQ(Send(kMsgListGetSelectionMark), -1);
}

TEST_F(ListViewTest, CountOnlyRowsAskTheParentForTheirTextAndTextRowsSurviveACount) {
    Make(5);
    Send(kMsgListSetItemCount, 3);
    EXPECT_EQ(Send(kMsgListGetItemCount), 3);
    EXPECT_EQ(Text(2), "Row 2");
    RunUntilIdle();
    EXPECT_NE(std::find(owner.asked.begin(), owner.asked.end(), 0), owner.asked.end());

    Send(kMsgListDeleteAll);
    Insert(0, "kept");
    Send(kMsgListSetItemCount, 3);
    EXPECT_EQ(Send(kMsgListGetItemCount), 3);
    Send(kMsgListSetItemCount, 0);
    EXPECT_EQ(Send(kMsgListGetItemCount), 1);
    EXPECT_EQ(Text(0), "kept");
}

TEST_F(ListViewTest, SelectionIsSingleAndTheMarkIsApartFromTheStates) {
    Make(5);
    Fill(4);
    SetState(1, kItemSelected, kItemSelected);
    EXPECT_EQ(Selected(), 1);
    SetState(3, kItemSelected, kItemSelected);
    EXPECT_EQ(Selected(), 3);
    EXPECT_EQ(Send(kMsgListGetItemState, 1, kItemSelected), 0);

    // Rows that do not exist are ignored.
    EXPECT_EQ(Send(kMsgListSetItemState, 4, static_cast<LParam>(MakeLong(kItemSelected, kItemSelected))), 0);
    EXPECT_EQ(Send(kMsgListSetItemState, static_cast<WParam>(-2), static_cast<LParam>(MakeLong(kItemSelected, kItemSelected))), 0);
    EXPECT_EQ(Selected(), 3);

    EXPECT_EQ(Send(kMsgListSetSelectionMark, 0, 2), -1);
    SetState(-1, 0, kItemSelected | kItemFocused);
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(Send(kMsgListGetSelectionMark), 2);
}

TEST_F(ListViewTest, HitTestEnsureVisibleAndTopIndex) {
    Make(4);
    Fill(3);
    EXPECT_EQ(Send(kMsgListGetCountPerPage), 4);
    EXPECT_FALSE(ListScrollBarShown(list));
    EXPECT_EQ(Hit(Point{5, 0}), 0);
    EXPECT_EQ(Hit(Point{5, 2 * rowHeight + 1}), 2);
    EXPECT_EQ(Hit(Point{5, 3 * rowHeight + 1}), -1);  // below the last row
    EXPECT_EQ(Hit(Point{5, -1}), -1);

    Fill(7);  // 10 rows in a list of 4: the scroll bar appears
    ASSERT_TRUE(ListScrollBarShown(list));
    const int width = GetClientRect(list).Width();
    EXPECT_EQ(Hit(Point{width - 2, 1}), -1);  // on the scroll bar

    Send(kMsgListEnsureVisible, 6);
    EXPECT_EQ(Top(), 3);
    EXPECT_EQ(Hit(Point{5, 1}), 3);
    Rect r;
    ASSERT_EQ(Send(kMsgListGetItemRect, 6, reinterpret_cast<LParam>(&r)), 1);
    EXPECT_EQ(r.top, 3 * rowHeight);
    EXPECT_EQ(r.right, width - ListScrollBarWidth());
    Send(kMsgListEnsureVisible, 1);
    EXPECT_EQ(Top(), 1);
    Send(kMsgListEnsureVisible, 2);  // already in view
    EXPECT_EQ(Top(), 1);

    // Fewer rows than the top index left: the top comes back.
    Send(kMsgListDeleteAll);
    Fill(2);
    EXPECT_EQ(Top(), 0);
}

TEST_F(ListViewTest, SelectedRowIsDrawnAcrossInTheHighlightColours) {
    Make(4);
    const Color back = Rgb(0, 255, 0);
    Send(kMsgListSetBackColor, 0, static_cast<LParam>(back));
    Send(kMsgListSetExtendedStyle, kListFullRowSelect, kListFullRowSelect);
    Fill(3);
    SetState(1, kItemSelected, kItemSelected);
    RunUntilIdle();
    const int width = GetClientRect(list).Width();
    const Color highlight = AsDrawn(SystemColor(kColorHighlight));
    EXPECT_EQ(PixelAt(1, rowHeight + 1), highlight);
    EXPECT_EQ(PixelAt(width - 2, rowHeight + 1), highlight);
    EXPECT_EQ(PixelAt(width - 2, 1), back);
    EXPECT_EQ(PixelAt(width - 2, 3 * rowHeight + 2), back);  // after the rows

    // The text of an unselected row in the text colour.
    const Color text = Rgb(255, 0, 0);
    Send(kMsgListSetTextColor, 0, static_cast<LParam>(text));
    RunUntilIdle();
    int inked = 0;
    for (int x = 0; x < width; ++x)
        for (int y = 2 * rowHeight; y < 3 * rowHeight; ++y) inked += PixelAt(x, y) == text;
    EXPECT_GT(inked, 0);
}

TEST_F(ListViewTest, OwnerDrawnRowsAreMeasuredOnceAndDrawnByTheParent) {
    owner.measureHeight = 20;
    Make(1, kStyleOwnerDraw);
    Call([&] { MoveWindow(list, Rect{10, 10, 130, 70}, true); });
    Send(kMsgListSetItemCount, 5);
    SetState(1, kItemSelected, kItemSelected);
    owner.drawn.clear();
    Call([&] { InvalidateRect(list, nullptr, false); });
    EXPECT_EQ(owner.measured, 1);
    EXPECT_EQ(rowHeight, 20);
    ASSERT_EQ(owner.drawn.size(), 3u);  // rows 0 to 2 fit in 60 pixels
    const DrawItemInfo& row1 = owner.drawn[1];
    EXPECT_EQ(row1.item, 1);
    EXPECT_EQ(row1.controlId, kListId);
    EXPECT_EQ(row1.window, list);
    EXPECT_NE(row1.dc, 0u);
    EXPECT_TRUE(row1.state & kStateSelected);
    EXPECT_FALSE(owner.drawn[0].state & kStateSelected);
    EXPECT_EQ(row1.rect, (Rect{0, 20, 120 - ListScrollBarWidth(), 40}));
    EXPECT_TRUE(owner.asked.empty());
}

TEST_F(ListViewTest, PenSelectsARowWithoutTellingAnyoneAndKeysLeaveItAlone) {
    Make(4);
    Fill(3);
    Tap(OnScreen(5, 2 * rowHeight + 2));
    EXPECT_EQ(Send(kMsgListGetSelectionMark), 2);
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(GetFocus(), list);
    Key(kKeyUp);
    Key(kKeyDown);
    Key(kKeyDown);
    EXPECT_EQ(Send(kMsgListGetSelectionMark), 2);
    EXPECT_EQ(owner.commands + owner.notifications, 0);

    Tap(OnScreen(5, 3 * rowHeight + 2));  // below the last row
    EXPECT_EQ(Selected(), 2);
}

TEST_F(ListViewTest, ScrollBarStepsPagesAndFollowsTheThumb) {
    Make(5);
    Fill(20);
    ASSERT_TRUE(ListScrollBarShown(list));
    const Rect rc = GetClientRect(list);
    const int x = rc.right - ListScrollBarWidth() / 2;
    const int arrow = ListScrollBarWidth();

    Tap(OnScreen(x, rc.bottom - arrow / 2));  // down arrow
    EXPECT_EQ(Top(), 1);
    Tap(OnScreen(x, arrow / 2));  // up arrow
    EXPECT_EQ(Top(), 0);
    Tap(OnScreen(x, rc.bottom - arrow - 2));  // track below the thumb
    EXPECT_EQ(Top(), 5);
    Tap(OnScreen(x, arrow + 1));  // track above the thumb
    EXPECT_EQ(Top(), 0);

    // Held on the down arrow, it repeats.
    headless::PenDown(OnScreen(x, rc.bottom - arrow / 2));
    Advance(1000);
    headless::PenUp(OnScreen(x, rc.bottom - arrow / 2));
    const int afterHold = Top();
    EXPECT_GT(afterHold, 3);
    Advance(1000);
    EXPECT_EQ(Top(), afterHold);

    // The thumb dragged to the end of the track shows the last page.
    Send(kMsgListEnsureVisible, 0);
    ASSERT_EQ(Top(), 0);
    Drag(OnScreen(x, arrow + 2), OnScreen(x, rc.bottom - 1), 6, 120);
    EXPECT_EQ(Top(), 15);
    Drag(OnScreen(x, rc.bottom - arrow - 2), OnScreen(x, 0), 6, 120);
    EXPECT_EQ(Top(), 0);
}

}  // namespace
