#include "tools/catalog_builder/builder.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <unordered_map>
#include <utility>

#include "astro/constellation_boundaries.h"
#include "catalog/databases.h"
#include "catalog/observing_lists.h"
#include "catalog/star_tables.h"
#include "tools/catalog_builder/morphology.h"
#include "tools/catalog_builder/names.h"

namespace catalog_builder {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kJ2000 = 2451545.0;

// Limit value (magnitude × 10) of objects whose magnitude nobody measured: they appear only
// once the chart shows objects of about 16th magnitude.
constexpr int kUnknownMagnitudeLimit = 160;

double SeparationDegrees(double ra1, double dec1, double ra2, double dec2) {
    double a1 = ra1 * 15.0 * kDeg, a2 = ra2 * 15.0 * kDeg, d1 = dec1 * kDeg, d2 = dec2 * kDeg;
    double s = std::sin((d2 - d1) / 2), t = std::sin((a2 - a1) / 2);
    double h = s * s + std::cos(d1) * std::cos(d2) * t * t;
    return 2.0 * std::asin(std::sqrt(std::min(1.0, h))) / kDeg;
}

// Points bucketed by whole degree of declination, for nearest-neighbour searches within a
// small radius.
class SkyGrid {
public:
    void Add(int id, double ra, double dec) { bands_[Band(dec)].push_back({id, ra, dec}); }

