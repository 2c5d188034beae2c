// The Brightest and Best Dates rankings over small comet databases: the magnitude cut, the
// order of equal keys, the records left out, the reference dates, and the least Earth
// distance against a scan of every minute.
#include <gtest/gtest.h>

#include <cmath>

#include "astro/minor_body_magnitude.h"
#include "core/calendar.h"
#include "objects/comet_position.h"
#include "planets/orbit_fixture.h"

namespace {

int YearOf(double jd) {
    int year = 0;
    JDToDate(jd, &year, nullptr, nullptr, nullptr, nullptr, nullptr);
    return year;
}

double Delta(const CometRecord& r, double jd) {
    CometPosition p;
    ComputeCometPosition(MakeCometElements(r), jd, YearOf(jd), &p);
    return p.earthDistance;
}

// The magnitude the Brightest list computes for the record at jd.
double Magnitude(const CometRecord& r, double jd, int year) {
    CometPosition p;
    ComputeCometPosition(MakeCometElements(r), jd, year, &p);
    return CometMagnitude(static_cast<int>(r.kind), r.magnitude1, r.magnitude2, p.sunDistance, p.earthDistance,
                          p.phaseAngle);
}

// The record with g chosen so that its magnitude at jd, stored as a float, is `target`.
CometRecord WithMagnitude(CometRecord r, double jd, int year, float target) {
    r.magnitude2 = 0.0f;
    r.magnitude1 = static_cast<float>(target - (Magnitude(r, jd, year) - r.magnitude1));
    for (int i = 0; i < 8 && static_cast<float>(Magnitude(r, jd, year)) != target; ++i)
        r.magnitude1 = std::nextafter(r.magnitude1, static_cast<float>(Magnitude(r, jd, year)) > target ? -100.0f : 100.0f);
    return r;
}

std::vector<int> Records(const std::vector<CometListEntry>& entries) {
    std::vector<int> out;
    for (const auto& e : entries) out.push_back(e.record);
    return out;
}

TEST_F(OrbitFormTest, BrightestCutsAt19AndKeepsRecordOrderForEqualHundredths) {
    const double jd = DateTimeToJD(2023, 10, 1, 0, 0, 0, 0);
    const CometRecord base = EnckeLike();
    CometRecord unsolvable = base;
    unsolvable.perihelionDistance = 0.0f;
    const CometRecord at19 = WithMagnitude(base, jd, 2023, 19.0f);
    ASSERT_EQ(static_cast<float>(Magnitude(at19, jd, 2023)), 19.0f);
    WriteComets({at19, WithMagnitude(base, jd, 2023, 19.01f), WithMagnitude(base, jd, 2023, 10.004f),
                 WithMagnitude(base, jd, 2023, 10.001f), unsolvable, WithMagnitude(base, jd, 2023, 12.0f)});
    std::vector<CometListEntry> entries;
    Call([&] { entries = ComputeBrightestEntries(2023, 10, 1, 0, 0); });
    // 10.004 and 10.001 share the key 1000: record order, not the magnitude, decides.
    EXPECT_EQ(Records(entries), (std::vector<int>{2, 3, 5, 0}));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[3].magnitude, 19.0f);
    EXPECT_EQ(entries[0].year, 2023);
    EXPECT_EQ(entries[0].day, 1);
}

TEST_F(OrbitFormTest, EmptyListMakesTheFirstRecordCurrent) {
    const double jd = DateTimeToJD(2023, 10, 1, 0, 0, 0, 0);
    WriteComets({WithMagnitude(EnckeLike(), jd, 2023, 25.0f), WithMagnitude(EnckeLike(), jd, 2023, 24.0f)});
    S().year = 2023, S().month = 10, S().day = 1, S().hour = 0, S().minute = 0;
    S().currentComet = 1;
    Call([] { BuildBrightestList(); });
    EXPECT_TRUE(cometMagList.empty());
    EXPECT_EQ(S().currentComet, 0);
}

TEST_F(OrbitFormTest, BestDatesKeepReferenceDatesUpTo30DaysPast) {
    CometRecord days30 = EnckeLike("30 days");
    days30.year = 2023, days30.month = 9, days30.perihelionDay = 1.0f;
    CometRecord days31 = EnckeLike("31 days");
    days31.year = 2023, days31.month = 8, days31.perihelionDay = 31.0f;
    CometRecord faint = EnckeLike("faint");
    faint.magnitude1 = 40.0f;
    WriteComets({days31, days30, faint});
    std::vector<CometListEntry> entries;
    Call([&] { entries = ComputeBestDatesEntries(2023, 10, 1, 0, 0); });
    EXPECT_EQ(Records(entries), (std::vector<int>{1}));
}

