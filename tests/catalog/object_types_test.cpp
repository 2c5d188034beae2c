#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalog/constellations.h"
#include "catalog/object_types.h"

TEST(ObjectTypes, TableRowsAndCategories) {
    EXPECT_STREQ(ObjectTypeTable[0].code, "   ");
    EXPECT_STREQ(ObjectTypeTable[16].code, "GALXY");
    EXPECT_STREQ(ObjectTypeTable[16].name, "Galaxy");
    EXPECT_EQ(ObjectTypeTable[16].icon, 33);
    EXPECT_STREQ(ObjectTypeTable[13].name, "Comet&Asteroid");
    EXPECT_STREQ(ObjectTypeTable[27].code, "PLANET");
    EXPECT_STREQ(ObjectTypeTable[41].name, "Xray Source");
    EXPECT_EQ(ObjectTypeTable[11].typeClass, kClassStarCluster);  // cluster with nebulosity in the LMC
    EXPECT_EQ(ObjectTypeTable[9].typeClass, kClassNebula);        // cluster with nebulosity
    EXPECT_EQ(ObjectTypeTable[3].icon, 69);
    EXPECT_EQ(ObjectTypeTable[30].icon, 0);

    struct Case {
        int type, category;
    };
    for (const Case c : {Case{2, 4}, Case{39, 10}, Case{16, 6}, Case{19, 8}, Case{30, 11}, Case{31, 5}, Case{27, 1},
                         Case{14, 99}, Case{0, 99}, Case{13, 99}, Case{15, 99}, Case{-1, 99}, Case{42, 99}})
        EXPECT_EQ(GetTypeCategory(c.type), c.category) << "type " << c.type;
}

TEST(ObjectTypes, MorphologyTexts) {
    struct Case {
        int code;
        const char* text;
        int icon;
    };
    for (const Case c : {Case{0, "        ", 0}, Case{1, "*Grp    ", 0}, Case{74, "I 1 m :b", 23}, Case{144, "III 1 m ", 23},
                         Case{145, "III 1 m ", 23}, Case{252, "Sb      ", 31}, Case{289, "SNR     ", 1},
                         Case{296, "XII     ", 0}, Case{297, " ", 0}, Case{-1, " ", 0}, Case{100000, " ", 0}}) {
        char text[kTypeCodeTextSize + 4];
        std::memset(text, 'x', sizeof text);
        EXPECT_EQ(GetTypeCodeText(text, c.code), c.icon) << c.code;
        EXPECT_STREQ(text, c.text) << c.code;
    }
    EXPECT_EQ(GetTypeCodeText(nullptr, 281), 33);
}

TEST(Constellations, TableOrder) {
    EXPECT_STREQ(ConstellationTable[0].abbreviation, "And");
    EXPECT_STREQ(ConstellationTable[0].name, "Andromeda");
    EXPECT_STREQ(ConstellationTable[11].abbreviation, "Cnc");
    EXPECT_STREQ(ConstellationTable[22].abbreviation, "Cnc");
    EXPECT_STREQ(ConstellationTable[58].abbreviation, "Oct");
    EXPECT_STREQ(ConstellationTable[74].name, "Serpens");
    EXPECT_STREQ(ConstellationTable[84].abbreviation, "UMi");
    EXPECT_STREQ(ConstellationTable[88].name, "Vulpecula");
}
