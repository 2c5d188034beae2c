// The readers of the source formats and the conversions of their fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/catalog_builder/json.h"
#include "tools/catalog_builder/morphology.h"
#include "tools/catalog_builder/names.h"
#include "tools/catalog_builder/sources.h"

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

TEST(SourceReaders, OpenNgcLinesGiveNamesAndSkipWhatIsNoObject) {
    const char* tsv =
        "8\t10.68\t41.27\t4.36\tM 31\tAndromeda Galaxy, PGC 2557, UGC 454, NGC 224\tNGC0224\t177.83\t69.66\n"
        "3\t34.744\t57.11725\t\tNGC 869\th Persei Cluster\tNGC0869\t14.4\t\n"
        "255\t154.52\t21.83\t\tNGC 3190\t\tNGC3190\t\t\n"
        "255\t0.0\t0.0\t\tNGC 6991\t\tNGC6991\t\t\n"
        "8\t10.0\t10.0\t14.0\tNGC 7\t\tNGC0007A\t1.0\t1.0\n";
    std::vector<cb::DsoSource> out;
    std::string error;
    ASSERT_TRUE(cb::ReadOpenNgc(tsv, out, error)) << error;
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].number, 224);
    EXPECT_EQ(out[0].alias, "M 31");
    EXPECT_EQ(out[0].commonName, "Andromeda Galaxy");
    EXPECT_DOUBLE_EQ(out[0].ra, 10.68 / 15.0);
    EXPECT_FALSE(out[1].hasMagnitude);
    EXPECT_DOUBLE_EQ(out[1].sizeB, 14.4) << "a round object";
    EXPECT_EQ(out[2].type, "dup");
    EXPECT_FALSE(cb::ReadOpenNgc("8\t1\t2\n", out, error));
}

TEST(SourceReaders, JsonReaderHandlesEscapesAndReportsErrors) {
    cb::JsonValue v;
    std::string error;
    ASSERT_TRUE(cb::ParseJson(R"({"a":[1,-2.5e1,"x\"y",true,null],"s":"\u03b1\ud83d\ude00 \u2009","n":"7.5"})", v, error))
        << error;
    EXPECT_EQ(v["a"].items.size(), 5u);
    EXPECT_DOUBLE_EQ(v["a"].items[1].number, -25.0);
    EXPECT_EQ(v["a"].items[2].text, "x\"y");
    EXPECT_EQ(v["s"].text, "\xCE\xB1\xF0\x9F\x98\x80 \xE2\x80\x89");
    EXPECT_DOUBLE_EQ(v["n"].AsNumber(0.0), 7.5);
    EXPECT_TRUE(v["missing"]["deeper"].IsNull());
    for (const char* bad : {"{\"a\":}", "[1,2", "\"open", "{} x", "[1.2.3]"}) {
        EXPECT_FALSE(cb::ParseJson(bad, v, error)) << bad;
        EXPECT_NE(error.find("byte"), std::string::npos) << bad;
    }
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
