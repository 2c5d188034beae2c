#include "tools/catalog_builder/morphology.h"

#include <array>
#include <cctype>
#include <cmath>

#include "tools/catalog_builder/names.h"

namespace catalog_builder {

namespace {

// The program's morphology texts, by code.
constexpr std::array<std::string_view, 297> kMorphology = {
    "", "*Grp", "1 Ir", "3 Ir", "3 Ir G", "3b", "4 C G", "4 C?",
    "4 Co G", "4 E", "4 G", "4 Ir", "4 Ir G", "4 S", "5 C", "5 C G",
    "5 E", "5 E G", "5 Ir", "5 Ir G", "5 K", "5 K G", "5 S", "6 C",
    "6 C G", "6 Co", "6 Co G", "6 E", "6 E G", "6 E? G", "6 Ir", "6 Ir G",
    "6 K", "6 K G", "6 S G", "C", "C/P", "C+C", "cD", "D",
    "dE4", "E", "E M", "E/P", "E/S0", "E/SB0", "E?", "E+*",
    "E+C", "E+C?", "E+E", "E+E?", "E+R", "E+S", "E0", "E0/P",
    "E1", "E1/P", "E2", "E2/P", "E3", "E4", "E4/P", "E5",
    "E5/P", "E6", "E6/P", "EN", "EN+OCL", "EN+RN", "E-S0", "E-S0/P",
    "GCL", "I", "I 1 m :b", "I 1 p", "I 1m:b", "I 1p :b", "I 1pn:b", "I 2 p",
    "I 2 p n", "I 2m :b", "I 2mn:b", "I 2p :a", "I 2p :b", "I 2pn:b", "I 2r :b", "I 3 p",
    "I 3 r :a", "I 3m :b", "I 3p :a", "I 3r :a", "I/P", "I1m", "I1p", "I1pn",
    "I1r", "I2m", "I2p", "I2pn", "I2r", "I3m", "I3p", "I3pn",
    "I3r", "IBm", "IBm/P", "II", "II 1 m", "II 1 mn:", "II 1 p", "II 1 p n",
    "II 1m:b", "II 1p :a", "II 1p :b", "II 1pn:b", "II 1r :b", "II 2 m", "II 2 p", "II 2 p n",
    "II 2 r", "II 2m :b", "II 2p :a", "II 2p :b", "II 2r :b", "II 3 m", "II 3 p", "II 3 r",
    "II 3p :a", "II 3pn:b", "II1m", "II1p", "II1r", "II2m", "II2mn", "II2p",
    "II2r", "II3m", "II3mn", "II3p", "II3pn", "II3r", "II3rn", "III",
    "III 1 m", "III 1 m", "III 1 p", "III 1 p", "III 1 r", "III 1m:a", "III 1m:b", "III 1p :",
    "III 1p :", "III 1pn:", "III 1r :", "III 2 m", "III 2 m", "III 2 p", "III 2 p", "III 2m :",
    "III 2m :", "III 2mn:", "III 2p :", "III 2p :", "III 2pn:", "III 2r :", "III 2rn:", "III 3 m",
    "III 3 m", "III 3 p", "III 3 p", "III 3 r", "III 3mn:", "III 3pn:", "III1m", "III1p",
    "III1r", "III2m", "III2p", "III3m", "III3p", "III3pn", "Im", "Im/P",
    "Irr", "IV", "IV 1 mn:", "IV 1 p", "IV 1 p n", "IV 1m:b", "IV 1p :b", "IV 1pn:b",
    "IV 1r :b", "IV 2 p", "IV 2 p n", "IV 2m :b", "IV 2p :a", "IV 2p :b", "IV 2pe:a", "IV 2pn:b",
    "IV 3 m", "IV 3 p", "IV 3 p n", "IV 3mn:b", "IV 3p :a", "IV 3pn:b", "IV1p", "IV2m",
    "IV2p", "IV2pn", "IV3m", "IV3p", "IV3pn", "IX", "NF", "OCL",
    "OCL+EN", "P", "P?", "Pec", "PN", "R", "R+*", "Ring",
    "Ring A", "Ring B", "Ring/P", "RN", "RN+OCL", "RU0", "S", "S M",
    "S R", "S RM", "S/P", "S/pec", "S?", "S+C", "S+C?", "S+S",
    "S0", "S0/D", "S0/P", "S0/PRG", "S0?", "S0+S0", "S0-a", "S0-a/P",
    "Sa", "Sa/P", "Sab", "Sab/P", "Sb", "SB M", "Sb/P", "SB?",
    "SB+C?", "SB0", "SB0/D", "SB0-a", "SB0-a/P", "SBa", "SBa/P", "SBa/PRG",
    "SBab", "SBab/P", "SBb", "SBb/P", "SBbc", "SBbc/P", "Sbc", "SBc",
    "SBc/P", "SBcd", "SBcd/P", "SBd", "SBdm", "SBdm/P", "SBm", "SBm/P",
    "SBR", "Sc", "Sc/P", "Sc?", "Scd", "Sd", "Sd/P", "Sdm",
    "Sm", "SNR", "V", "VI", "VII", "VIII", "X", "XI",
    "XII",
};

int Lookup(std::string_view text) {
    if (text.empty()) return 0;
    for (std::size_t i = 1; i < kMorphology.size(); ++i)
        if (kMorphology[i] == text) return static_cast<int>(i);
    return 0;
}

double Separation(double ra1, double dec1, double ra2, double dec2) {
    constexpr double kDeg = 3.14159265358979323846 / 180.0;
    double a1 = ra1 * 15.0 * kDeg, a2 = ra2 * 15.0 * kDeg, d1 = dec1 * kDeg, d2 = dec2 * kDeg;
    double c = std::sin(d1) * std::sin(d2) + std::cos(d1) * std::cos(d2) * std::cos(a1 - a2);
    if (c > 1.0) c = 1.0;
    if (c < -1.0) c = -1.0;
    return std::acos(c) / kDeg;
}

// 0 outside the Magellanic Clouds, 1 in the Large, 2 in the Small.
int MagellanicCloud(double ra, double dec) {
    if (Separation(ra, dec, 5.3923, -69.756) < 5.0) return 1;
    if (Separation(ra, dec, 0.8775, -72.80) < 2.5) return 2;
    return 0;
}

bool IsGalaxyType(std::string_view t) {
    return t == "g" || t == "s" || t == "s0" || t == "sd" || t == "i" || t == "e";
}

std::string WithoutSpaces(std::string_view s) {
    std::string out;
    for (char c : s)
        if (c != ' ') out += c;
    return out;
}

// De Vaucouleurs forms as the table writes them: "SA(s)b" → "Sb", "SAB(rs)bc" → "Sbc",
// "SB(s)m pec" → "SBm/P", "E2" → "E2", "SA0^-" → "S0", "IB(s)m" → "IBm".
int GalaxyMorphology(std::string_view morph) {
    std::string s(morph);
    bool peculiar = false;
    for (std::string_view mark : {"pec", "Pec"}) {
        std::size_t p = s.find(mark);
        if (p != std::string::npos) peculiar = true, s.erase(p, mark.size());
    }
    std::string t;
    int depth = 0;
    for (char c : s) {
        if (c == '(' || c == '[') ++depth;
        else if (c == ')' || c == ']') depth = depth > 0 ? depth - 1 : 0;
        else if (depth == 0 && c != ' ' && c != '?' && c != ':' && c != '^' && c != '+' && c != '_') t += c;
    }
    // Drop what follows the class proper: luminosity classes, "sp", "HII", "LINER" ...
    std::size_t keep = 0;
    while (keep < t.size() && (std::isalnum(static_cast<unsigned char>(t[keep])) || t[keep] == '-' || t[keep] == '/'))
        ++keep;
    t.resize(keep);
    if (t.rfind("SAB", 0) == 0) t = "S" + t.substr(3);
    else if (t.rfind("SA", 0) == 0) t = "S" + t.substr(2);
    else if (t.rfind("IAB", 0) == 0 || t.rfind("IB", 0) == 0) t = "IB" + t.substr(t[1] == 'A' ? 3 : 2);
    else if (t.rfind("IA", 0) == 0) t = "I" + t.substr(2);
    if (t == "I" || t == "dIrr" || t == "Ir" || t == "IB" || t == "dI") t = "Irr";
    if (t == "S0-" || t == "S0--") t = "S0";
    if (t == "S0/a") t = "S0-a";
    if (t == "SB0/a") t = "SB0-a";
    if (t.size() >= 2 && t[0] == 'E' && std::isdigit(static_cast<unsigned char>(t[1]))) {
        t.resize(2);
        if (t[1] > '6') t[1] = '6';
    }
    // "Sa-b" style stage ranges keep their first stage.
    std::size_t dash = t.find('-');
    if (dash != std::string::npos && t.rfind("S0-a", 0) != 0 && t.rfind("SB0-a", 0) != 0) t.resize(dash);
    std::size_t slash = t.find('/');
    if (slash != std::string::npos && t.substr(slash) != "/a") t.resize(slash);
    if (peculiar) {
        if (int code = Lookup(t + "/P")) return code;
        if (t.empty()) return Lookup("Pec");
    }
    if (int code = Lookup(t)) return code;
    // A stage the table lacks: fall back to the bare family.
    while (t.size() > 1) {
        t.pop_back();
        if (int code = Lookup(t)) return code;
    }
    return 0;
}

}  // namespace

int ObjectTypeCode(std::string_view type, double ra, double dec) {
    int cloud = MagellanicCloud(ra, dec);
    if (IsGalaxyType(type)) return kTypeGalaxy;
    if (type == "gg") return kTypeGalaxyCluster;
    if (type == "oc") return cloud == 1 ? kTypeOpenClusterLmc : cloud == 2 ? kTypeOpenClusterSmc : kTypeOpenCluster;
    if (type == "gc") return cloud == 1 ? kTypeGlobularLmc : cloud == 2 ? kTypeGlobularSmc : kTypeGlobular;
    if (type == "sfr") return cloud == 1 ? kTypeClusterNebulaLmc : cloud == 2 ? kTypeClusterNebulaSmc : kTypeClusterNebula;
    if (type == "bn" || type == "en" || type == "rn")
        return cloud == 1 ? kTypeDiffuseNebulaLmc : cloud == 2 ? kTypeDiffuseNebulaSmc : kTypeBrightNebula;
    if (type == "dn") return kTypeDarkNebula;
    if (type == "pn") return kTypePlanetaryNebula;
    if (type == "snr") return kTypeSupernovaRemnant;
    if (type == "ast" || type == "pos") return kTypeAsterism;
    if (type == "ds" || type == "**") return kTypeDoubleStar;
    if (type == "star") return kTypeStar;
    return 0;
}

int MorphologyCode(std::string_view type, std::string_view morph) {
    std::string m = Trim(morph.substr(0, morph.find(';')));
    if (IsGalaxyType(type) || type == "gg") return GalaxyMorphology(m);
    std::string compact = WithoutSpaces(m);
    if (int code = Lookup(compact)) return code;
    if (int code = Lookup(m)) return code;
    if (type == "oc" || type == "sfr") {
        // Trumpler classes: drop the nebulosity and uncertainty marks the table lacks.
        std::string t = compact;
        while (!t.empty() && (t.back() == 'n' || t.back() == 'e' || t.back() == ':' || t.back() == '?')) {
            t.pop_back();
            if (int code = Lookup(t)) return code;
        }
    }
    if (type == "pn") return Lookup("PN");
    if (type == "snr") return Lookup("SNR");
    if (type == "en") return Lookup("EN");
    if (type == "rn") return Lookup("RN");
    return 0;
}

std::string_view MorphologyText(int code) {
    if (code < 0 || code >= static_cast<int>(kMorphology.size())) return {};
    return kMorphology[static_cast<std::size_t>(code)];
}

}  // namespace catalog_builder
