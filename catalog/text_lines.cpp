#include "catalog/text_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/constellation_boundaries.h"
#include "catalog/byte_order.h"
#include "catalog/constellations.h"
#include "catalog/object_types.h"
#include "catalog/selection_hooks.h"
#include "core/number_text.h"

namespace {

// Catalog places are for J2000.0; log entries name the constellation of 2000 January 1, 0 h.
constexpr double kJ2000 = 2451545.0;
constexpr double kLogEpoch = 2451544.5;

void TrimTrailingBlanks(char* text) {
    std::size_t n = std::strlen(text);
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\t')) text[--n] = '\0';
}

// The fields of one line in order. Once a field has ended its line, every later field is
// missing: a short line never takes its fields from the next one.
class LineFields {
public:
    explicit LineFields(std::string_view line) : text_(line) {}

    bool Text(char* dst, int max) {
        if (ended_) {
            dst[0] = '\0';
            return false;
        }
        used_ += ReadField(text_.substr(used_), dst, max, &ended_);
        return true;
    }
    bool Trimmed(char* dst, int max) {
        if (!Text(dst, max)) return false;
        TrimTrailingBlanks(dst);
        return true;
    }
    bool Double(double* out) {
        char field[30];
        if (!Text(field, 29)) return false;
        *out = StrToDouble(field);
        return true;
    }
    // A value a float cannot hold is a bad field.
    bool Float(float* out) {
        double v = 0;
        if (!Double(&v) || !(std::fabs(v) <= 3.0e38)) return false;
        *out = static_cast<float>(v);
        return true;
    }
    bool Int(std::int32_t* out) {
        char field[30];
        if (!Text(field, 29)) return false;
        *out = StrToInt(field);
        return true;
    }
    // A decimal stored as ten times its value.
    bool Tenths(std::int32_t* out) {
        double v = 0;
        if (!Double(&v)) return false;
        if (!std::isfinite(v) || std::fabs(v) > 1e8) return false;
        *out = static_cast<std::int32_t>(std::lround(v * 10));
        return true;
    }
    bool Ended() const { return ended_; }
    // Takes the ';' that begins the next line of an export (the empty last field).
    void TakeLeadingSeparator() {
        if (used_ < text_.size() && text_[used_] == ';') ++used_;
    }
    int Used() const { return static_cast<int>(used_); }
    // The bytes of the whole line: fields past the last one read are passed over.
    int Finish() {
        char skipped[2];
        while (!ended_) Text(skipped, 0);
        return Used();
    }

private:
    std::string_view text_;
    std::size_t used_ = 0;
    bool ended_ = false;
};

int TypeCodeOfName(const char* name) {
    for (int i = 0; i < kObjectTypeCount; ++i)
        if (std::strcmp(ObjectTypeTable[i].name, name) == 0) return i;
    return 0;
}

const char* TypeName(int code) { return code >= 0 && code < kObjectTypeCount ? ObjectTypeTable[code].name : ""; }

bool IsBlank(const char* text) { return text[std::strspn(text, " ")] == '\0'; }

int Constellation(double ra, double dec, double jd) { return std::max(0, FindConstellation(ra, dec, jd)); }

// Appends a field; an empty text is written as one blank. A ';' or a line end typed in a
// text would end its field and shift the rest of the line: they are written as ',' and ' '.
void Put(std::string& buffer, std::string_view text) {
    if (text.empty()) text = " ";
    for (const char c : text) buffer += c == ';' ? ',' : (c == '\r' || c == '\n') ? ' ' : c;
}

std::string Fixed1(double value) {
    char text[32];
    FormatFixed(text, value, 1);
    return text;
}

std::string Hours(double hours) {
    char text[24];
    return HMSToStr(text, sizeof text, hours);
}

std::string Degrees(double degrees) {
    char text[24];
    return DMSToStr(text, sizeof text, degrees);
}

// The day, month and year of a date in the order the device writes them.
void ReadDate(const char* text, int* day, int* month, int* year) {
    char probe[40];
    FormatDateHook(probe, 31, 12, 2000);
    const bool monthFirst = std::strncmp(probe, "12", 2) == 0;
    int v[3] = {0, 0, 0};
    const char* p = text;
    for (int k = 0; k < 3; ++k) {
        while (*p && (*p < '0' || *p > '9')) ++p;
        while (*p >= '0' && *p <= '9') v[k] = std::min(v[k] * 10 + (*p++ - '0'), 100000);
    }
    *day = monthFirst ? v[1] : v[0];
    *month = monthFirst ? v[0] : v[1];
    *year = v[2];
}

}  // namespace