    // The point nearest to (ra, dec) within `radius` degrees that `accept` allows; −1 when none.
    template <typename Accept>
    int Nearest(double ra, double dec, double radius, Accept accept) const {
        int best = -1;
        double bestSep = radius;
        int b0 = Band(dec - radius), b1 = Band(dec + radius);
        for (int b = b0; b <= b1; ++b) {
            auto it = bands_.find(b);
            if (it == bands_.end()) continue;
            for (const Point& p : it->second) {
                double sep = SeparationDegrees(ra, dec, p.ra, p.dec);
                if (sep <= bestSep && accept(p.id)) {
                    bestSep = sep;
                    best = p.id;
                }
            }
        }
        return best;
    }

private:
    struct Point {
        int id;
        double ra, dec;
    };
    // A declination outside the sky, or not a number, goes to an end band: a cast to int
    // cannot hold it.
    static int Band(double dec) {
        if (!(dec > -1000.0)) return -1000;
        if (dec > 1000.0) return 1000;
        return static_cast<int>(std::floor(dec));
    }
    std::unordered_map<int, std::vector<Point>> bands_;
};

using Key = std::pair<int, std::uint32_t>;

std::string Designation(int catalog, std::uint32_t number) {
    if (catalog > 0 && catalog < kCatalogCount && CatalogTable[catalog].prefix[0] != ' ')
        return std::string(CatalogTable[catalog].prefix) + " " + std::to_string(number);
    return "catalog " + std::to_string(catalog) + " number " + std::to_string(number);
}

// ---------------------------------------------------------------------------------------
// Stars

struct StarCandidate {
    Star star;
    bool onLine = false;
};

std::vector<StarCandidate> ResolveStars(const BuildInput& in, BuildReport& report) {
    std::unordered_map<int, const HipStar*> hipById;
    SkyGrid hipGrid;
    for (std::size_t i = 0; i < in.hipStars.size(); ++i) {
        hipById[in.hipStars[i].hip] = &in.hipStars[i];
        hipGrid.Add(static_cast<int>(i), in.hipStars[i].ra, in.hipStars[i].dec);
    }
    std::unordered_map<int, int> hipByHd;
    std::unordered_map<int, std::string> nameByHip;
    for (const HipStarName& n : in.hipNames) {
        if (n.hd > 0) hipByHd.emplace(n.hd, n.hip);
        if (!n.name.empty()) nameByHip[n.hip] = n.name;
    }

    std::vector<StarCandidate> out;
    out.reserve(in.brightStars.size());
    for (const BscStar& b : in.brightStars) {
        StarCandidate c;
        Star& s = c.star;
        s.hr = b.hr;
        s.ra = b.ra;
        s.dec = b.dec;
        s.vmag = b.vmag;
        s.flamsteed = b.flamsteed;
        s.bayer = b.bayer;
        s.superscript = b.superscript;
        const HipStar* hip = nullptr;
        // The HD number ties most bright stars to their Hipparcos entry; the rest are found by
        // position and brightness.
        if (auto h = hipByHd.find(b.hd); b.hd > 0 && h != hipByHd.end()) {
            auto it = hipById.find(h->second);
            if (it != hipById.end() && SeparationDegrees(b.ra, b.dec, it->second->ra, it->second->dec) < 0.05)
                hip = it->second;
        }
        if (!hip) {
            int i = hipGrid.Nearest(b.ra, b.dec, 1.0 / 60.0, [&](int id) {
                return std::fabs(in.hipStars[static_cast<std::size_t>(id)].vmag - b.vmag) < 1.0;
            });
            if (i >= 0) hip = &in.hipStars[static_cast<std::size_t>(i)];
        }
        if (hip) {
            ++report.starsMatchedToHip;
            s.hip = hip->hip;
            s.ra = hip->ra;
            s.dec = hip->dec;
            s.hasBv = hip->hasBv;
            s.bv = hip->bv;
            if (auto n = nameByHip.find(hip->hip); n != nameByHip.end()) s.properName = n->second;
        }
        s.constellation = b.constellation >= 0 ? b.constellation : ConstellationOf(s.ra, s.dec);
        out.push_back(std::move(c));
    }
    report.brightStarsRead = static_cast<int>(out.size());
    return out;
}

struct MatchedSegment {
    int set;
    int constellation;
    int a, b;  // indexes into the star candidates
};

std::vector<MatchedSegment> MatchLines(const BuildInput& in, std::vector<StarCandidate>& stars, BuildReport& report) {
    SkyGrid grid;
    for (std::size_t i = 0; i < stars.size(); ++i) grid.Add(static_cast<int>(i), stars[i].star.ra, stars[i].star.dec);
    std::vector<MatchedSegment> out;
    const std::vector<LineSegment>* sets[2] = {&in.figureLines, &in.arcLines};
    for (int set = 0; set < 2; ++set) {
        std::set<std::pair<int, int>> seen;
        for (const LineSegment& seg : *sets[set]) {
            // Figure vertices are star positions; three arc minutes absorb the rounding of
            // the figure files.
            auto any = [](int) { return true; };
            int a = grid.Nearest(seg.ra1, seg.dec1, 0.05, any);
            int b = grid.Nearest(seg.ra2, seg.dec2, 0.05, any);
            if (a < 0 || b < 0 || a == b) {
                ++report.lineSegmentsDropped[set];
                continue;
            }
            if (!seen.insert({std::min(a, b), std::max(a, b)}).second) {
                ++report.duplicateLinesDropped[set];
                continue;
            }
            stars[static_cast<std::size_t>(a)].onLine = true;
            stars[static_cast<std::size_t>(b)].onLine = true;
            out.push_back({set, seg.constellation, a, b});
        }
    }
    return out;
}

// The default table: every star a figure uses, then the brightest others, up to the
// table's fixed size; sorted by HR number.
std::vector<int> ChooseDefaultStars(const std::vector<StarCandidate>& stars, std::size_t size) {
    std::vector<int> order(stars.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        const StarCandidate& a = stars[static_cast<std::size_t>(x)];
        const StarCandidate& b = stars[static_cast<std::size_t>(y)];
        if (a.onLine != b.onLine) return a.onLine;
        if (a.star.vmag != b.star.vmag) return a.star.vmag < b.star.vmag;
        return a.star.hr < b.star.hr;
    });
    if (order.size() > size) order.resize(size);
    std::sort(order.begin(), order.end(), [&](int x, int y) {
        return stars[static_cast<std::size_t>(x)].star.hr < stars[static_cast<std::size_t>(y)].star.hr;
    });
    return order;
}

// ---------------------------------------------------------------------------------------
// Deep-sky objects

DeepSkyObject FromSource(int catalog, std::uint32_t number, const std::string& type, const std::string& morphology,
                         bool hasMagnitude, double magnitude, double sizeA, double sizeB, double ra, double dec) {
    DeepSkyObject o;
    o.catalog = catalog;
    o.number = number;
    o.ra = ra;
    o.dec = dec;
    o.type = ObjectTypeCode(type, ra, dec);
    o.morphology = MorphologyCode(type, morphology);
    o.hasMagnitude = hasMagnitude;
    o.magnitude = magnitude;
    o.sizeA = sizeA;
    o.sizeB = sizeB;
    o.constellation = ConstellationOf(ra, dec);
    return o;
}

