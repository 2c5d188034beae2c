// The day's moon events of Jupiter and Saturn: the scan against python3-ephem's spells
// (tests/data/planets/moon_events.txt), the refinement's cap, the cache and the sites.
#include "planets/moon_events.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "planets/jupiter_view.h"
#include "planets/planet_view_state.h"
#include "planets/saturn_phenomena.h"
#include "support/fixture_files.h"
#include "support/observing_state.h"

namespace {

class MoonEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = planetView;
        UseTestSite(48.85, -2.35, 0);
        Reset();
    }
    void TearDown() override {
        FreeSaturnTables();
        planetView = saved_;
    }
    static void Reset() { planetView.eventYear = -1; }
    // First start and last end of the listed records of a slot whose kind is in `kinds`
    // and which overlap [from, to]; false when there is none.
    static bool Spell(int slot, std::initializer_list<int> kinds, int from, int to, int* start, int* end) {
        bool found = false;
        for (const MoonEventRecord& r : planetView.moonEventTable) {
            if (r.startDay == 0 || r.slot != slot) continue;
            if (std::find(kinds.begin(), kinds.end(), r.kind) == kinds.end()) continue;
            const int s = MoonEventStart(r), e = MoonEventEnd(r);
            if (e < from || s > to) continue;
            *start = found ? std::min(*start, s) : s;
            *end = found ? std::max(*end, e) : e;
            found = true;
        }
        return found;
    }
    SavedObservingState site_;
    PlanetViewState saved_;
};

// Each spell of the reference that the day's scan reaches is listed with its start and end.
TEST_F(MoonEventsTest, MatchesTheIndependentScan) {
    const auto lines = ReadFixtureWords("planets/moon_events.txt");
    ASSERT_FALSE(lines.empty());
    int checked = 0;
    for (const auto& w : lines) {
        const bool jupiter = w[0] == "jupiter";
        int year = 0, month = 0, day = 0;
        ASSERT_EQ(std::sscanf(w[1].c_str(), "%d-%d-%d", &year, &month, &day), 3);
        const int slot = std::atoi(w[2].c_str());
        const bool transit = w[3] == "transit";
        const int first = std::atoi(w[4].c_str()), last = std::atoi(w[5].c_str());
        // Only spells that hold at one of the day's scan instants are found.
        const int step = jupiter ? 12 : 7;
        const int firstStep = std::max(step, (first + step - 1) / step * step);
        if (firstStep > last || firstStep > 23 * 60 + step) continue;
        Reset();
        ComputeMoonEvents(jupiter ? kJupiterMode : kSaturnMode, year, month, day);
        int start = 0, end = 0;
        const bool found = transit ? Spell(slot, {kTransit, kTransitAndShadow}, first, last, &start, &end)
                                   : Spell(slot, {kEclipse, kOccultation}, first, last, &start, &end);
        ASSERT_TRUE(found) << w[0] << " " << w[1] << " slot " << slot << " " << w[3];
        const int tolerance = jupiter ? (slot < 2 ? 10 : 30) : 5;
        // A hidden spell is an eclipse and an occultation in turn; the part of it that begins
        // outside the day's scan is not listed, so only its ends within the day compare.
        const std::string what = w[1] + " slot " + w[2] + " " + w[3];
        if (transit || first >= 0) EXPECT_NEAR(start, first, tolerance) << what;
        else EXPECT_GE(start, first - tolerance) << what;
        if (transit || last <= 23 * 60) EXPECT_NEAR(end, last, tolerance) << what;
        else EXPECT_LE(end, last + tolerance) << what;
        ++checked;
    }
    EXPECT_GE(checked, 8);
}

