#include "scope/saved_alignment.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "astro/time_scales.h"
#include "catalog/byte_order.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "core/startup_alloc.h"

std::uint8_t* alignmentStars = nullptr;

int RestoreLastAlignment() {
    const double saved = PreferenceDouble(pref::savedAlignment);
    if (saved <= 0.0) return 0;
    const ObservingDateTime& t = observingDateTime;
    const double now = DateTimeToJD(t.year, t.month, t.day, t.hour, t.minute, t.second, observerLocation.zoneMinutes);
    if (now - saved >= 0.5) return 0;
    AskYesNo("Would you want to restore your last alignment?", "");
    return 1;
}

bool AllocAlignmentStars() {
    return StartupAllocate(alignmentStars, 1, kAlignmentStarsSize,
                           std::string(kStartupAllocFailure) + "alignment stars");
}

void FreeAlignmentStars() { StartupRelease(alignmentStars); }

namespace {

void PutF64(std::uint8_t* p, std::size_t at, double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    le::PutU32(p, at, static_cast<std::uint32_t>(bits));
    le::PutU32(p, at + 4, static_cast<std::uint32_t>(bits >> 32));
}
double F64(const std::uint8_t* p, std::size_t at) {
    return std::bit_cast<double>(static_cast<std::uint64_t>(le::U32(p, at)) |
                                 (static_cast<std::uint64_t>(le::U32(p, at + 4)) << 32));
}

// The doubles of the record from byte 24 on, in file order.
constexpr double AlignStar::*kDoubles[] = {
    &AlignStar::time,          &AlignStar::ra,            &AlignStar::dec,           &AlignStar::axis1,
    &AlignStar::axis2,         &AlignStar::modelAxis1,    &AlignStar::modelAxis2,    &AlignStar::measuredAxis1,
    &AlignStar::measuredAxis2, &AlignStar::correctedAxis1, &AlignStar::correctedAxis2, &AlignStar::siderealTime,
};
constexpr std::size_t kNameAt = 4;
constexpr std::size_t kDoublesAt = 24;
constexpr std::size_t kCatalogAt = 120;
constexpr int kFirstStarWord = pref::savedAlignment + 2;
constexpr int kStarWords = static_cast<int>(kAlignStarSize / 4);

void StarToWords(const AlignStar& star, int firstWord) {
    std::uint8_t bytes[kAlignStarSize];
    EncodeAlignStar(star, bytes);
    for (int i = 0; i < kStarWords; ++i) preferences.word[firstWord + i] = le::I32(bytes, 4 * static_cast<std::size_t>(i));
}

void WordsToStar(int firstWord, AlignStar* star) {
    std::uint8_t bytes[kAlignStarSize];
    for (int i = 0; i < kStarWords; ++i) le::PutI32(bytes, 4 * static_cast<std::size_t>(i), preferences.word[firstWord + i]);
    DecodeAlignStar(bytes, star);
}

}  // namespace

void EncodeAlignStar(const AlignStar& star, std::uint8_t* bytes) {
    std::memset(bytes, 0, kAlignStarSize);
    le::PutI32(bytes, 0, star.objectNumber);
    std::memcpy(bytes + kNameAt, star.name, std::min(std::strlen(star.name), sizeof star.name - 1));
    for (std::size_t i = 0; i < std::size(kDoubles); ++i) PutF64(bytes, kDoublesAt + 8 * i, star.*kDoubles[i]);
    le::PutI32(bytes, kCatalogAt, star.catalogCode);
}

void DecodeAlignStar(const std::uint8_t* bytes, AlignStar* star) {
    star->objectNumber = le::I32(bytes, 0);
    std::memcpy(star->name, bytes + kNameAt, sizeof star->name);
    star->name[sizeof star->name - 1] = '\0';
    for (std::size_t i = 0; i < std::size(kDoubles); ++i) star->*kDoubles[i] = F64(bytes, kDoublesAt + 8 * i);
    star->catalogCode = le::I32(bytes, kCatalogAt);
}

void StoreSavedAlignment(double julianDay, const AlignStar& first, const AlignStar& second) {
    SetPreferenceDouble(pref::savedAlignment, julianDay);
    StarToWords(first, kFirstStarWord);
    StarToWords(second, kFirstStarWord + kStarWords);
}

double LoadSavedAlignment(AlignStar* first, AlignStar* second) {
    WordsToStar(kFirstStarWord, first);
    WordsToStar(kFirstStarWord + kStarWords, second);
    return PreferenceDouble(pref::savedAlignment);
}

bool ReadNStarRecord(int index, AlignStar* star) {
    if (!alignmentStars || index < 0 || index >= kNStarTableSize) return false;
    DecodeAlignStar(alignmentStars + kAlignStarSize * static_cast<std::size_t>(index), star);
    return true;
}

bool WriteNStarRecord(int index, const AlignStar& star) {
    if (!alignmentStars || index < 0 || index >= kNStarTableSize) return false;
    EncodeAlignStar(star, alignmentStars + kAlignStarSize * static_cast<std::size_t>(index));
    return true;
}
