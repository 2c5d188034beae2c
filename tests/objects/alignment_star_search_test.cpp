// The search of alignment stars: the bright stars with a proper name, added after the
// records of the selection list without moving its current position.
#include <gtest/gtest.h>

#include <filesystem>

#include "catalog/selection_fixture.h"
#include "objects/alignment_star_search.h"
#include "objects/objects_services.h"

namespace {

class AlignmentStarSearch : public SelectionFixture {
protected:
    // Four stars of the default star file, named in the name file as the data builder
    // names them: a proper name where there is one, else a designation.
    void WriteNamedStars() {
        static const char* const kNames[4] = {"Alpheratz", "Beta CrA", "HR 1234", "Sirius"};
        WriteFile(Data(kDefaultStarsFile), 0, kCreatorDefaultStars, kStarRecordSize, 4,
                  [](std::uint32_t i, std::uint8_t* r) {
                      le::PutI16(r, 0, static_cast<std::int16_t>(10 + i));
                      le::PutF32(r, 4, 1.5f * static_cast<float>(i) + 0.25f);
                      le::PutF32(r, 8, -10.0f * static_cast<float>(i) + 5.0f);
                  });
        WriteFile(Data(kBrightStarFile), 0, kCreatorBrightStars, kBrightStarRecordSize, 8,
                  [](std::uint32_t i, std::uint8_t* r) {
                      BrightStarRecord b;
                      std::strcpy(b.name, kNames[i % 4]);
                      b.starIndex = static_cast<std::int16_t>(i % 4);
                      EncodeBrightStarRecord(b, r);
                  });
    }
    void TearDown() override {
        FreeSelectionList();
        SelectionFixture::TearDown();
    }
};

TEST_F(AlignmentStarSearch, AddsTheNamedStarsAfterTheListAndKeepsItsPosition) {
    WriteNamedStars();
    OpenSet();
    FreshList();
    // The user's own object, in focus.
    SelectionRecord& mine = selectionList.records[0];
    std::strcpy(mine.label, "NGC 40");
    mine.objectNumber = 40;
    mine.catalogCode = 42;
    mine.typeCode = 25;
    selectionList.recordCount = selectionList.indexCount = 1;
    selectionList.currentPosition = 0;

    RunObjectSelectionQuiet(0, kSearchKindAlignmentStars, 0);
    EXPECT_EQ(selectionCriteria.searchKind, 54);
    ASSERT_EQ(selectionList.recordCount, 3);
    EXPECT_EQ(selectionList.indexCount, 3);
    EXPECT_EQ(selectionList.currentPosition, 0);
    EXPECT_STREQ(selectionList.records[0].label, "NGC 40");
    const char* const expected[2] = {"Alpheratz", "Sirius"};
    const float ra[2] = {0.25f, 4.75f};
    for (int k = 0; k < 2; ++k) {
        const SelectionRecord& r = selectionList.records[1 + k];
        SCOPED_TRACE(expected[k]);
        EXPECT_STREQ(r.label, expected[k]);
        EXPECT_EQ(r.typeCode, 30);
        EXPECT_EQ(r.catalogCode, kCatalogBrightStar);
        EXPECT_NEAR(r.rightAscension, ra[k], 1e-5);
    }
    EXPECT_TRUE(Messages().empty());

    // A second search lists no star twice.
    RunObjectSelectionQuiet(0, kSearchKindAlignmentStars, 0);
    EXPECT_EQ(selectionList.recordCount, 3);
}

TEST_F(AlignmentStarSearch, WithoutTheNameFileNothingIsListedAndTheUserIsTold) {
    OpenSet();
    std::filesystem::remove(Data(kBrightStarFile));
    ResetStarTables();
    FreshList();
    RunObjectSelectionQuiet(0, kSearchKindAlignmentStars, 0);
    EXPECT_EQ(selectionList.recordCount, 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Could not find velkarion_brightstar.ppc\nPlease verify your configuration."});
}

TEST(ProperStarNames, DesignationsAreNotNames) {
    for (const char* name : {"Vega", "Kaus Australis", "Al Thalimain Post", "Men", "Polaris Galacticu"})
        EXPECT_TRUE(IsProperStarName(name)) << name;
    for (const char* name : {"", "HR 1234", "Beta CrA", "Eta2 CrA", "61 Cyg", "1 Cas", "Alpha UMa"})
        EXPECT_FALSE(IsProperStarName(name)) << name;
}

}  // namespace
