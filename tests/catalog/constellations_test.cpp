#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>
#include <string>

#include "astro/constellation_boundaries.h"
#include "catalog/constellations.h"

namespace {

// Names by the constellation list, so that the numbers are checked against it too.
std::string Name(int number) {
    return number >= 0 && number < kConstellationCount ? ConstellationTable[number].abbreviation : "none";
}

TEST(ConstellationTable, RowsAreThePublishedTableRounded) {
    const ConstellationBoundary& first = kConstellationBoundaries[0];
    const ConstellationBoundary& last = kConstellationBoundaries[kConstellationBoundaryCount - 1];
    EXPECT_EQ((std::array<int, 4>{first.raLow, first.raHigh, first.decLow, first.constellation}),
              (std::array<int, 4>{0, 86400, 316800, 84}));
    EXPECT_EQ((std::array<int, 4>{last.raLow, last.raHigh, last.decLow, last.constellation}),
              (std::array<int, 4>{0, 86400, -324000, 58}));
    std::set<int> numbers;
    for (int i = 0; i < kConstellationBoundaryCount; ++i) {
        const ConstellationBoundary& row = kConstellationBoundaries[i];
        EXPECT_LE(0, row.raLow);
        EXPECT_LT(row.raLow, row.raHigh);
        EXPECT_LE(row.raHigh, 86400);
        if (i > 0) {
            EXPECT_LE(row.decLow, kConstellationBoundaries[i - 1].decLow) << i;
        }
        numbers.insert(row.constellation);
    }
    EXPECT_EQ(numbers.size(), 88u);
    EXPECT_EQ(numbers.count(11), 0u);  // Cancer is 22
    EXPECT_EQ(numbers.count(22), 1u);
    // 5.8333 h and 59.0833 degrees are rounded, not truncated (20999 s, 212699").
    const ConstellationBoundary& orion = kConstellationBoundaries[198];
    EXPECT_EQ((std::array<int, 4>{orion.raLow, orion.raHigh, orion.decLow, orion.constellation}),
              (std::array<int, 4>{21000, 22470, -14400, 60}));
    const ConstellationBoundary& cepheus = kConstellationBoundaries[33];
    EXPECT_EQ((std::array<int, 4>{cepheus.raLow, cepheus.raHigh, cepheus.decLow, cepheus.constellation}),
              (std::array<int, 4>{82320, 83400, 212700, 16}));
}

TEST(FindConstellation, RomanTestPositionsAtB1950) {
    struct Case {
        double ra, dec;
        const char* name;
    };
    const Case cases[] = {{9.0, 65.0, "UMa"},         {23.5, -20.0, "Aqr"},      {5.12, 9.12, "Ori"},
                          {9.4555, -19.9, "Hya"},     {12.8888, 22.0, "Com"},    {15.6687, -12.1234, "Lib"},
                          {19.0, -40.0, "CrA"},       {6.2222, -81.1234, "Men"}};
    for (const Case& c : cases) EXPECT_EQ(Name(FindConstellation(c.ra, c.dec, 2433282.4235)), c.name) << c.ra;
}

TEST(FindConstellation, BoundariesPolesAndWrapAround) {
    const double b1875 = kB1875JulianDay;  // no precession: the table's own frame
    // Just above and just below the +88 degree floor of the first row.
    EXPECT_EQ(Name(FindConstellation(1.0, 88.0 + 0.01 / 3600, b1875)), "UMi");
    EXPECT_EQ(Name(FindConstellation(1.0, 88.0 - 0.01 / 3600, b1875)), "Cep");
    // Right ascension bands: [raLow, raHigh) at +86.6 degrees, rows 0h-8h Cep, 8h-14.5h UMi.
    EXPECT_EQ(Name(FindConstellation(8.0 - 0.01 / 3600, 86.6, b1875)), "Cep");
    EXPECT_EQ(Name(FindConstellation(8.0 + 0.01 / 3600, 86.6, b1875)), "UMi");
    // A right ascension below 0h or at 24h is the same as one in [0, 24).
    EXPECT_EQ(FindConstellation(-0.001, 10.0, b1875), FindConstellation(23.999, 10.0, b1875));
    EXPECT_EQ(FindConstellation(24.0, 10.0, b1875), FindConstellation(0.0, 10.0, b1875));
    EXPECT_EQ(FindConstellation(-1e-15, 30.0, b1875), FindConstellation(0.0, 30.0, b1875));
    // The poles, in the catalog frame and in the table's.
    for (double ra = 0.0; ra < 24.0; ra += 1.5) {
        EXPECT_EQ(FindConstellation(ra, 90.0, 2451545.0), 84);
        EXPECT_EQ(FindConstellation(ra, -89.9, 2451545.0), 58);
        EXPECT_EQ(FindConstellation(ra, -90.0, 2451545.0), 58);
        EXPECT_EQ(FindConstellation(ra, -90.0, b1875), 58);
        EXPECT_EQ(FindConstellation(ra, 90.0, b1875), 84);
    }
    EXPECT_EQ(FindConstellation(std::numeric_limits<double>::quiet_NaN(), 10.0, 2451545.0), -1);
}

TEST(FindConstellation, AgreesWithAnIndependentLookup) {
    std::ifstream in(VELKARION_TEST_DATA "/astro/constellations_ephem.txt");
    ASSERT_TRUE(in);
    std::string line;
    int count = 0;
    std::set<std::string> kinds;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream s(line);
        std::string kind, name;
        double ra, dec;
        s >> kind >> ra >> dec >> name;
        ASSERT_TRUE(s) << line;
        EXPECT_EQ(Name(FindConstellation(ra, dec, 2451545.0)), name) << line;
        kinds.insert(kind);
        ++count;
    }
    EXPECT_GT(count, 4000);
    EXPECT_EQ(kinds, (std::set<std::string>{"edge", "pole", "sweep"}));
}

}  // namespace
