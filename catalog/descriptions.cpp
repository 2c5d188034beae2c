#include "catalog/descriptions.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "catalog/databases.h"
#include "catalog/designations.h"
#include "catalog/records.h"
#include "core/report.h"
#include "core/startup_alloc.h"

char* dreyerLong = nullptr;

bool AllocDescriptionBuffer() {
    return StartupAllocate(dreyerLong, 1, kDreyerLongSize, "Can't allocate memory dreyerLong");
}

void FreeDescriptionBuffer() { StartupRelease(dreyerLong); }

// ---------------------------------------------------------------------------------------

int GetDreyerDescription(std::uint32_t catalog, std::uint32_t number, char* out) {
    if (out) out[0] = '\0';
    bool failed = false;
    const std::uint8_t* rec = FindKeyedRecord(descriptionDb.get(), static_cast<std::int32_t>(catalog),
                                              static_cast<std::int32_t>(number), false, 4, &failed);
    if (failed) {
        ShowMessage("Error during Dreyer description search", "");
        return 0;
    }
    if (!rec) return 0;
    if (out) {
        const std::size_t field = descriptionDb->recordSize > kDreyerTextOffset
                                      ? descriptionDb->recordSize - kDreyerTextOffset
                                      : 0;
        const char* text = reinterpret_cast<const char*>(rec + kDreyerTextOffset);
        const std::size_t limit = std::min(field, kDreyerDescriptionLength);
        const std::size_t length = static_cast<std::size_t>(std::find(text, text + limit, '\0') - text);
        std::memcpy(out, text, length);
        out[length] = '\0';
    }
    return 1;
}

// ---------------------------------------------------------------------------------------

namespace {

constexpr DreyerAbbreviation kTableAM[] = {
    {"!!!", "a magnificent"},
    {"!!", "very remarkable"},
    {"!", "remarkable"},
    {"***", "triple star"},
    {"**", "double star"},
    {"*", "star"},
    {"alm", "almost"},
    {"app", "appended"},
    {"att", "attached"},
    {"am", "among"},
    {"Ab", "about"},
    {"biN", "binuclear"},
    {"be", "between"},
    {"bf", "brightest towards the following side"},
    {"bn", "brightest towards the north side"},
    {"bp", "brightest towards the preceding side"},
    {"bs", "brightest towards the south side"},
    {"b", "brighter"},
    {"B", "bright"},
    {"cont", "in contact"},
    {"com", "cometic"},
    {"ch", "chevelure"},
    {"co", "coarse, coarsely"},
    {"close", "close"},
    {"cl.", "cluster"},
    {"c", "considerably"},
    {"Cl", "cluster"},
    {"C", "compressed"},
    {"diffic", "difficult"},
    {"dist", "distance"},
    {"def", "defined"},
    {"dif", "diffused"},
    {"d", "diameter"},
    {"D", "double"},
    {"exc", "excentric"},
    {"ee", "most extremely"},
    {"er", "easily resolvable"},
    {"e", "extremely"},
    {"E", "extended"},
    {"f", "following"},
    {"F", "faint"},
    {"gr", "group"},
    {"glob.", "globular"},
    {"g", "gradually"},
    {"inv", "involved"},
    {"iF", "irregular figure"},
    {"i", "irregular"},
};

// Entries hidden by an earlier one ("p" = "preceding", "st" = "stars", "s" = "suddenly",
// "stell") stay in the table as the descriptions were written for them.
constexpr DreyerAbbreviation kTableNZ[] = {
    {"l", "little"},
    {"L", "large"},
    {"mm", "mixed magnitudes"},
    {"mn", "milky nebulosity"},
    {"m", "much"},
    {"M", "middle"},
    {"neby", "nebulosity"},
    {"neb", "nebula"},
    {"nf", "north following"},
    {"np", "north preceding"},
    {"nr", "near"},
    {"n", "north"},
    {"N", "Nucleus"},
    {"prob", "probably"},
    {"pg", "pretty gradually"},
    {"pm", "pretty much"},
    {"ps", "pretty suddenly"},
    {"p", "pretty"},
    {"p", "preceding"},
    {"PN", "planetary nebula"},
    {"P", "poor"},
    {"quad", "quadrilateral"},
    {"quar", "quartile"},
    {"rrr", "well resolved"},
    {"rr", "partially relolved"},
    {"r", "resolvable"},
    {"Ri", "rich in stars"},
    {"RR", "exactly round"},
    {"R", "round"},
    {"st", "stars from"},
    {"stell", "stellar"},
    {"susp", "suspected"},
    {"sev", "several"},
    {"sc", "scattered"},
    {"sf", "south following"},
    {"sh", "shaped"},
    {"sm", "smaller"},
    {"sp", "south preceding"},
    {"st", "stars"},
    {"s", "south"},
    {"s", "suddenly"},
    {"S", "small"},
    {"trap", "trapezium"},
    {"triN", "trinuclear"},
    {"var", "variable"},
    {"vv", "very, very"},
    {"v", "very"},
    {"w", "with"},
    {"...", " to "},
};

bool StartsWith(const char* at, const char* abbreviation) {
    return std::strncmp(at, abbreviation, std::strlen(abbreviation)) == 0;
}

// The output length after which the expansion ends, and the one at which a number run
// stops copying.
constexpr std::size_t kExpansionEnd = 190;
constexpr std::size_t kNumberRunEnd = 195;

}  // namespace

