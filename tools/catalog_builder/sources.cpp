#include "tools/catalog_builder/sources.h"

#include <climits>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include <nlohmann/json.hpp>

#include "tools/catalog_builder/names.h"

namespace catalog_builder {

namespace {

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool ParseDouble(std::string_view s, double& v) {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool ParseInt(std::string_view s, int& v) {
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

std::vector<std::string_view> Words(std::string_view s) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        std::size_t b = i;
        while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        if (i > b) words.push_back(s.substr(b, i - b));
    }
    return words;
}

// GeoJSON longitude in degrees (−180..180) to right ascension in hours (0..24).
double LongitudeToHours(double lon) {
    double ra = lon / 15.0;
    if (ra < 0.0) ra += 24.0;
    if (ra >= 24.0) ra -= 24.0;
    return ra;
}

// Objects keep their members in file order, as the sources list them.
using Json = nlohmann::ordered_json;

bool Parse(std::string_view text, Json& doc, std::string& error, const char* what) {
    try {
        doc = Json::parse(text.begin(), text.end());
        return true;
    } catch (const Json::parse_error& e) {
        error = std::string(what) + ": bad JSON at byte " + std::to_string(e.byte);
        return false;
    }
}

const Json& Member(const Json& j, const char* key) {
    static const Json kNull;
    if (!j.is_object()) return kNull;
    auto it = j.find(key);
    return it == j.end() ? kNull : *it;
}

// Numbers and numeric strings ("1.2") as a double; `fallback` for anything else.
double Number(const Json& j, double fallback) {
    if (j.is_number()) return j.get<double>();
    double v = 0.0;
    if (j.is_string() && ParseDouble(Trim(j.get_ref<const std::string&>()), v)) return v;
    return fallback;
}

// Strings as they are, numbers in their shortest form, anything else empty.
std::string Text(const Json& j) {
    if (j.is_string()) return j.get<std::string>();
    if (j.is_number()) return j.dump();
    return {};
}

const Json* Features(const Json& doc, std::string& error, const char* what) {
    const Json& f = Member(doc, "features");
    if (!f.is_array()) {
        error = std::string(what) + ": no \"features\" array";
        return nullptr;
    }
    return &f;
}

bool PointOf(const Json& feature, double& ra, double& dec) {
    const Json& c = Member(Member(feature, "geometry"), "coordinates");
    if (!c.is_array() || c.size() < 2) return false;
    ra = LongitudeToHours(Number(c[0], 0.0));
    dec = Number(c[1], 0.0);
    return true;
}

// "189.1x61.7" or "30": sizes in arc minutes; a single value is a round object.
void ParseDimensions(std::string_view dim, double& a, double& b) {
    a = b = 0.0;
    std::size_t x = dim.find('x');
    if (x == std::string_view::npos) {
        if (ParseDouble(Trim(dim), a)) b = a;
        else a = 0.0;
        return;
    }
    if (!ParseDouble(Trim(dim.substr(0, x)), a)) a = 0.0;
    if (!ParseDouble(Trim(dim.substr(x + 1)), b)) b = 0.0;
}

// Number of a "HD 12345" or "HIP 63" text (any spacing, thin spaces included).
int TrailingNumber(std::string_view s) {
    std::size_t e = s.size();
    while (e > 0 && !std::isdigit(static_cast<unsigned char>(s[e - 1]))) --e;
    std::size_t b = e;
    while (b > 0 && std::isdigit(static_cast<unsigned char>(s[b - 1]))) --b;
    int v = 0;
    if (b == e || !ParseInt(s.substr(b, e - b), v)) return 0;
    return v;
}

}  // namespace

int WholeAngle(double degrees) {
    if (!std::isfinite(degrees)) return 0;
    long whole = std::lround(degrees);
    int a = static_cast<int>(whole % 180);
    return a < 0 ? a + 180 : a;
}

bool SplitDesignation(std::string_view text, std::string& prefix, int& number) {
    std::string t = Trim(text);
    std::size_t i = 0;
    while (i < t.size() && !std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
    std::string head = Trim(std::string_view(t).substr(0, i));
    // Sharpless writes its catalog as "Sh2 155" or "Sh 2-155".
    std::string_view rest = std::string_view(t).substr(i);
    if (head == "Sh" && rest.size() > 2 && rest[0] == '2' && (rest[1] == ' ' || rest[1] == '-')) {
        rest.remove_prefix(2);
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        head = "Sh2";
    }
    std::size_t e = 0;
    while (e < rest.size() && std::isdigit(static_cast<unsigned char>(rest[e]))) ++e;
    if (e == 0 || head.empty()) return false;
    // A trailing letter ("Ced 9b") names a part of an object; such parts are not numbered
    // objects of their own.
    if (e < rest.size()) return false;
    if (!ParseInt(rest.substr(0, e), number)) return false;
    prefix = head;
    return true;
}

bool ReadBrightStarCatalog(std::string_view text, std::vector<BscStar>& out, std::string& error) {
    int lineNo = 0;
    for (std::string_view line : Lines(text)) {
        ++lineNo;
        std::string_view t = line;
        while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.remove_prefix(1);
        if (t.empty() || t.front() == '#') continue;
        std::size_t q1 = line.find('"');
        std::size_t q2 = q1 == std::string_view::npos ? q1 : line.find('"', q1 + 1);
        if (q2 == std::string_view::npos) {
            error = "BSC line " + std::to_string(lineNo) + ": no quoted name field";
            return false;
        }
        auto head = Words(line.substr(0, q1));
        auto tail = Words(line.substr(q2 + 1));
        BscStar s;
        if (head.size() != 3 || tail.size() < 2 || !ParseDouble(head[0], s.dec) || !ParseDouble(head[1], s.ra) ||
            !ParseDouble(head[2], s.vmag) || !ParseInt(tail[0], s.hr) || !ParseInt(tail[1], s.hd)) {
            error = "BSC line " + std::to_string(lineNo) + ": expected Dec RA Mag \"name\" HR HD";
            return false;
        }
        // The BSC name field: Flamsteed number (3), Bayer letter (3), superscript (1),
        // constellation (3).
        std::string name(line.substr(q1 + 1, q2 - q1 - 1));
        name.resize(10, ' ');
        std::string flam = Trim(name.substr(0, 3));
        std::string bayer = Trim(name.substr(3, 3));
        std::string sup = Trim(name.substr(6, 1));
        std::string con = Trim(name.substr(7, 3));
        if (!flam.empty()) ParseInt(flam, s.flamsteed);
        if (!bayer.empty()) s.bayer = GreekLetterIndex(bayer);
        if (!sup.empty() && std::isdigit(static_cast<unsigned char>(sup[0]))) s.superscript = sup[0] - '0';
        if (!con.empty()) s.constellation = ConstellationNumber(con);
        if (s.constellation < 0) s.flamsteed = 0, s.bayer = -1, s.superscript = 0;
        out.push_back(s);
    }
    return true;
}

bool ReadArcLines(std::string_view text, std::vector<LineSegment>& out, std::string& error) {
    int lineNo = 0;
    for (std::string_view line : Lines(text)) {
        ++lineNo;
        std::size_t hash = line.find('#');
        std::string_view data = line.substr(0, hash);
        auto w = Words(data);
        if (w.empty()) continue;
        LineSegment s;
        if (w.size() != 4 || !ParseDouble(w[0], s.dec1) || !ParseDouble(w[1], s.ra1) || !ParseDouble(w[2], s.dec2) ||
            !ParseDouble(w[3], s.ra2)) {
            error = "arc line " + std::to_string(lineNo) + ": expected Dec RA Dec RA";
            return false;
        }
        out.push_back(s);
    }
    return true;
}

bool ReadHipStars(std::string_view json, std::vector<HipStar>& out, std::string& error) {
    Json doc;
    if (!Parse(json, doc, error, "stars")) return false;
    const Json* features = Features(doc, error, "stars");
    if (!features) return false;
    for (const Json& f : *features) {
        HipStar s;
        // An id that is not a HIP number (NaN, 1e300) is skipped before the cast.
        const double id = Number(Member(f, "id"), 0.0);
        if (!(id >= 1.0 && id <= INT_MAX)) continue;
        s.hip = static_cast<int>(id);
        if (!PointOf(f, s.ra, s.dec)) continue;
        s.vmag = Number(Member(Member(f, "properties"), "mag"), 99.0);
        double bv = Number(Member(Member(f, "properties"), "bv"), 1e9);
        if (bv < 1e8) s.hasBv = true, s.bv = bv;
        out.push_back(s);
    }
    return true;
}

bool ReadHipStarNames(std::string_view json, std::vector<HipStarName>& out, std::string& error) {
    Json doc;
    if (!Parse(json, doc, error, "star names")) return false;
    if (!doc.is_object()) {
        error = "star names: expected an object keyed by HIP number";
        return false;
    }
    for (const auto& [key, v] : doc.items()) {
        HipStarName n;
        if (!ParseInt(key, n.hip) || n.hip <= 0) continue;
        n.hd = TrailingNumber(Text(Member(v, "hd")));
        n.name = ToProgramText(Text(Member(v, "name")));
        out.push_back(std::move(n));
    }
    return true;
}

bool ReadDeepSkyObjects(std::string_view json, std::vector<DsoSource>& out, std::string& error) {
    Json doc;
    if (!Parse(json, doc, error, "deep-sky objects")) return false;
    const Json* features = Features(doc, error, "deep-sky objects");
    if (!features) return false;
    for (const Json& f : *features) {
        DsoSource o;
        if (!SplitDesignation(Text(Member(f, "id")), o.prefix, o.number)) continue;
        if (!PointOf(f, o.ra, o.dec)) continue;
        const Json& p = Member(f, "properties");
        std::string desig = Trim(Text(Member(p, "desig")));
        std::string dp;
        int dn = 0;
        if (SplitDesignation(desig, dp, dn) && (dp != o.prefix || dn != o.number)) o.alias = desig;
        o.type = Trim(Text(Member(p, "type")));
        o.morphology = Trim(Text(Member(p, "morph")));
        // A dark nebula's "mag" is its opacity class (1 to 6), not a brightness. The source
        // types some Barnard and Lynds clouds as clusters or planetary nebulae (B 157,
        // LDN 134), so the dark-cloud designation decides as well as the type.
        const bool darkCloud = o.type == "dn" || o.prefix == "B" || o.prefix == "LDN";
        double mag = Number(Member(p, "mag"), 999.0);
        if (mag < 90.0 && !darkCloud) o.hasMagnitude = true, o.magnitude = mag;
        ParseDimensions(Text(Member(p, "dim")), o.sizeA, o.sizeB);
        out.push_back(std::move(o));
    }
    return true;
}

bool ReadMessierList(std::string_view json, std::vector<MessierEntry>& out, std::string& error) {
    Json doc;
    if (!Parse(json, doc, error, "Messier list")) return false;
    const Json* features = Features(doc, error, "Messier list");
    if (!features) return false;
    for (const Json& f : *features) {
        MessierEntry m;
        std::string mp;
        if (!SplitDesignation(Text(Member(f, "id")), mp, m.messier) || mp != "M") continue;
        if (!PointOf(f, m.ra, m.dec)) continue;
        const Json& p = Member(f, "properties");
        std::string dp;
        int dn = 0;
        if (SplitDesignation(Text(Member(p, "desig")), dp, dn) && (dp == "NGC" || dp == "IC")) m.prefix = dp, m.number = dn;
        m.commonName = ToProgramText(Text(Member(p, "alt")));
        m.type = Trim(Text(Member(p, "type")));
        double mag = Number(Member(p, "mag"), 999.0);
        if (mag < 90.0) m.hasMagnitude = true, m.magnitude = mag;
        ParseDimensions(Text(Member(p, "dim")), m.sizeA, m.sizeB);
        out.push_back(std::move(m));
    }
    return true;
}

bool ReadDsoNames(std::string_view json, std::map<std::string, std::string>& out, std::string& error) {
    Json doc;
    if (!Parse(json, doc, error, "deep-sky names")) return false;
    if (!doc.is_object()) {
        error = "deep-sky names: expected an object keyed by designation";
        return false;
    }
    for (const auto& [key, v] : doc.items()) {
        std::string name = ToProgramText(Text(Member(v, "name")));
        if (!name.empty()) out[key] = name;
    }
    return true;
}

bool ReadFigureLines(std::string_view json, std::vector<LineSegment>& out, std::string& error) {
    Json doc;
    if (!Parse(json, doc, error, "constellation lines")) return false;
    const Json* features = Features(doc, error, "constellation lines");
    if (!features) return false;
    for (const Json& f : *features) {
        int con = ConstellationNumber(Text(Member(f, "id")));
        const Json& lines = Member(Member(f, "geometry"), "coordinates");
        if (!lines.is_array()) continue;
        for (const Json& poly : lines) {
            if (!poly.is_array()) continue;
            for (std::size_t i = 1; i < poly.size(); ++i) {
                const Json& a = poly[i - 1];
                const Json& b = poly[i];
                if (!a.is_array() || !b.is_array() || a.size() < 2 || b.size() < 2) continue;
                LineSegment s;
                s.constellation = con;
                s.ra1 = LongitudeToHours(Number(a[0], 0.0));
                s.dec1 = Number(a[1], 0.0);
                s.ra2 = LongitudeToHours(Number(b[0], 0.0));
                s.dec2 = Number(b[1], 0.0);
                out.push_back(s);
            }
        }
    }
    return true;
}

bool ReadOpenNgc(std::string_view tsv, std::vector<DsoSource>& out, std::string& error) {
    int lineNo = 0;
    for (std::string_view line : Lines(tsv)) {
        ++lineNo;
        if (line.empty()) continue;
        std::vector<std::string_view> f;
        std::size_t start = 0;
        for (;;) {
            std::size_t tab = line.find('\t', start);
            f.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
            if (tab == std::string_view::npos) break;
            start = tab + 1;
        }
        if (f.size() != 10) {
            error = "OpenNGC line " + std::to_string(lineNo) + ": expected 10 tab-separated fields";
            return false;
        }
        int kind = -1;
        double ra = 0.0, dec = 0.0;
        if (!ParseInt(f[0], kind) || !ParseDouble(f[1], ra) || !ParseDouble(f[2], dec)) {
            error = "OpenNGC line " + std::to_string(lineNo) + ": bad type or position";
            return false;
        }
        // The table's object kinds; 255 marks duplicates, non-existent and unidentified entries.
        static const std::pair<int, const char*> kKinds[] = {{0, "star"}, {1, "star"}, {3, "oc"},  {4, "gc"},
                                                               {5, "bn"},   {6, "pn"},   {7, "snr"}, {8, "g"},
                                                               {13, "ast"}, {14, "gg"},  {15, "dn"}, {17, "ds"}};
        DsoSource o;
        for (const auto& [k, t] : kKinds)
            if (k == kind) o.type = t;
        if (ra == 0.0 && dec == 0.0) continue;
        // Most entries of unknown kind are second designations of an object listed under
        // another number at the same place; the builder pairs them up.
        if (o.type.empty()) o.type = "dup";
        // "NGC0224", "IC0434"; lettered parts ("NGC0224A") are not objects of their own.
        std::string id(f[6]);
        std::size_t digits = id.find_first_of("0123456789");
        if (digits == std::string::npos) continue;
        std::string prefix = id.substr(0, digits);
        if ((prefix != "NGC" && prefix != "IC") || !ParseInt(std::string_view(id).substr(digits), o.number) || o.number <= 0)
            continue;
        o.prefix = prefix;
        o.ra = ra / 15.0;
        o.dec = dec;
        double mag = 0.0;
        if (!f[3].empty() && ParseDouble(f[3], mag)) o.hasMagnitude = true, o.magnitude = mag;
        if (f[7].empty() || !ParseDouble(f[7], o.sizeA)) o.sizeA = 0.0;
        if (f[8].empty() || !ParseDouble(f[8], o.sizeB)) o.sizeB = o.sizeA;
        double angle = 0.0;
        if (!f[9].empty() && ParseDouble(f[9], angle)) o.hasAngle = true, o.angle = WholeAngle(angle);
        std::string p;
        int n = 0;
        if (SplitDesignation(f[4], p, n) && p == "M") o.alias = "M " + std::to_string(n);
        // Other names: designations of other catalogs and common names, comma-separated; the
        // first text that is not a designation is the common name.
        std::size_t b = 0;
        std::string names(f[5]);
        while (b <= names.size()) {
            std::size_t comma = names.find(',', b);
            std::string item = Trim(std::string_view(names).substr(b, comma == std::string::npos ? std::string::npos : comma - b));
            b = comma == std::string::npos ? names.size() + 1 : comma + 1;
            if (item.empty()) continue;
            if (SplitDesignation(item, p, n) && p == "M") {
                o.alias = "M " + std::to_string(n);
                continue;
            }
            bool designation = SplitDesignation(item, p, n) && p.find(' ') == std::string::npos && p.size() <= 5;
            if (!designation && o.commonName.empty()) o.commonName = ToProgramText(item);
        }
        out.push_back(std::move(o));
    }
    return true;
}

}  // namespace catalog_builder
