#include "catalog/records.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "catalog/byte_order.h"

float StarRecord::FloatWord(int n) const { return std::bit_cast<float>(word[n]); }
void StarRecord::SetFloatWord(int n, float v) { word[n] = std::bit_cast<std::int32_t>(v); }

namespace {

// A record layout is a tuple of its fields in file order. The one table drives decoding and
// encoding both, so the two directions cannot drift apart, and a compile-time check
// (Tiles) makes sure the fields cover the record's bytes exactly once.

// Numbers: the member's type gives the width and the kind (8, 16 or 32-bit integer, or
// f32); an array member is its elements one after another.
template <class Record, class Member>
struct Num {
    using Element = std::remove_all_extents_t<Member>;
    static_assert(le::kFileNumber<Element> && !std::is_same_v<Element, char>, "text goes in a Text field");
    static constexpr std::size_t width = sizeof(Member);

    Member Record::*member;
    std::size_t at;
};
template <class Record, class Member>
Num(Member Record::*, std::size_t) -> Num<Record, Member>;

// Text of `width` bytes in a char[N] member. In memory it keeps at most N - 1 characters and
// always ends with a NUL; in the file it is padded with NULs.
template <class Record, std::size_t N>
struct Text {
    char (Record::*member)[N];
    std::size_t at;
    std::size_t width;