DeepSkyObject FromDso(int catalog, std::uint32_t number, const DsoSource& s) {
    DeepSkyObject o = FromSource(catalog, number, s.type, s.morphology, s.hasMagnitude, s.magnitude, s.sizeA, s.sizeB,
                                 s.ra, s.dec);
    o.hasAngle = s.hasAngle;
    o.angle = s.angle;
    o.distanceKpc = s.distanceKpc;
    return o;
}

// Fills the fields an object lacks from another source's entry of it. An entry more than a
// quarter of a degree (or half the object's size) away describes another object that
// shares the number, and fills nothing.
void FillFrom(DeepSkyObject& o, const DsoSource& s) {
    const double tolerance = std::max(0.25, std::max(o.sizeA, s.sizeA) / 120.0);
    if (SeparationDegrees(o.ra, o.dec, s.ra, s.dec) > tolerance) return;
    if (o.distanceKpc <= 0.0 && s.distanceKpc > 0.0) o.distanceKpc = s.distanceKpc;
    if (!o.hasMagnitude && s.hasMagnitude) o.hasMagnitude = true, o.magnitude = s.magnitude;
    if (o.sizeA <= 0.0 && s.sizeA > 0.0) o.sizeA = s.sizeA, o.sizeB = s.sizeB;
    if (!o.hasAngle && s.hasAngle) o.hasAngle = true, o.angle = s.angle;
    if (o.morphology == 0) o.morphology = MorphologyCode(s.type, s.morphology);
}

void AddOther(CrossReference& r, int catalog, std::uint32_t number) {
    for (int i = 0; i < 3; ++i)
        if (r.otherCatalog[i] == catalog && r.otherNumber[i] == number) return;
    for (int i = 0; i < 3; ++i)
        if (r.otherCatalog[i] <= 0) {
            r.otherCatalog[i] = catalog;
            r.otherNumber[i] = number;
            return;
        }
}

// ---------------------------------------------------------------------------------------
// Stellar level files

void BuildStellarLevels(const BuildInput& in, const std::vector<StarCandidate>& candidates, BuildOutput& out) {
    // Level 0: every bright star by HR number, at its Hipparcos place where one matched.
    for (const StarCandidate& c : candidates) {
        const Star& s = c.star;
        out.levels[0].push_back({static_cast<std::uint32_t>(s.hr), s.ra, s.dec, s.vmag, s.hasBv, s.bv});
    }
    // Levels 1 to 4: the brightest Hipparcos stars, by HIP number.
    std::vector<const HipStar*> hip;
    for (const HipStar& h : in.hipparcos) hip.push_back(&h);
    std::stable_sort(hip.begin(), hip.end(), [](const HipStar* a, const HipStar* b) {
        return a->vmag != b->vmag ? a->vmag < b->vmag : a->hip < b->hip;
    });
    for (int level = 1; level <= 4; ++level) {
        const std::size_t n = std::min(hip.size(), kHipparcosLevelSizes[level - 1]);
        for (std::size_t i = 0; i < n; ++i)
            out.levels[level].push_back({static_cast<std::uint32_t>(hip[i]->hip), hip[i]->ra, hip[i]->dec, hip[i]->vmag,
                                         hip[i]->hasBv, hip[i]->bv});
    }
    // Level 5: the Hipparcos and Tycho stars. The source carries no Tycho numbers, so the
    // stars of this level are numbered 0 (a Tycho level names its stars by Tycho number).
    for (const CatalogStar& s : in.tycho) out.levels[5].push_back({0, s.ra, s.dec, s.vmag, true, s.bv});
}

// ---------------------------------------------------------------------------------------
// Locations

void BuildLocations(const BuildInput& in, BuildOutput& out) {
    for (const Town& t : in.towns) {
        if (t.population < kTownMinimumPopulation) continue;
        auto zone = in.zoneOffsets.find(t.zone);
        if (zone == in.zoneOffsets.end()) {
            ++out.report.townsWithoutZone;
            continue;
        }
        Location l;
        l.country = t.country;
        l.countryCode = t.countryCode;
        l.town = t.name;
        l.latitude = t.latitude;
        l.longitude = t.longitude;
        l.zoneMinutes = zone->second;
        out.locations.push_back(std::move(l));
    }
    // The list shows the country, then the town.
    std::stable_sort(out.locations.begin(), out.locations.end(), [](const Location& a, const Location& b) {
        return a.country != b.country ? a.country < b.country : a.town < b.town;
    });
}

}  // namespace

