// Each record layout written and read back, with its fields checked at their offsets.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/byte_order.h"
#include "catalog/records.h"

namespace {

std::string Hex(const std::uint8_t* b, std::size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        s += digits[b[i] >> 4];
        s += digits[b[i] & 15];
    }
    return s;
}

// Records with a distinct value in every field.
ObjectRef FilledObject() {
    ObjectRef o;
    o.catalog = 0xC0000029u;
    o.number = 70009;
    o.type = -16;
    o.constellation = 88;
    o.ra = 0.712f;
    o.dec = -41.27f;
    o.magnitude = 3.4f;
    o.sizeA = 190.5f;
    o.sizeB = 60.25f;
    o.flag = -3;
    o.morphology = 296;
    o.distance = 2.5e6f;
    std::strcpy(o.name, "Andromeda Galaxy M3");  // the 19 characters a name keeps
    return o;
}

CometRecord FilledComet() {
    CometRecord c;
    c.kind = 18;
    std::strcpy(c.name, "C/2020 F3 (NEOWISE)");
    c.perihelionDay = 3.68f;
    c.epochJd = 2459000.5f;
    for (int i = 0; i < 8; ++i) c.work[i] = 0.5f + static_cast<float>(i);
    c.perihelionDistance = 0.29f;
    c.meanAnomaly = 1.25f;
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
    return c;
}

// Encodes `filled` and compares every byte with `hex`, then decodes those bytes and encodes
// the result again: a field dropped or moved in either direction changes the bytes.
template <class Record>
void ExpectBytes(const char* layout, const Record& filled, std::size_t size,
                 void (*encode)(const Record&, std::uint8_t*), void (*decode)(const std::uint8_t*, Record&),
                 std::string_view hex) {
    SCOPED_TRACE(layout);
    std::vector<std::uint8_t> b(size + 1, 0xCC);
    encode(filled, b.data());
    EXPECT_EQ(Hex(b.data(), size), hex);
    EXPECT_EQ(b[size], 0xCC) << "writes past the record";
    Record back;
    decode(b.data(), back);
    std::vector<std::uint8_t> again(size, 0xCC);
    encode(back, again.data());
    EXPECT_EQ(Hex(again.data(), size), hex);
}

}  // namespace

// Every field of every layout holds a distinct value; the bytes are those the layouts have
// always written, so files written before and after a change to the codecs stay identical.
TEST(RecordLayouts, EveryLayoutWritesTheSameBytes) {
    const ObjectRef o = FilledObject();
    const CometRecord c = FilledComet();

    SatelliteRecord sat;
    std::strcpy(sat.name, "ISS (ZARYA)");
    std::strcpy(sat.line1, "1 25544U 98067A   20194.88612269 -.00002218  00000-0 -31515-4 0  9992XY");  // all 71
    std::strcpy(sat.line2, "2 25544  51.6461 221.2784 0001413  89.1723 280.4612 15.49507896236008");

    StarRecord star;
    for (int i = 0; i < 11; ++i) star.word[i] = static_cast<std::int32_t>(0x9E3779B9u * static_cast<unsigned>(i + 1));

    ExpectBytes<ObjectRecord>("object", o, kObjectRecordSize, EncodeObjectRecord, DecodeObjectRecord,
                              "290000c079110100f0ffffff58000000a245363f7b1425c29a99594000803e43"
                              "00007142fdff28018096184a");
    ExpectBytes<ObjectRef>("user object", o, kUserObjectRecordSize, EncodeUserObjectRecord, DecodeUserObjectRecord,
                           "290000c079110100f0ffffff58000000a245363f7b1425c29a99594000803e43"
                           "00007142fdff2801416e64726f6d6564612047616c617879204d330000000000");
    ExpectBytes<ObjectRef>("object reference", o, kObjectRefSize, EncodeObjectRef, DecodeObjectRef,
                           "290000c079110100f0ffffff58000000a245363f7b1425c29a99594000803e43"
                           "00007142fdff28018096184a416e64726f6d6564612047616c617879204d3300");
    ExpectBytes<CometRecord>("comet", c, kCometRecordSize, EncodeCometRecord, DecodeCometRecord,
                             "12000000432f3230323020463320284e454f5749534529000000000000000000"
                             "000000000000000000000000000000001f856b40e215164a0000003f0000c03f"
                             "0000204000006040000090400000b0400000d0400000f040e17a943e0000a03f"
                             "77be7f3f333315420000744266e600430000d040000080403412e4070700efbe");
    ExpectBytes<SatelliteRecord>("satellite", sat, kSatelliteRecordSize, EncodeSatelliteRecord, DecodeSatelliteRecord,
                                 "49535320285a4152594129000000000000000000000000000000000000000000"
                                 "0000000000000000000000000000000000000000000000000000000000000000"
                                 "0000000000000031203235353434552039383036374120202032303139342e38"
                                 "38363132323639202d2e3030303032323138202030303030302d30202d333135"
                                 "31352d342030202039393932585932203235353434202035312e363436312032"
                                 "32312e323738342030303031343133202038392e31373233203238302e343631"
                                 "322031352e34393530373839363233363030380000");
    ExpectBytes<MoonFeatureRecord>("moon feature", {3, 480, -512, 12, -9.3f, 23.4f, 85.0f, "Copernicus"},
                                   kMoonFeatureRecordSize, EncodeMoonFeatureRecord, DecodeMoonFeatureRecord,
                                   "0300e00100fe0c00cdcc14c13333bb410000aa42436f7065726e696375730000"
                                   "000000000000000000000000");
    ExpectBytes<MarsFeatureRecord>("mars feature", {"Olympus Mons", 7, 100, -120, 600, 18.65f, 226.2f},
                                   kMarsFeatureRecordSize, EncodeMarsFeatureRecord, DecodeMarsFeatureRecord,
                                   "4f6c796d707573204d6f6e7300000000000000000700640088ff580233339541"
                                   "33336243");
    ExpectBytes<StarRecord>("star", star, kStarRecordSize, EncodeStarRecord, DecodeStarRecord,
                            "b979379e72f36e3c2b6da6dae4e6dd789d60151756da4cb50f548453c8cdbbf1"
                            "8147f38f3ac12a2ef33a62cc");
    ExpectBytes<BrightStarRecord>("bright star", {"Alpha Centauri AB", 417}, kBrightStarRecordSize,
                                  EncodeBrightStarRecord, DecodeBrightStarRecord,
                                  "416c7068612043656e746175726920414200a101");
    ExpectBytes<ConstellationLineRecord>("constellation line", {1, {-5, 17, 1645}}, kConstellationLineRecordSize,
                                         EncodeConstellationLineRecord, DecodeConstellationLineRecord,
                                         "0100fbff11006d06");
    ExpectBytes<ObjectIndexEntry>("object index", {0xF0001B61u, -42, 12, 123456789, -2000000, 25, 80},
                                  kObjectIndexEntrySize, EncodeObjectIndexEntry, DecodeObjectIndexEntry,
                                  "611b00f0d6ff0c0015cd5b07807be1ff19005000");
    ExpectBytes<StellarStarEntry>("stellar star", {0xF012D687u, 23, 59, 58, -89, 30, 1, 0xF5, -2},
                                  kStellarStarEntrySize, EncodeStellarStarEntry, DecodeStellarStarEntry,
                                  "87d612f0173b3aa71e01f5fe");
}

