#include "catalog/object_lookup.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "astro/minor_body_magnitude.h"
#include "astro/constellation_boundaries.h"
#include "astro/planet_positions.h"
#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "catalog/designations.h"
#include "catalog/object_selection.h"
#include "catalog/star_tables.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"

// name, start day and month, end day and month, peak day and month, radiant RA (h x 100)
// and Dec (degrees), velocity, hourly rate, class.
const MeteorShower meteorShowerTable[kMeteorShowerCount] = {
    {"Quadrantids", 1, 1, 5, 1, 3, 1, 1533, 49, 41, 120, 1},
    {"Gamma Velids", 1, 1, 15, 1, 5, 1, 833, -47, 35, 2, 4},
    {"Alpha Crucids", 6, 1, 28, 1, 15, 1, 1280, -63, 50, 3, 4},
    {"Delta Cancrids", 1, 1, 31, 1, 17, 1, 867, 20, 28, 4, 2},
    {"Alpha Hydrids", 5, 1, 14, 2, 19, 1, 887, -11, 44, 2, 4},
    {"Alpha Carinids", 24, 1, 9, 2, 30, 1, 633, -54, 25, 2, 4},
    {"Delta Velids", 22, 1, 21, 2, 5, 2, 873, -52, 35, 1, 4},
    {"Alpha Centaurids", 28, 1, 21, 2, 7, 2, 1400, -59, 56, 6, 2},
    {"Omicron Centaurids", 31, 1, 19, 2, 11, 2, 1180, -56, 51, 2, 4},
    {"Theta Centaurids", 23, 1, 12, 3, 21, 2, 1400, -41, 60, 4, 4},
    {"February Leonids", 1, 2, 28, 2, 0, 0, 1100, 6, 30, 5, 2},
    {"Delta Leonids", 15, 2, 10, 3, 24, 2, 1120, 16, 23, 2, 2},
    {"Gamma Normids", 25, 2, 22, 3, 13, 3, 1660, -51, 56, 8, 2},
    {"Virginids", 1, 3, 15, 4, 0, 0, 1300, -4, 30, 5, 2},
    {"Delta Pavonids", 11, 3, 16, 4, 30, 3, 1300, -5, 31, 5, 4},
    {"Librids", 15, 4, 30, 4, 0, 0, 1520, -18, 30, 5, 2},
    {"Lyrids", 15, 4, 28, 4, 22, 4, 1807, 34, 49, 15, 1},
    {"Pi Puppids", 15, 4, 28, 4, 23, 4, 733, -45, 18, 0, 3},
    {"Alpha Bootids", 14, 4, 12, 5, 28, 4, 1453, 19, 20, 2, 4},
    {"Mu Virginids", 1, 4, 12, 5, 29, 4, 1513, -7, 30, 2, 4},
    {"Omega Capricornids", 19, 4, 15, 5, 2, 5, 2100, -22, 50, 2, 4},
    {"Eta Aquarids", 19, 4, 28, 5, 6, 5, 2253, -1, 66, 60, 1},
    {"Alpha Scorpiids", 1, 5, 31, 5, 16, 5, 1620, -21, 35, 5, 2},
    {"Beta Corona Aust.", 23, 4, 30, 5, 16, 5, 1893, -40, 45, 3, 4},
    {"Omega Scorpiids", 23, 5, 15, 6, 2, 6, 1593, -20, 21, 5, 4},
    {"Arietids", 22, 5, 2, 7, 7, 6, 293, 24, 38, 54, 4},
    {"Sagittarids", 1, 6, 15, 7, 19, 6, 1827, -23, 30, 5, 2},
    {"Tau Cetids", 18, 6, 4, 7, 27, 6, 160, -12, 66, 4, 4},
    {"June Bootids", 28, 6, 28, 6, 28, 6, 1460, 49, 14, 0, 3},
    {"Tau Aquarids", 19, 6, 5, 7, 28, 6, 2280, -12, 63, 7, 4},
    {"Theta Ophiuchids", 4, 6, 15, 7, 29, 6, 1660, -15, 29, 2, 4},
    {"July Pegasids", 7, 7, 13, 7, 10, 7, 2267, 15, 70, 3, 2},
    {"July Phoenicids", 10, 7, 16, 7, 13, 7, 213, -48, 47, 0, 3},
    {"Alpha Cygnids", 11, 7, 30, 7, 18, 7, 2033, 47, 37, 2, 4},
    {"Sigma Capricornids", 15, 7, 11, 8, 20, 7, 2047, -15, 30, 5, 4},
    {"Pisces Austrinids", 15, 7, 10, 8, 28, 7, 2273, -30, 35, 5, 2},
    {"South Delta Aquarids", 12, 7, 19, 8, 28, 7, 2260, -16, 41, 20, 1},
    {"Alpha Capricornids", 3, 7, 15, 8, 30, 7, 2047, -10, 23, 4, 2},
    {"South Iota Aquarids", 25, 7, 15, 8, 4, 8, 2227, -15, 34, 2, 2},
    {"North Delta Aquarids", 15, 7, 25, 8, 8, 8, 2233, -5, 42, 4, 2},
    {"Perseids", 17, 7, 24, 8, 12, 8, 307, 58, 59, 90, 1},
    {"Kappa Cygnids", 3, 8, 25, 8, 17, 8, 1907, 59, 25, 3, 2},
    {"North Iota Aquarids", 11, 8, 31, 8, 20, 8, 2180, -6, 31, 3, 2},
    {"Pi Eridanids", 20, 8, 5, 9, 25, 8, 347, -15, 59, 4, 4},
    {"Gamma Doradids", 19, 8, 6, 9, 28, 8, 460, -50, 41, 5, 4},
    {"Alpha Aurigids", 25, 8, 5, 9, 1, 9, 560, 42, 66, 10, 2},
    {"September Perseids", 5, 9, 10, 10, 8, 9, 400, 47, 64, 6, 2},
    {"Aries-Triangulids", 9, 9, 16, 9, 12, 9, 200, 29, 35, 3, 4},
    {"Piscids", 1, 9, 30, 9, 20, 9, 53, 0, 26, 3, 2},
    {"Kappa Aquarids", 8, 9, 30, 9, 20, 9, 2260, -2, 16, 3, 4},
    {"October Arietids", 1, 10, 31, 10, 8, 10, 213, 8, 28, 5, 2},
    {"Giacobinids", 6, 10, 10, 10, 8, 10, 1747, 54, 20, 0, 3},
    {"Delta Aurigids", 22, 9, 23, 10, 10, 10, 567, 52, 64, 6, 2},
    {"Epsilon Geminids", 14, 10, 27, 10, 18, 10, 693, 27, 71, 2, 2},
    {"Orionids", 2, 10, 7, 11, 21, 10, 633, 16, 66, 20, 1},
    {"Leo Minorids", 21, 10, 23, 10, 22, 10, 1080, 37, 62, 2, 4},
    {"Southern Taurids", 1, 11, 25, 11, 5, 11, 347, 13, 27, 5, 2},
    {"Delta Eridanids", 6, 11, 29, 11, 10, 11, 387, -9, 31, 2, 4},
    {"Northern Taurids", 1, 11, 25, 11, 12, 11, 387, 22, 29, 5, 2},
    {"Zeta Puppids", 2, 11, 20, 12, 13, 11, 780, -42, 41, 3, 4},
    {"Leonids", 14, 11, 21, 11, 17, 11, 1020, 22, 71, 0, 3},
    {"Alpha Monocerotids", 15, 11, 25, 11, 21, 11, 733, 3, 60, 0, 3},
    {"Chi Orionids", 25, 11, 31, 12, 2, 12, 547, 23, 28, 3, 2},
    {"Phoenicinids", 28, 11, 9, 12, 6, 12, 120, -53, 18, 0, 3},
    {"Monocerotids", 27, 11, 17, 12, 9, 12, 680, 8, 43, 3, 2},
    {"Sigma Hydrids", 3, 12, 15, 12, 12, 12, 847, 2, 58, 2, 2},
    {"Puppid-Velids", 2, 12, 16, 12, 12, 12, 900, -46, 40, 4, 2},
    {"Geminids", 7, 12, 17, 12, 14, 12, 747, 33, 35, 120, 1},
    {"Coma Berenicids", 12, 12, 23, 1, 20, 12, 1167, 25, 65, 5, 2},
    {"Ursids", 17, 12, 26, 12, 22, 12, 1447, 76, 33, 10, 1},
};

