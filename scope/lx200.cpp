#include "scope/lx200.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angle_text.h"
#include "core/report.h"
#include "core/settings.h"
#include "scope/serial_port.h"

MeadeState meadeState;

namespace {

constexpr unsigned char kDegreeMark = 223;
constexpr double kHalfSecond = 1.0 / 7200.0;

int Drive() { return preferences.word[pref::scopeDrive]; }
bool IsMagellan(int drive) { return drive == 6 || drive == 7; }

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Whether `text` of `n` bytes has the form of `pattern`: '9' a digit, 's' a sign, 'd' the
// degree mark (any byte that is neither a digit nor '#', as mounts differ), anything
// else itself.
bool HasForm(const char* text, int n, const char* pattern) {
    if (n != static_cast<int>(std::strlen(pattern))) return false;
    for (int i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (pattern[i]) {
            case '9': if (!IsDigit(c)) return false; break;
            case 's': if (c != '+' && c != '-') return false; break;
            case 'd': if (IsDigit(c) || c == '#') return false; break;
            default: if (c != static_cast<unsigned char>(pattern[i])) return false; break;
        }
    }
    return true;
}

// Sends a command; on failure "Fail to send string" with the command.
bool Send(const char* command) {
    if (WriteSerialText(command)) return true;
    ShowMessage("Fail to send string", command);
    return false;
}

// Reads single bytes until `stop` has been read or none comes (kNoStop: until none
// comes); the bytes before `stop` go to `text` (as many as fit).
constexpr int kNoStop = -1;
void ReadUntil(int stop, char* text, std::size_t size) {
    std::size_t n = 0;
    unsigned char c;
    while (ReadSerial(&c, 1) == 1 && c != stop) {
        if (text && n + 1 < size) text[n++] = static_cast<char>(c);
    }
    if (text && size > 0) text[n] = '\0';
}

// Whole units, minutes and the remaining fraction of a minute of a non-negative value,
// with half a second added first.
void Split(double value, int* whole, int* minutes, double* minuteFraction) {
    value += kHalfSecond;
    *whole = static_cast<int>(value);
    const double m = (value - *whole) * 60.0;
    *minutes = static_cast<int>(m);
    *minuteFraction = m - *minutes;
}

bool SendTarget(double raHours, double decDeg) {
    char command[32];
    char reply[4];
    FormatMeadeRa(command, sizeof command, raHours, meadeState.highPrecision != 0);
    if (!Send(command)) return false;
    ReadSerial(reply, 1);
    if (Drive() == 17 && !Send(":ON#")) return false;
    FormatMeadeDec(command, sizeof command, decDeg, meadeState.highPrecision != 0);
    if (!Send(command)) return false;
    ReadSerial(reply, 1);
    return true;
}

void EmulatedStop() {
    MeadeState& m = meadeState;
    m.targetRa = m.ra;
    m.targetDec = m.dec;
    m.raStep = 0.0;
    m.decStep = 0.0;
}

void EmulatedQuery(double* raHours, double* decDeg) {
    MeadeState& m = meadeState;
    if (m.raStep != 0.0) m.ra += m.raStep;
    else if (std::fabs(m.targetRa - m.ra) > 1.0 / 15.0) m.ra += 0.1 * (m.targetRa - m.ra);
    else m.ra = m.targetRa;
    if (m.ra >= 24.0) m.ra -= 24.0;
    if (m.ra < 0.0) m.ra += 24.0;
    if (m.decStep != 0.0) m.dec += m.decStep;
    else if (std::fabs(m.targetDec - m.dec) > 1.0) m.dec += 0.1 * (m.targetDec - m.dec);
    else m.dec = m.targetDec;
    if (m.dec >= 90.0) m.dec = 90.0;
    if (m.dec < -90.0) m.dec = -90.0;
    *raHours = m.ra;
    *decDeg = m.dec;
}

}  // namespace

void FormatMeadeRa(char* out, std::size_t size, double raHours, bool highPrecision) {
    double ra = std::fmod(raHours, 24.0);
    if (ra < 0.0) ra += 24.0;
    int h, m;
    double rest;
    Split(ra, &h, &m, &rest);
    // From 23h59m59.5s on the rounding carries into hour 24, which mounts refuse.
    if (h >= 24) h -= 24;
    if (highPrecision) std::snprintf(out, size, "#:Sr %02d:%02d:%02d#", h, m, static_cast<int>(rest * 60.0));
    else std::snprintf(out, size, "#:Sr %02d:%02d.%d#", h, m, static_cast<int>(rest * 10.0));
}

void FormatMeadeDec(char* out, std::size_t size, double decDeg, bool highPrecision) {
    const char sign = decDeg >= 0.0 ? '+' : '-';
    int d, m;
    double rest;
    Split(std::fabs(decDeg), &d, &m, &rest);
    if (highPrecision)
        std::snprintf(out, size, ":Sd %c%02d%c%02d:%02d#", sign, d, kDegreeMark, m, static_cast<int>(rest * 60.0));
    else
        std::snprintf(out, size, ":Sd %c%02d%c%02d#", sign, d, kDegreeMark, m);
}

