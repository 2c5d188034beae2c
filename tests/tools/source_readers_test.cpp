// The readers of the source formats and the conversions of their fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tools/catalog_builder/morphology.h"
#include "tools/catalog_builder/names.h"
#include "tools/catalog_builder/sources.h"
#include "tools/catalog_builder/stellarium.h"
#include "tools/catalog_builder/towns.h"

namespace cb = catalog_builder;

namespace {

TEST(SourceReaders, DesignationsSplitIntoPrefixAndNumber) {
    struct Case {
        const char* text;
        bool ok;
        const char* prefix;
        int number;
    };
    const Case cases[] = {
        {"NGC 224", true, "NGC", 224}, {"NGC224", true, "NGC", 224}, {"IC 4725", true, "IC", 4725},
        {"Sh 2-155", true, "Sh2", 155}, {"Sh2 155", true, "Sh2", 155}, {" M 45 ", true, "M", 45},
        {"Ced 9b", false, "", 0},       {"Pleiades", false, "", 0},   {"", false, "", 0},
    };
    for (const Case& c : cases) {
        std::string prefix;
        int number = 0;
        EXPECT_EQ(cb::SplitDesignation(c.text, prefix, number), c.ok) << c.text;
        if (!c.ok) continue;
        EXPECT_EQ(prefix, c.prefix) << c.text;
        EXPECT_EQ(number, c.number) << c.text;
    }
}

TEST(SourceReaders, BrightStarNameFieldGivesFlamsteedBayerAndSuperscript) {
    const char* text =
        "# comment\n"
        "-16.7161  6.7525 -1.46 \"  9Alp CMa\" 2491  48915 151881\n"
        "-60.8353 14.6600 -0.01 \"   Alp1Cen\" 5459 128620 252838\n"
        " 45.1000 10.0000  6.10 \" 12    Cnc\" 9999      1      0\n"
        " 25.9203 15.9917  2.00 \"          \" 5958 143454  84129\n";
    std::vector<cb::BscStar> stars;
    std::string error;
    ASSERT_TRUE(cb::ReadBrightStarCatalog(text, stars, error)) << error;
    ASSERT_EQ(stars.size(), 4u);
    EXPECT_EQ(stars[0].hr, 2491);
    EXPECT_EQ(stars[0].hd, 48915);
    EXPECT_DOUBLE_EQ(stars[0].ra, 6.7525);
    EXPECT_DOUBLE_EQ(stars[0].dec, -16.7161);
    EXPECT_EQ(stars[0].flamsteed, 9);
    EXPECT_EQ(stars[0].bayer, 0);
    EXPECT_EQ(stars[0].constellation, 20);
    EXPECT_EQ(stars[1].bayer, 0);
    EXPECT_EQ(stars[1].superscript, 1);
    EXPECT_EQ(stars[1].constellation, 15);
    EXPECT_EQ(stars[2].flamsteed, 12);
    EXPECT_EQ(stars[2].bayer, -1);
    EXPECT_EQ(stars[2].constellation, 22) << "Cancer as the boundary table numbers it";
    EXPECT_EQ(stars[3].constellation, -1);

    std::vector<cb::BscStar> none;
    EXPECT_FALSE(cb::ReadBrightStarCatalog("1.0 2.0 3.0 no name field\n", none, error));
    EXPECT_NE(error.find("line 1"), std::string::npos);
}

TEST(SourceReaders, MorphologyTextsMapToTheProgramsCodes) {
    struct Case {
        const char* type;
        const char* morphology;
        const char* text;
    };
    const Case cases[] = {
        {"s", "SA(s)b", "Sb"},        {"s", "SAB(rs)bc", "Sbc"},     {"i", "SB(s)m pec", "SBm/P"},
        {"e", "E2", "E2"},            {"e", "E7", "E6"},             {"s0", "SA0^-", "S0"},
        {"i", "IB(s)m", "IBm"},       {"i", "dIrr", "Irr"},          {"oc", "II3m", "II3m"},
        {"oc", "I3rn", "I3r"},        {"gc", "VIII", "VIII"},        {"sfr", "EN+OCL; 3, 3, 3", "EN+OCL"},
        {"bn", "EN+RN; 3, 2, 3", "EN+RN"}, {"pn", "", "PN"},         {"bn", "3, 2, 2", ""},
        {"s", "", ""},
    };
    for (const Case& c : cases) {
        int code = cb::MorphologyCode(c.type, c.morphology);
        EXPECT_EQ(cb::MorphologyText(code), c.text) << c.type << " " << c.morphology;
    }
}

TEST(SourceReaders, TypeCodesKnowTheMagellanicClouds) {
    EXPECT_EQ(cb::ObjectTypeCode("oc", 6.0, 30.0), 6);
    EXPECT_EQ(cb::ObjectTypeCode("oc", 5.4, -69.0), 7);
    EXPECT_EQ(cb::ObjectTypeCode("gc", 0.9, -72.5), 5);
    EXPECT_EQ(cb::ObjectTypeCode("bn", 5.6, -69.1), 23);
    EXPECT_EQ(cb::ObjectTypeCode("s", 5.4, -69.0), 16) << "galaxies stay galaxies";
    EXPECT_EQ(cb::ObjectTypeCode("xyz", 1.0, 1.0), 0);
}

TEST(SourceReaders, OpenNgcLinesGiveNamesAnglesAndSkipWhatIsNoObject) {
    const char* tsv =
        "8\t10.6847916666667\t41.2690555555556\t4.36\tM 31\tAndromeda Galaxy, PGC 2557, UGC 454, NGC 224\tNGC0224\t177.83\t69.66\t35.0\n"
        "3\t34.744\t57.11725\t\tNGC 869\th Persei Cluster\tNGC0869\t14.4\t\t\n"
        "255\t154.523458333333\t21.8323055555556\t\tNGC 3190\t\tNGC3190\t\t\t\n"
        "255\t0.0\t0.0\t\tNGC 6991\t\tNGC6991\t\t\t\n"
        "8\t10.0\t10.0\t14.0\tNGC 7\t\tNGC0007A\t1.0\t1.0\t180.0\n"
        "8\t20.0\t10.0\t14.0\tNGC 8\t\tNGC0008\t1.0\t1.0\t180.0\n";
    std::vector<cb::DsoSource> out;
    std::string error;
    ASSERT_TRUE(cb::ReadOpenNgc(tsv, out, error)) << error;
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].number, 224);
    EXPECT_EQ(out[0].alias, "M 31");
    EXPECT_EQ(out[0].commonName, "Andromeda Galaxy");
    EXPECT_DOUBLE_EQ(out[0].ra, 10.6847916666667 / 15.0);
    EXPECT_TRUE(out[0].hasAngle);
    EXPECT_EQ(out[0].angle, 35);
    EXPECT_FALSE(out[1].hasMagnitude);
    EXPECT_FALSE(out[1].hasAngle);
    EXPECT_DOUBLE_EQ(out[1].sizeB, 14.4) << "a round object";
    EXPECT_EQ(out[2].type, "dup");
    EXPECT_TRUE(out[3].hasAngle);
    EXPECT_EQ(out[3].angle, 0) << "an axis at 180 degrees is the axis at 0";
    EXPECT_FALSE(cb::ReadOpenNgc("8\t1\t2\n", out, error));
    EXPECT_NE(error.find("10 tab-separated fields"), std::string::npos);
}