int ReadField(std::string_view text, char* dst, int max, bool* atLineEnd) {
    std::size_t i = 0;
    int kept = 0;
    while (i < text.size() && text[i] != ';' && text[i] != '\r' && text[i] != '\n' && text[i] != '\0') {
        if (kept < max) dst[kept++] = text[i];
        ++i;
    }
    dst[kept] = '\0';
    bool lineEnd = true;
    if (i < text.size() && text[i] == ';') {
        ++i;
        lineEnd = false;
    }
    const std::size_t before = i;
    while (i < text.size() && text[i] == '\r') ++i;
    while (i < text.size() && text[i] == '\n') ++i;
    if (i > before || i >= text.size() || text[i] == '\0') lineEnd = true;
    if (atLineEnd) *atLineEnd = lineEnd;
    return static_cast<int>(i);
}

int LineLength(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] != '\r' && text[i] != '\n' && text[i] != '\0') ++i;
    if (i >= text.size() || text[i] == '\0') return -1;
    while (i < text.size() && text[i] == '\r') ++i;
    while (i < text.size() && text[i] == '\n') ++i;
    return static_cast<int>(i);
}

int ParseEyepieceLine(std::string_view line, EyepieceRecord& out) {
    out = EyepieceRecord{};
    LineFields f(line);
    if (!f.Trimmed(out.brand, 25)) return -1;
    if (!f.Text(out.brandCode, 3)) return -2;
    if (!f.Trimmed(out.name, 31)) return -3;
    if (!f.Float(&out.focalLength)) return -4;
    if (!f.Float(&out.apparentField)) return -5;
    if (!(out.focalLength > 0) || !(out.apparentField > 0)) return -1;
    return f.Finish();
}

int ParseLocationLine(std::string_view line, LocationRecord& out) {
    out = LocationRecord{};
    LineFields f(line);
    if (!f.Text(out.country, 20)) return -1;
    if (!f.Text(out.countryCode, 2)) return -2;
    if (!f.Trimmed(out.town, 22)) return -3;
    if (!f.Float(&out.longitude)) return -4;
    if (!f.Float(&out.latitude)) return -5;
    double zone = 0;
    if (!f.Double(&zone)) return -6;
    if (out.longitude == 0 || out.latitude == 0 || std::fabs(out.longitude) > 180 || std::fabs(out.latitude) > 90)
        return -1;
    if (!(std::fabs(zone) <= 24)) return -6;
    out.zoneMinutes = static_cast<std::int16_t>(zone * 60);
    return f.Finish();
}

int ParseUserObjectLine(std::string_view line, ObjectRef& out) {
    out = ObjectRef{};
    LineFields f(line);
    char text[kFieldMax + 1];
    if (!f.Text(text, 30)) return -1;
    int catalog = kCatalogUser;
    for (int row = 0; row < kCatalogCount; ++row)
        if (std::strcmp(CatalogTable[row].prefix, text) == 0) {
            catalog = row;
            break;
        }
    const bool blankPrefix = catalog != kCatalogUser && IsBlank(CatalogTable[catalog].prefix);
    std::int32_t number = 0;
    if (!f.Int(&number)) return -2;
    out.number = static_cast<std::uint32_t>(number);
    if (!f.Text(out.name, kObjectNameSize - 1)) return -3;
    if (!f.Text(text, 30)) return -4;
    out.type = TypeCodeOfName(text);
    // Planets and constellations share the blank prefix: the type tells them apart.
    if (blankPrefix && out.type >= 0 && ObjectTypeTable[out.type].typeClass == kClassPlanet) catalog = kCatalogPlanet;
    out.catalog = static_cast<std::uint32_t>(catalog);
    if (!f.Text(text, 30)) return -5;
    std::strcat(text, "        ");
    for (int code = 0; code < kMorphologyCount; ++code) {
        char morphology[kTypeCodeTextSize];
        GetTypeCodeText(morphology, code);
        if (std::strncmp(morphology, text, 7) == 0) {
            out.morphology = static_cast<std::int16_t>(code);
            break;
        }
    }
    if (!f.Text(text, 29)) return -6;
    const double ra = DmsStrToDeg(text);
    if (!(ra >= 0 && ra < 24)) return -6;
    if (!f.Text(text, 29)) return -7;
    const double dec = DmsStrToDeg(text);
    if (!(dec >= -90 && dec <= 90)) return -7;
    out.ra = static_cast<float>(ra);
    out.dec = static_cast<float>(dec);
    if (!f.Float(&out.magnitude)) return -8;
    if (!f.Float(&out.sizeA)) return -9;
    if (!f.Float(&out.sizeB)) return -10;
    std::int32_t flags = 0;
    if (!f.Int(&flags)) return -11;
    out.flag = static_cast<std::int16_t>(flags & 0xFF);
    // The distance is optional; an exported line ends here, and the ';' that begins the
    // next exported line is the empty field in its place.
    if (f.Ended()) f.TakeLeadingSeparator();
    else if (!f.Float(&out.distance)) return -12;
    if (!std::isfinite(out.magnitude) || !std::isfinite(out.sizeA) || !std::isfinite(out.sizeB) ||
        !std::isfinite(out.distance))
        return -8;
    out.constellation = Constellation(ra, dec, kJ2000);
    return f.Finish();
}