std::uint32_t MeadeConnect() {
    MeadeState& s = meadeState;
    const int drive = Drive();
    const int port = preferences.word[pref::scopePort];
    if (telescopeEmulation) return 1;
    if (IsSerialOpenWith(port, 9600, 0) && s.probedOpen == serialPort.openCount && s.probedDrive == drive) return 1;
    if (!OpenSerialPort(port, 9600)) {
        ShowMessage("Fail to open serial connection", "");
        return 0;
    }
    // A new open, or another drive: what the last probe learnt no longer holds.
    s.highPrecision = 0;
    s.probedOpen = 0;
    char reply[16] = {};
    bool connected = false;
    if (IsMagellan(drive)) {
        if (WriteSerialText("#:GC#")) {
            ShowBusy(1);
            connected = ReadSerial(reply, 9) == 9;
        }
    } else if (WriteSerialText("#:GD#")) {
        reply[0] = '\0';
        const int n = ReadSerial(reply, 10);
        if (n >= 6) {
            s.highPrecision = n == 10 ? 1 : 0;
            connected = true;
        }
    }
    if (!connected) {
        ShowMessage("Fail to open Meade connection", "");
        SetSerialHold(0);
        CloseSerialPort();
        HideBusy();
        return 0;
    }
    HideBusy();
    s.probedOpen = serialPort.openCount;
    s.probedDrive = drive;
    return 1;
}

std::uint32_t MeadeDisconnect() {
    if (!telescopeEmulation) CloseSerialPort();
    return 1;
}

std::uint32_t MeadeQueryEQ(double* raHours, double* decDeg) {
    if (telescopeEmulation) {
        EmulatedQuery(raHours, decDeg);
        return 1;
    }
    const bool high = meadeState.highPrecision != 0;
    char text[16] = {};
    if (!WriteSerialText("#:GR#")) return 0;
    int n = ReadSerial(text, high ? 9 : 8);
    if (!HasForm(text, n, high ? "99:99:99#" : "99:99.9#")) return 0;
    text[n] = '\0';
    const double ra = HmsStrToHours(text);
    if (!WriteSerialText(":GD#")) return 0;
    std::memset(text, 0, sizeof text);
    n = ReadSerial(text, high ? 10 : 7);
    if (!HasForm(text, n, high ? "s99d99:99#" : "s99d99#")) return 0;
    text[n] = '\0';
    *raHours = ra;
    *decDeg = DmsStrToDeg(text);
    return 1;
}

std::uint32_t MeadeGotoEQ(double raHours, double decDeg) {
    MeadeState& s = meadeState;
    s.gotoReply[0] = '\0';
    if (telescopeEmulation) {
        s.raStep = 0.0;
        s.decStep = 0.0;
        s.targetRa = raHours;
        s.targetDec = decDeg;
        return 0;
    }
    if (!SendTarget(raHours, decDeg)) return 1;
    if (!Send("#:MS#")) return 1;
    char first;
    if (ReadSerial(&first, 1) != 1) return 1;
    if (first == '0') {
        ReadUntil(kNoStop, nullptr, 0);
        return 0;
    }
    // "1" or "2" and the reason up to '#': the mount will not slew.
    ReadUntil('#', s.gotoReply, sizeof s.gotoReply);
    if (first != '1' && first != '2') {
        char all[sizeof s.gotoReply];
        std::snprintf(all, sizeof all, "%c%s", first, s.gotoReply);
        std::memcpy(s.gotoReply, all, sizeof all);
    }
    return 1;
}

void PlaceEmulatedMount(double raHours, double decDeg) {
    MeadeState& s = meadeState;
    s.ra = s.targetRa = raHours;
    s.dec = s.targetDec = decDeg;
    s.raStep = 0.0;
    s.decStep = 0.0;
}

std::uint32_t MeadeSyncEQ(double raHours, double decDeg) {
    MeadeState& s = meadeState;
    if (telescopeEmulation) {
        PlaceEmulatedMount(raHours, decDeg);
        return 1;
    }
    char command[32];
    char reply[4];
    FormatMeadeRa(command, sizeof command, raHours, s.highPrecision != 0);
    if (!Send(command)) return 0;
    ReadSerial(reply, 1);
    FormatMeadeDec(command, sizeof command, decDeg, s.highPrecision != 0);
    if (!Send(command)) return 0;
    ReadSerial(reply, 1);
    if (!WriteSerialText("#:CM#")) return 0;
    ReadUntil('#', nullptr, 0);
    return 1;
}

std::uint32_t MeadeSetRate(int rate) {
    static constexpr const char* kCommands[] = {"#:RS#", "#:RM#", "#:RC#", "#:RG#"};
    static constexpr double kRates[] = {2.0, 0.5, 0.1, 0.05};
    if (rate < 0 || rate > 3) return telescopeEmulation ? 1 : 0;
    if (telescopeEmulation) {
        meadeState.rate = kRates[rate];
        return 1;
    }
    return WriteSerialText(kCommands[rate]) ? 1 : 0;
}

std::uint32_t MeadeMove(int direction) {
    static constexpr const char* kCommands[] = {"#:Mn#", "#:Ms#", "#:Me#", "#:Mw#"};
    if (direction < 0 || direction > 3) return telescopeEmulation ? 1 : 0;
    if (telescopeEmulation) {
        MeadeState& s = meadeState;
        switch (direction) {
            case 0: s.decStep = -s.rate; break;
            case 1: s.decStep = s.rate; break;
            case 2: s.raStep = -s.rate / 15.0; break;
            default: s.raStep = s.rate / 15.0; break;
        }
        return 1;
    }
    return WriteSerialText(kCommands[direction]) ? 1 : 0;
}

std::uint32_t MeadeStopMove(int direction) {
    static constexpr const char* kCommands[] = {"#:Qn#", "#:Qs#", "#:Qe#", "#:Qw#"};
    if (telescopeEmulation) {
        EmulatedStop();
        return 1;
    }
    if (direction < 0 || direction > 3) return 0;
    return WriteSerialText(kCommands[direction]) ? 1 : 0;
}

std::uint32_t MeadeStopAll() {
    if (telescopeEmulation) {
        EmulatedStop();
        return 1;
    }
    return WriteSerialText("#:Q#") ? 1 : 0;
}
