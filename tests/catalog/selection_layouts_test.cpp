// The layouts that list files and user catalogs store byte for byte: a record written with
// a distinct value in every field lands at the file offsets and reads back unchanged.
#include <gtest/gtest.h>

#include <cstring>

#include "catalog/byte_order.h"
#include "catalog/object_selection.h"
#include "catalog/records.h"
#include "catalog/selection_list.h"

namespace {

SelectionRecord FilledSelectionRecord() {
    SelectionRecord r{};
    std::strcpy(r.label, "NGC7000 North");
    r.reserved0 = 0xA5;
    r.objectNumber = -7000;
    r.objectIndex = -12;
    r.catalogCode = 42;
    r.typeCode = 19;
    r.constellation = 30;
    r.rightAscension = 20.98f;
    r.declination = -44.33f;
    r.chartX = -123456;
    r.chartY = 654321;
    r.positionAngle = -35;
    r.reserved1[0] = 1;
    r.reserved1[1] = 2;
    r.sizeA = 120;
    r.sizeB = -100;
    r.group = 11;
    r.flagValue = -3;
    r.morphology = 100;
    r.magnitude10 = -14;
    for (int i = 0; i < 8; ++i) r.reserved2[i] = static_cast<std::uint8_t>(0x10 + i);
    r.offChart = 1;
    r.cleared = 0xBEEF;
    r.distance = 1.5e6f;
    return r;
}

}  // namespace

TEST(SelectionLayouts, SelectionRecordFieldsSitAtTheirOffsetsAndReadBack) {
    const SelectionRecord r = FilledSelectionRecord();
    std::uint8_t b[kSelectionRecordSize];
    std::memset(b, 0xCC, sizeof b);
    EncodeSelectionRecord(r, b);

    EXPECT_EQ(std::memcmp(b, "NGC7000 North\0\0", 15), 0);
    EXPECT_EQ(b[15], 0xA5);
    EXPECT_EQ(le::I32(b, 16), -7000);
    EXPECT_EQ(le::I16(b, 20), -12);
    EXPECT_EQ(le::I16(b, 22), 42);
    EXPECT_EQ(le::I16(b, 24), 19);
    EXPECT_EQ(le::I16(b, 26), 30);
    EXPECT_FLOAT_EQ(le::F32(b, 28), 20.98f);
    EXPECT_FLOAT_EQ(le::F32(b, 32), -44.33f);
    EXPECT_EQ(le::I32(b, 36), -123456);
    EXPECT_EQ(le::I32(b, 40), 654321);
    EXPECT_EQ(le::I16(b, 44), -35);
    EXPECT_EQ(b[46], 1);
    EXPECT_EQ(b[47], 2);
    EXPECT_EQ(le::I16(b, 48), 120);
    EXPECT_EQ(le::I16(b, 50), -100);
    EXPECT_EQ(le::I16(b, 52), 11);
    EXPECT_EQ(static_cast<std::int8_t>(b[54]), -3);
    EXPECT_EQ(b[55], 100);
    EXPECT_EQ(le::I32(b, 56), -14);
    EXPECT_EQ(b[60], 0x10);
    EXPECT_EQ(b[67], 0x17);
    EXPECT_EQ(le::U16(b, 68), 1);
    EXPECT_EQ(le::U16(b, 70), 0xBEEF);
    EXPECT_FLOAT_EQ(le::F32(b, 72), 1.5e6f);

    SelectionRecord back{};
    DecodeSelectionRecord(b, back);
    std::uint8_t again[kSelectionRecordSize];
    EncodeSelectionRecord(back, again);
    EXPECT_EQ(std::memcmp(b, again, sizeof b), 0);
    EXPECT_STREQ(back.label, "NGC7000 North");
}

TEST(SelectionLayouts, ALabelOfFifteenCharactersKeepsFourteenAndItsNul) {
    std::uint8_t b[kSelectionRecordSize];
    std::memset(b, 'x', sizeof b);
    SelectionRecord back{};
    DecodeSelectionRecord(b, back);
    EXPECT_EQ(std::strlen(back.label), 14u);
    EncodeSelectionRecord(back, b);
    EXPECT_EQ(b[14], 0);
}

TEST(SelectionLayouts, ObjectRefAndUserObjectKeepTheNameAtTheirOwnOffsets) {
    ObjectRef o;
    o.catalog = 63;
    o.number = 17;
    o.type = 16;
    o.constellation = 5;
    o.ra = 12.5f;
    o.dec = -30.25f;
    o.magnitude = 8.75f;
    o.sizeA = 4.5f;
    o.sizeB = 2.25f;
    o.flag = -40;
    o.morphology = 252;
    o.distance = 2500.0f;
    SetObjectRefName(&o, "A very long name of thirty characters");

    std::uint8_t ref[kObjectRefSize];
    EncodeObjectRef(o, ref);
    EXPECT_EQ(le::I16(ref, 36), -40);
    EXPECT_FLOAT_EQ(le::F32(ref, 40), 2500.0f);
    EXPECT_EQ(std::memcmp(ref + 44, "A very long name of", 19), 0);
    EXPECT_EQ(ref[63], 0);

    std::uint8_t user[kUserObjectRecordSize];
    EncodeUserObjectRecord(o, user);
    EXPECT_EQ(std::memcmp(user + 40, "A very long name of", 19), 0);
    EXPECT_EQ(le::U32(user, 60), 0u);

    ObjectRef fromRef, fromUser;
    DecodeObjectRef(ref, fromRef);
    DecodeUserObjectRecord(user, fromUser);
    for (const ObjectRef* back : {&fromRef, &fromUser}) {
        EXPECT_EQ(back->number, 17u);
        EXPECT_FLOAT_EQ(back->dec, -30.25f);
        EXPECT_EQ(back->morphology, 252);
        EXPECT_STREQ(back->name, "A very long name of");
    }
    EXPECT_FLOAT_EQ(fromRef.distance, 2500.0f);
    EXPECT_FLOAT_EQ(fromUser.distance, 0.0f);
}