void FormatUserObjectLine(std::string& buffer, const SelectionRecord& r) {
    const auto field = [&](std::string_view text) {
        if (!buffer.empty()) buffer += ';';
        Put(buffer, text);
    };
    const bool knownCatalog = r.catalogCode >= 0 && r.catalogCode < kCatalogCount;
    field(knownCatalog ? CatalogTable[r.catalogCode].prefix : CatalogTable[kCatalogUser].prefix);
    field(std::to_string(r.objectNumber));
    field(std::string(r.label, strnlen(r.label, sizeof r.label)));
    field(TypeName(r.typeCode));
    char morphology[kTypeCodeTextSize];
    GetTypeCodeText(morphology, static_cast<std::uint8_t>(r.morphology));
    field(morphology);
    field(Hours(r.rightAscension));
    field(Degrees(r.declination));
    field(Fixed1(r.magnitude10 / 10.0));
    field(std::to_string(r.sizeA));
    field(std::to_string(r.sizeB));
    field(std::to_string(r.flagValue));
    buffer += '\n';
}

void FormatObserverLogLine(std::string& buffer, const ObserverLogEntry& e) {
    const auto field = [&](std::string_view text) {
        Put(buffer, text);
        buffer += ';';
    };
    char text[64];
    FormatDateHook(text, e.day, e.month, e.year);
    field(text);
    std::snprintf(text, sizeof text, "%02d:%02d", e.hour, e.minute);
    field(text);
    field(e.name);
    field(Hours(e.rightAscension));
    field(Degrees(e.declination));
    field(TypeName(e.typeCode));
    field(Fixed1(e.magnitude10 / 10.0));
    field(ConstellationTable[Constellation(e.rightAscension, e.declination, kLogEpoch)].abbreviation);
    field(std::to_string(e.moonPercent) + "%");
    field(std::to_string(e.sunAltitude) + "\xB0");
    field(Fixed1(e.visualLimit10 / 10.0));
    field(std::to_string(e.transparency));
    field(std::to_string(e.seeing));
    field(e.scope);
    field(e.location);
    field(e.filter);
    field(e.comments);
    field(std::to_string(e.eyepiece));
    field(std::to_string(e.ease));
    field(std::to_string(e.brightness));
    buffer += '\n';
}

int ParseObserverLogLine(std::string_view line, ObserverLogEntry& out) {
    out = ObserverLogEntry{};
    LineFields f(line);
    char text[kFieldMax + 1];
    if (!f.Text(text, 29)) return -1;
    ReadDate(text, &out.day, &out.month, &out.year);
    if (out.month < 1 || out.month > 12 || out.day < 1 || out.day > 31) return -1;
    if (!f.Text(text, 29)) return -2;
    int hour = 0, minute = 0;
    ParseSexagesimal(text, ':', &hour, &minute, nullptr);
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return -2;
    out.hour = hour;
    out.minute = minute;
    if (!f.Trimmed(out.name, sizeof out.name - 1)) return -3;
    if (!f.Text(text, 29)) return -4;
    const double ra = HmsStrToHours(text);
    if (!(ra >= 0 && ra < 24)) return -4;
    if (!f.Text(text, 29)) return -5;
    const double dec = DmsStrToDeg(text);
    if (!(dec >= -90 && dec <= 90)) return -5;
    out.rightAscension = static_cast<float>(ra);
    out.declination = static_cast<float>(dec);
    if (!f.Text(text, 38)) return -6;
    out.typeCode = TypeCodeOfName(text);
    if (!f.Tenths(&out.magnitude10)) return -7;
    if (!f.Text(text, 29)) return -8;  // found again from the position
    if (!f.Int(&out.moonPercent)) return -9;
    if (!f.Int(&out.sunAltitude)) return -10;
    if (!f.Tenths(&out.visualLimit10)) return -11;
    if (!f.Int(&out.transparency)) return -12;
    if (!f.Int(&out.seeing)) return -13;
    if (!f.Trimmed(out.scope, sizeof out.scope - 1)) return -14;
    if (!f.Trimmed(out.location, sizeof out.location - 1)) return -15;
    if (!f.Trimmed(out.filter, sizeof out.filter - 1)) return -16;
    if (!f.Trimmed(out.comments, sizeof out.comments - 1)) return -17;
    if (!f.Int(&out.eyepiece)) return -18;
    if (!f.Int(&out.ease)) return -19;
    if (!f.Int(&out.brightness)) return -20;
    out.constellation = Constellation(ra, dec, kLogEpoch);
    out.magic = kObserverLogMagic;
    return f.Finish();
}

void FormatSatelliteLine(std::string& buffer, std::string_view elements) {
    elements = elements.substr(0, std::min(elements.size(), elements.find('\0')));
    for (std::size_t piece = 0; piece < 3; ++piece) {
        const std::size_t at = std::min(elements.size(), piece * 71);
        buffer += elements.substr(at, 71);
        buffer += '\n';
    }
}
