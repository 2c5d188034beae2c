#include "settings/gps_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/report.h"
#include "core/settings.h"
#include "scope/serial_port.h"
#include "settings/site_form.h"
#include "shell/fields.h"

char* gpsBuffer = nullptr;

namespace {

constexpr int kGpsBaud = 9600;
constexpr int kSerialBufferBytes = 12288;

// From '$' to the last checksum digit; with the closing CR LF, the 82 characters NMEA
// allows a sentence.
constexpr int kMaxSentence = 80;
constexpr int kMaxFields = 24;

// NMEA widths of the fields read: the address ("GPGGA"), a latitude (ddmm.mmmmm), a
// longitude (dddmm.mmmmm), a hemisphere letter, the GGA fix quality, the RMC status.
constexpr int kAddressWidth = 5;
constexpr int kLatitudeWidth = 12;
constexpr int kLongitudeWidth = 13;
constexpr int kLetterWidth = 1;
// Fraction digits of a minute that count; later ones cannot change whole seconds.
constexpr int kFractionDigits = 6;

struct Field {
    const char* text = nullptr;
    int length = 0;
};

struct Sentence {
    Field fields[kMaxFields];
    int count = 0;

    // Field n, counted from the address (0); a field the sentence lacks is empty.
    Field At(int n) const { return n < count ? fields[n] : Field{}; }
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Splits the sentence whose '$' is at text[start]. It ends at CR or LF; one cut short (by
// the next '$', a 0 or the end of the data) counts only when its checksum proves it whole.
// False for a sentence that is too long, holds a byte NMEA never sends, or has a wrong or
// broken checksum.
bool ReadSentence(const char* text, int length, int start, Sentence* s) {
    int end = start + 1;
    while (end < length && text[end] != '\r' && text[end] != '\n' && text[end] != '$' && text[end] != '\0') {
        const unsigned char c = static_cast<unsigned char>(text[end]);
        if (c < 0x20 || c > 0x7E) return false;
        if (end - start >= kMaxSentence) return false;
        ++end;
    }
    const bool terminated = end < length && (text[end] == '\r' || text[end] == '\n');
    int bodyEnd = end;
    bool checked = false;
    for (int i = start + 1; i < end; ++i) {
        if (text[i] != '*') continue;
        if (end - i != 3) return false;
        const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) return false;
        unsigned sum = 0;
        for (int k = start + 1; k < i; ++k) sum ^= static_cast<unsigned char>(text[k]);
        if (sum != static_cast<unsigned>(high * 16 + low)) return false;
        bodyEnd = i;
        checked = true;
        break;
    }
    if (!terminated && !checked) return false;
    s->count = 0;
    int fieldStart = start + 1;
    for (int i = start + 1; i <= bodyEnd; ++i) {
        if (i < bodyEnd && text[i] != ',') continue;
        if (s->count == kMaxFields) return false;
        s->fields[s->count++] = Field{text + fieldStart, i - fieldStart};
        fieldStart = i + 1;
    }
    return true;
}

// A field as a C string in `out` (of size width + 1); false when it is wider.
bool CopyField(const Field& f, int width, char* out) {
    if (f.length > width) return false;
    if (f.length > 0) std::memcpy(out, f.text, static_cast<std::size_t>(f.length));
    out[f.length] = '\0';
    return true;
}

bool FieldIs(const Field& f, const char* text) {
    const int n = static_cast<int>(std::strlen(text));
    return f.length == n && std::memcmp(f.text, text, static_cast<std::size_t>(n)) == 0;
}

// "GPGGA", "GNRMC" ...: a two-letter talker and the sentence kind.
bool IsAddress(const Field& f, const char* kind) {
    if (f.length != kAddressWidth) return false;
    for (int i = 0; i < 2; ++i)
        if (f.text[i] < 'A' || f.text[i] > 'Z') return false;
    return std::memcmp(f.text + 2, kind, 3) == 0;
}

// ddmm.mmmm or dddmm.mmmm with its hemisphere letter, as "dd°mm'ss H".
int FormatNmeaCoordinate(char* out, const char* field, const char* hemisphere, int degreeDigits, int maxDegrees,
                         char positive, char negative) {
    out[0] = '\0';
    if (!field || !hemisphere) return 0;
    const int length = static_cast<int>(std::strlen(field));
    const int whole = degreeDigits + 2;
    if (length < whole || length > whole + 1 + kFractionDigits + 4) return 0;
    for (int i = 0; i < whole; ++i)
        if (!IsDigit(field[i])) return 0;
    if (length > whole && field[whole] != '.') return 0;
    long fraction = 0, scale = 1;
    for (int i = whole + 1; i < length; ++i) {
        if (!IsDigit(field[i])) return 0;
        if (i - whole <= kFractionDigits) {
            fraction = fraction * 10 + (field[i] - '0');
            scale *= 10;
        }
    }
    int degrees = 0;
    for (int i = 0; i < degreeDigits; ++i) degrees = degrees * 10 + (field[i] - '0');
    const int minutes = (field[degreeDigits] - '0') * 10 + (field[degreeDigits + 1] - '0');
    if (minutes >= 60) return 0;
    if (degrees > maxDegrees || (degrees == maxDegrees && (minutes > 0 || fraction > 0))) return 0;
    const int seconds = static_cast<int>(fraction * 60 / scale);

    const char* h = hemisphere;
    while (*h == ' ' || *h == '\t') ++h;
    const char letter = *h;
    if (letter != positive && letter != negative) return 0;
    for (++h; *h; ++h)
        if (*h != ' ' && *h != '\t') return 0;
    char text[32];
    std::snprintf(text, sizeof text, "%0*d\xB0%02d'%02d %c", degreeDigits, degrees, minutes, seconds, letter);
    std::memcpy(out, text, kGpsTextSize - 1);
    out[kGpsTextSize - 1] = '\0';
    return 1;
}

// The position of a sentence's latitude, hemisphere, longitude and hemisphere fields
// (numbered from the address), when all four are valid.
bool ReadPosition(const Sentence& s, int first, char* latitudeText, char* longitudeText) {
    char latitude[kLatitudeWidth + 1], north[kLetterWidth + 1], longitude[kLongitudeWidth + 1], east[kLetterWidth + 1];
    if (!CopyField(s.At(first), kLatitudeWidth, latitude) || !CopyField(s.At(first + 1), kLetterWidth, north) ||
        !CopyField(s.At(first + 2), kLongitudeWidth, longitude) || !CopyField(s.At(first + 3), kLetterWidth, east))
        return false;
    char lat[kGpsTextSize], lon[kGpsTextSize];
    if (!FormatNmeaLatitude(lat, latitude, north) || !FormatNmeaLongitude(lon, longitude, east)) return false;
    std::memcpy(latitudeText, lat, sizeof lat);
    std::memcpy(longitudeText, lon, sizeof lon);
    return true;
}

// A GGA fix quality of 1 or more: a position was computed.
bool HasGgaFix(const Field& quality) {
    if (quality.length != kLetterWidth || !IsDigit(quality.text[0])) return false;
    return quality.text[0] != '0';
}

}  // namespace

int AllocGpsBuffers() {
    if (gpsBuffer) return 1;
    gpsBuffer = static_cast<char*>(std::calloc(kGpsBufferSize, 1));
    return gpsBuffer ? 1 : 0;
}

void FreeGpsBuffers() {
    std::free(gpsBuffer);
    gpsBuffer = nullptr;
}

int FormatNmeaLatitude(char* out, const char* field, const char* hemisphere) {
    return FormatNmeaCoordinate(out, field, hemisphere, 2, 90, 'N', 'S');
}

int FormatNmeaLongitude(char* out, const char* field, const char* hemisphere) {
    return FormatNmeaCoordinate(out, field, hemisphere, 3, 180, 'E', 'W');
}

int ScanNmeaPosition(const char* text, int length, char* latitudeText, char* longitudeText) {
    if (!text || length <= 0) return 0;
    int found = 0;
    const int last = std::min(kGpsLastSentenceStart, length - 1);
    for (int start = 0; start <= last; ++start) {
        if (text[start] != '$') continue;
        Sentence s;
        if (!ReadSentence(text, length, start, &s)) continue;
        const Field address = s.At(0);
        if (IsAddress(address, "GGA")) {
            // time, latitude, N/S, longitude, E/W, fix quality
            if (HasGgaFix(s.At(6)) && ReadPosition(s, 2, latitudeText, longitudeText)) return 1;
        } else if (IsAddress(address, "RMC")) {
            // time, status, latitude, N/S, longitude, E/W
            if (FieldIs(s.At(2), "A") && ReadPosition(s, 3, latitudeText, longitudeText)) found = 2;
        }
    }
    return found;
}

int ParseNmeaPosition(char* latitudeText, char* longitudeText) {
    if (!gpsBuffer) return 0;
    int n = 0, empty = 0;
    const std::uint32_t start = SerialTicks();
    while (n < kGpsMinimumBytes) {
        if (SerialTicks() - start >= kGpsReadLimitMs) {
            const int found = ScanNmeaPosition(gpsBuffer, n, latitudeText, longitudeText);
            return found ? found : -1;
        }
        const int got = ReadSerial(gpsBuffer + n, kGpsReadBytes);
        ShowBusy(1);
        if (got <= 0) {
            // Successful reads do not forgive earlier empty ones: a receiver that only
            // trickles is given up as well.
            if (++empty > kGpsEmptyReadLimit) return 0;
        } else {
            n += got;
        }
    }
    return ScanNmeaPosition(gpsBuffer, n, latitudeText, longitudeText);
}

int ReadGpsPositionTexts(char* latitudeText, char* longitudeText) {
    const int port = preferences.word[pref::gpsPort];
    if (port <= 0) {
        ShowMessage("No GPS port selected.", "");
        return 0;
    }
    ShowBusy(1);
    ClearSerialAuxFlag();
    if (!OpenSerialPort(port, kGpsBaud)) {
        ClearSerialAuxFlag();
        HideBusy();
        char name[64];
        GetComPortName(port, name, sizeof name);
        if (!name[0]) std::snprintf(name, sizeof name, "Port %d is not in the list of serial ports.", port);
        ShowMessage("Can't open the GPS port.", name);
        return 0;
    }
    SetupSerialBuffers(kSerialBufferBytes);
    char latitude[kGpsTextSize] = "", longitude[kGpsTextSize] = "";
    int found = 0;
    const int made = AllocGpsBuffers();
    if (made) found = ParseNmeaPosition(latitude, longitude);
    FreeGpsBuffers();
    // The port goes back to the mount drivers and the camera closed, whatever the hold
    // flag said when the read began.
    ClearSerialAuxFlag();
    HideBusy();
    if (!made) {
        ShowMessage("Can't allocate memory for the GPS buffer", "");
        return 0;
    }
    if (found < 0) {
        ShowMessage("No position from the GPS receiver",
                    "It sent too little within 10 seconds. Check that it is on and sends NMEA at 9600 baud "
                    "on the GPS port.");
        return 0;
    }
    if (!found) {
        ShowMessage("No GPS position received.",
                    "Check that the receiver is on, has a fix and sends NMEA at 9600 baud on the GPS port.");
        return 0;
    }
    std::memcpy(latitudeText, latitude, sizeof latitude);
    std::memcpy(longitudeText, longitude, sizeof longitude);
    return 1;
}

void ReadGpsPosition() {
    char latitude[kGpsTextSize], longitude[kGpsTextSize];
    if (!ReadGpsPositionTexts(latitude, longitude)) return;
    SetField(kSiteLatitudeField, latitude);
    SetField(kSiteLongitudeField, longitude);
    DrawSiteFields();
}
