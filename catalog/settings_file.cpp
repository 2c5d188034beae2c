#include "catalog/settings_file.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "catalog/byte_order.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/paths.h"

namespace {

constexpr char kMagic[6] = {'V', 'K', 'S', 'E', 'T', '\0'};
constexpr std::size_t kHeaderSize = sizeof kMagic + 2 + 4;
constexpr std::size_t kCheckSize = 4;

std::uint32_t Fnv1a(const std::uint8_t* p, std::size_t n) {
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
    return h;
}

// Every stored field in file order; `f` is called with each number and each text field.
// The sine and cosine of the latitude are not stored: they follow from it.
template <class F>
void VisitFields(Preferences& p, ObserverLocation& site, F&& f) {
    for (std::int32_t& word : p.word) f(word);
    f(p.userCatalogFile);
    f(p.cometUrl);
    f(p.asteroidUrl);
    f(p.iridiumUrl);
    f(p.satelliteUrl);
    f(p.dataUrl);
    f(p.distanceUnit);
    f(p.eqPlatformDelay);
    f(site.name);
    f(site.latitude);
    f(site.longitude);
    f(site.height);
    f(site.zoneMinutes);
    f(site.temperature);
    f(site.pressure);
    f(site.humidity);
    f(site.siteClass);
    for (StoredSite& s : site.storedSites) {
        f(s.name);
        f(s.latitude);
        f(s.longitude);
        f(s.siteClass);
        f(s.height);
        f(s.zoneMinutes);
        f(s.daylight);
    }
    f(site.daylight);
}

template <class T>
constexpr bool kTextField = std::is_array_v<T>;

struct Writer {
    std::vector<std::uint8_t>& out;
    template <class T>
    void operator()(T& field) {
        const std::size_t at = out.size();
        out.resize(at + sizeof field);
        if constexpr (kTextField<T>) le::PutText(out.data(), at, sizeof field, field);
        else le::Put<T>(out.data(), at, field);
    }
};

struct Reader {
    const std::uint8_t* in;
    std::size_t at = 0;
    template <class T>
    void operator()(T& field) {
        if constexpr (kTextField<T>) {
            std::memcpy(field, in + at, sizeof field);
            field[sizeof field - 1] = '\0';
        } else {
            field = le::Get<T>(in, at);
        }
        at += sizeof field;
    }
};

std::size_t BodySize() {
    std::size_t size = 0;
    Preferences p{};
    ObserverLocation site{};
    VisitFields(p, site, [&](auto& field) { size += sizeof field; });
    return size;
}

}  // namespace

std::filesystem::path SettingsFilePath() { return platform::HomeRoot() / "settings.dat"; }

SettingsRead ReadSettingsFile(std::string* why) {
    const std::filesystem::path path = SettingsFilePath();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) && !ec) return SettingsRead::Missing;
    std::string reason;
    std::vector<std::uint8_t> bytes;
    const std::size_t bodySize = BodySize();
    if (!platform::ReadWholeFile(path, bytes, &reason)) {
        if (reason.empty()) reason = "it can't be read";
    } else if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        reason = "not a settings file";
    } else if (const int version = le::U16(bytes.data(), sizeof kMagic); version != kSettingsFileVersion) {
        reason = "settings of version " + std::to_string(version) + ", this program reads version " +
                 std::to_string(kSettingsFileVersion);
    } else if (le::U32(bytes.data(), sizeof kMagic + 2) != bodySize ||
               bytes.size() != kHeaderSize + bodySize + kCheckSize) {
        reason = "the file is cut short or too long";
    } else if (le::U32(bytes.data(), kHeaderSize + bodySize) != Fnv1a(bytes.data() + kHeaderSize, bodySize)) {
        reason = "the file's check does not match its contents";
    }
    if (!reason.empty()) {
        if (why) *why = reason;
        return SettingsRead::Refused;
    }
    VisitFields(preferences, observerLocation, Reader{bytes.data() + kHeaderSize});
    BringSettingsIntoRange();
    return SettingsRead::Read;
}

bool WriteSettingsFile(std::string* why) {
    if (!platform::HomeUsable()) {
        if (why) *why = "the user folder can't be used";
        return false;
    }
    std::vector<std::uint8_t> bytes(kHeaderSize);
    std::memcpy(bytes.data(), kMagic, sizeof kMagic);
    le::PutU16(bytes.data(), sizeof kMagic, kSettingsFileVersion);
    VisitFields(preferences, observerLocation, Writer{bytes});
    const std::size_t bodySize = bytes.size() - kHeaderSize;
    le::PutU32(bytes.data(), sizeof kMagic + 2, static_cast<std::uint32_t>(bodySize));
    bytes.resize(bytes.size() + kCheckSize);
    le::PutU32(bytes.data(), kHeaderSize + bodySize, Fnv1a(bytes.data() + kHeaderSize, bodySize));
    return platform::WriteFileAtomically(SettingsFilePath(), bytes.data(), bytes.size(), why);
}

void StoreSettings() {
    if (!platform::HomeUsable()) return;
    std::string why;
    if (WriteSettingsFile(&why)) return;
    const std::string detail = SettingsFilePath().string() + ": " + why + ".\nThe settings hold for this run only.";
    ShowMessage("Can't save the settings", detail.c_str());
}
