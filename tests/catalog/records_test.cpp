// Each record layout written and read back, with its fields checked at their offsets.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "catalog/byte_order.h"
#include "catalog/records.h"

TEST(RecordLayouts, ObjectRecordAndItsUserAndReferenceForms) {
    ObjectRef o;
    o.catalog = 42;
    o.number = 224;
    o.type = 16;
    o.constellation = 0;
    o.ra = 0.712f;
    o.dec = 41.27f;
    o.magnitude = 3.4f;
    o.sizeA = 190;
    o.sizeB = 60;
    o.flag = -3;
    o.morphology = 252;
    o.distance = 2.5e6f;
    std::strcpy(o.name, "Andromeda Galaxy");

    std::vector<std::uint8_t> b(kObjectRecordSize + 8, 0xCC);
    EncodeObjectRecord(o, b.data());
    EXPECT_EQ(le::U32(b.data(), 0), 42u);
    EXPECT_EQ(le::U32(b.data(), 4), 224u);
    EXPECT_EQ(le::I32(b.data(), 8), 16);
    EXPECT_FLOAT_EQ(le::F32(b.data(), 16), 0.712f);
    EXPECT_FLOAT_EQ(le::F32(b.data(), 20), 41.27f);
    EXPECT_EQ(le::I16(b.data(), 36), -3);
    EXPECT_EQ(le::I16(b.data(), 38), 252);
    EXPECT_FLOAT_EQ(le::F32(b.data(), 40), 2.5e6f);
    EXPECT_EQ(b[44], 0xCC) << "44 bytes and no more";
    ObjectRecord r;
    DecodeObjectRecord(b.data(), r);
    EXPECT_EQ(r.number, 224u);
    EXPECT_EQ(r.morphology, 252);
    EXPECT_FLOAT_EQ(r.sizeB, 60);

    std::uint8_t u[kUserObjectRecordSize];
    EncodeUserObjectRecord(o, u);
    EXPECT_STREQ(reinterpret_cast<const char*>(u + 40), "Andromeda Galaxy");
    EXPECT_EQ(le::U32(u, 60), 0u);
    ObjectRef back;
    DecodeUserObjectRecord(u, back);
    EXPECT_STREQ(back.name, "Andromeda Galaxy");
    EXPECT_EQ(back.distance, 0.0f) << "the user layout keeps no distance";
    EXPECT_EQ(back.morphology, 252);

    std::uint8_t ref[kObjectRefSize];
    EncodeObjectRef(o, ref);
    EXPECT_STREQ(reinterpret_cast<const char*>(ref + 44), "Andromeda Galaxy");
    DecodeObjectRef(ref, back);
    EXPECT_FLOAT_EQ(back.distance, 2.5e6f);
    EXPECT_STREQ(back.name, "Andromeda Galaxy");
}

TEST(RecordLayouts, UserObjectNamesAreCutToNineteenCharacters) {
    std::uint8_t u[kUserObjectRecordSize];
    std::memset(u, 'x', sizeof u);
    ObjectRef back;
    DecodeUserObjectRecord(u, back);
    EXPECT_EQ(std::strlen(back.name), 19u);
}

TEST(RecordLayouts, CometRecord) {
    CometRecord c;
    c.kind = 13;
    std::strcpy(c.name, "C/2020 F3 (NEOWISE)");
    c.perihelionDay = 3.68f;
    c.epochJd = 2459000.5f;
    c.work[7] = 2000.0f;
    c.perihelionDistance = 0.29f;
    c.meanAnomaly = 1.0f;
    c.eccentricity = 0.999f;
    c.argPerihelion = 37.3f;
    c.ascendingNode = 61.0f;
    c.inclination = 128.9f;
    c.magnitude1 = 6.5f;
    c.magnitude2 = 4.0f;
    c.reserved120 = 0x1234;
    c.year = 2020;
    c.month = 7;
    c.reserved126 = 0xBEEF;
    std::uint8_t b[kCometRecordSize];
    EncodeCometRecord(c, b);
    EXPECT_EQ(le::U32(b, 0), 13u);
    EXPECT_STREQ(reinterpret_cast<const char*>(b + 4), "C/2020 F3 (NEOWISE)");
    EXPECT_FLOAT_EQ(le::F32(b, 84), 2000.0f);
    EXPECT_FLOAT_EQ(le::F32(b, 88), 0.29f);
    EXPECT_FLOAT_EQ(le::F32(b, 108), 128.9f);
    EXPECT_FLOAT_EQ(le::F32(b, 116), 4.0f);
    EXPECT_EQ(le::I16(b, 122), 2020);
    EXPECT_EQ(le::I16(b, 124), 7);
    CometRecord back;
    DecodeCometRecord(b, back);
    EXPECT_STREQ(back.name, c.name);
    EXPECT_FLOAT_EQ(back.perihelionDay, 3.68f);
    EXPECT_FLOAT_EQ(back.epochJd, 2459000.5f);
    EXPECT_FLOAT_EQ(back.magnitude1, 6.5f);
    EXPECT_EQ(back.reserved120, 0x1234);
    EXPECT_EQ(back.reserved126, 0xBEEF) << "bytes the program does not use survive a rewrite";
}