double CometMagnitude(const CometRecord& elements, const CometPlace& place) {
    return CometMagnitude(elements.kind, elements.magnitude1, elements.magnitude2, place.sunDistance,
                          place.earthDistance, place.phaseAngle);
}

namespace {

constexpr double kFixedToRadians = 1.0 / 16777216.0;
constexpr double kRadiansToHours = 12.0 / 3.14159265358979323846;
constexpr double kRadiansToDegrees = 180.0 / 3.14159265358979323846;
// Stars of the stellar catalogs are placed for the constellation at this epoch.
constexpr double kStellarEpochJd = 2451545.5;

struct Texts {
    char* label;
    char* secondName;

    void Label(const char* text) const { Put(label, text); }
    void Second(const char* text) const { Put(secondName, text); }
    static void Put(char* dest, const char* text) {
        if (!dest) return;
        std::strncpy(dest, text, kObjectTextSize - 1);
        dest[kObjectTextSize - 1] = '\0';
    }
};

double ObservingJd() {
    const ObservingDateTime& t = observingDateTime;
    return DateTimeToJD(t.year, t.month, t.day, t.hour, t.minute, t.second, observerLocation.zoneMinutes);
}

void PlaceConstellation(ObjectRef& out, double jd) {
    out.constellation = FindConstellation(out.ra, out.dec, jd);
}

// Starts a record for a named object of the non-deep-sky kinds: everything cleared but its
// catalog, number, type and name, and the name as the label.
void NewObject(ObjectRef* out, int catalog, int n, int type, const char* name, const Texts& texts) {
    *out = ObjectRef{};
    out->catalog = static_cast<std::uint32_t>(catalog);
    out->number = static_cast<std::uint32_t>(n);
    out->type = type;
    SetObjectRefName(out, name);
    texts.Label(name);
}

std::string Designation(int catalog, long number) {
    char text[64];
    FormatDesignation(text, sizeof text, catalog, number);
    return text;
}

int DeepSky(int catalog, int number, ObjectRef* out, const Texts& texts) {
    if (catalog < 0 || catalog >= kCatalogCount) return 0;
    const CatalogEntry& row = CatalogTable[catalog];
    if (row.first == kCatalogAbsent || row.last <= row.first) return 0;
    if (number <= 0) {
        // The n-th object of the catalog; a position past its range would name an object of
        // the next catalog.
        const long long position = static_cast<long long>(row.first) - number;
        if (position >= row.last || !GetObjectRecord(static_cast<int>(position), out)) return 0;
    } else {
        // The catalog's last index is one past its records: a record there is never a hit.
        int low = row.first;
        int high = row.last - 1;
        int hit = -1;
        ObjectRef rec;
        const auto wanted = static_cast<std::uint32_t>(number);
        while (low <= high) {
            const int middle = low + (high - low) / 2;
            if (!GetObjectRecord(middle, &rec)) return 0;
            if (rec.number == wanted && rec.catalog == static_cast<std::uint32_t>(catalog)) {
                hit = middle;
                break;
            }
            if (rec.number > wanted)
                high = middle - 1;
            else
                low = middle + 1;
        }
        if (hit < 0) return 0;
        *out = rec;
        objectSelection.subIndex = static_cast<std::uint32_t>(hit);
        objectSelection.recordIndex = hit;
        objectSelection.kind = static_cast<std::uint32_t>(CatalogToListIndex(rec));
        objectSelection.selected = 1;
    }
    texts.Label(Designation(static_cast<int>(out->catalog), static_cast<long>(out->number)).c_str());
    return 1;
}

// The place of a stellar catalog entry (right ascension h m s, declination d ' ").
void StellarPlace(const StellarStarEntry& e, ObjectRef& out) {
    out.ra = static_cast<float>(e.raHours + e.raMinutes / 60.0 + e.raSeconds / 3600.0);
    const bool south = e.decDegrees < 0 || e.decMinutes < 0 || e.decSeconds < 0;
    const double dec = std::abs(e.decDegrees) + std::abs(e.decMinutes) / 60.0 + std::abs(e.decSeconds) / 3600.0;
    out.dec = static_cast<float>(south ? -dec : dec);
}

int StellarStar(int catalog, int n, ObjectRef* out, const Texts& texts, int withPosition) {
    StellarStarEntry entry;
    int found = 0;
    if (catalog == kCatalogTycho) {
        if (!SelectStarCatalogLevel(10)) {
            ShowMessage("Can't find stellar catalog", "");
            return 0;
        }
        found = GetTychoStar(n, &entry);
    } else {
        std::int32_t& level = preferences.word[pref::stellarCatalogChoice];
        const std::int32_t saved = level;
        level = 6;
        const int selected = SelectStarCatalogLevel(catalog == kCatalogHipparcos ? 8 : 0);
        if (selected) found = GetHipparcosStar(n, &entry);
        level = saved;
        if (!selected) {
            ShowMessage("Can't find stellar catalog", "");
            return 0;
        }
    }
    if (!found) return 0;

    *out = ObjectRef{};
    out->catalog = static_cast<std::uint32_t>(catalog);
    out->number = static_cast<std::uint32_t>(n);
    out->type = 30;
    out->magnitude = static_cast<float>(entry.magnitude / 16.0);
    char text[64];
    if (catalog == kCatalogTycho)
        FormatTychoDesignation(text, sizeof text, n);
    else
        FormatDesignation(text, sizeof text, catalog, n);
    texts.Label(text);
    if (withPosition) {
        SetObjectRefName(out, text);
        StellarPlace(entry, *out);
        out->sizeA = out->sizeB = catalog == kCatalogTycho ? 0.0f : 0.1f;
        out->morphology = entry.colour;
        PlaceConstellation(*out, kStellarEpochJd);
    }
    return 1;
}

int BrightStar(int n, ObjectRef* out, const Texts& texts, int withPosition) {
    BrightStarRecord named;
    if (!GetBrightStarRecord(n, &named)) return 0;
    LoadStarTable(0);
    const StarRecord* stars = BrightStars();
    if (!stars || named.starIndex < 0 || named.starIndex >= GetStarTableCount()) return 0;
    const StarRecord& star = stars[named.starIndex];

    NewObject(out, kCatalogBrightStar, n, 30, named.name, texts);
    out->magnitude = static_cast<float>(star.Half(6) / 16.0);
    out->morphology = star.Half(7);
    if (withPosition) {
        out->ra = static_cast<float>(star.word[1] * kFixedToRadians * kRadiansToHours);
        out->dec = static_cast<float>(star.word[2] * kFixedToRadians * kRadiansToDegrees);
        out->sizeA = out->sizeB = 1.0f;
        PlaceConstellation(*out, ObservingJd());
    }
    return 1;
}

int Planet(int n, ObjectRef* out, const Texts& texts, int withPosition) {
    if (n < 0 || n >= kNamedBodyCount) return 0;
    NewObject(out, kCatalogPlanet, n, 27, bodyNames[n], texts);
    if (withPosition) {
        const ObservingDateTime& t = observingDateTime;
        BodyRecord body{};
        if (!ComputePlanet(&body, n, t.year, t.month, t.day, t.hour, t.minute, t.second)) return 0;
        out->ra = static_cast<float>(body.rightAscension);
        out->dec = static_cast<float>(body.declination);
        out->distance = static_cast<float>(body.distance);
        out->magnitude = static_cast<float>(body.magnitude);
        out->sizeA = out->sizeB = static_cast<float>(body.diameter);
        PlaceConstellation(*out, ObservingJd());
    }
    return 1;
}

int Comet(int n, ObjectRef* out, const Texts& texts, int withPosition) {
    CometRecord elements;
    if (!GetCometData(n, &elements)) return 0;
    NewObject(out, kCatalogComet, n, static_cast<std::int32_t>(elements.kind), elements.name, texts);
    if (withPosition) {
        out->sizeA = out->sizeB = 0.5f;
        const double jd = ObservingJd();
        CometPlace place{};
        // Without the orbit computation the object keeps no place.
        if (ComputeCometPositionHook(elements, jd, observingDateTime.year, &place)) {
            out->ra = static_cast<float>(place.rightAscension);
            out->dec = static_cast<float>(place.declination);
            out->distance = static_cast<float>(place.earthDistance);
            out->magnitude = static_cast<float>(CometMagnitude(elements, place));
            PlaceConstellation(*out, jd);
        }
    }
    return 1;
}

int Constellation(int n, ObjectRef* out, const Texts& texts, int withPosition) {
    if (n < 0 || n >= kConstellationCount) return 0;
    const ConstellationEntry& c = ConstellationTable[n];
    NewObject(out, kCatalogConstellation, n, 14, c.abbreviation, texts);
    texts.Second(c.name);
    if (withPosition) {
        out->ra = static_cast<float>(c.labelRa * 0.001);
        out->dec = static_cast<float>(c.labelDec * 0.01);
        out->constellation = n;
    }
    return 1;
}

int Meteor(int n, ObjectRef* out, const Texts& texts, int withPosition, int* flag) {
    if (n < 0 || n >= kMeteorShowerCount) return 0;
    const MeteorShower& m = meteorShowerTable[n];
    NewObject(out, kCatalogMeteor, n, 29, m.name, texts);
    // The label is the day and month of the peak (of the start when no peak is given).
    char date[40] = {};
    if (m.peakDay != 0)
        FormatDateHook(date, m.peakDay, m.peakMonth, 2000);
    else
        FormatDateHook(date, m.startDay, m.startMonth, 2000);
    date[5] = '\0';
    texts.Label(date);
    texts.Second(m.name);
    const int month = observingDateTime.month;
    *flag = m.startMonth == month || m.endMonth == month ? 1 : 0;
    if (withPosition) {
        out->flag = m.peakMonth;
        out->morphology = m.peakDay;
        out->ra = static_cast<float>(m.radiantRa100 * 0.01);
        out->dec = static_cast<float>(m.radiantDec);
        out->magnitude = static_cast<float>(m.hourlyRate);
        out->sizeA = out->sizeB = 400.0f;
        PlaceConstellation(*out, ObservingJd());
    }
    return 1;
}

}  // namespace