    constexpr std::size_t Kept() const { return std::min(width, N - 1); }
};
template <class Record, std::size_t N>
Text(char (Record::*)[N], std::size_t, std::size_t) -> Text<Record, N>;

// Bytes that hold nothing: written as zeros, skipped when read.
struct Zeros {
    std::size_t at;
    std::size_t width;
};

template <class T>
void ReadNumbers(const std::uint8_t* b, std::size_t at, T& out) {
    if constexpr (std::is_array_v<T>) {
        for (std::size_t i = 0; i < std::extent_v<T>; ++i) ReadNumbers(b, at + i * sizeof out[0], out[i]);
    } else {
        out = le::Get<T>(b, at);
    }
}

template <class T>
void WriteNumbers(std::uint8_t* b, std::size_t at, const T& in) {
    if constexpr (std::is_array_v<T>) {
        for (std::size_t i = 0; i < std::extent_v<T>; ++i) WriteNumbers(b, at + i * sizeof in[0], in[i]);
    } else {
        le::Put<T>(b, at, in);
    }
}

template <class Record, class R, class M>
void Read(const Num<R, M>& f, const std::uint8_t* b, Record& r) {
    ReadNumbers(b, f.at, r.*f.member);
}
template <class Record, class R, class M>
void Write(const Num<R, M>& f, const Record& r, std::uint8_t* b) {
    WriteNumbers(b, f.at, r.*f.member);
}

template <class Record, class R, std::size_t N>
void Read(const Text<R, N>& f, const std::uint8_t* b, Record& r) {
    le::Text(b, f.at, f.Kept(), r.*f.member);
}
template <class Record, class R, std::size_t N>
void Write(const Text<R, N>& f, const Record& r, std::uint8_t* b) {
    const char* text = r.*f.member;
    const char* end = std::find(text, text + f.Kept(), '\0');
    le::PutText(b, f.at, f.width, std::string_view(text, static_cast<std::size_t>(end - text)));
}

template <class Record>
void Read(const Zeros&, const std::uint8_t*, Record&) {}
template <class Record>
void Write(const Zeros& f, const Record&, std::uint8_t* b) {
    std::memset(b + f.at, 0, f.width);
}

template <class Layout, class Fn>
constexpr void ForEachField(const Layout& layout, Fn&& fn) {
    std::apply([&](const auto&... field) { (fn(field), ...); }, layout);
}

template <class Layout, class Record>
void DecodeWith(const Layout& layout, const std::uint8_t* b, Record& r) {
    ForEachField(layout, [&](const auto& field) { Read(field, b, r); });
}

template <class Layout, class Record>
void EncodeWith(const Layout& layout, const Record& r, std::uint8_t* b) {
    ForEachField(layout, [&](const auto& field) { Write(field, r, b); });
}

// Each field starts where the one before it ends, and the last ends at the record's size.
template <class Layout>
constexpr bool Tiles(const Layout& layout, std::size_t size) {
    std::size_t end = 0;
    bool contiguous = true;
    ForEachField(layout, [&](const auto& field) {
        contiguous = contiguous && field.at == end;
        end = field.at + field.width;
    });
    return contiguous && end == size;
}

// Bytes 0..39, shared by the object, user-object and reference layouts.
constexpr auto kObjectHead = std::tuple{
    Num{&ObjectRecord::catalog, 0},
    Num{&ObjectRecord::number, 4},
    Num{&ObjectRecord::type, 8},
    Num{&ObjectRecord::constellation, 12},
    Num{&ObjectRecord::ra, 16},
    Num{&ObjectRecord::dec, 20},
    Num{&ObjectRecord::magnitude, 24},
    Num{&ObjectRecord::sizeA, 28},
    Num{&ObjectRecord::sizeB, 32},
    Num{&ObjectRecord::flag, 36},
    Num{&ObjectRecord::morphology, 38},
};

constexpr auto kObjectLayout = std::tuple_cat(kObjectHead, std::tuple{Num{&ObjectRecord::distance, 40}});
static_assert(Tiles(kObjectLayout, kObjectRecordSize));

// The user layout keeps no distance; the name has 20 bytes but 19 characters.
constexpr auto kUserObjectLayout =
    std::tuple_cat(kObjectHead, std::tuple{Text{&ObjectRef::name, 40, kObjectNameSize}, Zeros{60, 4}});
static_assert(Tiles(kUserObjectLayout, kUserObjectRecordSize));

constexpr auto kObjectRefLayout =
    std::tuple_cat(kObjectLayout, std::tuple{Text{&ObjectRef::name, 44, kObjectNameSize}});
static_assert(Tiles(kObjectRefLayout, kObjectRefSize));

constexpr auto kCometLayout = std::tuple{
    Num{&CometRecord::kind, 0},
    Text{&CometRecord::name, 4, 44},
    Num{&CometRecord::perihelionDay, 48},
    Num{&CometRecord::epochJd, 52},
    Num{&CometRecord::work, 56},
    Num{&CometRecord::perihelionDistance, 88},
    Num{&CometRecord::meanAnomaly, 92},
    Num{&CometRecord::eccentricity, 96},
    Num{&CometRecord::argPerihelion, 100},
    Num{&CometRecord::ascendingNode, 104},
    Num{&CometRecord::inclination, 108},
    Num{&CometRecord::magnitude1, 112},
    Num{&CometRecord::magnitude2, 116},
    Num{&CometRecord::reserved120, 120},
    Num{&CometRecord::year, 122},
    Num{&CometRecord::month, 124},
    Num{&CometRecord::reserved126, 126},
};
static_assert(Tiles(kCometLayout, kCometRecordSize));

constexpr auto kSatelliteLayout = std::tuple{
    Text{&SatelliteRecord::name, 0, kSatelliteTextSize},
    Text{&SatelliteRecord::line1, 71, kSatelliteTextSize},
    Text{&SatelliteRecord::line2, 142, kSatelliteTextSize},
};
static_assert(Tiles(kSatelliteLayout, kSatelliteRecordSize));

constexpr auto kMoonFeatureLayout = std::tuple{
    Num{&MoonFeatureRecord::kind, 0},
    Num{&MoonFeatureRecord::column, 2},
    Num{&MoonFeatureRecord::row, 4},
    Num{&MoonFeatureRecord::radius, 6},
    Num{&MoonFeatureRecord::latitude, 8},
    Num{&MoonFeatureRecord::longitude, 12},
    Num{&MoonFeatureRecord::diameter, 16},
    Text{&MoonFeatureRecord::name, 20, 24},
};
static_assert(Tiles(kMoonFeatureLayout, kMoonFeatureRecordSize));

constexpr auto kMarsFeatureLayout = std::tuple{
    Text{&MarsFeatureRecord::name, 0, 20},
    Num{&MarsFeatureRecord::kind, 20},
    Num{&MarsFeatureRecord::x, 22},
    Num{&MarsFeatureRecord::y, 24},
    Num{&MarsFeatureRecord::sizeKm, 26},
    Num{&MarsFeatureRecord::latitude, 28},
    Num{&MarsFeatureRecord::longitude, 32},
};
static_assert(Tiles(kMarsFeatureLayout, kMarsFeatureRecordSize));

constexpr auto kStarLayout = std::tuple{Num{&StarRecord::word, 0}};
static_assert(Tiles(kStarLayout, kStarRecordSize));

constexpr auto kBrightStarLayout = std::tuple{
    Text{&BrightStarRecord::name, 0, kBrightStarNameSize},
    Num{&BrightStarRecord::starIndex, 18},
};
static_assert(Tiles(kBrightStarLayout, kBrightStarRecordSize));

constexpr auto kConstellationLineLayout = std::tuple{
    Num{&ConstellationLineRecord::set, 0},
    Num{&ConstellationLineRecord::value, 2},
};
static_assert(Tiles(kConstellationLineLayout, kConstellationLineRecordSize));

constexpr auto kObjectIndexLayout = std::tuple{
    Num{&ObjectIndexEntry::number, 0},
    Num{&ObjectIndexEntry::catalog, 4},
    Num{&ObjectIndexEntry::selectionNumber, 6},
    Num{&ObjectIndexEntry::ra, 8},
    Num{&ObjectIndexEntry::dec, 12},
    Num{&ObjectIndexEntry::type, 16},
    Num{&ObjectIndexEntry::limit, 18},
};
static_assert(Tiles(kObjectIndexLayout, kObjectIndexEntrySize));

constexpr auto kStellarStarLayout = std::tuple{
    Num{&StellarStarEntry::number, 0},
    Num{&StellarStarEntry::raHours, 4},
    Num{&StellarStarEntry::raMinutes, 5},
    Num{&StellarStarEntry::raSeconds, 6},
    Num{&StellarStarEntry::decDegrees, 7},
    Num{&StellarStarEntry::decMinutes, 8},
    Num{&StellarStarEntry::decSeconds, 9},
    Num{&StellarStarEntry::magnitude, 10},
    Num{&StellarStarEntry::colour, 11},
};
static_assert(Tiles(kStellarStarLayout, kStellarStarEntrySize));

}  // namespace