// The same UT day seen from a site an hour east and one five hours west: every listed
// spell keeps its instant, shifted by the zone.
TEST_F(MoonEventsTest, LocalTimesFollowTheSiteZone) {
    for (int mode : {kJupiterMode, kSaturnMode}) {
        const int year = 2025, month = mode == kJupiterMode ? 1 : 8, day = mode == kJupiterMode ? 16 : 20;
        UseTestSite(48.85, -2.35, 0);
        Reset();
        ComputeMoonEvents(mode, year, month, day);
        MoonEventRecord utc[kMoonEventCount];
        std::copy(std::begin(planetView.moonEventTable), std::end(planetView.moonEventTable), utc);
        for (int zone : {60, -300}) {
            UseTestSite(48.85, -2.35, zone);
            Reset();
            ComputeMoonEvents(mode, year, month, day);
            for (const MoonEventRecord& r : utc) {
                if (r.startDay == 0) continue;
                // Spells of the UT day that stay inside the local day are found at the same instant.
                int s0, e0;
                {
                    PlanetViewState copy = planetView;
                    planetView.eventYear = year, planetView.eventMonth = month, planetView.eventDay = day;
                    s0 = MoonEventStart(r), e0 = MoonEventEnd(r);
                    planetView = copy;
                }
                const int from = s0 + zone, to = e0 + zone;
                if (from < 60 || to > 22 * 60) continue;
                int start = 0, end = 0;
                ASSERT_TRUE(Spell(r.slot, {r.kind}, from, to, &start, &end)) << mode << " zone " << zone;
                EXPECT_NEAR(start, from, 1) << mode << " zone " << zone << " slot " << r.slot;
                EXPECT_NEAR(end, to, 1) << mode << " zone " << zone << " slot " << r.slot;
            }
        }
    }
}

// An eclipse in progress at midnight starts on the day before; the refinement never
// moves more than twelve hours; the table is reused for the same date.
TEST_F(MoonEventsTest, RefinementAndCache) {
    long scans = 0;
    EXPECT_EQ(ComputeMoonEvents(kJupiterMode, 2025, 1, 16, &scans), 1);
    const long first = scans;
    EXPECT_GT(first, 100);
    EXPECT_EQ(ComputeMoonEvents(kJupiterMode, 2025, 1, 16, &scans), 0);
    EXPECT_EQ(scans, first);
    bool previousDay = false;
    for (const MoonEventRecord& r : planetView.moonEventTable) {
        if (r.startDay == 0) continue;
        EXPECT_GE(MoonEventStart(r), -kMoonEventRefineLimit);
        EXPECT_LE(MoonEventEnd(r), 23 * 60 + kMoonEventRefineLimit);
        if (r.startDay == 15) previousDay = true;
        EXPECT_TRUE(MoonEventListed(r, 0));
    }
    EXPECT_TRUE(previousDay);  // Europa's spell from 21:55 the evening before
    // Sorted by moon, then by start.
    for (int i = 1; i < kMoonEventCount; ++i) {
        const MoonEventRecord &a = planetView.moonEventTable[i - 1], &b = planetView.moonEventTable[i];
        if (b.startDay == 0) continue;
        ASSERT_NE(a.startDay, 0);
        EXPECT_TRUE(a.slot < b.slot || (a.slot == b.slot && MoonEventStart(a) <= MoonEventStart(b)));
    }
}

// The Saturn filter keeps one moon.
TEST_F(MoonEventsTest, SaturnFilter) {
    ComputeMoonEvents(kSaturnMode, 2025, 8, 20);
    int all = 0;
    for (const MoonEventRecord& r : planetView.moonEventTable) {
        if (!MoonEventListed(r, 0)) continue;
        ++all;
        for (int filter = 1; filter <= 5; ++filter) EXPECT_EQ(MoonEventListed(r, filter), r.slot == filter - 1);
    }
    EXPECT_GE(all, 2);
    // The tables are freed after the scan.
    EXPECT_TRUE(saturnTables[0].empty());
}

