#include "scope/nexstar.h"

#include <cmath>
#include <cstdio>

#include "core/report.h"
#include "scope/serial_port.h"

std::uint32_t nexStarRate = 9;
LearntOnPort nexStarProbed;

namespace {

constexpr int kBaud = 9600;
// Code 15 runs with RTS handshake and 8 data bits.
constexpr int kUltimaLine = 0xD0;

bool IsBinary(int drive) { return drive == 8; }
bool NeedsCr(int drive) { return drive == 15; }
// Code 20 acknowledges the moves in its own way: no message for it.
bool TellsMissingAck(int drive) { return drive != 20; }

bool Write(const void* bytes, int count) { return WriteSerial(bytes, count) == 1; }

// The command, then for code 15 its carriage return.
bool Send(int drive, const char* text) {
    if (!WriteSerialText(text)) return false;
    return !NeedsCr(drive) || Write("\r", 1);
}

bool Probe(int drive) {
    char reply[4] = {};
    if (IsBinary(drive)) return Write("?", 1) && ReadSerial(reply, 1) == 1 && reply[0] == '#';
    if (!Send(drive, "Kx")) return false;
    if (NeedsCr(drive)) return ReadSerial(reply, 2) == 2 && reply[0] == 'x';
    return ReadSerial(reply, 2) >= 1 && (reply[0] == 'x' || reply[0] == 'X');
}

// The "?" exchange that opens every position and target frame of code 8.
bool BinaryHello() {
    char reply;
    return Write("?", 1) && ReadSerial(&reply, 1) == 1;
}

// Four hex digits, already checked.
unsigned HexDigits(const char* p) {
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = p[i];
        const unsigned digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        value = value * 16 + digit;
    }
    return value;
}

// The two counts of a text frame "R%04X,%04X" (or S, F).
void TextFrame(char* out, std::size_t size, char letter, unsigned ra, unsigned dec) {
    std::snprintf(out, size, "%c%04X,%04X", letter, ra, dec);
}

struct Counts {
    std::uint16_t ra;
    std::uint16_t dec;
};

Counts TargetCounts(double raHours, double decDeg) {
    // Southern declinations go as the angle below a full turn.
    const double dec = decDeg < 0.0 && decDeg >= -90.0 ? decDeg + 360.0 : decDeg;
    return {NexStarCount(raHours * 15.0), NexStarCount(dec)};
}

// Sends the target frame of a GoTo (letter 'R') or sync ('S', 'F'); false when the frame
// was not sent. Code 8 sends its binary 'R' frame only after a good "?" exchange.
bool SendTarget(int drive, char letter, double raHours, double decDeg) {
    const Counts c = TargetCounts(raHours, decDeg);
    if (IsBinary(drive)) {
        if (!BinaryHello()) return false;
        const unsigned char frame[5] = {'R', static_cast<unsigned char>(c.ra >> 8), static_cast<unsigned char>(c.ra & 0xFF),
                                        static_cast<unsigned char>(c.dec >> 8), static_cast<unsigned char>(c.dec & 0xFF)};
        return Write(frame, 5);
    }
    char text[16];
    TextFrame(text, sizeof text, letter, c.ra, c.dec);
    return Send(drive, text);
}

// The answer byte after a move or stop frame; a missing '#' is told (not for code 20).
// Whether the mount took the frame: '#', or for code 20 any answer at all.
bool CheckAck(int drive, const char* message) {
    char reply = 0;
    const bool answered = ReadSerial(&reply, 1) == 1;
    if (answered && (reply == '#' || !TellsMissingAck(drive))) return true;
    if (TellsMissingAck(drive)) ShowMessage(message, "");
    return false;
}

constexpr unsigned char kAxisDec = 0x11;
constexpr unsigned char kAxisRa = 0x10;
constexpr unsigned char kPositive = 0x24;
constexpr unsigned char kNegative = 0x25;

unsigned char AxisOf(int direction) { return direction <= 1 ? kAxisDec : kAxisRa; }

}  // namespace

std::uint16_t NexStarCount(double degrees) {
    double a = std::fmod(degrees, 360.0);
    if (a < 0.0) a += 360.0;
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(a * 65536.0 / 360.0) & 0xFFFF);
}

double NexStarDegrees(unsigned count) { return count * 360.0 / 65536.0; }

double NexStarDeclination(double d) {
    if (d > 90.0 && d <= 270.0) return 180.0 - d;
    if (d > 270.0 && d <= 360.0) return d - 360.0;
    return d;
}

std::uint32_t NexStarConnect() {
    const int drive = ScopeDriveCode();
    const int port = ScopePortSetting();
    const int line = NeedsCr(drive) ? kUltimaLine : 0;
    if (IsSerialOpenWith(port, kBaud, line) && StillHolds(nexStarProbed)) return 1;
    if (!OpenSerialPort(port, kBaud)) {
        ShowMessage("Fail to open serial connection", "");
        return 0;
    }
    Forget(nexStarProbed);
    // A refused line is told and closes the port.
    if (line != 0 && !SetSerialParams(line)) return 0;
    if (!Probe(drive)) {
        return FailConnect("Fail to open Nexstar connection");
    }
    MarkLearnt(nexStarProbed);
    return 1;
}

