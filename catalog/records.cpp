#include "catalog/records.h"

#include <bit>
#include <cstring>

#include "catalog/byte_order.h"

float StarRecord::FloatWord(int n) const { return std::bit_cast<float>(word[n]); }
void StarRecord::SetFloatWord(int n, float v) { word[n] = std::bit_cast<std::int32_t>(v); }

namespace {

// Bytes 0..39, shared by the object and user-object layouts.
void DecodeObjectHead(const std::uint8_t* b, ObjectRecord& r) {
    r.catalog = le::U32(b, 0);
    r.number = le::U32(b, 4);
    r.type = le::I32(b, 8);
    r.constellation = le::I32(b, 12);
    r.ra = le::F32(b, 16);
    r.dec = le::F32(b, 20);
    r.magnitude = le::F32(b, 24);
    r.sizeA = le::F32(b, 28);
    r.sizeB = le::F32(b, 32);
    r.flag = le::I16(b, 36);
    r.morphology = le::I16(b, 38);
}

void EncodeObjectHead(const ObjectRecord& r, std::uint8_t* b) {
    le::PutU32(b, 0, r.catalog);
    le::PutU32(b, 4, r.number);
    le::PutI32(b, 8, r.type);
    le::PutI32(b, 12, r.constellation);
    le::PutF32(b, 16, r.ra);
    le::PutF32(b, 20, r.dec);
    le::PutF32(b, 24, r.magnitude);
    le::PutF32(b, 28, r.sizeA);
    le::PutF32(b, 32, r.sizeB);
    le::PutI16(b, 36, r.flag);
    le::PutI16(b, 38, r.morphology);
}

void ReadName(const std::uint8_t* b, std::size_t at, ObjectRef& out) {
    std::memcpy(out.name, b + at, kObjectNameSize);
    out.name[kObjectNameSize - 1] = '\0';
}

}  // namespace

void DecodeObjectRecord(const std::uint8_t* b, ObjectRecord& r) {
    DecodeObjectHead(b, r);
    r.distance = le::F32(b, 40);
}

void EncodeObjectRecord(const ObjectRecord& r, std::uint8_t* b) {
    EncodeObjectHead(r, b);
    le::PutF32(b, 40, r.distance);
}

void DecodeUserObjectRecord(const std::uint8_t* b, ObjectRef& out) {
    DecodeObjectHead(b, out);
    out.distance = 0;
    ReadName(b, 40, out);
}

void EncodeUserObjectRecord(const ObjectRef& ref, std::uint8_t* b) {
    EncodeObjectHead(ref, b);
    char name[kObjectNameSize] = {};
    std::memcpy(name, ref.name, kObjectNameSize - 1);
    le::PutText(b, 40, kObjectNameSize, name);
    le::PutU32(b, 60, 0);
}

void DecodeObjectRef(const std::uint8_t* b, ObjectRef& out) {
    DecodeObjectRecord(b, out);
    ReadName(b, 44, out);
}

void EncodeObjectRef(const ObjectRef& ref, std::uint8_t* b) {
    EncodeObjectRecord(ref, b);
    char name[kObjectNameSize] = {};
    std::memcpy(name, ref.name, kObjectNameSize - 1);
    le::PutText(b, 44, kObjectNameSize, name);
}

void DecodeCometRecord(const std::uint8_t* b, CometRecord& r) {
    r.kind = le::U32(b, 0);
    le::Text(b, 4, 44, r.name);
    r.perihelionDay = le::F32(b, 48);
    r.epochJd = le::F32(b, 52);
    for (int i = 0; i < 8; ++i) r.work[i] = le::F32(b, 56 + 4 * static_cast<std::size_t>(i));
    r.perihelionDistance = le::F32(b, 88);
    r.meanAnomaly = le::F32(b, 92);
    r.eccentricity = le::F32(b, 96);
    r.argPerihelion = le::F32(b, 100);
    r.ascendingNode = le::F32(b, 104);
    r.inclination = le::F32(b, 108);
    r.magnitude1 = le::F32(b, 112);
    r.magnitude2 = le::F32(b, 116);
    r.reserved120 = le::U16(b, 120);
    r.year = le::I16(b, 122);
    r.month = le::I16(b, 124);
    r.reserved126 = le::U16(b, 126);
}

void EncodeCometRecord(const CometRecord& r, std::uint8_t* b) {
    le::PutU32(b, 0, r.kind);
    le::PutText(b, 4, 44, r.name);
    le::PutF32(b, 48, r.perihelionDay);
    le::PutF32(b, 52, r.epochJd);
    for (int i = 0; i < 8; ++i) le::PutF32(b, 56 + 4 * static_cast<std::size_t>(i), r.work[i]);
    le::PutF32(b, 88, r.perihelionDistance);
    le::PutF32(b, 92, r.meanAnomaly);
    le::PutF32(b, 96, r.eccentricity);
    le::PutF32(b, 100, r.argPerihelion);
    le::PutF32(b, 104, r.ascendingNode);
    le::PutF32(b, 108, r.inclination);
    le::PutF32(b, 112, r.magnitude1);
    le::PutF32(b, 116, r.magnitude2);
    le::PutU16(b, 120, r.reserved120);
    le::PutI16(b, 122, r.year);
    le::PutI16(b, 124, r.month);
    le::PutU16(b, 126, r.reserved126);
}

void DecodeSatelliteRecord(const std::uint8_t* b, SatelliteRecord& r) {
    le::Text(b, 0, kSatelliteTextSize, r.name);
    le::Text(b, 71, kSatelliteTextSize, r.line1);
    le::Text(b, 142, kSatelliteTextSize, r.line2);
}

