// The event search over a year against python3-ephem (tests/data/eclipses/events_ephem.txt)
// and NASA's eclipse tables, at sites on UT and five hours behind it.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/calendar.h"
#include "core/report.h"
#include "eclipses/event_list.h"
#include "eclipses/event_search.h"
#include "published_eclipses.h"
#include "support/fixture_files.h"
#include "support/observing_state.h"

namespace {

class EventSearch : public ::testing::Test {
protected:
    void SetUp() override { FreeEventList(); }
    void TearDown() override { FreeEventList(); }
    // The UT Julian day of a record's local date and time.
    static double RecordJD(const EventRecord& r, int zone) {
        return DateTimeToJD(r.year, r.month, r.day, r.hour, r.minute, 0, zone);
    }
    static std::vector<EventRecord> OfType(int type) {
        std::vector<EventRecord> out;
        for (int i = 0; i < eventList.count; ++i)
            if (eventList.records[i].type == type) out.push_back(eventList.records[i]);
        return out;
    }
    SavedObservingState saved;
};

// The fixture row of `kind` whose instant (column `column`) is nearest to jd.
const std::vector<double>* Nearest(const std::vector<std::vector<double>>& rows, int column, double jd) {
    const std::vector<double>* best = nullptr;
    for (const auto& r : rows)
        if (!best || std::fabs(r[column] - jd) < std::fabs((*best)[column] - jd)) best = &r;
    return best;
}

TEST_F(EventSearch, AYearFromJanuary2024) {
    const auto phases = ReadTaggedFixtureRows("eclipses/events_ephem.txt", "phase");
    const auto aligned = ReadTaggedFixtureRows("eclipses/events_ephem.txt", "aligned");
    const auto closest = ReadTaggedFixtureRows("eclipses/events_ephem.txt", "closest");
    ASSERT_FALSE(phases.empty());
    const double start = JulianDay0h(2024, 1, 1), end = start + 370.0;
    for (int zone : {0, -300}) {
        SCOPED_TRACE(zone);
        FreeEventList();
        UseTestSite(40.0, 75.0, zone);
        SearchEventPeriod(2024, 1, 1, 370);

        // 13 Full and 13 New Moons at ephem's instants.
        int full = 0, fresh = 0;
        for (const EventRecord& r : OfType(kEventMoonPhase)) {
            const double jd = RecordJD(r, zone);
            const auto* p = Nearest(phases, 1, jd);
            EXPECT_EQ((*p)[0], r.value > 0.9f ? 1 : 0);
            EXPECT_NEAR(jd, (*p)[1], 5.0 / 1440.0);
            (r.value > 0.9f ? full : fresh)++;
        }
        EXPECT_EQ(full, 13);
        EXPECT_EQ(fresh, 13);

        // The four eclipses of the year on their lunations, at NASA's instants.
        const auto lunar = OfType(kEventLunarEclipse), solar = OfType(kEventSolarEclipse);
        ASSERT_EQ(lunar.size(), 2u);
        ASSERT_EQ(solar.size(), 2u);
        const EventRecord* eclipses[] = {&lunar[0], &solar[0], &lunar[1], &solar[1]};
        for (int i = 0; i < 4; ++i) {
            const PublishedEclipseTime& p = kEclipsesFrom2024[i];
            SCOPED_TRACE(testing::Message() << p.month << "/" << p.day);
            EXPECT_EQ(eclipses[i]->value, p.type);
            EXPECT_NEAR(RecordJD(*eclipses[i], zone), DateTimeToJD(p.year, p.month, p.day, p.hour, p.minute, 0, 0),
                        3.0 / 1440.0);
        }

        // Each inferior conjunction and opposition of the period once, on its day, and no
        // other.
        int expectedAligned = 0;
        for (const auto& a : aligned) {
            if (a[1] < start || a[1] >= end) continue;
            ++expectedAligned;
            int found = 0;
            for (const EventRecord& r : OfType(kEventOpposition)) {
                if (r.firstBody != static_cast<int>(a[0]) || std::fabs(RecordJD(r, zone) - a[1]) > 10.0) continue;
                ++found;
                EXPECT_NEAR(RecordJD(r, zone), a[1], 0.75) << "body " << a[0];
            }
            EXPECT_EQ(found, 1) << "body " << a[0] << " at " << a[1];
        }
        EXPECT_GE(expectedAligned, 8);  // Mercury three times, Saturn, Neptune, Uranus, Jupiter, Pluto
        EXPECT_EQ(static_cast<int>(OfType(kEventOpposition).size()), expectedAligned);

        // Conjunctions with the Sun and of two planets at their closest, within 2 hours; the
        // one 4.5 degrees from the Sun (Mercury, August) is gone.
        for (const auto& c : closest) {
            if (c[2] < start || c[2] >= end) continue;
            const EventRecord* match = nullptr;
            for (int i = 0; i < eventList.count; ++i) {
                const EventRecord& r = eventList.records[i];
                if (r.type == kEventConjunction && r.firstBody == c[0] && r.secondBody == c[1] &&
                    std::fabs(RecordJD(r, zone) - c[2]) < 3.0)
                    match = &r;
            }
            SCOPED_TRACE(testing::Message() << "bodies " << c[0] << " " << c[1] << " at " << c[2]);
            if (c[3] >= 3.0) {
                EXPECT_EQ(match, nullptr);
                continue;
            }
            ASSERT_NE(match, nullptr);
            EXPECT_NEAR(RecordJD(*match, zone), c[2], 2.0 / 24.0);
            EXPECT_NEAR(match->value, c[3], 0.05);
        }
        // Each approach once, though Mars and Saturn stay within 2 degrees of each other for
        // days while other records come between.
        const auto pairs = OfType(kEventConjunction);
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            EXPECT_LT(pairs[i].value, 3.0f);
            for (std::size_t j = i + 1; j < pairs.size(); ++j) {
                if (pairs[i].firstBody != pairs[j].firstBody || pairs[i].secondBody != pairs[j].secondBody) continue;
                EXPECT_GT(std::fabs(RecordJD(pairs[i], zone) - RecordJD(pairs[j], zone)), 1.0)
                    << "bodies " << pairs[i].firstBody << " " << pairs[i].secondBody;
            }
        }
    }
}

