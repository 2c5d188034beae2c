#include "tools/catalog_builder/names.h"
#include "platform/paths.h"

#include <array>
#include <cctype>
#include <cstdint>

namespace catalog_builder {

namespace {

// Row order of the program's constellation list; Cancer stands twice (11 and 22) and the
// boundary table uses 22, so lookups by abbreviation must find 22.
constexpr std::array<std::string_view, 89> kConstellations = {
    "And", "Ant", "Aps", "Aql", "Aqr", "Ari", "Ara", "Aur", "Boo", "Cae", "Cam", "Cnc", "Cap",
    "Car", "Cas", "Cen", "Cep", "Cet", "Cha", "Cir", "CMa", "CMi", "Cnc", "Col", "Com", "CrA",
    "CrB", "Crt", "Cru", "Crv", "CVn", "Cyg", "Del", "Dor", "Dra", "Equ", "Eri", "For", "Gem",
    "Gru", "Her", "Hor", "Hya", "Hyi", "Ind", "Lac", "Leo", "Lep", "Lib", "LMi", "Lup", "Lyn",
    "Lyr", "Men", "Mic", "Mon", "Mus", "Nor", "Oct", "Oph", "Ori", "Pav", "Peg", "Per", "Phe",
    "Pic", "PsA", "Psc", "Pup", "Pyx", "Ret", "Scl", "Sco", "Sct", "Ser", "Sex", "Sge", "Sgr",
    "Tau", "Tel", "TrA", "Tri", "Tuc", "UMa", "UMi", "Vel", "Vir", "Vol", "Vul"};

struct Greek {
    std::string_view abbreviation;
    std::string_view name;
    std::string_view utf8;
    char symbol;
};
constexpr std::array<Greek, 24> kGreek = {{
    {"Alp", "Alpha", "\xCE\xB1", 'a'},   {"Bet", "Beta", "\xCE\xB2", 'b'},
    {"Gam", "Gamma", "\xCE\xB3", 'g'},   {"Del", "Delta", "\xCE\xB4", 'd'},
    {"Eps", "Epsilon", "\xCE\xB5", 'e'}, {"Zet", "Zeta", "\xCE\xB6", 'z'},
    {"Eta", "Eta", "\xCE\xB7", 'h'},     {"The", "Theta", "\xCE\xB8", 'q'},
    {"Iot", "Iota", "\xCE\xB9", 'i'},    {"Kap", "Kappa", "\xCE\xBA", 'k'},
    {"Lam", "Lambda", "\xCE\xBB", 'l'},  {"Mu", "Mu", "\xCE\xBC", 'm'},
    {"Nu", "Nu", "\xCE\xBD", 'n'},       {"Xi", "Xi", "\xCE\xBE", 'x'},
    {"Omi", "Omicron", "\xCE\xBF", 'o'}, {"Pi", "Pi", "\xCF\x80", 'p'},
    {"Rho", "Rho", "\xCF\x81", 'r'},     {"Sig", "Sigma", "\xCF\x83", 's'},
    {"Tau", "Tau", "\xCF\x84", 't'},     {"Ups", "Upsilon", "\xCF\x85", 'u'},
    {"Phi", "Phi", "\xCF\x86", 'f'},     {"Chi", "Chi", "\xCF\x87", 'c'},
    {"Psi", "Psi", "\xCF\x88", 'y'},     {"Ome", "Omega", "\xCF\x89", 'w'},
}};


// Latin letters with accents that Windows-1252 lacks, by their plain letter.
char PlainLetter(std::uint32_t cp) {
    struct Fold { std::uint32_t from, to; char letter; };
    static constexpr Fold kFolds[] = {
        {0x100, 0x105, 'a'}, {0x106, 0x10D, 'c'}, {0x10E, 0x111, 'd'}, {0x112, 0x11B, 'e'},
        {0x11C, 0x123, 'g'}, {0x124, 0x127, 'h'}, {0x128, 0x131, 'i'}, {0x134, 0x135, 'j'},
        {0x136, 0x138, 'k'}, {0x139, 0x142, 'l'}, {0x143, 0x14B, 'n'}, {0x14C, 0x151, 'o'},
        {0x154, 0x159, 'r'}, {0x15A, 0x161, 's'}, {0x162, 0x167, 't'}, {0x168, 0x173, 'u'},
        {0x174, 0x175, 'w'}, {0x176, 0x178, 'y'}, {0x179, 0x17E, 'z'}};
    for (const auto& f : kFolds)
        if (cp >= f.from && cp <= f.to) {
            bool upper = ((cp - f.from) % 2) == 0 && cp != 0x131 && cp != 0x138;
            return upper ? static_cast<char>(std::toupper(f.letter)) : f.letter;
        }
    return 0;
}

int Cp1252Byte(std::uint32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    if (cp >= 0xA0 && cp <= 0xFF) return static_cast<int>(cp);
    struct Pair { std::uint32_t cp; int byte; };
    static constexpr Pair kHigh[] = {
        {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85},
        {0x2020, 0x86}, {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A},
        {0x2039, 0x8B}, {0x0152, 0x8C}, {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92},
        {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95}, {0x2013, 0x96}, {0x2014, 0x97},
        {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B}, {0x0153, 0x9C},
        {0x017E, 0x9E}, {0x0178, 0x9F}};
    for (const auto& p : kHigh)
        if (p.cp == cp) return p.byte;
    return -1;
}

}  // namespace

int ConstellationNumber(std::string_view abbreviation) {
    if (platform::EqualNoCase(abbreviation, "Cnc")) return 22;
    for (std::size_t i = 0; i < kConstellations.size(); ++i)
        if (platform::EqualNoCase(abbreviation, kConstellations[i])) return static_cast<int>(i);
    return -1;
}

std::string_view ConstellationAbbreviation(int number) {
    if (number < 0 || number >= static_cast<int>(kConstellations.size())) return {};
    return kConstellations[static_cast<std::size_t>(number)];
}

int GreekLetterIndex(std::string_view letter) {
    for (std::size_t i = 0; i < kGreek.size(); ++i)
        if (platform::EqualNoCase(letter, kGreek[i].abbreviation) || platform::EqualNoCase(letter, kGreek[i].name) ||
            letter == kGreek[i].utf8)
            return static_cast<int>(i);
    // The final sigma and the variant forms of theta and phi.
    if (letter == "\xCF\x82") return 17;
    if (letter == "\xCF\x91") return 7;
    if (letter == "\xCF\x95") return 20;
    return -1;
}

char GreekSymbolChar(int index) {
    if (index < 0 || index >= static_cast<int>(kGreek.size())) return 0;
    return kGreek[static_cast<std::size_t>(index)].symbol;
}

std::string_view GreekName(int index) {
    if (index < 0 || index >= static_cast<int>(kGreek.size())) return {};
    return kGreek[static_cast<std::size_t>(index)].name;
}

std::string ToProgramText(std::string_view s) {
    std::string out;
    std::size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        std::uint32_t cp = c;
        std::size_t len = 1;
        if (c >= 0xF0 && i + 3 < s.size()) {
            cp = ((c & 0x07u) << 18) | ((s[i + 1] & 0x3Fu) << 12) | ((s[i + 2] & 0x3Fu) << 6) | (s[i + 3] & 0x3Fu);
            len = 4;
        } else if (c >= 0xE0 && i + 2 < s.size()) {
            cp = ((c & 0x0Fu) << 12) | ((s[i + 1] & 0x3Fu) << 6) | (s[i + 2] & 0x3Fu);
            len = 3;
        } else if (c >= 0xC0 && i + 1 < s.size()) {
            cp = ((c & 0x1Fu) << 6) | (s[i + 1] & 0x3Fu);
            len = 2;
        } else if (c >= 0x80) {
            cp = 0xFFFD;  // a stray continuation byte
        }
        i += len;
        if (cp == 0x2009 || cp == 0x00A0 || cp == 0x202F) cp = ' ';  // thin and no-break spaces
        if (cp == 0x2212) cp = '-';
        if (cp == 0x200E || cp == 0x200F || cp == 0xFEFF) continue;  // direction marks
        int b = Cp1252Byte(cp);
        if (b >= 0) {
            out += static_cast<char>(b);
        } else if (char plain = PlainLetter(cp)) {
            out += plain;
        }
    }
    return Trim(out);
}

std::string Trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

}  // namespace catalog_builder