// Each listed side is where the moon's state really changes, also when the side lies on the
// day before or after: the state holds at the start and the end and not a minute outside.
// Sides off the table's day keep their hours within 0..23.
TEST_F(MoonEventsTest, RefinedSidesAreExactAcrossMidnight) {
    struct Case {
        int mode, year, month, day;
    };
    const Case cases[] = {{kJupiterMode, 2025, 1, 16}, {kJupiterMode, 2025, 1, 17}, {kJupiterMode, 2025, 1, 18},
                          {kSaturnMode, 2025, 8, 20},  {kSaturnMode, 2025, 8, 21}};
    int before = 0, after = 0;
    for (const Case& c : cases) {
        Reset();
        ComputeMoonEvents(c.mode, c.year, c.month, c.day);
        const PlanetViewState table = planetView;
        for (const MoonEventRecord& r : table.moonEventTable) {
            if (!MoonEventListed(r, 0)) continue;
            const int start = MoonEventStart(r), end = MoonEventEnd(r);
            int states[kMoonEventSlots];
            const std::string what = std::to_string(c.day) + " slot " + std::to_string(r.slot) + " kind " +
                                     std::to_string(r.kind) + " " + std::to_string(start) + ".." +
                                     std::to_string(end);
            // Saturn's states come from tables sampled around the instant; tables placed
            // elsewhere than the scan's may move a side by a minute.
            const int slack = c.mode == kSaturnMode ? 1 : 0;
            for (int minute : {start + slack, end - slack}) {
                MoonEventStates(c.mode, c.year, c.month, c.day, minute, states);
                EXPECT_EQ(states[r.slot], r.kind) << what << " at " << minute;
            }
            MoonEventStates(c.mode, c.year, c.month, c.day, start - 1 - slack, states);
            EXPECT_NE(states[r.slot], r.kind) << what << " before the start";
            MoonEventStates(c.mode, c.year, c.month, c.day, end + 1 + slack, states);
            EXPECT_NE(states[r.slot], r.kind) << what << " after the end";
            EXPECT_LT(r.startHour, 24);
            EXPECT_LT(r.endHour, 24);
            if (start < 0) {
                ++before;
                EXPECT_NE(r.startDay, c.day) << what;
            }
            if (end >= 1440) {
                ++after;
                EXPECT_NE(r.endDay, c.day) << what;
            }
        }
        FreeSaturnTables();
    }
    EXPECT_GT(before, 0);
    EXPECT_GT(after, 0);
}

// The scan's last step is the first one in hour 23: a phenomenon that begins after it is
// not listed on that day, though it begins before midnight.
TEST_F(MoonEventsTest, PhenomenaAfterTheLastScanStepAreNotListed) {
    int late = 0;
    for (int mode : {kJupiterMode, kSaturnMode}) {
        const int lastStep = mode == kJupiterMode ? 23 * 60 : 198 * 7;
        for (int day = 1; day <= 12; ++day) {
            const int year = 2025, month = mode == kJupiterMode ? 1 : 8;
            Reset();
            ComputeMoonEvents(mode, year, month, day);
            const PlanetViewState table = planetView;
            int previous[kMoonEventSlots], now[kMoonEventSlots];
            MoonEventStates(mode, year, month, day, lastStep, previous);
            for (int minute = lastStep + 1; minute < 1440; ++minute) {
                MoonEventStates(mode, year, month, day, minute, now);
                for (int slot = 0; slot < kMoonEventSlots; ++slot) {
                    if (now[slot] == 0 || now[slot] == previous[slot]) continue;
                    ++late;
                    for (const MoonEventRecord& r : table.moonEventTable) {
                        if (!MoonEventListed(r, 0) || r.slot != slot || r.kind != now[slot]) continue;
                        PlanetViewState copy = planetView;
                        planetView = table;
                        EXPECT_LT(MoonEventEnd(r), minute) << mode << " day " << day << " slot " << slot;
                        planetView = copy;
                    }
                }
                std::copy(now, now + kMoonEventSlots, previous);
            }
            FreeSaturnTables();
        }
    }
    EXPECT_GT(late, 0);
}

}  // namespace
