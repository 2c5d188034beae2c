// The eclipse list against NASA's tables, the durations of the lunar rows, and the greatest
// lunar eclipse against NASA and python3-ephem (tests/data/eclipses/events_ephem.txt).
#include <gtest/gtest.h>

#include <cmath>
#include <span>

#include "astro/lunar_phases.h"
#include "core/calendar.h"
#include "eclipses/eclipse_list.h"
#include "eclipses/eclipse_state.h"
#include "published_eclipses.h"
#include "support/fixture_files.h"
#include "support/observing_state.h"

namespace {

class EclipseList : public ::testing::Test {
protected:
    void TearDown() override { FreeEclipseList(&list); }
    SavedObservingState saved;
    EclipseEntry* list = nullptr;
};

double RowJD(const EclipseEntry& e) { return DateTimeToJD(e.year, e.month, e.day, e.hour, e.minute, e.second, 0); }

void ExpectRows(const EclipseEntry* rows, int count, std::span<const PublishedEclipseTime> expected) {
    ASSERT_EQ(count, static_cast<int>(expected.size()));
    for (int i = 0; i < count; ++i) {
        const PublishedEclipseTime& p = expected[i];
        SCOPED_TRACE(testing::Message() << p.year << "-" << p.month << "-" << p.day);
        EXPECT_EQ(rows[i].kind, p.kind);
        EXPECT_EQ(rows[i].type, p.type);
        EXPECT_EQ(rows[i].refined, -1);
        EXPECT_NEAR(RowJD(rows[i]), DateTimeToJD(p.year, p.month, p.day, p.hour, p.minute, 0, 0), 3.0 / 1440.0);
        if (p.kind == 1) {
            EXPECT_EQ(rows[i].duration, 0);
        }
    }
}

TEST_F(EclipseList, SixRowsFromADateMatchNasa) {
    struct Case {
        int year, month, day;
        std::span<const PublishedEclipseTime> expected;
    };
    const Case cases[] = {{2024, 1, 1, kEclipsesFrom2024}, {2006, 1, 1, kEclipsesFrom2006}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year);
        const int count = BuildEclipseList(&list, 6, c.year, c.month, c.day);
        ExpectRows(list, count, c.expected);
        // Nothing past the rows counted.
        EXPECT_EQ(list[count].kind, 0);
        EXPECT_EQ(list[count].year, 0);
    }
}

TEST_F(EclipseList, TheLunationThatReachesTheCountKeepsBothItsRows) {
    // From 2022 April 1 the first eclipse lunation has a solar and then a lunar eclipse.
    const int count = BuildEclipseList(&list, 1, 2022, 4, 1);
    ExpectRows(list, count, kEclipsesOf2022May);
    // A rebuild replaces the block; a count past what the block holds is cut to it.
    const int many = BuildEclipseList(&list, 99, 2024, 1, 1);
    EXPECT_GE(many, kEclipseListMaxCount);
    EXPECT_LE(many, kEclipseListRows);
}

TEST_F(EclipseList, LunarDurationsAreThoseOfTheDeepestPhase) {
    // Totality against NASA.
    for (const PublishedTotality& p : {kTotalLunar2019, kTotalLunar2022}) {
        SCOPED_TRACE(p.year);
        const int count = BuildEclipseList(&list, 2, p.year, p.month, 1);
        int found = 0;
        for (int i = 0; i < count; ++i) {
            if (list[i].kind != 0 || list[i].month != p.month) continue;
            ++found;
            EXPECT_EQ(list[i].type, kEclipseTotal);
            EXPECT_NEAR(list[i].duration, p.totalitySeconds, 180);
        }
        EXPECT_EQ(found, 1);
    }
    // A penumbral row spans the penumbral contacts and a partial one the umbral contacts of
    // the same results: the contacts that do not occur take no part.
    struct Case {
        int year, month;
        double type;
        int start, end;
    };
    const Case cases[] = {{2024, 3, kEclipsePenumbral, kLunarP1, kLunarP4}, {2024, 9, kEclipsePartial, kLunarU1, kLunarU4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.month);
        ASSERT_GE(BuildEclipseList(&list, 1, c.year, c.month, 1), 1);
        ASSERT_EQ(list[0].type, c.type);
        int y = c.year, m = c.month, d = 1, lunation = 0;
        double type = kEclipseNone, when = 0.0, circumstances[kLunarCircumstanceCount];
        GetMoonPhaseTime(kPhaseFullMoon, 1, &type, &when, &lunation, 1, &d, &m, &y, 0, 0, circumstances);
        ASSERT_EQ(type, c.type);
        EXPECT_TRUE(std::isnan(circumstances[kLunarU2]));
        EXPECT_NEAR(list[0].duration, (circumstances[c.end] - circumstances[c.start]) * 86400.0, 1.0);
        EXPECT_GT(list[0].duration, 3000);
    }
}

TEST_F(EclipseList, GreatestLunarEclipseMatchesNasaAndEphem) {
    const auto ephem = ReadTaggedFixtureRows("eclipses/events_ephem.txt", "greatest");
    ASSERT_EQ(ephem.size(), 2u);
    const PublishedTotality published[] = {kTotalLunar2019, kTotalLunar2022};
    for (int i = 0; i < 2; ++i) {
        const PublishedTotality& p = published[i];
        SCOPED_TRACE(p.year);
        ASSERT_GE(BuildEclipseList(&list, 2, p.year, p.month, 1), 1);
        const EclipseEntry* row = list[0].kind == 0 ? &list[0] : &list[1];
        SelectPositionSource(1);
        double separation = -1.0;
        const double greatest =
            GreatestLunarEclipse(row->year, row->month, row->day, row->hour, row->minute, row->second, &separation);
        EXPECT_EQ(positionSource, 0);
        EXPECT_NEAR(greatest, DateTimeToJD(p.year, p.month, p.day, p.hour, p.minute, p.second, 0), 30.0 / 86400.0);
        EXPECT_NEAR(greatest, ephem[i][3], 30.0 / 86400.0);
        EXPECT_NEAR(separation, ephem[i][4], 30.0);
        // In the window of the three samples, 4 hours up to the listed instant.
        const double listed = RowJD(*row);
        EXPECT_GT(greatest, listed - 4.0 / 24.0);
        EXPECT_LT(greatest, listed + 2.0 / 1440.0);
    }
}

TEST(EclipseTypeNames, NamesByType) {
    EXPECT_STREQ(EclipseTypeName(0), "");
    EXPECT_STREQ(EclipseTypeName(kEclipsePenumbral), "Penumbral");
    EXPECT_STREQ(EclipseTypeName(kEclipsePartial), "Partial");
    EXPECT_STREQ(EclipseTypeName(kEclipseAnnular), "Annular");
    EXPECT_STREQ(EclipseTypeName(kEclipseTotal), "Total");
    EXPECT_STREQ(EclipseTypeName(-1), "");
    EXPECT_STREQ(EclipseTypeName(7), "");
    EXPECT_STREQ(EclipseTypeName(std::nan("")), "");
}

}  // namespace