std::uint32_t NexStarDisconnect() { return DisconnectMount(); }

std::uint32_t NexStarQueryEQ(double* raHours, double* decDeg) {
    const int drive = ScopeDriveCode();
    unsigned axis1 = 0, axis2 = 0;
    if (IsBinary(drive)) {
        unsigned char reply[4];
        if (!BinaryHello() || !Write("E", 1) || ReadSerial(reply, 4) != 4) return 0;
        axis1 = (reply[0] << 8) | reply[1];
        axis2 = (reply[2] << 8) | reply[3];
    } else {
        char reply[12] = {};
        if (!Send(drive, "E")) return 0;
        const int n = ReadSerial(reply, 10);
        // Noise on the line must not read as a position.
        if (!HasAnswerForm(reply, n, "hhhh,hhhh#")) return 0;
        axis1 = HexDigits(reply);
        axis2 = HexDigits(reply + 5);
    }
    *raHours = NexStarDegrees(axis1) / 15.0;
    *decDeg = NexStarDeclination(NexStarDegrees(axis2));
    return 1;
}

std::uint32_t NexStarGotoEQ(double raHours, double decDeg) {
    const int drive = ScopeDriveCode();
    if (!SendTarget(drive, 'R', raHours, decDeg)) return 0;
    if (!IsBinary(drive)) {
        char reply;
        ReadSerial(&reply, 1);
    }
    return 1;
}

std::uint32_t NexStarSyncEQ(double raHours, double decDeg) {
    const int drive = ScopeDriveCode();
    // Code 8 knows no sync: its GoTo frame makes the mount slew to the position instead.
    const char letter = IsBinary(drive) ? 'R' : NeedsCr(drive) ? 'F' : 'S';
    if (!SendTarget(drive, letter, raHours, decDeg)) return 0;
    bool acknowledged = true;
    if (!IsBinary(drive)) {
        char reply;
        acknowledged = ReadSerial(&reply, 1) == 1;
    }
    DropRestOfAnswer();
    return acknowledged ? 1 : 0;
}

std::uint32_t NexStarSetRate(int rate) {
    static constexpr std::uint32_t kRates[] = {9, 7, 4, 2};
    if (rate >= 0 && rate <= 3) nexStarRate = kRates[rate];
    return 1;
}

std::uint32_t NexStarMove(int direction) {
    const int drive = ScopeDriveCode();
    if (direction < 0 || direction > 3) return 1;
    if (drive == 10 || drive == 20) {
        const unsigned char sign = direction == 0 || direction == 3 ? kPositive : kNegative;
        const unsigned char frame[8] = {'P', 2, AxisOf(direction), sign, static_cast<unsigned char>(nexStarRate), 0, 0, 0};
        if (!Write(frame, 8)) return 0;
        CheckAck(drive, "No acknowledgement from telescope in StopSlew.");
        return 1;
    }
    if (drive == 9) {
        // The old GT takes a 24-bit rate: 100000 for rate byte 9.
        const std::uint32_t v = nexStarRate * 100000 / 9;
        const auto hi = static_cast<unsigned char>(v >> 16), mid = static_cast<unsigned char>(v >> 8),
                   lo = static_cast<unsigned char>(v);
        static constexpr unsigned char kFirst[] = {6, 6, 7, 6};
        unsigned char frame[8] = {kFirst[direction], 0, 0, 0, 0x1A, 0, 0, 0};
        if (direction <= 1) {
            frame[4] = direction == 0 ? 0x1A : 0x1B;
            frame[5] = hi, frame[6] = mid, frame[7] = lo;
        } else {
            frame[1] = hi, frame[2] = mid, frame[3] = lo;
        }
        return Write(frame, 8) ? 1 : 0;
    }
    return 1;
}

std::uint32_t NexStarStopMove(int direction) {
    const int drive = ScopeDriveCode();
    if (drive == 10 || drive == 20) {
        const unsigned char frame[8] = {'P', 2, AxisOf(direction), kPositive, 0, 0, 0, 0};
        if (!Write(frame, 8)) return 0;
        // A stop the mount did not take leaves it slewing: the caller stops again.
        return CheckAck(drive, "No acknowledgement from telescope in StopSlew.") ? 1 : 0;
    }
    if (drive == 9) {
        static constexpr unsigned char kStop[8] = {6, 0, 0, 0, 0x1A, 0, 0, 0};
        return Write(kStop, 8) ? 1 : 0;
    }
    return 1;
}

std::uint32_t NexStarStopAll() {
    const int drive = ScopeDriveCode();
    if (drive == 9) {
        static constexpr unsigned char kAbort[2] = {5, 25};
        return Write(kAbort, 2) ? 1 : 0;
    }
    if (drive == 10 || drive == 15 || drive == 20) {
        if (!Send(drive, "M")) return 0;
        return CheckAck(drive, "No acknowledgement from telescope in Stop Goto.") ? 1 : 0;
    }
    return 1;
}