std::span<const DreyerAbbreviation> DreyerTableAM() { return kTableAM; }
std::span<const DreyerAbbreviation> DreyerTableNZ() { return kTableNZ; }

const DreyerAbbreviation* MatchDreyerAM(const char* at) {
    if (!at) return nullptr;
    for (const DreyerAbbreviation& entry : kTableAM)
        if (StartsWith(at, entry.abbreviation)) return &entry;
    return nullptr;
}

const DreyerAbbreviation* MatchDreyerNZ(const char* at) {
    if (!at) return nullptr;
    for (const DreyerAbbreviation& entry : kTableNZ) {
        if (!StartsWith(at, entry.abbreviation)) continue;
        // "pm" reads "pretty much" only before an 'i'; elsewhere it is "p" then "m".
        if (std::strcmp(entry.abbreviation, "pm") == 0 && at[2] != 'i') continue;
        return &entry;
    }
    return nullptr;
}

void ExpandDreyer(const char* input, char* output, std::size_t size) {
    if (!input || !output || size == 0) return;
    const std::size_t length = std::strlen(input);
    if (length == 0) return;

    std::size_t i = 0;  // the input character the step starts at, then the last it used
    std::size_t o = 0;  // output written so far
    std::string step;
    output[0] = '\0';
    do {
        step.clear();
        const char c = input[i];
        const DreyerAbbreviation* entry = nullptr;
        if (c == ',') {
            step = ", ";
        } else if ((entry = MatchDreyerAM(input + i)) || (entry = MatchDreyerNZ(input + i))) {
            step = entry->expansion;
            step += ' ';
            i += std::strlen(entry->abbreviation) - 1;
        } else {
            step = c;
            auto next = [&] { return input[i + 1]; };
            if (c >= '0' && c <= '9') {
                // A number and what is glued to it ("9...13", "10m") stay as written.
                while (next() != '\0' && next() != ' ' && next() != ',' && o + step.size() < kNumberRunEnd)
                    step += input[++i];
            } else if (c == '=') {
                // "=x" names another catalog; its letter is dropped and the rest kept.
                if (next() != '\0') {
                    ++i;
                    while (next() != '\0' && next() != ' ') step += input[++i];
                }
            } else if (c == '(') {
                while (next() != '\0' && next() != ')') step += input[++i];
            }
        }
        if (o + step.size() + 1 > size) break;
        std::memcpy(output + o, step.data(), step.size());
        o += step.size();
        output[o] = '\0';
        if (o > kExpansionEnd) break;
        ++i;
    } while (i < length);
}

// ---------------------------------------------------------------------------------------

int GetDreyerTexts(const ObjectRef* object, char* raw, char* expanded, std::size_t expandedSize) {
    if (!object || !raw || !expanded || expandedSize == 0) return 0;
    if (object->type == 27) return 0;
    switch (object->catalog) {
        case kCatalogNone:
        case kCatalogComet:
        case kCatalogConstellation:
        case kCatalogHipparcos:
        case kCatalogHr:
        case kCatalogMeteor:
        case kCatalogPlanet:
        case kCatalogSao:
        case kCatalogBrightStar:
        case kCatalogTycho:
        case kCatalogUser:
            return 0;
        default:
            break;
    }
    if (!GetDreyerDescription(object->catalog, object->number, raw)) return 0;
    expanded[0] = '\0';
    ExpandDreyer(raw, expanded, expandedSize);
    return 1;
}