TEST(SourceReaders, DarkNebulaeCarryTheirOpacityClassAsNoMagnitude) {
    // Real rows: the source writes the opacity class of B 33 as "mag".
    const char* json = R"({"type":"FeatureCollection","features":[
{"type":"Feature","id":"B 33","properties":{"desig":"B 33","type":"dn","morph":"","mag":"2","dim":"4","bv":""},"geometry":{"type":"Point","coordinates":[85.2458,-2.4583]}},
{"type":"Feature","id":"NGC 7000","properties":{"desig":"NGC 7000","type":"bn","morph":"EN; 3, 3, 2","mag":"4","dim":"120x100","bv":""},"geometry":{"type":"Point","coordinates":[-45.304,44.33]}},
{"type":"Feature","id":"B 157","properties":{"desig":"B 157","type":"oc","morph":"","mag":"4","dim":"12.893488209812","bv":""},"geometry":{"type":"Point","coordinates":[-16.9,-4.9]}},
{"type":"Feature","id":"LDN 1550","properties":{"desig":"LDN 1550","type":"pn","morph":"","mag":"3","dim":"6.85611912285307","bv":""},"geometry":{"type":"Point","coordinates":[67.5,25.8]}}]})";
    std::vector<cb::DsoSource> out;
    std::string error;
    ASSERT_TRUE(cb::ReadDeepSkyObjects(json, out, error)) << error;
    ASSERT_EQ(out.size(), 4u);
    EXPECT_FALSE(out[0].hasMagnitude);
    EXPECT_DOUBLE_EQ(out[0].sizeA, 4.0);
    EXPECT_TRUE(out[1].hasMagnitude);
    EXPECT_DOUBLE_EQ(out[1].ra, 24.0 - 45.304 / 15.0);
    // Barnard and Lynds clouds the source types as a cluster or a planetary nebula.
    EXPECT_FALSE(out[2].hasMagnitude) << "B 157 typed as a cluster: its 4 is an opacity class";
    EXPECT_FALSE(out[3].hasMagnitude) << "LDN 1550 typed as a planetary nebula";
}

