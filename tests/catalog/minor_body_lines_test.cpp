// The Minor Planet Center's comet and MPCORB lines as comet records.
#include "catalog/minor_body_lines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "catalog/mpc_lines.h"
#include "core/calendar.h"

namespace {

TEST(MinorBodyLines, CometLineGivesItsFieldsAndKFromTheSlope) {
    CometRecord r;
    ASSERT_EQ(ParseMinorBodyLine(CometLine(), &r), 1);
    EXPECT_EQ(r.kind, 13u);
    EXPECT_STREQ(r.name, "2P/Encke");
    EXPECT_EQ(r.year, 2023);
    EXPECT_EQ(r.month, 10);
    EXPECT_FLOAT_EQ(r.perihelionDay, 22.5064f);
    EXPECT_FLOAT_EQ(r.perihelionDistance, 0.339495f);
    EXPECT_FLOAT_EQ(r.eccentricity, 0.847133f);
    EXPECT_FLOAT_EQ(r.argPerihelion, 186.5466f);
    EXPECT_FLOAT_EQ(r.ascendingNode, 334.1942f);
    EXPECT_FLOAT_EQ(r.inclination, 11.3492f);
    EXPECT_FLOAT_EQ(r.magnitude1, 11.5f);
    EXPECT_FLOAT_EQ(r.magnitude2, 10.0f);
}

TEST(MinorBodyLines, MpcorbLineTakesThePerihelionNearestItsEpoch) {
    CometRecord r;
    ASSERT_EQ(ParseMinorBodyLine(AsteroidLine(), &r), 2);
    EXPECT_EQ(r.kind, 18u);
    EXPECT_STREQ(r.name, "(1) Ceres");
    const double epoch = DateTimeToJD(2010, 7, 23, 0, 0, 0, 0);
    EXPECT_DOUBLE_EQ(UnpackMpcDate("K107N"), epoch);
    EXPECT_FLOAT_EQ(r.epochJd, static_cast<float>(epoch));
    EXPECT_FLOAT_EQ(r.meanAnomaly, 113.41085f);
    EXPECT_NEAR(r.perihelionDistance, 2.7653485 * (1 - 0.0789125), 1e-6);
    EXPECT_FLOAT_EQ(r.magnitude1, 3.34f);
    EXPECT_FLOAT_EQ(r.magnitude2, 0.15f);
    // M = 113.4 degrees at n = k / a^1.5: the perihelion lies M / n days before the epoch.
    const double n = 0.01720209895 / std::pow(2.7653485, 1.5) * 57.29577951308232;
    const double perihelion = epoch - 113.41085 / n;
    const double stored = DateTimeToJD(r.year, r.month, 0, 0, 0, 0, 0) + r.perihelionDay;
    EXPECT_NEAR(stored, perihelion, 1e-3);
    // Past M = 180 the next passage is nearer.
    std::string late = AsteroidLine();
    Put(late, 27, "300.00000");
    ASSERT_EQ(ParseMinorBodyLine(late, &r), 2);
    EXPECT_NEAR(DateTimeToJD(r.year, r.month, 0, 0, 0, 0, 0) + r.perihelionDay, epoch + 60.0 / n, 1e-3);
}

TEST(MinorBodyLines, RefusesLinesOfNeitherFormat) {
    CometRecord r;
    for (const std::string& line :
         {std::string("not an orbit"), CometLine().substr(0, 60), std::string(120, ' '),
          [] { std::string l = CometLine(); Put(l, 31, " 0.3x9495"); return l; }(),
          [] { std::string l = AsteroidLine(); Put(l, 21, "K10ZN"); return l; }()})
        EXPECT_EQ(ParseMinorBodyLine(line, &r), 0) << line;
    EXPECT_EQ(UnpackMpcDate("K10D1"), 0.0);
}

}  // namespace