int CatalogCodeOfPrefix(const std::string& prefix) {
    // The sources' own spellings of the table's prefixes.
    static const std::pair<const char*, int> kSpellings[] = {{"ACO", 1}, {"St", 56}, {"VdB", 64}, {"VdBHa", 65}};
    for (const auto& [p, code] : kSpellings)
        if (prefix == p) return code;
    if (prefix.empty() || prefix == "None") return -1;
    for (int code = 1; code < kCatalogCount; ++code)
        if (prefix == CatalogTable[code].prefix) return code;
    return -1;
}

// The star table's own conversions, so that the index and the table agree to the unit.
std::int32_t HoursToFixed(double hours) { return HoursToFixedAngle(hours); }
std::int32_t DegreesToFixed(double degrees) { return DegreesToFixedAngle(degrees); }

int ConstellationOf(double raHours, double decDegrees) {
    int c = FindConstellation(raHours, decDegrees, kJ2000);
    return c < 0 ? 0 : c;
}

std::string StarDisplayName(const Star& s) {
    std::string con(ConstellationAbbreviation(s.constellation));
    std::string name;
    if (s.bayer >= 0) {
        name = std::string(GreekName(s.bayer));
        if (s.superscript > 0) name += std::to_string(s.superscript);
        name += " " + con;
    } else if (s.flamsteed > 0) {
        name = std::to_string(s.flamsteed) + " " + con;
    } else {
        name = "HR " + std::to_string(s.hr);
    }
    if (name.size() > 17) name.resize(17);
    return name;
}

