// Dreyer's abbreviations: the two tables, the expansion and its buffer limit, and the lookup
// in the description file.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "catalog/descriptions.h"
#include "selection_fixture.h"

namespace {

std::string Expand(const std::string& input, std::size_t size = 256) {
    std::string out(size, '\x7f');
    ExpandDreyer(input.c_str(), out.data(), size);
    return std::string(out.c_str());
}

}  // namespace

TEST(DreyerTables, CountsOrderAndSpotChecks) {
    const auto am = DreyerTableAM();
    const auto nz = DreyerTableNZ();
    ASSERT_EQ(am.size(), 47u);
    ASSERT_EQ(nz.size(), 49u);
    EXPECT_STREQ(am[0].abbreviation, "!!!");
    EXPECT_STREQ(am[13].expansion, "brightest towards the following side");
    EXPECT_STREQ(am[22].expansion, "coarse, coarsely");
    EXPECT_STREQ(am[46].expansion, "irregular");
    EXPECT_STREQ(nz[15].abbreviation, "pm");
    EXPECT_STREQ(nz[18].expansion, "preceding");
    EXPECT_STREQ(nz[24].expansion, "partially relolved");
    EXPECT_STREQ(nz[48].expansion, " to ");
    for (const auto& e : am) {
        EXPECT_LE(std::strlen(e.abbreviation), 6u);
        EXPECT_LE(std::strlen(e.expansion), 42u);
        for (const auto& f : nz) EXPECT_NE(e.abbreviation[0], f.abbreviation[0]) << e.abbreviation << f.abbreviation;
    }
}

TEST(ExpandDreyer, TheWrittenExamples) {
    struct Case {
        const char* input;
        const char* output;
    } cases[] = {
        {"vF,vS,R,bM", "very faint , very small , round , brighter middle "},
        {"vF, vS", "very faint ,  very small "},
        {"st 9...13", "stars from  9...13"},
        {"pB", "pretty bright "},
        {"pF", "pretty faint "},
        {"(M 31)", "(M 31)"},
        {"**", "double star "},
        {"***", "triple star "},
        {"*10", "star 10"},
        {"s", "south "},
        {"p", "pretty "},
        {"pmm", "pretty mixed magnitudes "},
        {"pmi", "pretty much irregular "},
        {"stell", "stars from extremely little little "},
        {"= h 123", "=h 123"},
        {"=M 31", "= 31"},
        {"=", "="},
        {"10m,F", "10m, faint "},
        {"eF...", "extremely faint  to  "},
    };
    for (const Case& c : cases) EXPECT_EQ(Expand(c.input), c.output) << c.input;

    char untouched[8] = "kept";
    ExpandDreyer("", untouched, sizeof untouched);
    EXPECT_STREQ(untouched, "kept");
}

TEST(ExpandDreyer, StopsAfterTheStepThatPassesOneHundredNinety) {
    std::string bf;
    for (int i = 0; i < 20; ++i) bf += "bf";
    const std::string step = "brightest towards the following side ";
    std::string six, five;
    for (int i = 0; i < 6; ++i) six += step;
    five = six.substr(0, 5 * step.size());
    EXPECT_EQ(Expand(bf, 4096), six);  // 222 characters: the step past 190 ends it
    EXPECT_EQ(Expand(bf, kDreyerLongSize), five);  // the sixth step would not fit
}

TEST(ExpandDreyer, NeverWritesOutsideTheBufferAndCutsOnlyBetweenSteps) {
    std::vector<std::string> inputs = {
        std::string(49, '('), "(" + std::string(48, 'x'), std::string(49, '='), "=" + std::string(48, 'y'),
        std::string(49, '7'), std::string(49, ','),
    };
    std::string longest;
    while (longest.size() < 49) longest += "bs";
    inputs.push_back(longest.substr(0, 49));
    std::mt19937 random(20);
    const std::string alphabet = "!*abcdefgilmnprsvBCDEFLMNPRS(=)...,0123456789 ";
    for (int n = 0; n < 400; ++n) {
        std::string s;
        for (int k = 0; k < 49; ++k) s += alphabet[random() % alphabet.size()];
        inputs.push_back(s);
    }
    for (const std::string& input : inputs) {
        const std::string whole = Expand(input, 4096);
        for (const std::size_t size : {kDreyerLongSize, std::size_t{60}, std::size_t{1}}) {
            // An exact-size heap block: the address sanitizer sees any byte past it.
            auto buffer = std::make_unique<char[]>(size);
            ExpandDreyer(input.c_str(), buffer.get(), size);
            const std::string cut(buffer.get());
            ASSERT_LT(cut.size(), size) << input;
            EXPECT_EQ(whole.compare(0, cut.size(), cut), 0) << input;
            if (whole.size() < size) {
                EXPECT_EQ(cut, whole) << input;
            }
        }
    }
}

namespace {

class DreyerFileTest : public SelectionFixture {
protected:
    static std::uint32_t Key(std::uint32_t catalog, std::uint32_t number) { return catalog << 16 | number; }
};

}  // namespace

TEST_F(DreyerFileTest, LookupHitsMissesAndCutsAtFortyNine) {
    const std::string longText(55, 'L');
    WriteDescriptions({{Key(29, 342), "vF,vL,vdif"}, {Key(42, 40), "pB,S,R"}, {Key(42, 224), longText}});
    OpenSet();
    char out[kDreyerDescriptionSize];
    EXPECT_EQ(GetDreyerDescription(42, 40, out), 1);
    EXPECT_STREQ(out, "pB,S,R");
    EXPECT_EQ(GetDreyerDescription(29, 342, out), 1);
    EXPECT_STREQ(out, "vF,vL,vdif");
    EXPECT_EQ(GetDreyerDescription(42, 224, out), 1);
    EXPECT_EQ(std::string(out), longText.substr(0, 49));
    EXPECT_EQ(GetDreyerDescription(42, 41, out), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(GetDreyerDescription(0, 0, out), 0);  // the header is never an entry

    ObjectRef ngc40;
    ngc40.catalog = 42;
    ngc40.number = 40;
    ngc40.type = 25;
    char raw[kDreyerDescriptionSize];
    char expanded[kDreyerLongSize];
    EXPECT_EQ(GetDreyerTexts(&ngc40, raw, expanded, sizeof expanded), 1);
    EXPECT_STREQ(expanded, "pretty bright , small , round ");
    ngc40.type = 27;
    EXPECT_EQ(GetDreyerTexts(&ngc40, raw, expanded, sizeof expanded), 0);
    ngc40.type = 25;
    ngc40.catalog = 54;
    EXPECT_EQ(GetDreyerTexts(&ngc40, raw, expanded, sizeof expanded), 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(DreyerFileTest, HeaderOnlyClosedAndUnreadableFiles) {
    OpenSet();
    char out[kDreyerDescriptionSize] = "x";
    EXPECT_EQ(GetDreyerDescription(42, 40, out), 0);
    EXPECT_STREQ(out, "");

    WriteDescriptions({}, 40);
    OpenSet();
    EXPECT_EQ(GetDreyerDescription(0, 40, out), 0);

    WriteFile(Data(kDescriptionsFile), 0, kCreatorDescriptions, 6, 3, [](std::uint32_t, std::uint8_t*) {});
    OpenSet();
    EXPECT_EQ(GetDreyerDescription(42, 40, out), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Error during Dreyer description search\n"});
}
