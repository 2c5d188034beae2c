// Designation texts and the cross-reference lookup over a small cross-reference file.
#include <gtest/gtest.h>

#include "catalog/designations.h"
#include "selection_fixture.h"

namespace {

class CrossReferenceTest : public SelectionFixture {};

}  // namespace

TEST(Designations, PrefixAndNumberWithoutABlank) {
    char text[32];
    FormatDesignation(text, sizeof text, 42, 224);
    EXPECT_STREQ(text, "NGC224");
    FormatDesignation(text, sizeof text, 26, 32349);
    EXPECT_STREQ(text, "HIP32349");
    FormatDesignation(text, sizeof text, 200, 5);
    EXPECT_STREQ(text, "5");
    FormatTychoDesignation(text, sizeof text, 1234L * 100000 + 56);
    EXPECT_STREQ(text, "TYC1234-56-1");
    EXPECT_EQ(FormatDesignation(text, 4, 42, 224), 3);
    EXPECT_STREQ(text, "NGC");
}

TEST_F(CrossReferenceTest, NamesAreCutAndLoseTheStoredLastCharacter) {
    WriteCrossReferences();
    OpenSet();
    struct Case {
        int catalog;
        std::uint32_t number;
        int nameLen;
        int result;
        const char* name;
    } cases[] = {
        {28, 424, 20, 1, "Polaris"},            // the first entry after the header
        {42, 224, 20, 1, "Andromeda Galaxy"},
        {42, 224, 10, 1, "Andromeda"},          // cut to 10, then the last one dropped
        {42, 224, 17, 1, "Andromeda Galaxy"},   // exactly the stored text
        {42, 1952, 20, 1, ""},                  // a hit without a name still delivers
        {1, 1, 20, 0, ""},                      // the header record is never compared
        {42, 41, 20, 0, ""},
        {43, 1, 20, 0, ""},
    };
    for (const Case& c : cases) {
        char name[32] = "garbage";
        EXPECT_EQ(FindCrossReference(c.catalog, c.number, nullptr, nullptr, 0, name, c.nameLen), c.result)
            << c.catalog << " " << c.number;
        EXPECT_STREQ(name, c.name) << c.catalog << " " << c.number << " " << c.nameLen;
    }
    // Without a name buffer and slots a hit delivers nothing.
    EXPECT_EQ(FindCrossReference(42, 224, nullptr, nullptr, 3, nullptr, 0), 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(CrossReferenceTest, OtherDesignationsKeepTheirSlots) {
    WriteCrossReferences();
    OpenSet();
    std::int16_t catalogs[3] = {-9, -9, -9};
    std::uint32_t numbers[3] = {9, 9, 9};
    EXPECT_EQ(FindCrossReference(42, 40, catalogs, numbers, 3, nullptr, 0), 1);
    EXPECT_EQ(catalogs[0], -9);  // designation 1 is empty: slot 0 stays as the caller set it
    EXPECT_EQ(catalogs[1], 25);
    EXPECT_EQ(numbers[1], 1u);
    EXPECT_EQ(catalogs[2], -9);

    std::int16_t one[1] = {-9};
    std::uint32_t oneNumber[1] = {9};
    EXPECT_EQ(FindCrossReference(42, 40, one, oneNumber, 1, nullptr, 0), 0);  // only slot 1 had anything
    EXPECT_EQ(FindCrossReference(42, 224, one, oneNumber, 0, nullptr, 0), 0);  // no slots offered
    EXPECT_EQ(one[0], -9);
    EXPECT_EQ(FindCrossReference(42, 224, one, oneNumber, 1, nullptr, 0), 1);
    EXPECT_EQ(one[0], 40);
    EXPECT_EQ(oneNumber[0], 31u);

    std::int16_t all[3] = {};
    std::uint32_t allNumbers[3] = {};
    EXPECT_EQ(FindCrossReference(42, 224, all, allNumbers, 2, nullptr, 0), 1);
    EXPECT_EQ(all[1], 29);
    EXPECT_EQ(all[2], 0);  // past maxOthers
}

TEST_F(CrossReferenceTest, ClosedFileHeaderOnlyAndUnreadableRecords) {
    OpenSet();
    char name[32] = "x";
    EXPECT_EQ(FindCrossReference(42, 224, nullptr, nullptr, 0, name, 20), 0);
    EXPECT_STREQ(name, "");

    WriteFile(Data(kCrossReferenceFile), 0, kCreatorCrossReferences, 48, 1, [](std::uint32_t, std::uint8_t*) {});
    OpenSet();
    EXPECT_EQ(FindCrossReference(1, 0, nullptr, nullptr, 0, name, 20), 0);

    // Records too short to hold a key cannot be read.
    WriteFile(Data(kCrossReferenceFile), 0, kCreatorCrossReferences, 10, 4, [](std::uint32_t, std::uint8_t*) {});
    OpenSet();
    EXPECT_EQ(FindCrossReference(42, 224, nullptr, nullptr, 0, name, 20), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Error during Cross Ref search\n"});
}