TEST(RecordLayouts, ObjectRecordAndItsUserAndReferenceForms) {
    const ObjectRef o = FilledObject();
    std::vector<std::uint8_t> b(kObjectRecordSize + 8, 0xCC);
    EncodeObjectRecord(o, b.data());
    EXPECT_EQ(le::U32(b.data(), 0), 0xC0000029u);
    EXPECT_EQ(le::U32(b.data(), 4), 70009u);
    EXPECT_EQ(le::I32(b.data(), 8), -16);
    EXPECT_FLOAT_EQ(le::F32(b.data(), 16), 0.712f);
    EXPECT_FLOAT_EQ(le::F32(b.data(), 20), -41.27f);
    EXPECT_EQ(le::I16(b.data(), 36), -3);
    EXPECT_EQ(le::I16(b.data(), 38), 296);
    EXPECT_FLOAT_EQ(le::F32(b.data(), 40), 2.5e6f);
    EXPECT_EQ(b[44], 0xCC) << "44 bytes and no more";
    ObjectRecord r;
    DecodeObjectRecord(b.data(), r);
    EXPECT_EQ(r.number, 70009u);
    EXPECT_EQ(r.morphology, 296);
    EXPECT_FLOAT_EQ(r.sizeB, 60.25f);

    std::uint8_t u[kUserObjectRecordSize];
    EncodeUserObjectRecord(o, u);
    EXPECT_STREQ(reinterpret_cast<const char*>(u + 40), "Andromeda Galaxy M3");
    EXPECT_EQ(le::U32(u, 60), 0u);
    ObjectRef back;
    DecodeUserObjectRecord(u, back);
    EXPECT_STREQ(back.name, "Andromeda Galaxy M3");
    EXPECT_EQ(back.distance, 0.0f) << "the user layout keeps no distance";
    EXPECT_EQ(back.morphology, 296);

    std::uint8_t ref[kObjectRefSize];
    EncodeObjectRef(o, ref);
    EXPECT_STREQ(reinterpret_cast<const char*>(ref + 44), "Andromeda Galaxy M3");
    DecodeObjectRef(ref, back);
    EXPECT_FLOAT_EQ(back.distance, 2.5e6f);
    EXPECT_STREQ(back.name, "Andromeda Galaxy M3");
}

TEST(RecordLayouts, UserObjectNamesAreCutToNineteenCharacters) {
    std::uint8_t u[kUserObjectRecordSize];
    std::memset(u, 'x', sizeof u);
    ObjectRef back;
    DecodeUserObjectRecord(u, back);
    EXPECT_EQ(std::strlen(back.name), 19u);
}

TEST(RecordLayouts, CometRecord) {
    const CometRecord c = FilledComet();
    std::uint8_t b[kCometRecordSize];
    EncodeCometRecord(c, b);
    EXPECT_EQ(le::U32(b, 0), 18u);
    EXPECT_STREQ(reinterpret_cast<const char*>(b + 4), "C/2020 F3 (NEOWISE)");
    EXPECT_FLOAT_EQ(le::F32(b, 84), 7.5f);
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
