#include "scope/servocat_skycommander.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/number_text.h"
#include "core/report.h"
#include "scope/mount_link.h"
#include "scope/serial_port.h"

namespace {

constexpr int kBaud = 9600;
constexpr int kServoCatAnswer = 14;
constexpr int kSkyCommanderAnswer = 16;

// Both controllers are quiet until asked: the connect only opens the port.
std::uint32_t OpenQuietly() {
    if (IsSerialOpenWith(ScopePortSetting(), kBaud, 0)) return 1;
    ShowBusy(1);
    if (!OpenSerialPort(ScopePortSetting(), kBaud)) {
        HideBusy();
        ShowMessage("Fail to open serial connection", "");
        return 0;
    }
    HideBusy();
    return 1;
}

// Three decimals of a non-negative value, with at least two digits before the point.
void AppendTwoDigitDecimal(char* out, std::size_t size, double value) {
    char number[32];
    FormatFixed(number, value, 3);
    // The rounding decides the digits, not the value: 9.9996 is written "10.000".
    const char* pad = std::strchr(number, '.') - number < 2 ? "0" : "";
    const std::size_t used = std::strlen(out);
    std::snprintf(out + used, size - used, "%s%s", pad, number);
}

}  // namespace

void FormatServoCatTarget(char* out, std::size_t size, double raHours, double decDeg) {
    const int h = static_cast<int>(raHours);
    const int hf = static_cast<int>((raHours - h) * 1000.0);
    int d, df;
    char sign;
    if (decDeg > 0.0) {
        d = static_cast<int>(decDeg);
        df = static_cast<int>((decDeg - d) * 1000.0);
        sign = '+';
    } else {
        d = static_cast<int>(-decDeg);
        df = static_cast<int>((std::trunc(decDeg) - decDeg) * 1000.0);
        sign = '-';
    }
    std::snprintf(out, size, "g%02d.%03d %c%02d.%03d", h, hf, sign, d, df);
}

void FormatSkyCommanderTarget(char* out, std::size_t size, double raHours, double decDeg) {
    std::snprintf(out, size, "L0 ");
    AppendTwoDigitDecimal(out, size, raHours);
    const std::size_t used = std::strlen(out);
    std::snprintf(out + used, size - used, " %c", decDeg < 0.0 ? '-' : '+');
    AppendTwoDigitDecimal(out, size, std::fabs(decDeg));
    const std::size_t end = std::strlen(out);
    std::snprintf(out + end, size - end, "\n");
}

std::uint32_t ServoCatConnect() { return OpenQuietly(); }

std::uint32_t ServoCatDisconnect() { return DisconnectMount(); }

std::uint32_t ServoCatQueryEQ(double* raHours, double* decDeg) {
    if (!SendOrTell("\r")) return 0;
    char answer[kServoCatAnswer + 1] = {};
    if (ReadSerial(answer, kServoCatAnswer) != kServoCatAnswer) return 0;
    // RA in bytes 0..5, Dec in 7..13; noise must not read as a position.
    if (!IsDecimalField(answer, 6) || !IsDecimalField(answer + 7, 7)) return 0;
    answer[6] = '\0';
    const double ra = StrToDouble(answer), dec = StrToDouble(answer + 7);
    if (!IsRealEquatorial(ra, dec)) return 0;
    *raHours = ra;
    *decDeg = dec;
    return 1;
}

std::uint32_t ServoCatGotoEQ(double raHours, double decDeg) {
    char command[40];
    FormatServoCatTarget(command, sizeof command, raHours, decDeg);
    return SendOrTell(command) ? 1 : 0;
}

std::uint32_t SkyCommanderConnect() { return OpenQuietly(); }

std::uint32_t SkyCommanderDisconnect() { return DisconnectMount(); }

std::uint32_t SkyCommanderQueryEQ(double* raHours, double* decDeg) {
    if (!WriteSerial("\r", 1)) {
        CloseSerialPort();
        return 0;
    }
    char answer[kSkyCommanderAnswer + 1] = {};
    // The whole answer, or the Dec would be read from its first bytes only.
    if (ReadSerial(answer, kSkyCommanderAnswer) != kSkyCommanderAnswer) return 0;
    if (!IsDecimalField(answer, 7) || !IsDecimalField(answer + 8, kSkyCommanderAnswer - 8, true)) return 0;
    answer[7] = '\0';
    const double ra = StrToDouble(answer), dec = StrToDouble(answer + 8);
    if (!IsRealEquatorial(ra, dec)) return 0;
    *raHours = ra;
    *decDeg = dec;
    return 1;
}

std::uint32_t SkyCommanderGotoEQ(double raHours, double decDeg) {
    char command[48];
    FormatSkyCommanderTarget(command, sizeof command, raHours, decDeg);
    if (!SendOrTell(command)) return 0;
    char ack = 0;
    if (ReadSerial(&ack, 1) == 1 && ack == 'A') return 1;
    ShowMessage("Fail to get SkyCommander ack for ra & dec set.", "");
    return 0;
}