int BuildObjectDescription(int catalog, int number, ObjectRef* out, char* label, char* secondName, int withPosition,
                           int* objectFlag) {
    const Texts texts{label, secondName};
    texts.Label("");
    texts.Second("");
    if (!out) return 0;
    SetObjectRefName(out, "");

    // Every kind but the deep-sky catalogs reads a negative number as its absolute value.
    const int n = number == INT_MIN ? INT_MAX : std::abs(number);
    int flag = 1;
    int result = 0;
    switch (catalog) {
        case kCatalogMessier:
        case kCatalogCaldwell: {
            const int found = catalog == kCatalogMessier ? GetMessierObject(n, out) : GetCaldwellObject(n, out);
            if (!found) break;
            const std::string own = Designation(static_cast<int>(out->catalog), static_cast<long>(out->number));
            out->catalog = static_cast<std::uint32_t>(catalog);
            out->number = static_cast<std::uint32_t>(n);
            char text[32];
            std::snprintf(text, sizeof text, "%s%d", catalog == kCatalogMessier ? "M" : "C", n + 1);
            texts.Label(text);
            texts.Second(own.c_str());
            result = 1;
            break;
        }
        case kCatalogHerschel: {
            if (!GetHerschelObject(n, out)) break;
            texts.Label(Designation(static_cast<int>(out->catalog), static_cast<long>(out->number)).c_str());
            char common[kObjectTextSize] = {};
            std::int16_t otherCatalog = 0;
            std::uint32_t otherNumber = 0;
            FindCrossReference(static_cast<int>(out->catalog), out->number, &otherCatalog, &otherNumber, 1, common, 15);
            if (otherCatalog >= 1)
                texts.Second(Designation(otherCatalog, static_cast<long>(otherNumber)).c_str());
            else
                texts.Second(common);
            result = 1;
            break;
        }
        case kCatalogBestNgc:
            if (!GetBestNgcObject(n, out)) break;
            texts.Label(Designation(static_cast<int>(out->catalog), static_cast<long>(out->number)).c_str());
            result = 1;
            break;
        case kCatalogUser:
            if (!GetUserObject(n, out)) break;
            texts.Label(out->name);
            result = 1;
            break;
        case kCatalogComet: result = Comet(n, out, texts, withPosition); break;
        case kCatalogPlanet: result = Planet(n, out, texts, withPosition); break;
        case kCatalogConstellation:
            result = Constellation(n, out, texts, withPosition);
            flag = 0;
            break;
        case kCatalogMeteor: result = Meteor(n, out, texts, withPosition, &flag); break;
        case kCatalogBrightStar:
            result = BrightStar(n, out, texts, withPosition);
            flag = 0;
            break;
        case kCatalogHipparcos:
        case kCatalogHr:
        case kCatalogTycho:
            result = StellarStar(catalog, n, out, texts, withPosition);
            flag = 0;
            break;
        default: result = DeepSky(catalog, number, out, texts); break;
    }
    if (!result) {
        texts.Label("");
        texts.Second("");
        flag = 0;
    }
    out->name[kObjectNameSize - 1] = '\0';
    if (objectFlag) *objectFlag = flag;
    return result;
}