BuildOutput BuildCatalogs(const BuildInput& in) {
    BuildOutput out;
    BuildReport& report = out.report;

    // Stars, their figures and names.
    std::vector<StarCandidate> candidates = ResolveStars(in, report);
    std::vector<MatchedSegment> segments = MatchLines(in, candidates, report);
    std::vector<int> chosen = ChooseDefaultStars(candidates, in.starTableSize);
    std::unordered_map<int, int> tableIndex;  // candidate → table index
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        tableIndex[chosen[i]] = static_cast<int>(i);
        out.stars.push_back(candidates[static_cast<std::size_t>(chosen[i])].star);
    }
    for (const MatchedSegment& m : segments) {
        auto a = tableIndex.find(m.a), b = tableIndex.find(m.b);
        if (a == tableIndex.end() || b == tableIndex.end()) {
            ++report.lineSegmentsDropped[m.set];
            continue;
        }
        Line l;
        l.set = m.set;
        l.star1 = a->second;
        l.star2 = b->second;
        l.constellation = m.constellation >= 0 ? m.constellation : out.stars[static_cast<std::size_t>(l.star1)].constellation;
        out.lines.push_back(l);
    }
    std::stable_sort(out.lines.begin(), out.lines.end(), [](const Line& a, const Line& b) { return a.set < b.set; });
    for (std::size_t i = 0; i < out.stars.size(); ++i) {
        const Star& s = out.stars[i];
        std::string name = s.properName.empty() ? StarDisplayName(s) : s.properName.substr(0, 17);
        out.starNames.push_back({name, static_cast<int>(i)});
    }
    std::stable_sort(out.starNames.begin(), out.starNames.end(),
                     [](const StarName& a, const StarName& b) { return a.name < b.name; });

    // Deep-sky objects of the program's catalogs.
    std::map<Key, DeepSkyObject> objects;
    std::map<std::string, const DsoSource*> listSources;  // "M 45", "C 41": the source's own entries
    std::vector<std::pair<Key, std::string>> aliases;
    // OpenNGC first: it has every NGC and IC object with its size and kind; the other source
    // adds its morphology and the catalogs beyond NGC and IC.
    SkyGrid openNgcGrid;
    for (std::size_t i = 0; i < in.openNgc.size(); ++i)
        if (in.openNgc[i].type != "dup") openNgcGrid.Add(static_cast<int>(i), in.openNgc[i].ra, in.openNgc[i].dec);
    std::vector<std::pair<Key, Key>> duplicates;
    std::vector<std::pair<Key, Key>> uncountedAliases;  // designations kept as cross references only
    for (const DsoSource& s : in.openNgc) {
        int code = CatalogCodeOfPrefix(s.prefix);
        Key key{code, static_cast<std::uint32_t>(s.number)};
        if (code < 0 || objects.count(key)) continue;
        if (s.type == "dup") {
            // A second designation of the object at the same place (within 2″).
            int p = openNgcGrid.Nearest(s.ra, s.dec, 2.0 / 3600.0, [](int) { return true; });
            if (p >= 0) {
                const DsoSource& primary = in.openNgc[static_cast<std::size_t>(p)];
                duplicates.push_back({key, Key{CatalogCodeOfPrefix(primary.prefix),
                                               static_cast<std::uint32_t>(primary.number)}});
            }
            continue;
        }
        DeepSkyObject o = FromDso(code, key.second, s);
        o.commonName = s.commonName;
        if (!s.alias.empty()) aliases.push_back({key, s.alias});
        objects.emplace(key, std::move(o));
    }
    for (const DsoSource& s : in.objects) {
        if (s.prefix == "M" || s.prefix == "C") {
            listSources.emplace(s.prefix + " " + std::to_string(s.number), &s);
            continue;
        }
        int code = CatalogCodeOfPrefix(s.prefix);
        if (code < 0 || s.number <= 0) {
            ++report.objectsSkipped;
            continue;
        }
        Key key{code, static_cast<std::uint32_t>(s.number)};
        std::string id = s.prefix + " " + std::to_string(s.number);
        std::string name;
        if (auto n = in.objectNames.find(id); n != in.objectNames.end()) name = n->second;
        else if (auto a = in.objectNames.find(s.alias); !s.alias.empty() && a != in.objectNames.end())
            name = a->second;
        if (auto it = objects.find(key); it != objects.end()) {
            DeepSkyObject& o = it->second;
            if (o.morphology == 0) o.morphology = MorphologyCode(s.type, s.morphology);
            if (o.commonName.empty()) o.commonName = name;
            continue;
        }
        DeepSkyObject o = FromDso(code, key.second, s);
        o.commonName = name;
        if (!s.alias.empty()) aliases.push_back({key, s.alias});
        objects.emplace(key, std::move(o));
    }

    // Duplicate designations are objects of their own too, so that either number finds it.
    for (const auto& [dup, primary] : duplicates) {
        auto it = objects.find(primary);
        if (it == objects.end() || objects.count(dup)) continue;
        DeepSkyObject o = it->second;
        o.catalog = dup.first;
        o.number = dup.second;
        objects.emplace(dup, std::move(o));
    }

    // The deep-sky catalogue of stellarium-data fills what the sources above lack: the
    // distances, and magnitudes, sizes, angles and morphology where they have none. Its
    // objects of catalogs they lack become records: each designation in a program catalog
    // gets one, so that a lookup by any of its numbers finds the object. The designation
    // already present (else the catalogue's first) is the object's own record; the others
    // are further designations, drawn once. UGC numbers of NGC and IC galaxies stay cross
    // references only: as records they would take the object file past what the chart's
    // index can address.
    for (const CatalogObject& c : in.catalogObjects) {
        std::vector<Key> keys;
        bool ngcOrIc = false;
        for (const auto& [prefix, number] : c.designations) {
            if (prefix == "M" || prefix == "C") continue;  // list designations: the lists and cross references
            int code = CatalogCodeOfPrefix(prefix);
            if (code < 0 || number <= 0) continue;
            keys.push_back(Key{code, static_cast<std::uint32_t>(number)});
            if (code == kCatalogNgc || code == kCatalogIc) ngcOrIc = true;
        }
        if (keys.empty()) continue;
        Key primary = keys.front();
        for (const Key& k : keys)
            if (objects.count(k)) {
                primary = k;
                break;
            }
        auto [it, added] = objects.emplace(primary, FromDso(primary.first, primary.second, c.data));
        if (!added) FillFrom(it->second, c.data);
        for (const Key& k : keys) {
            if (k == primary) continue;
            if (auto other = objects.find(k); other != objects.end()) {
                FillFrom(other->second, c.data);
                continue;
            }
            if (k.first == kCatalogUgc && ngcOrIc) {
                uncountedAliases.push_back({primary, k});
                continue;
            }
            DeepSkyObject o = objects.at(primary);
            o.catalog = k.first;
            o.number = k.second;
            objects.emplace(k, std::move(o));
            duplicates.push_back({k, primary});
        }
    }
    // Whatever a source wrote into a dark nebula's magnitude, it is no brightness.
    for (auto& [key, o] : objects)
        if (o.type == kTypeDarkNebula) o.hasMagnitude = false;

    std::map<int, const MessierEntry*> messierByNumber;
    for (const MessierEntry& m : in.messier) messierByNumber[m.messier] = &m;

    // The fixed lists must resolve: objects the catalogs lack come from the source's own list
    // entries ("M 45", "C 41") or its Messier table.
    auto ensure = [&](CatalogKey k, const char* listPrefix, int listNumber) {
        Key key{static_cast<int>(k.catalog), k.number};
        if (objects.count(key)) return;
        std::string listId = listPrefix ? std::string(listPrefix) + " " + std::to_string(listNumber) : "";
        DeepSkyObject o;
        bool found = false;
        if (auto it = listSources.find(listId); !listId.empty() && it != listSources.end()) {
            o = FromDso(key.first, key.second, *it->second);
            found = true;
        } else if (auto m = messierByNumber.find(listNumber);
                   listPrefix && std::string(listPrefix) == "M" && m != messierByNumber.end()) {
            const MessierEntry& s = *m->second;
            o = FromSource(key.first, key.second, s.type, "", s.hasMagnitude, s.magnitude, s.sizeA, s.sizeB, s.ra, s.dec);
            o.commonName = s.commonName;
            found = true;
        }
        if (!found) {
            report.missingListObjects.push_back(Designation(key.first, key.second));
            return;
        }
        // The SAO catalog holds double stars only.
        if (key.first == kCatalogSao) o.type = kTypeDoubleStar;
        if (auto n = in.objectNames.find(listId); o.commonName.empty() && n != in.objectNames.end())
            o.commonName = n->second;
        objects.emplace(key, std::move(o));
    };
    for (int i = 0; i < 110; ++i) ensure(kMessierKeys[i], "M", i + 1);
    for (int i = 0; i < 109; ++i) ensure(kCaldwellKeys[i], "C", i + 1);
    for (const CatalogKey& k : kHerschelKeys) ensure(k, nullptr, 0);
    for (const CatalogKey& k : kBestNgcKeys) ensure(k, nullptr, 0);

    // Messier common names where the catalogs have none.
    for (int i = 0; i < 110; ++i) {
        auto m = messierByNumber.find(i + 1);
        auto o = objects.find(Key{static_cast<int>(kMessierKeys[i].catalog), kMessierKeys[i].number});
        if (m != messierByNumber.end() && o != objects.end() && o->second.commonName.empty())
            o->second.commonName = m->second->commonName;
    }

    for (auto& [key, o] : objects) out.objects.push_back(o);  // the map keeps (catalog, number) order
    if (out.objects.size() > kMaxObjectRecords)
        report.error = "the object file would hold " + std::to_string(out.objects.size()) + " records, more than the " +
                       std::to_string(kMaxObjectRecords) + " the chart's index can address";

    // The small file: every list object, then the brightest NGC and IC objects.
    std::set<Key> small;
    auto addList = [&](const CatalogKey* keys, int n) {
        for (int i = 0; i < n; ++i) {
            Key k{static_cast<int>(keys[i].catalog), keys[i].number};
            if (objects.count(k)) small.insert(k);
        }
    };
    addList(kMessierKeys, 110);
    addList(kCaldwellKeys, 109);
    addList(kHerschelKeys, 400);
    addList(kBestNgcKeys, 110);
    std::vector<const DeepSkyObject*> bright;
    for (const DeepSkyObject& o : out.objects)
        if ((o.catalog == kCatalogNgc || o.catalog == kCatalogIc) && o.hasMagnitude) bright.push_back(&o);
    std::stable_sort(bright.begin(), bright.end(),
                     [](const DeepSkyObject* a, const DeepSkyObject* b) { return a->magnitude < b->magnitude; });
    for (const DeepSkyObject* o : bright) {
        if (small.size() >= kSmallObjectFileSize) break;
        small.insert(Key{o->catalog, o->number});
    }
    for (const Key& k : small) out.smallObjects.push_back(objects.at(k));

    // The chart's index over the large file, by declination; a duplicate designation is not
    // drawn a second time.
    std::set<Key> duplicateKeys;
    for (const auto& d : duplicates) duplicateKeys.insert(d.first);
    for (std::size_t i = 0; i < out.objects.size(); ++i) {
        const DeepSkyObject& o = out.objects[i];
        if (duplicateKeys.count(Key{o.catalog, o.number})) continue;
        IndexEntry e;
        e.number = o.number;
        e.catalog = o.catalog;
        e.record = static_cast<int>(i);
        // From the record's single-precision place, as the program converts it.
        e.ra = HoursToFixed(static_cast<float>(o.ra));
        e.dec = DegreesToFixed(static_cast<float>(o.dec));
        e.type = o.type;
        e.limit = o.hasMagnitude ? static_cast<int>(std::lround(o.magnitude * 10.0)) : kUnknownMagnitudeLimit;
        e.limit = std::clamp(e.limit, -300, 990);
        out.index.push_back(e);
    }
    std::stable_sort(out.index.begin(), out.index.end(), [](const IndexEntry& a, const IndexEntry& b) {
        return a.dec != b.dec ? a.dec < b.dec : a.ra < b.ra;
    });

    // Cross references: list designations both ways, the source's own aliases, common
    // names of objects and proper names of HR stars.
    std::map<Key, CrossReference> refs;
    auto ref = [&](Key k) -> CrossReference& {
        CrossReference& r = refs[k];
        r.keyCatalog = k.first;
        r.keyNumber = k.second;
        return r;
    };
    auto link = [&](int listCatalog, std::uint32_t listNumber, CatalogKey target) {
        Key t{static_cast<int>(target.catalog), target.number};
        Key l{listCatalog, listNumber};
        if (t == l) return;
        AddOther(ref(l), t.first, t.second);
        AddOther(ref(t), l.first, l.second);
    };
    for (int i = 0; i < 110; ++i) link(kCatalogMessier, static_cast<std::uint32_t>(i + 1), kMessierKeys[i]);
    for (int i = 0; i < 109; ++i) link(kCatalogCaldwell, static_cast<std::uint32_t>(i + 1), kCaldwellKeys[i]);
    for (const auto& [key, alias] : aliases) {
        std::string prefix;
        int number = 0;
        if (!SplitDesignation(alias, prefix, number)) continue;
        int code = CatalogCodeOfPrefix(prefix);
        if (code < 0) continue;
        AddOther(ref(key), code, static_cast<std::uint32_t>(number));
    }
    for (const auto& [dup, primary] : duplicates) {
        if (!objects.count(dup) || !objects.count(primary)) continue;
        // One way only: a tap on either record then names the object by its main number.
        AddOther(ref(dup), primary.first, primary.second);
    }
    for (const auto& [primary, alias] : uncountedAliases) AddOther(ref(primary), alias.first, alias.second);
    for (const DeepSkyObject& o : out.objects)
        if (!o.commonName.empty()) ref(Key{o.catalog, o.number}).name = o.commonName;
    for (auto& [key, r] : refs)
        if (r.name.empty() && (key.first == kCatalogMessier || key.first == kCatalogCaldwell)) {
            // The list designation carries its object's common name.
            if (auto t = objects.find(Key{r.otherCatalog[0], r.otherNumber[0]}); t != objects.end())
                r.name = t->second.commonName;
        }
    for (const StarCandidate& c : candidates)
        if (!c.star.properName.empty()) ref(Key{kCatalogHr, static_cast<std::uint32_t>(c.star.hr)}).name = c.star.properName;
    for (auto& [key, r] : refs) out.crossReferences.push_back(r);

    for (const std::string& m : report.missingListObjects) report.warnings.push_back("list object missing: " + m);

    BuildStellarLevels(in, candidates, out);
    BuildLocations(in, out);

    // The Moon, Mars and minor-body databases: the marker file's landers, then the later.
    std::vector<LandingSite> landers = in.landers;
    for (const LandingSite& l : LaterLandingSites()) landers.push_back(l);
    out.moonFeatures = BuildMoonFeatures(in.gazetteer);
    out.marsFeatures = in.gazetteer.empty() ? std::vector<MarsFeatureRecord>{} : BuildMarsFeatures(in.gazetteer, landers);
    out.comets = BuildCometRecords(in.minorBodies, &report.minorBodiesSkipped);
    return out;
}

}  // namespace catalog_builder
