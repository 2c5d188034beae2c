// Numbers in the source files that no int can hold (NaN, 1e300) are skipped or bounded
// before any cast: a cast of them is undefined, and the sanitizer build stops on it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tools/catalog_builder/builder.h"
#include "tools/catalog_builder/sources.h"

namespace cb = catalog_builder;

TEST(BuilderCasts, HipIdsAndDeclinationsOutsideAnyIntAreSafe) {
    const std::string json = R"({"type": "FeatureCollection", "features": [
        {"id": "nan", "properties": {"mag": 1}, "geometry": {"coordinates": [10, 20]}},
        {"id": 1e300, "properties": {"mag": 1}, "geometry": {"coordinates": [10, 20]}},
        {"id": -1e300, "properties": {"mag": 1}, "geometry": {"coordinates": [10, 20]}},
        {"id": 7, "properties": {"mag": 1}, "geometry": {"coordinates": [10, "nan"]}},
        {"id": 8, "properties": {"mag": 1}, "geometry": {"coordinates": [10, 1e300]}},
        {"id": 9, "properties": {"mag": 1}, "geometry": {"coordinates": [10, 20]}}]})";
    cb::BuildInput in;
    std::string error;
    ASSERT_TRUE(cb::ReadHipStars(json, in.hipStars, error)) << error;
    std::vector<int> ids;
    for (const cb::HipStar& s : in.hipStars) ids.push_back(s.hip);
    EXPECT_EQ(ids, (std::vector<int>{7, 8, 9}));

    // The nearest-star search buckets them by declination without a fault.
    cb::BscStar star;
    star.hr = 1;
    star.ra = 10.0 / 15.0;
    star.dec = 20.0;
    star.vmag = 1.0;
    in.brightStars.push_back(star);
    in.starTableSize = 1;
    const cb::BuildOutput out = cb::BuildCatalogs(in);
    ASSERT_EQ(out.stars.size(), 1u);
    EXPECT_EQ(out.stars[0].hip, 9);
}