TEST(CometReferenceDate, AsteroidMirrorsItsPerihelionDateAboutItsEpoch) {
    CometRecord r = MakeComet("asteroid", 2010, 6, 23.0, 2.5, 0.1, 10, 20, 5, 8.0, 0.15, 18);
    r.epochJd = static_cast<float>(DateTimeToJD(2010, 7, 23, 0, 0, 0, 0));
    EXPECT_DOUBLE_EQ(CometReferenceDate(r), DateTimeToJD(2010, 8, 22, 0, 0, 0, 0));
    // Even with a fraction in the perihelion day, the asteroid's date is taken at 0 h.
    r.perihelionDay = 23.6f;
    EXPECT_DOUBLE_EQ(CometReferenceDate(r), DateTimeToJD(2010, 8, 22, 0, 0, 0, 0));
    CometRecord comet = EnckeLike();
    EXPECT_DOUBLE_EQ(CometReferenceDate(comet), MakeCometElements(comet).perihelionJd);
}

// The least distance inside the window by a scan of every minute.
double ScanLeast(const CometRecord& r, double first, double last, double* least) {
    double best = first;
    *least = Delta(r, first);
    for (double t = first; t <= last; t += 1.0 / 1440.0)
        if (const double d = Delta(r, t); d < *least) *least = d, best = t;
    return best;
}

TEST(FindLeastEarthDistance, MatchesAMinuteScanWhetherOrNotTheWindowBracketsTheMinimum) {
    const CometRecord r = EnckeLike();
    const double ref = MakeCometElements(r).perihelionJd;
    // Encke-like comets pass nearest the Earth a few days before this perihelion; the later
    // windows see the distance only rising.
    int atAnEnd = 0;
    for (double shift : {-10.0, 0.0, 40.0, 100.0}) {
        const double first = ref + shift - 30.0, last = ref + shift + 30.0;
        double jd = 0.0, distance = 0.0, least = 0.0;
        ASSERT_EQ(FindLeastEarthDistance(r, first, ref + shift, last, &jd, &distance), 1);
        const double scanned = ScanLeast(r, first, last, &least);
        EXPECT_NEAR(jd, scanned, 1.0 / 1440.0) << shift;
        EXPECT_LE(distance, least + 1e-12) << shift;
        EXPECT_GE(jd, first);
        EXPECT_LE(jd, last);
        if (std::fabs(jd - first) < 1e-3 || std::fabs(jd - last) < 1e-3) ++atAnEnd;
    }
    EXPECT_GE(atAnEnd, 1);
    CometRecord broken = r;
    broken.perihelionDistance = 0.0f;
    double jd = 0.0, distance = 0.0;
    EXPECT_EQ(FindLeastEarthDistance(broken, ref - 30.0, ref, ref + 30.0, &jd, &distance), 0);
}

TEST_F(OrbitFormTest, BestDateRowTakesTheLeastDistanceWithThePerihelionSunDistance) {
    const CometRecord r = EnckeLike();
    WriteComets({r});
    std::vector<CometListEntry> entries;
    Call([&] { entries = ComputeBestDatesEntries(2023, 10, 1, 0, 0); });
    ASSERT_EQ(entries.size(), 1u);
    const double ref = MakeCometElements(r).perihelionJd;
    double least = 0.0;
    const double best = ScanLeast(r, ref - 30.0, ref + 30.0, &least);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    JDToDate(best, &year, &month, &day, &hour, &minute, nullptr);
    const double found = DateTimeToJD(entries[0].year, entries[0].month, entries[0].day, entries[0].hour,
                                      entries[0].minute, 0, 0);
    EXPECT_NEAR(found, best, 2.0 / 1440.0);
    CometPosition atPerihelion;
    ComputeCometPosition(MakeCometElements(r), ref, 2023, &atPerihelion);
    const double expected = CometMagnitude(13, r.magnitude1, r.magnitude2, atPerihelion.sunDistance, least,
                                           atPerihelion.phaseAngle);
    EXPECT_NEAR(entries[0].magnitude, expected, 1e-4);
}

}  // namespace