TEST_F(EventSearch, EveryInferiorConjunctionOfMercuryIsFound) {
    // Mercury moves 2 to 5 degrees a day against the Earth's direction: many of its passages
    // fall between two days on which it is more than 1 degree away.
    const auto passages = ReadTaggedFixtureRows("eclipses/events_ephem.txt", "mercury");
    ASSERT_GE(passages.size(), 25u);
    UseTestSite(40.0, 75.0, 0);
    std::vector<double> found;
    for (int year = 2020; year <= 2028; ++year) {
        FreeEventList();
        SearchEventPeriod(year, 1, 1, 370);
        for (const EventRecord& r : OfType(kEventOpposition))
            if (r.firstBody == 2) found.push_back(RecordJD(r, 0));
    }
    for (const auto& p : passages) {
        if (p[0] >= JulianDay0h(2029, 1, 5)) continue;
        double nearest = 1e9;
        for (double jd : found) nearest = std::fmin(nearest, std::fabs(jd - p[0]));
        EXPECT_LT(nearest, 0.75) << "passage at JD " << p[0];
    }
}

TEST_F(EventSearch, AMonthHasOneFullAndOneNewMoonAndASecondCallSearchesNothing) {
    UseTestSite(51.5, 0.0, 60);
    const int count = SearchEventPeriod(2024, 6, 1, 30);
    int full = 0, fresh = 0;
    for (const EventRecord& r : OfType(kEventMoonPhase)) (r.value > 0.9f ? full : fresh)++;
    EXPECT_EQ(full, 1);
    EXPECT_EQ(fresh, 1);
    EXPECT_FALSE(IsBusyShown());
    const int steps = BusySteps();
    EXPECT_EQ(SearchEventPeriod(2020, 1, 1, 370), count);
    EXPECT_EQ(BusySteps(), steps);
}

TEST_F(EventSearch, APairTooFarApartIsRemovedAndTheNextStillRefined) {
    UseTestSite(40.0, 75.0, 0);
    // Mercury and Saturn are far apart in June; Mars and Jupiter 0.3 degrees apart on
    // August 14 (ephem).
    AddEvent(0, 2, 0, 6, kEventConjunction, 1.9f, 2024, 6, 1, 0, 0, 1, 0);
    AddEvent(0, 4, 0, 5, kEventConjunction, 1.9f, 2024, 8, 14, 0, 0, 1, 0);
    AddEvent(0, 0, 0, 0, kEventMoonPhase, 100.0f, 2024, 8, 19, 18, 26, 1, 0);
    RefineConjunctions(0);
    ASSERT_EQ(eventList.count, 2);
    const EventRecord& r = eventList.records[0];
    EXPECT_EQ(r.day, 14);
    EXPECT_NEAR(r.hour + r.minute / 60.0, 14.9, 2.0);
    EXPECT_NEAR(r.value, 0.306, 0.05);
    EXPECT_EQ(eventList.records[1].type, kEventMoonPhase);
    EXPECT_EQ(eventList.records[1].hour, 18);
}

}  // namespace
