// The event list: capacity, merging of a body's records, sorting and filters, the rows it
// draws, freeing, and a block that cannot be made.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/report.h"
#include "core/startup_alloc.h"
#include "eclipses/eclipses_services.h"
#include "eclipses/event_list.h"
#include "platform/resources.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "shell/forms_fixture.h"
#include "shell/list_views.h"
#include "shell/scratch_text.h"

namespace {

class EventList : public ::testing::Test {
protected:
    void SetUp() override { FreeEventList(); }
    void TearDown() override {
        FreeEventList();
        SetStartupAllocator(nullptr);
    }
    // A record of the type on a day; first body 0 unless given.
    static void Add(int type, int year, int month, int day, int hour = 0, int minute = 0, int body = 0,
                    float value = 0.0f, int second = 0) {
        AddEvent(0, body, 0, second, type, value, year, month, day, hour, minute, 1, 0);
    }
    static const EventRecord& At(int i) { return eventList.records[i]; }
};

TEST_F(EventList, HoldsAHundredRecords) {
    for (int i = 0; i < 101; ++i) Add(kEventMoonPhase, 2024, 1 + i % 12, 1 + i / 12);
    EXPECT_EQ(eventList.count, kEventListCapacity);
    EXPECT_EQ(At(99).month, 1 + 99 % 12);
}

TEST_F(EventList, ABodysRecordsMergeIntoTheClosest) {
    struct Case {
        const char* name;
        int body;
        float first, second;  // values of the first and the new record
        int between;          // other records added between them
        int count;            // records afterwards
        int day;              // day of the first record afterwards
        float value;
    };
    const Case cases[] = {
        {"smaller value takes its place", 5, 0.8f, 0.3f, 0, 1, 2, 0.3f},
        {"larger value leaves it", 5, 0.3f, 0.8f, 0, 1, 1, 0.3f},
        {"match three places back merges", 5, 0.8f, 0.3f, 2, 3, 2, 0.3f},
        {"match four places back appends", 5, 0.8f, 0.3f, 3, 5, 1, 0.8f},
        {"first body 0 never merges", 0, 0.8f, 0.3f, 0, 2, 1, 0.8f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreeEventList();
        AddEvent(0, c.body, 0, 0, kEventOpposition, c.first, 2024, 9, 1, 3, 0, 1, 0);
        for (int i = 0; i < c.between; ++i) Add(kEventMoonPhase, 2024, 9, 1);
        AddEvent(0, c.body, 0, 0, kEventOpposition, c.second, 2024, 9, 2, 7, 0, 1, 0);
        ASSERT_EQ(eventList.count, c.count);
        EXPECT_EQ(At(0).day, c.day);
        EXPECT_EQ(At(0).hour, c.day == 2 ? 7 : 3);
        EXPECT_FLOAT_EQ(At(0).value, c.value);
        EXPECT_EQ(At(0).flagA, 1);
    }
    // Another second body, type or spare key is another record.
    FreeEventList();
    AddEvent(0, 4, 0, 5, kEventConjunction, 1.0f, 2024, 8, 13, 0, 0, 1, 0);
    AddEvent(0, 4, 0, 6, kEventConjunction, 0.5f, 2024, 8, 14, 0, 0, 1, 0);
    AddEvent(0, 4, 0, 5, kEventOpposition, 0.5f, 2024, 8, 14, 0, 0, 1, 0);
    AddEvent(1, 4, 0, 5, kEventConjunction, 0.5f, 2024, 8, 14, 0, 0, 1, 0);
    EXPECT_EQ(eventList.count, 4);
}

TEST_F(EventList, FiltersPassConsecutiveRowsAfterSorting) {
    Add(kEventSolarEclipse, 2024, 10, 2, 18, 45, 0, 3.0f);
    Add(kEventMoonPhase, 2024, 3, 25, 7, 0, 0, 100.0f);
    Add(kEventConjunction, 2024, 8, 14, 15, 0, 4, 0.3f, 5);
    Add(kEventSolarEclipse, 2024, 4, 8, 18, 17, 0, 4.0f);
    Add(kEventLunarEclipse, 2024, 9, 18, 2, 44, 0, 2.0f);
    Add(kEventMoonPhase, 2024, 4, 8, 18, 0, 0, 0.0f);
    struct Case {
        int filter;
        int rows, first;
        std::vector<int> types;  // of the rows, in order
    };
    const Case cases[] = {
        {kEventFilterAll, 6, 0, {3, 3, 6, 2, 5, 6}},
        {kEventFilterConjunctions, 1, 0, {2}},
        {kEventFilterMoon, 2, 1, {3, 3}},
        {kEventFilterOppositions, 0, 6, {}},
        {kEventFilterEclipses, 3, 3, {5, 6, 6}},
        {7, 0, 6, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        eventList.filter = c.filter;
        EXPECT_EQ(SortEvents(), c.rows);
        EXPECT_EQ(FindFirstFilteredEvent(), c.first);
        for (int i = 0; i < c.rows; ++i) EXPECT_EQ(At(c.first + i).type, c.types[i]);
    }
    // Within a type, by date: the solar eclipses of April before October.
    eventList.filter = kEventFilterEclipses;
    SortEvents();
    EXPECT_EQ(At(4).month, 4);
    EXPECT_EQ(At(5).month, 10);
}

TEST_F(EventList, RecordsOfOneDaySortByHourAndMinute) {
    Add(kEventMoonPhase, 2025, 1, 1, 0, 0);
    Add(kEventConjunction, 2024, 6, 5, 23, 10, 2, 1.0f);
    Add(kEventMoonPhase, 2024, 6, 5, 6, 40);
    Add(kEventLunarEclipse, 2024, 6, 5, 6, 5);
    Add(kEventOpposition, 2024, 6, 4, 23, 59, 6, 0.5f);
    Add(kEventMoonPhase, 2023, 12, 31, 12, 0);
    SortEvents();
    const int expected[][3] = {{2023, 0, 0}, {2024, 4, 23}, {2024, 5, 6}, {2024, 5, 6}, {2024, 5, 23}, {2025, 0, 0}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(At(i).year, expected[i][0]);
        if (expected[i][1]) {
            EXPECT_EQ(At(i).day, expected[i][1]);
            EXPECT_EQ(At(i).hour, expected[i][2]);
        }
    }
    EXPECT_EQ(At(2).minute, 5);
    EXPECT_EQ(At(3).minute, 40);
    EXPECT_EQ(CompareEvents(At(2), At(2)), 0);
    EXPECT_LT(CompareEvents(At(2), At(3)), 0);
    EXPECT_GT(CompareEvents(At(3), At(2)), 0);
}

TEST_F(EventList, FreeingEmptiesTheListAndResetsTheFilter) {
    Add(kEventMoonPhase, 2024, 1, 1);
    eventList.filter = kEventFilterEclipses;
    FreeEventList();
    EXPECT_EQ(eventList.records, nullptr);
    EXPECT_EQ(eventList.count, 0);
    EXPECT_EQ(eventList.filter, 0);
    FreeEventList();
    EXPECT_EQ(FindFirstFilteredEvent(), 0);
    EXPECT_EQ(SortEvents(), 0);
}

TEST_F(EventList, ABlockThatCannotBeMadeIsToldOnce) {
    ClearRecordedReports();
    SetStartupAllocator([](std::size_t, std::size_t) -> void* { return nullptr; });
    Add(kEventMoonPhase, 2024, 1, 1);
    Add(kEventMoonPhase, 2024, 2, 1);
    EXPECT_EQ(eventList.count, 0);
    EXPECT_EQ(eventList.records, nullptr);
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(RecordedReports()[0].heading, "Can't allocate memory for the event list");
    SetStartupAllocator(nullptr);
    Add(kEventMoonPhase, 2024, 3, 1);
    EXPECT_EQ(eventList.count, 1);
}

// The rows on a 16-bit offscreen as wide as the Events view, against the texts and
// pictures they should hold drawn the same way.
class EventRows : public EventList {
protected:
    static constexpr int kWidth = 240, kHeight = 18;
    void SetUp() override {
        EventList::SetUp();
        ASSERT_TRUE(platform::LoadResources());
        if (!txtBuffer) {
            txtBuffer = static_cast<char*>(std::calloc(kTxtBufferSize, 1));
            ownText = true;
        }
        row = CreateOffscreenDIB(kWidth, kHeight, 16);
        expected = CreateOffscreenDIB(kWidth, kHeight, 16);
        ASSERT_NE(row, nullptr);
        ASSERT_NE(expected, nullptr);
        previous = GetCurrentDrawWindow();
        eventList.viewWidth = kWidth;
    }
    void TearDown() override {
        SetDrawWindow(previous);
        DeleteOffscreen(row);
        DeleteOffscreen(expected);
        if (ownText) {
            std::free(txtBuffer);
            txtBuffer = nullptr;
        }
        platform::ClearResources();
        EventList::TearDown();
    }
    // White, so that black text shows.
    static void Clear(DrawWindow* w) { std::memset(w->pixels, 0x7F, static_cast<std::size_t>(w->stride) * w->height); }
    // Draws row `r` into `row`.
    void DrawRow(int r) {
        Clear(row);
        SetDrawWindow(row);
        DrawEventRow(r, Bounds{0, 0, kWidth, kHeight}, 0, kWidth);
    }
    bool Same() const {
        return std::memcmp(row->pixels, expected->pixels, static_cast<std::size_t>(row->stride) * row->height) == 0;
    }
    bool Blank() const {
        for (int i = 0; i < row->stride * row->height; ++i)
            if (row->pixels[i] != 0x7F) return false;
        return true;
    }
    DrawWindow* row = nullptr;
    DrawWindow* expected = nullptr;
    DrawWindow* previous = nullptr;
    bool ownText = false;
};

TEST_F(EventRows, EveryTypeDrawsItsTextAndIcon) {
    constexpr int kIconX = kWidth - 50;
    struct Case {
        int type, body, second;
        float value;
        const char* text;
        int picture;              // bitmap drawn at the icon column (under the text for the Moon), or 0
        int symbols[2][2];        // body symbols (body, x), body -1 for none
    };
    const Case cases[] = {
        {kEventOpposition, 2, 0, 0.4f, "2024/04/11 Inf. Conj.", 0, {{2, kIconX + 6}, {-1, 0}}},
        {kEventOpposition, 6, 0, 0.2f, "2024/04/11 Opp. ", 0, {{6, kIconX + 6}, {-1, 0}}},
        {kEventConjunction, 4, 5, 0.3f, nullptr, 0, {{4, kIconX}, {5, kIconX + 15}}},
        {kEventMoonPhase, 0, 0, 100.0f, "2024/04/11 Full Moon", 6064, {{-1, 0}, {-1, 0}}},
        {kEventMoonPhase, 0, 0, 0.0f, "2024/04/11 New Moon", 6065, {{-1, 0}, {-1, 0}}},
        {kEventLunarEclipse, 0, 0, 1.0f, "2024/04/11 Penumbral lunar eclipse", 4077, {{-1, 0}, {-1, 0}}},
        {kEventLunarEclipse, 0, 0, 2.0f, "2024/04/11 Partial lunar eclipse", 4078, {{-1, 0}, {-1, 0}}},
        {kEventLunarEclipse, 0, 0, 4.0f, "2024/04/11 Total lunar eclipse", 4080, {{-1, 0}, {-1, 0}}},
        {kEventSolarEclipse, 0, 0, 2.0f, "2024/04/11 Partial solar eclipse", 4074, {{-1, 0}, {-1, 0}}},
        {kEventSolarEclipse, 0, 0, 3.0f, "2024/04/11 Annular solar eclipse", 4075, {{-1, 0}, {-1, 0}}},
        {kEventSolarEclipse, 0, 0, 4.0f, "2024/04/11 Total solar eclipse", 4076, {{-1, 0}, {-1, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "conjunction");
        FreeEventList();
        eventList.viewWidth = kWidth;
        AddEvent(0, c.body, 0, c.second, c.type, c.value, 2024, 4, 11, 5, 0, 1, 0);
        DrawRow(0);
        EXPECT_STREQ(txtBuffer, c.text ? c.text : "2024/04/11 Conj. 0.3000");
        Clear(expected);
        SetDrawWindow(expected);
        if (c.picture) {
            ASSERT_NE(CachedBitmap(c.picture), nullptr);
        }
        const bool pictureFirst = c.type == kEventMoonPhase;
        if (c.picture && pictureFirst) DrawBitmapMasked(c.picture, kIconX, 2);
        const std::string text = txtBuffer;
        DrawChars(text.c_str(), static_cast<int>(text.size()), 0, 0);
        if (c.picture && !pictureFirst) DrawBitmapMasked(c.picture, kIconX, 2);
        for (const auto& s : c.symbols)
            if (s[0] >= 0) DrawSymbolIcon(s[0], 0, s[1], 9);
        EXPECT_TRUE(Same());
    }
}

TEST_F(EventRows, UnknownTypesAndRowsOutsideTheListDrawNoRecord) {
    DrawRow(0);
    EXPECT_TRUE(Blank());
    Add(4, 2024, 1, 1);
    DrawRow(0);
    EXPECT_FALSE(Blank());
    Clear(expected);
    SetDrawWindow(expected);
    DrawString("Unknown event", 13, 0, 0);
    EXPECT_TRUE(Same());
    DrawRow(1);
    EXPECT_TRUE(Blank());
    // Filtered rows count from the first record that passes.
    Add(kEventMoonPhase, 2024, 2, 1, 0, 0, 0, 100.0f);
    eventList.filter = kEventFilterMoon;
    SortEvents();
    DrawRow(0);
    EXPECT_STREQ(txtBuffer, "2024/02/01 Full Moon");
}

// With the Events view's list on screen, sorting sets its row count to the filtered rows.
class EventListOnScreen : public forms_test::FormsFixture {
protected:
    void SetUp() override {
        FormsFixture::SetUp();
        FreeEventList();
        platform::DialogLayout layout;
        std::string error;
        ASSERT_TRUE(platform::ParseDialogLayout("dialog 60699\nrect 0 0 240 294\nlistview 2447 \"\" 0 24 240 200 ownerdraw\n",
                                                &layout, &error))
            << error;
        Call([&] {
            dialog = platform::CreateDialogFromLayout(layout, mainWindow, nullptr, 0);
            SetActiveFormHandle(dialog);
        });
    }
    void TearDown() override {
        FreeEventList();
        FormsFixture::TearDown();
    }
    platform::Window dialog;
};

TEST_F(EventListOnScreen, SortingSetsTheRowCountOfTheList) {
    AddEvent(0, 0, 0, 0, kEventMoonPhase, 100.0f, 2024, 3, 25, 7, 0, 1, 0);
    AddEvent(0, 0, 0, 0, kEventLunarEclipse, 1.0f, 2024, 3, 25, 7, 13, 1, 0);
    AddEvent(0, 0, 0, 0, kEventMoonPhase, 0.0f, 2024, 4, 8, 18, 0, 1, 0);
    for (auto [filter, rows] : {std::pair{kEventFilterAll, 3}, {kEventFilterMoon, 2}, {kEventFilterOppositions, 0}}) {
        SCOPED_TRACE(filter);
        eventList.filter = filter;
        int count = -1;
        Call([&] {
            SortEvents();
            count = GetListCount(FindListView(dialog, kEventListId));
        });
        EXPECT_EQ(count, rows);
    }
}

}  // namespace