void EncodeSatelliteRecord(const SatelliteRecord& r, std::uint8_t* b) {
    le::PutText(b, 0, kSatelliteTextSize, r.name);
    le::PutText(b, 71, kSatelliteTextSize, r.line1);
    le::PutText(b, 142, kSatelliteTextSize, r.line2);
}

void DecodeMoonFeatureRecord(const std::uint8_t* b, MoonFeatureRecord& r) {
    r.kind = le::I16(b, 0);
    r.column = le::I16(b, 2);
    r.row = le::I16(b, 4);
    r.radius = le::I16(b, 6);
    r.latitude = le::F32(b, 8);
    r.longitude = le::F32(b, 12);
    r.diameter = le::F32(b, 16);
    le::Text(b, 20, 24, r.name);
}

void EncodeMoonFeatureRecord(const MoonFeatureRecord& r, std::uint8_t* b) {
    le::PutI16(b, 0, r.kind);
    le::PutI16(b, 2, r.column);
    le::PutI16(b, 4, r.row);
    le::PutI16(b, 6, r.radius);
    le::PutF32(b, 8, r.latitude);
    le::PutF32(b, 12, r.longitude);
    le::PutF32(b, 16, r.diameter);
    le::PutText(b, 20, 24, r.name);
}

void DecodeMarsFeatureRecord(const std::uint8_t* b, MarsFeatureRecord& r) {
    le::Text(b, 0, 20, r.name);
    r.kind = le::I16(b, 20);
    r.x = le::I16(b, 22);
    r.y = le::I16(b, 24);
    r.sizeKm = le::I16(b, 26);
    r.latitude = le::F32(b, 28);
    r.longitude = le::F32(b, 32);
}

void EncodeMarsFeatureRecord(const MarsFeatureRecord& r, std::uint8_t* b) {
    le::PutText(b, 0, 20, r.name);
    le::PutI16(b, 20, r.kind);
    le::PutI16(b, 22, r.x);
    le::PutI16(b, 24, r.y);
    le::PutI16(b, 26, r.sizeKm);
    le::PutF32(b, 28, r.latitude);
    le::PutF32(b, 32, r.longitude);
}

void DecodeStarRecord(const std::uint8_t* b, StarRecord& r) {
    for (int i = 0; i < 11; ++i) r.word[i] = le::I32(b, 4 * static_cast<std::size_t>(i));
}

void EncodeStarRecord(const StarRecord& r, std::uint8_t* b) {
    for (int i = 0; i < 11; ++i) le::PutI32(b, 4 * static_cast<std::size_t>(i), r.word[i]);
}

void DecodeBrightStarRecord(const std::uint8_t* b, BrightStarRecord& r) {
    le::Text(b, 0, kBrightStarNameSize, r.name);
    r.starIndex = le::I16(b, 18);
}

void EncodeBrightStarRecord(const BrightStarRecord& r, std::uint8_t* b) {
    le::PutText(b, 0, kBrightStarNameSize, r.name);
    le::PutI16(b, 18, r.starIndex);
}

void DecodeConstellationLineRecord(const std::uint8_t* b, ConstellationLineRecord& r) {
    r.set = le::I16(b, 0);
    for (int i = 0; i < 3; ++i) r.value[i] = le::I16(b, 2 + 2 * static_cast<std::size_t>(i));
}

void EncodeConstellationLineRecord(const ConstellationLineRecord& r, std::uint8_t* b) {
    le::PutI16(b, 0, r.set);
    for (int i = 0; i < 3; ++i) le::PutI16(b, 2 + 2 * static_cast<std::size_t>(i), r.value[i]);
}

void DecodeObjectIndexEntry(const std::uint8_t* b, ObjectIndexEntry& e) {
    e.number = le::U32(b, 0);
    e.catalog = le::I16(b, 4);
    e.selectionNumber = le::I16(b, 6);
    e.ra = le::I32(b, 8);
    e.dec = le::I32(b, 12);
    e.type = le::I16(b, 16);
    e.limit = le::I16(b, 18);
}

void EncodeObjectIndexEntry(const ObjectIndexEntry& e, std::uint8_t* b) {
    le::PutU32(b, 0, e.number);
    le::PutI16(b, 4, e.catalog);
    le::PutI16(b, 6, e.selectionNumber);
    le::PutI32(b, 8, e.ra);
    le::PutI32(b, 12, e.dec);
    le::PutI16(b, 16, e.type);
    le::PutI16(b, 18, e.limit);
}

void DecodeStellarStarEntry(const std::uint8_t* b, StellarStarEntry& e) {
    e.number = le::U32(b, 0);
    e.raHours = static_cast<std::int8_t>(b[4]);
    e.raMinutes = static_cast<std::int8_t>(b[5]);
    e.raSeconds = static_cast<std::int8_t>(b[6]);
    e.decDegrees = static_cast<std::int8_t>(b[7]);
    e.decMinutes = static_cast<std::int8_t>(b[8]);
    e.decSeconds = static_cast<std::int8_t>(b[9]);
    e.magnitude = b[10];
    e.colour = static_cast<std::int8_t>(b[11]);
}

void EncodeStellarStarEntry(const StellarStarEntry& e, std::uint8_t* b) {
    le::PutU32(b, 0, e.number);
    b[4] = static_cast<std::uint8_t>(e.raHours);
    b[5] = static_cast<std::uint8_t>(e.raMinutes);
    b[6] = static_cast<std::uint8_t>(e.raSeconds);
    b[7] = static_cast<std::uint8_t>(e.decDegrees);
    b[8] = static_cast<std::uint8_t>(e.decMinutes);
    b[9] = static_cast<std::uint8_t>(e.decSeconds);
    b[10] = e.magnitude;
    b[11] = static_cast<std::uint8_t>(e.colour);
}