TEST(SourceReaders, JsonSourcesDecodeEscapesAndReportWhereTheyBreak) {
    std::map<std::string, std::string> names;
    std::string error;
    ASSERT_TRUE(cb::ReadDsoNames(R"({"NGC 224":{"name":"Caf\u00e9\u2009x"},"M 1":{"name":""}})", names, error)) << error;
    EXPECT_EQ(names.size(), 1u) << "empty names are left out";
    EXPECT_EQ(names["NGC 224"], "Caf\xE9 x");
    for (const char* bad : {"{\"a\":}", "[1,2", "\"open", "{} x"}) {
        EXPECT_FALSE(cb::ReadDsoNames(bad, names, error)) << bad;
        EXPECT_NE(error.find("byte"), std::string::npos) << bad;
    }
    std::vector<cb::HipStar> stars;
    EXPECT_FALSE(cb::ReadHipStars("[]", stars, error));
    EXPECT_NE(error.find("features"), std::string::npos);
}

std::string ReadFixture(const std::string& name) {
    std::ifstream f(std::string(VELKARION_TEST_DATA) + "/tools/" + name, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

TEST(SourceReaders, TheDeepSkyCatalogueGivesEveryDesignationDistanceAndAngle) {
    std::vector<cb::CatalogObject> out;
    std::string error;
    const std::string bytes = ReadFixture("stellarium/catalog.dat");
    ASSERT_TRUE(cb::ReadStellariumDsoCatalog(bytes, out, error)) << error;
    auto find = [&](const char* prefix, int number) -> const cb::CatalogObject* {
        for (const auto& o : out)
            for (const auto& [p, n] : o.designations)
                if (p == prefix && n == number) return &o;
        return nullptr;
    };
    using Designations = std::vector<std::pair<std::string, int>>;
    const cb::CatalogObject* m31 = find("NGC", 224);
    ASSERT_NE(m31, nullptr);
    EXPECT_EQ(m31->designations, (Designations{{"NGC", 224}, {"M", 31}, {"UGC", 454}}));
    EXPECT_NEAR(m31->data.ra, 0.7123138, 1e-6);
    EXPECT_NEAR(m31->data.dec, 41.2687475, 1e-6);
    EXPECT_NEAR(m31->data.magnitude, 3.4, 1e-6);
    EXPECT_NEAR(m31->data.sizeA, 189.1, 1e-3) << "arc minutes";
    EXPECT_EQ(m31->data.angle, 45);
    EXPECT_DOUBLE_EQ(m31->data.distanceKpc, 778.0);
    EXPECT_EQ(m31->data.type, "g");
    EXPECT_EQ(m31->data.morphology, "SA(s)b");

    const cb::CatalogObject* b33 = find("B", 33);
    ASSERT_NE(b33, nullptr);
    EXPECT_EQ(b33->data.type, "dn");
    EXPECT_FALSE(b33->data.hasMagnitude) << "its 4 is an opacity class";
    const cb::CatalogObject* ldn1036 = find("LDN", 1036);
    ASSERT_NE(ldn1036, nullptr);
    EXPECT_EQ(ldn1036->data.type, "star") << "a young stellar object";
    EXPECT_FALSE(ldn1036->data.hasMagnitude) << "known to Lynds alone: its 5 is an opacity class";
    const cb::CatalogObject* ngc6991 = find("NGC", 6991);
    ASSERT_NE(ngc6991, nullptr);
    EXPECT_FALSE(ngc6991->data.hasMagnitude);
    EXPECT_NEAR(ngc6991->data.ra, 20.915, 1e-5);
    const cb::CatalogObject* tr14 = find("Tr", 14);
    ASSERT_NE(tr14, nullptr);
    EXPECT_EQ(tr14->designations, (Designations{{"Cr", 230}, {"Tr", 14}, {"vdB-Ha", 102}}));
    EXPECT_NE(find("St", 2), nullptr);
    EXPECT_NE(find("ACO", 1656), nullptr);
    // A galaxy without a measured distance gets its redshift's: z 0.004006, 1201 km/s.
    const cb::CatalogObject* ugc = find("UGC", 3580);
    ASSERT_NE(ugc, nullptr);
    EXPECT_NEAR(ugc->data.distanceKpc, 16915.0, 1.0);

    std::vector<cb::CatalogObject> cut;
    EXPECT_FALSE(cb::ReadStellariumDsoCatalog(std::string_view(bytes).substr(0, bytes.size() - 3), cut, error));
    EXPECT_NE(error.find("cut short"), std::string::npos) << error;
}

TEST(SourceReaders, StarZoneFilesGivePlacesMagnitudesAndHipparcosNumbers) {
    std::vector<cb::CatalogStar> bright, faint;
    std::string error;
    ASSERT_TRUE(cb::ReadStellariumStarFile(ReadFixture("stellarium/stars_0_0v0_8.cat"), bright, error)) << error;
    // Hipparcos places (ESA 1997) and V magnitudes of Sirius, Vega and Polaris.
    struct Expect {
        int hip;
        double ra, dec, vmag;
    } expected[] = {{32349, 6.7524769, -16.7161160, -1.45}, {91262, 18.6156490, 38.7836920, 0.03},
                    {11767, 2.5297746, 89.2641353, 1.97}};
    for (const Expect& e : expected) {
        auto it = std::find_if(bright.begin(), bright.end(), [&](const cb::CatalogStar& s) { return s.hip == e.hip; });
        ASSERT_NE(it, bright.end()) << e.hip;
        const double cosDec = std::cos(e.dec * 3.14159265358979 / 180.0);
        EXPECT_NEAR(it->ra * 15.0 * cosDec, e.ra * 15.0 * cosDec, 1.0 / 3600) << e.hip;
        EXPECT_NEAR(it->dec, e.dec, 1.0 / 3600) << e.hip;
        EXPECT_NEAR(it->vmag, e.vmag, 0.05) << e.hip << " (a step of the file is 1/32)";
    }
    ASSERT_TRUE(cb::ReadStellariumStarFile(ReadFixture("stellarium/stars_3_1v0_4.cat"), faint, error)) << error;
    ASSERT_EQ(faint.size(), 3u);
    for (const cb::CatalogStar& s : faint) {
        EXPECT_EQ(s.hip, 0);
        EXPECT_GE(s.vmag, 9.0);
        EXPECT_LE(s.vmag, 10.5);
    }
    std::vector<cb::CatalogStar> none;
    EXPECT_FALSE(cb::ReadStellariumStarFile("not a star file at all, not at all", none, error));
    std::string cut = ReadFixture("stellarium/stars_0_0v0_8.cat");
    cut.resize(cut.size() - 1);
    EXPECT_FALSE(cb::ReadStellariumStarFile(cut, none, error));
    EXPECT_NE(error.find("past the end"), std::string::npos) << error;
}

TEST(SourceReaders, TownsAndTheirZonesStandardOffsets) {
    std::vector<cb::Town> towns;
    std::string error;
    ASSERT_TRUE(cb::ReadTowns(ReadFixture("towns/cityMap.json"), towns, error)) << error;
    ASSERT_FALSE(towns.empty());
    EXPECT_EQ(towns[0].name, "Paris");
    EXPECT_EQ(towns[0].country, "France");
    EXPECT_EQ(towns[0].countryCode, "FR");
    EXPECT_EQ(towns[0].zone, "Europe/Paris");
    EXPECT_GT(towns[0].population, 4e6);

    struct Zone {
        const char* name;
        int minutes;
    } zones[] = {{"Europe/Paris", 60}, {"Asia/Kathmandu", 345}, {"America/New_York", -300}, {"Australia/Adelaide", 570}};
    for (const Zone& z : zones) {
        int minutes = 0;
        ASSERT_TRUE(cb::ZoneStandardOffset(ReadFixture(std::string("zoneinfo/") + z.name), minutes)) << z.name;
        EXPECT_EQ(minutes, z.minutes) << z.name;
    }
    int minutes = 0;
    EXPECT_FALSE(cb::ZoneStandardOffset("TZif1 without a rule", minutes));
    EXPECT_FALSE(cb::ReadTowns("{\"city\":", towns, error));
}

TEST(SourceReaders, TextBecomesTheProgramsCodePage) {
    EXPECT_EQ(cb::ToProgramText("Caf\xC3\xA9"), "Caf\xE9");
    EXPECT_EQ(cb::ToProgramText("\xC4\x8C" "ech"), "Cech") << "letters the code page lacks lose their accent";
    EXPECT_EQ(cb::ToProgramText("HIP\xE2\x80\x89" "63"), "HIP 63");
    EXPECT_EQ(cb::ToProgramText("\xCE\xB1 Cen"), "Cen") << "Greek letters are dropped";
    EXPECT_EQ(cb::GreekLetterIndex("\xCE\xB1"), 0);
    EXPECT_EQ(cb::GreekLetterIndex("Ome"), 23);
    EXPECT_EQ(cb::GreekSymbolChar(cb::GreekLetterIndex("The")), 'q');
    EXPECT_EQ(cb::ConstellationNumber("ser"), 74);
    EXPECT_EQ(cb::ConstellationAbbreviation(22), "Cnc");
}

}  // namespace