void DecodeObjectRecord(const std::uint8_t* b, ObjectRecord& r) { DecodeWith(kObjectLayout, b, r); }
void EncodeObjectRecord(const ObjectRecord& r, std::uint8_t* b) { EncodeWith(kObjectLayout, r, b); }

void DecodeUserObjectRecord(const std::uint8_t* b, ObjectRef& out) {
    DecodeWith(kUserObjectLayout, b, out);
    out.distance = 0;
}
void EncodeUserObjectRecord(const ObjectRef& ref, std::uint8_t* b) { EncodeWith(kUserObjectLayout, ref, b); }

void DecodeObjectRef(const std::uint8_t* b, ObjectRef& out) { DecodeWith(kObjectRefLayout, b, out); }
void EncodeObjectRef(const ObjectRef& ref, std::uint8_t* b) { EncodeWith(kObjectRefLayout, ref, b); }

void DecodeCometRecord(const std::uint8_t* b, CometRecord& r) { DecodeWith(kCometLayout, b, r); }
void EncodeCometRecord(const CometRecord& r, std::uint8_t* b) { EncodeWith(kCometLayout, r, b); }

void DecodeSatelliteRecord(const std::uint8_t* b, SatelliteRecord& r) { DecodeWith(kSatelliteLayout, b, r); }
void EncodeSatelliteRecord(const SatelliteRecord& r, std::uint8_t* b) { EncodeWith(kSatelliteLayout, r, b); }

void DecodeMoonFeatureRecord(const std::uint8_t* b, MoonFeatureRecord& r) { DecodeWith(kMoonFeatureLayout, b, r); }
void EncodeMoonFeatureRecord(const MoonFeatureRecord& r, std::uint8_t* b) { EncodeWith(kMoonFeatureLayout, r, b); }

void DecodeMarsFeatureRecord(const std::uint8_t* b, MarsFeatureRecord& r) { DecodeWith(kMarsFeatureLayout, b, r); }
void EncodeMarsFeatureRecord(const MarsFeatureRecord& r, std::uint8_t* b) { EncodeWith(kMarsFeatureLayout, r, b); }

void DecodeStarRecord(const std::uint8_t* b, StarRecord& r) { DecodeWith(kStarLayout, b, r); }
void EncodeStarRecord(const StarRecord& r, std::uint8_t* b) { EncodeWith(kStarLayout, r, b); }

void DecodeBrightStarRecord(const std::uint8_t* b, BrightStarRecord& r) { DecodeWith(kBrightStarLayout, b, r); }
void EncodeBrightStarRecord(const BrightStarRecord& r, std::uint8_t* b) { EncodeWith(kBrightStarLayout, r, b); }

void DecodeConstellationLineRecord(const std::uint8_t* b, ConstellationLineRecord& r) {
    DecodeWith(kConstellationLineLayout, b, r);
}
void EncodeConstellationLineRecord(const ConstellationLineRecord& r, std::uint8_t* b) {
    EncodeWith(kConstellationLineLayout, r, b);
}

void DecodeObjectIndexEntry(const std::uint8_t* b, ObjectIndexEntry& e) { DecodeWith(kObjectIndexLayout, b, e); }
void EncodeObjectIndexEntry(const ObjectIndexEntry& e, std::uint8_t* b) { EncodeWith(kObjectIndexLayout, e, b); }

void DecodeStellarStarEntry(const std::uint8_t* b, StellarStarEntry& e) { DecodeWith(kStellarStarLayout, b, e); }
void EncodeStellarStarEntry(const StellarStarEntry& e, std::uint8_t* b) { EncodeWith(kStellarStarLayout, e, b); }
