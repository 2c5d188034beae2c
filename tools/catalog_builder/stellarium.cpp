#include "tools/catalog_builder/stellarium.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "tools/catalog_builder/names.h"

namespace catalog_builder {

namespace {

constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------------------
// The deep-sky catalogue: a Qt data stream (big-endian; doubles for every real number;
// texts as a byte length and UTF-16 code units, length 0xFFFFFFFF for a null text).

class BigEndianStream {
public:
    explicit BigEndianStream(std::string_view bytes) : bytes_(bytes) {}
    bool AtEnd() const { return at_ >= bytes_.size(); }
    bool Ok() const { return ok_; }

    std::uint32_t U32() {
        if (!Need(4)) return 0;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes_[at_++]);
        return v;
    }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    double F64() {
        if (!Need(8)) return 0.0;
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v = (v << 8) | static_cast<unsigned char>(bytes_[at_++]);
        double d = 0.0;
        std::memcpy(&d, &v, sizeof d);
        return d;
    }
    // A text as UTF-8 (code units outside the Basic Multilingual Plane are dropped: the
    // catalogue's texts are designations and type codes).
    std::string Text() {
        std::uint32_t n = U32();
        if (n == 0xFFFFFFFFu || !ok_) return {};
        if (n % 2 != 0 || !Need(n)) {
            ok_ = false;
            return {};
        }
        std::string out;
        for (std::uint32_t i = 0; i < n; i += 2) {
            std::uint32_t cu = (static_cast<unsigned char>(bytes_[at_ + i]) << 8) | static_cast<unsigned char>(bytes_[at_ + i + 1]);
            if (cu < 0x80) {
                out += static_cast<char>(cu);
            } else if (cu < 0x800) {
                out += static_cast<char>(0xC0 | (cu >> 6));
                out += static_cast<char>(0x80 | (cu & 0x3F));
            } else if (cu < 0xD800 || cu > 0xDFFF) {
                out += static_cast<char>(0xE0 | (cu >> 12));
                out += static_cast<char>(0x80 | ((cu >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (cu & 0x3F));
            }
        }
        at_ += n;
        return out;
    }
    std::size_t Offset() const { return at_; }

private:
    bool Need(std::size_t n) {
        if (!ok_ || bytes_.size() - at_ < n) {
            ok_ = false;
            return false;
        }
        return true;
    }
    std::string_view bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

// The catalogue's object types, by its type number, as the builder's source type codes
// (those of ObjectTypeCode). Types the program has no class for stay empty (type 0).
std::string_view SourceType(std::uint32_t type) {
    static constexpr std::array<std::string_view, 37> kTypes = {
        "g",    // 0 galaxy
        "g",    // 1 active galaxy
        "g",    // 2 radio galaxy
        "g",    // 3 interacting galaxy
        "",     // 4 quasar
        "oc",   // 5 star cluster
        "oc",   // 6 open cluster
        "gc",   // 7 globular cluster
        "oc",   // 8 stellar association
        "oc",   // 9 star cloud
        "bn",   // 10 nebula
        "pn",   // 11 planetary nebula
        "dn",   // 12 dark nebula
        "rn",   // 13 reflection nebula
        "bn",   // 14 bipolar nebula
        "en",   // 15 emission nebula
        "sfr",  // 16 cluster with nebulosity
        "en",   // 17 HII region
        "snr",  // 18 supernova remnant
        "bn",   // 19 interstellar matter
        "bn",   // 20 emission object
        "",     // 21 BL Lac object
        "",     // 22 blazar
        "dn",   // 23 molecular cloud
        "star", // 24 young stellar object
        "",     // 25 possible quasar
        "pn",   // 26 possible planetary nebula
        "pn",   // 27 protoplanetary nebula
        "star", // 28 star
        "star", // 29 symbiotic star
        "star", // 30 emission-line star
        "snr",  // 31 supernova candidate
        "snr",  // 32 supernova remnant candidate
        "gg",   // 33 cluster of galaxies
        "g",    // 34 part of a galaxy
        "",     // 35 region of the sky
        "",     // 36 unknown
    };
    return type < kTypes.size() ? kTypes[type] : std::string_view{};
}

// The distance in kpc: the catalogue's own, else from the parallax, else for a galaxy
// beyond the Local Group's neighbourhood (z above 0.003, where peculiar motions stop
// dominating) from its redshift by Hubble's law with the 71 km/s/Mpc that the program's
// distance value assumes. 0 when none applies.
double DistanceKpc(std::uint32_t type, double distance, double parallax, double redshift) {
    if (distance > 0.0) return distance;
    if (parallax > 0.0) return 1.0 / parallax;
    const bool galaxy = type <= 3 || type == 33;
    if (galaxy && redshift > 0.003 && redshift < 1.0) return 299792.458 * redshift / 71.0 * 1000.0;
    return 0.0;
}

void AddNumber(CatalogObject& o, const char* prefix, std::uint32_t number) {
    if (number > 0 && number < 100000000u) o.designations.emplace_back(prefix, static_cast<int>(number));
}

// Text designations ("214", "55d", "ACO S 1063"): only whole numbers are objects of the
// program's catalogues; lettered parts and supplements are not.
void AddText(CatalogObject& o, const char* prefix, const std::string& text) {
    std::string t = Trim(text);
    if (t.empty() || t.size() > 8) return;
    int n = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return;
        n = n * 10 + (c - '0');
    }
    if (n > 0) o.designations.emplace_back(prefix, n);
}

// ---------------------------------------------------------------------------------------
// The star files: a header of eight little-endian words (magic 0x835F040A, star kind,
// version major and minor, grid level, magnitude minimum, range and steps in milli-
// magnitudes), the star count of each of the level's 20 × 4^level zones, then the stars.

std::uint32_t LeU32(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8) |
           (static_cast<unsigned char>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24);
}

struct Vec {
    double x = 0, y = 0, z = 0;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(Vec a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec Normalized(Vec a) { return a * (1.0 / std::sqrt(Dot(a, a))); }

struct Zone {
    Vec center, axis0, axis1;
};

// The zones of a grid level: an icosahedron's 20 faces, each split into four per level
// (corner, corner, corner, then the middle triangle), in that order.
std::vector<Zone> GridZones(int level, double maxOffset) {
    const double g = 0.5 * (1.0 + std::sqrt(5.0));
    const double b = 1.0 / std::sqrt(1.0 + g * g);
    const double a = b * g;
    const Vec corners[12] = {{a, -b, 0}, {a, b, 0},  {-a, b, 0},  {-a, -b, 0}, {0, a, -b}, {0, a, b},
                             {0, -a, b}, {0, -a, -b}, {-b, 0, a}, {b, 0, a},   {b, 0, -a}, {-b, 0, -a}};
    static constexpr int kFaces[20][3] = {{1, 0, 10}, {0, 1, 9},  {0, 9, 6},  {9, 8, 6},  {0, 7, 10},
                                          {6, 7, 0},  {7, 6, 3},  {6, 8, 3},  {11, 10, 7}, {7, 3, 11},
                                          {3, 2, 11}, {2, 3, 8},  {10, 11, 4}, {2, 4, 11}, {5, 4, 2},
                                          {2, 8, 5},  {4, 1, 10}, {4, 5, 1},  {5, 9, 1},  {8, 9, 5}};
    std::vector<Zone> zones;
    double scale = 0.0;
    const Vec north{0, 0, 1};
    auto visit = [&](auto&& self, int l, Vec c0, Vec c1, Vec c2) -> void {
        if (l == level) {
            Zone z;
            z.center = Normalized(c0 + c1 + c2);
            z.axis0 = Normalized(Cross(north, z.center));
            z.axis1 = Cross(z.center, z.axis0);
            // Offsets are stored as integers scaled so that the farthest corner of any zone
            // is reached.
            for (Vec c : {c0, c1, c2}) {
                double mu0 = Dot(c - z.center, z.axis0), mu1 = Dot(c - z.center, z.axis1);
                double f = 1.0 / std::sqrt(1.0 - mu0 * mu0 - mu1 * mu1);
                scale = std::max({scale, std::fabs(mu0) * f, std::fabs(mu1) * f});
            }
            zones.push_back(z);
            return;
        }
        Vec e0 = Normalized(c1 + c2), e1 = Normalized(c2 + c0), e2 = Normalized(c0 + c1);
        self(self, l + 1, c0, e2, e1);
        self(self, l + 1, e2, c1, e0);
        self(self, l + 1, e1, e0, c2);
        self(self, l + 1, e0, e1, e2);
    };
    for (const auto& f : kFaces) visit(visit, 0, corners[f[0]], corners[f[1]], corners[f[2]]);
    scale /= maxOffset;
    for (Zone& z : zones) {
        z.axis0 = z.axis0 * scale;
        z.axis1 = z.axis1 * scale;
    }
    return zones;
}

// `count` bits (at most 32) from bit `from` of a little-endian bit field.
std::uint64_t Bits(const unsigned char* bytes, int from, int count) {
    std::uint64_t v = 0;
    for (int i = 0; i < count; ++i) {
        const int bit = from + i;
        v |= static_cast<std::uint64_t>((bytes[bit / 8] >> (bit % 8)) & 1u) << i;
    }
    return v;
}

std::int32_t SignExtend(std::uint64_t v, int bits) {
    std::uint64_t m = 1ull << (bits - 1);
    return static_cast<std::int32_t>(static_cast<std::int64_t>((v ^ m) - m));
}

}  // namespace

bool ReadStellariumDsoCatalog(std::string_view bytes, std::vector<CatalogObject>& out, std::string& error) {
    BigEndianStream in(bytes);
    std::string version = in.Text();
    in.Text();  // edition
    if (!in.Ok() || version.empty() || version[0] < '3' || version[0] > '9') {
        error = "deep-sky catalogue: no version text of a known format";
        return false;
    }
    int record = 0;
    while (!in.AtEnd()) {
        ++record;
        CatalogObject o;
        DsoSource& d = o.data;
        in.U32();  // the catalogue's own running number
        double ra = in.F64(), dec = in.F64();
        double bMag = in.F64(), vMag = in.F64();
        std::uint32_t type = in.U32();
        d.morphology = Trim(in.Text());
        double major = in.F64(), minor = in.F64();  // degrees
        std::int32_t angle = in.I32();
        const double redshift = in.F64();
        in.F64();  // its error
        const double parallax = in.F64();  // milliarcseconds
        in.F64();  // its error
        double distance = in.F64();  // kpc
        in.F64();  // its error
        // Catalogue numbers; `elsewhere` is set by any beyond the dark-cloud catalogues.
        bool elsewhere = false;
        static constexpr const char* kNumbered1[] = {"NGC", "IC", "M", "C", "B", "Sh2", "VdB", "RCW", "LDN",
                                                     nullptr /* LBN */, "Cr", "Mel", nullptr /* PGC */, "UGC"};
        for (const char* p : kNumbered1) {
            std::uint32_t n = in.U32();
            if (p) AddNumber(o, p, n);
            const bool darkCloud = p && (std::strcmp(p, "B") == 0 || std::strcmp(p, "LDN") == 0);
            if (n != 0 && !darkCloud) elsewhere = true;
        }
        auto text = [&](const char* prefix) {
            std::string t = in.Text();
            if (!Trim(t).empty()) elsewhere = true;
            if (prefix) AddText(o, prefix, t);
        };
        auto number = [&](const char* prefix) {
            std::uint32_t n = in.U32();
            if (n != 0) elsewhere = true;
            if (prefix) AddNumber(o, prefix, n);
        };
        text("Ced");
        number(nullptr);  // Arp
        number(nullptr);  // VV
        text(nullptr);    // PK
        text(nullptr);    // PN G
        text(nullptr);    // SNR G
        text("ACO");
        text(nullptr);  // HCG
        text(nullptr);  // ESO
        text(nullptr);  // vdBH
        number(nullptr);  // DWB
        number("Tr");
        number("St");
        number("Ru");
        number("vdB-Ha");
        if (!in.Ok()) {
            error = "deep-sky catalogue: record " + std::to_string(record) + " is cut short at byte " +
                    std::to_string(in.Offset());
            return false;
        }
        if (o.designations.empty()) continue;
        d.ra = std::fmod(ra * 12.0 / kPi + 24.0, 24.0);
        d.dec = dec * 180.0 / kPi;
        d.type = std::string(SourceType(type));
        // A dark nebula's magnitude field holds its opacity class, and so does that of any
        // object known only to the dark-cloud catalogues (Barnard, Lynds), whatever its type.
        double mag = vMag < 90.0 ? vMag : bMag;
        if (mag < 90.0 && d.type != "dn" && elsewhere) d.hasMagnitude = true, d.magnitude = mag;
        if (major > 0.0) {
            d.sizeA = major * 60.0;
            d.sizeB = minor > 0.0 ? minor * 60.0 : d.sizeA;
        }
        if (angle != 0) d.hasAngle = true, d.angle = WholeAngle(angle);
        d.distanceKpc = DistanceKpc(type, distance, parallax, redshift);
        out.push_back(std::move(o));
    }
    return true;
}

bool ReadStellariumStarFile(std::string_view bytes, std::vector<CatalogStar>& out, std::string& error) {
    if (bytes.size() < 32 || LeU32(bytes, 0) != 0x835F040Au) {
        error = "star catalogue: not a star zone file";
        return false;
    }
    const std::uint32_t kind = LeU32(bytes, 4);
    const std::uint32_t level = LeU32(bytes, 16);
    const auto magMin = static_cast<std::int32_t>(LeU32(bytes, 20));
    const auto magRange = static_cast<std::int32_t>(LeU32(bytes, 24));
    const auto magSteps = static_cast<std::int32_t>(LeU32(bytes, 28));
    if (kind > 2 || level > 7 || magSteps <= 0) {
        error = "star catalogue: unknown star kind, level or magnitude steps";
        return false;
    }
    static constexpr std::size_t kSize[3] = {28, 10, 6};
    static constexpr double kMaxOffset[3] = {2147483647.0, (1 << 19) - 1, (1 << 17) - 1};
    const std::size_t zoneCount = 20u << (2 * level);
    std::size_t at = 32 + 4 * zoneCount;
    if (bytes.size() < at) {
        error = "star catalogue: the zone table is cut short";
        return false;
    }
    std::vector<Zone> zones = GridZones(static_cast<int>(level), kMaxOffset[kind]);
    const std::size_t size = kSize[kind];
    for (std::size_t z = 0; z < zoneCount; ++z) {
        const std::uint32_t count = LeU32(bytes, 32 + 4 * z);
        if ((bytes.size() - at) / size < count) {
            error = "star catalogue: zone " + std::to_string(z) + " runs past the end of the file";
            return false;
        }
        for (std::uint32_t i = 0; i < count; ++i, at += size) {
            const auto* r = reinterpret_cast<const unsigned char*>(bytes.data() + at);
            CatalogStar s;
            std::int32_t x0 = 0, x1 = 0;
            unsigned bvIndex = 0, magIndex = 0;
            if (kind == 0) {
                s.hip = r[0] | (r[1] << 8) | (r[2] << 16);
                x0 = static_cast<std::int32_t>(LeU32(bytes, at + 4));
                x1 = static_cast<std::int32_t>(LeU32(bytes, at + 8));
                bvIndex = r[12];
                magIndex = r[13];
            } else {
                // Bit fields from the lowest bit: x0, x1 (20 or 18 bits each), for the
                // 10-byte kind two proper-motion fields of 14 bits, then B−V (7) and
                // magnitude (5).
                const int bits = kind == 1 ? 20 : 18;
                x0 = SignExtend(Bits(r, 0, bits), bits);
                x1 = SignExtend(Bits(r, bits, bits), bits);
                const int rest = kind == 1 ? 2 * bits + 28 : 2 * bits;
                bvIndex = static_cast<unsigned>(Bits(r, rest, 7));
                magIndex = static_cast<unsigned>(Bits(r, rest + 7, 5));
            }
            const Zone& zone = zones[z];
            Vec p = Normalized(zone.center + zone.axis0 * x0 + zone.axis1 * x1);
            s.ra = std::fmod(std::atan2(p.y, p.x) * 12.0 / kPi + 24.0, 24.0);
            s.dec = std::asin(std::clamp(p.z, -1.0, 1.0)) * 180.0 / kPi;
            s.vmag = 0.001 * (magMin + static_cast<double>(magIndex) * magRange / magSteps);
            // B−V in 127 steps from −0.5 to 3.5.
            s.bv = bvIndex * (4.0 / 127.0) - 0.5;
            out.push_back(s);
        }
    }
    return true;
}

}  // namespace catalog_builder