TEST(RecordLayouts, SatelliteRecordKeepsThreeTextsOf71Bytes) {
    SatelliteRecord s;
    std::strcpy(s.name, "ISS (ZARYA)");
    std::memset(s.line1, '1', 71);
    std::strcpy(s.line2, "2 25544  51.6416 247.4627");
    std::uint8_t b[kSatelliteRecordSize];
    EncodeSatelliteRecord(s, b);
    EXPECT_EQ(b[70], 0);
    EXPECT_EQ(b[71], '1');
    EXPECT_EQ(b[141], '1');
    EXPECT_EQ(b[142], '2');
    SatelliteRecord back;
    DecodeSatelliteRecord(b, back);
    EXPECT_STREQ(back.name, "ISS (ZARYA)");
    EXPECT_EQ(std::strlen(back.line1), 71u);
    EXPECT_STREQ(back.line2, s.line2);
}

TEST(RecordLayouts, MoonAndMarsFeatures) {
    MoonFeatureRecord m{3, 480, 512, 12, -9.3f, 23.4f, 85.0f, "Copernicus"};
    std::uint8_t mb[kMoonFeatureRecordSize];
    EncodeMoonFeatureRecord(m, mb);
    EXPECT_EQ(le::I16(mb, 2), 480);
    EXPECT_EQ(le::I16(mb, 6), 12);
    EXPECT_FLOAT_EQ(le::F32(mb, 8), -9.3f);
    EXPECT_FLOAT_EQ(le::F32(mb, 16), 85.0f);
    EXPECT_STREQ(reinterpret_cast<const char*>(mb + 20), "Copernicus");
    MoonFeatureRecord mback;
    DecodeMoonFeatureRecord(mb, mback);
    EXPECT_EQ(mback.row, 512);
    EXPECT_FLOAT_EQ(mback.longitude, 23.4f);
    EXPECT_STREQ(mback.name, "Copernicus");

    MarsFeatureRecord r{"Olympus Mons", 7, 100, 120, 600, 18.65f, 226.2f};
    std::uint8_t rb[kMarsFeatureRecordSize];
    EncodeMarsFeatureRecord(r, rb);
    EXPECT_EQ(le::I16(rb, 20), 7);
    EXPECT_EQ(le::I16(rb, 26), 600);
    EXPECT_FLOAT_EQ(le::F32(rb, 28), 18.65f);
    EXPECT_FLOAT_EQ(le::F32(rb, 32), 226.2f);
    MarsFeatureRecord rback;
    DecodeMarsFeatureRecord(rb, rback);
    EXPECT_STREQ(rback.name, "Olympus Mons");
    EXPECT_EQ(rback.y, 120);
}

TEST(RecordLayouts, StarAndStarFileRecords) {
    StarRecord s;
    s.word[0] = 0x00010000 | 2491;  // star number in halfword 0
    s.SetFloatWord(1, 6.752f);
    s.SetFloatWord(2, -16.716f);
    s.word[3] = 0x44332211;
    std::uint8_t b[kStarRecordSize];
    EncodeStarRecord(s, b);
    EXPECT_EQ(le::I16(b, 0), 2491);
    EXPECT_FLOAT_EQ(le::F32(b, 4), 6.752f);
    EXPECT_EQ(b[12], 0x11);
    StarRecord back;
    DecodeStarRecord(b, back);
    EXPECT_EQ(back.StarNumber(), 2491);
    EXPECT_EQ(back.Half(1), 1);
    EXPECT_EQ(back.Byte(13), 0x22);
    EXPECT_EQ(back.Half(7), 0x4433);
    EXPECT_FLOAT_EQ(back.FloatWord(2), -16.716f);

    BrightStarRecord bright{"Sirius", 417};
    std::uint8_t bb[kBrightStarRecordSize];
    EncodeBrightStarRecord(bright, bb);
    EXPECT_EQ(le::I16(bb, 18), 417);
    BrightStarRecord bback;
    DecodeBrightStarRecord(bb, bback);
    EXPECT_STREQ(bback.name, "Sirius");
    EXPECT_EQ(bback.starIndex, 417);

    ConstellationLineRecord line{1, {-5, 17, 1645}};
    std::uint8_t lb[kConstellationLineRecordSize];
    EncodeConstellationLineRecord(line, lb);
    EXPECT_EQ(le::I16(lb, 0), 1);
    EXPECT_EQ(le::I16(lb, 6), 1645);
    ConstellationLineRecord lback;
    DecodeConstellationLineRecord(lb, lback);
    EXPECT_EQ(lback.value[0], -5);
    EXPECT_EQ(lback.value[1], 17);

    ObjectIndexEntry e{7009, 42, 12, 123456789, -2000000, 25, 80};
    std::uint8_t eb[kObjectIndexEntrySize];
    EncodeObjectIndexEntry(e, eb);
    EXPECT_EQ(le::I32(eb, 12), -2000000);
    EXPECT_EQ(le::I16(eb, 18), 80);
    ObjectIndexEntry eback;
    DecodeObjectIndexEntry(eb, eback);
    EXPECT_EQ(eback.number, 7009u);
    EXPECT_EQ(eback.ra, 123456789);
    EXPECT_EQ(eback.type, 25);

    StellarStarEntry st{1234567, 23, 59, 58, -89, 30, 1, 0xF5, -2};
    std::uint8_t sb[kStellarStarEntrySize];
    EncodeStellarStarEntry(st, sb);
    EXPECT_EQ(sb[7], 0xA7);  // -89
    EXPECT_EQ(sb[10], 0xF5);
    StellarStarEntry sback;
    DecodeStellarStarEntry(sb, sback);
    EXPECT_EQ(sback.number, 1234567u);
    EXPECT_EQ(sback.decDegrees, -89);
    EXPECT_EQ(sback.colour, -2);
}
