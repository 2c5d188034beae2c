#include "scope/takahashi.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "astro/angle_text.h"
#include "astro/time_scales.h"
#include "core/report.h"
#include "core/settings.h"
#include "scope/serial_port.h"
#include "shell/utilities.h"

TakahashiState takahashiState;
std::int32_t zenithAnswer = -1;

namespace {

constexpr int kBaud = 19200;
// Even parity, checked, with RTS handshake, CTS flow and 8 data bits.
constexpr int kEvenParityLine = 0xF6;
constexpr const char* kSideQuestion =
    "Please, point your telescope to zenith and press Yes if it is placed at the East side, else press No.";

bool SiteSent() { return takahashiState.siteSent != 0 && StillHolds(takahashiState.site); }

void MarkSiteSent() {
    takahashiState.siteSent = 1;
    MarkLearnt(takahashiState.site);
}

// Whole units, minutes and tenths of a minute of a non-negative value.
void SplitTenths(double value, int* whole, int* minutes, int* tenths) {
    int seconds = 0;
    HoursToHMS(value, whole, minutes, &seconds);
    *tenths = seconds * 10 / 60;
}

// Hours reduced into a day and split into hours, minutes and seconds; the rounding of the
// last half second carries into hour 0, not 24.
void SplitHours(double hours, int* h, int* m, int* s) {
    double x = std::fmod(hours, 24.0);
    if (x < 0.0) x += 24.0;
    HoursToHMS(x, h, m, s);
    if (*h >= 24) *h -= 24;
}

void SendLatitude() {
    char command[24];
    FormatTakahashiLatitude(command, sizeof command, observerLocation.latitude);
    WriteSerialText(command);
}

void SendStoredSiderealTime() {
    int h, m, s;
    SplitHours(takahashiState.siderealTime, &h, &m, &s);
    char command[24];
    std::snprintf(command, sizeof command, "T%02d%02d%02d\r\n", h, m, s);
    WriteSerialText(command);
}

bool SendZenith() { return WriteSerialText("Z\r\n") == 1; }

// Sidereal time, latitude and, with the user's answer (asked once a run), the side of the
// pier: once on each port open, after the mount answered the probe.
void SendSite() {
    TakahashiSendSiderealTime();
    SendLatitude();
    if (zenithAnswer == -1) zenithAnswer = AskYesNo(kSideQuestion, "") != 0 ? 1 : 0;
    TakahashiSetZenithSide(zenithAnswer == 0 ? 'E' : 'W');
    MarkSiteSent();
}

// The refusals of a target, by the status byte: GoTo texts, then sync texts.
const char* Refusal(char letter, char status) {
    const bool gotoCommand = letter == 'P';
    switch (status) {
        case '2': return gotoCommand ? "Takahashi\nWrong ra in Goto." : "Takahashi\nWrong ra in Sync.";
        case '3': return gotoCommand ? "Takahashi\nWrong dec in Goto." : "Takahashi\nWrong dec in Sync.";
        case '4': return gotoCommand ? "Takahashi\nToo many digits in Goto." : "Takahashi\nToo many digits in Sync.";
        default: return nullptr;
    }
}

std::uint32_t SendTarget(char letter, double raHours, double decDeg) {
    if (!SiteSent()) {
        SendLatitude();
        MarkSiteSent();
    }
    SendStoredSiderealTime();
    char command[32];
    FormatTakahashiTarget(command, sizeof command, letter, raHours, decDeg);
    char reply[8] = {};
    if (!WriteSerialText(command) || ReadSerial(reply, 4) < 4) {
        ShowMessage("No response from Takahashi", "");
        return 0;
    }
    const char status = reply[1];
    if (const char* refusal = Refusal(letter, status)) {
        // The mount did not take the target: the caller must not treat it as moving.
        ShowMessage(refusal, "");
        return 0;
    }
    if (letter == 'P' && status == '1') WriteSerialText("PS\r\n");
    return 1;
}

}  // namespace

void FormatTakahashiLatitude(char* out, std::size_t size, double latitude) {
    int d, m, t;
    SplitTenths(std::fabs(latitude), &d, &m, &t);
    std::snprintf(out, size, "I%c%02d%02d%01d\r\n", latitude < 0.0 ? '-' : '+', d, m, t);
}

void FormatTakahashiTarget(char* out, std::size_t size, char letter, double raHours, double decDeg) {
    int h, m, s;
    SplitHours(raHours, &h, &m, &s);
    char dec[16];
    if (decDeg == 0.0) {
        std::snprintf(dec, sizeof dec, " 00000");
    } else {
        int d, dm, t;
        SplitTenths(std::fabs(decDeg), &d, &dm, &t);
        std::snprintf(dec, sizeof dec, "%c%02d%02d%01d", decDeg > 0.0 ? '+' : '-', d, dm, t);
    }
    std::snprintf(out, size, "%c%02d%02d%02d%s\r\n", letter, h, m, s, dec);
}

std::uint32_t TakahashiConnect() {
    TakahashiState& s = takahashiState;
    const int port = ScopePortSetting();
    // The even-parity line goes with the first port only.
    const int line = port == 1 ? kEvenParityLine : 0;
    if (IsSerialOpenWith(port, kBaud, line) && StillHolds(s.probed)) return 1;
    if (!OpenSerialPort(port, kBaud)) {
        ShowMessage("Fail to open serial connection", "");
        return 0;
    }
    Forget(s.probed);
    if (line != 0 && !SetSerialParams(line)) {
        ShowMessage("Fail to set Takahashi serial port parameters", "");
        return 0;
    }
    char reply[32] = {};
    if (WriteSerialText("v\r\n") && ReadSerial(reply, 30) > 10 && reply[0] == 'v') {
        MarkLearnt(s.probed);
        // The site goes only to a mount that answered: a set-up sent into silence would
        // count as done and never be sent to the mount once it answers.
        if (!SiteSent()) SendSite();
        return 1;
    }
    return FailConnect("Fail to open Takahasi connection.");
}

std::uint32_t TakahashiDisconnect() { return DisconnectMount(); }

std::uint32_t TakahashiSetSiderealTime(double lstHours) {
    takahashiState.siderealTime = lstHours;
    return 1;
}

void TakahashiSendSiderealTime() {
    int year, month, day, hour, minute, second;
    GetLocalDateTime(&year, &month, &day, &hour, &minute, &second);
    takahashiState.siderealTime = LocalSiderealTime(year, month, day, hour, minute, second, observerLocation.longitude,
                                                    observerLocation.zoneMinutes);
    SendStoredSiderealTime();
}

std::uint32_t TakahashiQueryEQ(double* raHours, double* decDeg) {
    *raHours = 0.0;
    *decDeg = 0.0;
    if (!WriteSerialText("E\r\n")) return 0;
    char r[20] = {};
    const int n = ReadSerial(r, 17);
    // RA HHMMSS, Dec sign, degrees, minutes and tenths, the side letter.
    if (!HasAnswerForm(r, n, "?999999S99999????")) return 0;
    if (!BelowSixty(r + 3) || !BelowSixty(r + 5) || !BelowSixty(r + 10)) return 0;
    char text[24];
    std::snprintf(text, sizeof text, "%.2s:%.2s:%.2s", r + 1, r + 3, r + 5);
    const double ra = HmsStrToHours(text);
    std::snprintf(text, sizeof text, "%.3s:%.2s:%02d", r + 7, r + 10, (r[12] - '0') * 6);
    const double dec = DmsStrToDeg(text);
    if (!IsRealEquatorial(ra, dec)) return 0;
    *raHours = ra;
    *decDeg = dec;
    takahashiState.side = r[13];
    return 1;
}

std::uint32_t TakahashiGotoEQ(double raHours, double decDeg) { return SendTarget('P', raHours, decDeg); }

std::uint32_t TakahashiSyncEQ(double raHours, double decDeg) { return SendTarget('D', raHours, decDeg); }

std::uint32_t TakahashiSetRate(int rate) {
    takahashiState.moveRow = rate == 3 ? 1 : 0;
    return rate >= 0 && rate <= 3 ? 1 : 0;
}

std::uint32_t TakahashiMove(int direction) {
    static constexpr const char* kMoves[2][4] = {{"MI\r\n", "MQ\r\n", "MC\r\n", "ME\r\n"},
                                                 {"MH\r\n", "MP\r\n", "MB\r\n", "MD\r\n"}};
    if (direction < 0 || direction > 3) return 0;
    return WriteSerialText(kMoves[takahashiState.moveRow ? 1 : 0][direction]) ? 1 : 0;
}

std::uint32_t TakahashiStopMove(int) {
    // The hand paddle and the chart keys check the stop: a stop that was sent is a stop.
    return WriteSerialText("M@\r\n") ? 1 : 0;
}

std::uint32_t TakahashiStopAll() {
    if (!WriteSerialText("PS\r\n") || !WriteSerialText("s\r\n")) return 0;
    DrainSerialInput();
    return 1;
}

std::uint32_t TakahashiSetZenithSide(char side) {
    TakahashiSendSiderealTime();
    SendZenith();
    // The mount answers 'F' while it turns; one that never stops must not hang the program.
    const std::uint32_t start = GetSeconds();
    for (;;) {
        double ra, dec;
        if (!TakahashiQueryEQ(&ra, &dec)) return 0;
        if (takahashiState.side != 'F') break;
        if (GetSeconds() - start >= kTakahashiSideLimitSeconds) {
            ShowMessage("Takahashi\nThe mount did not report its side of the pier within 60 seconds.", "");
            return 0;
        }
        SerialSleep(kTakahashiSidePollMs);
    }
    if (takahashiState.side != side) WriteSerial("PT\r,\n", 5);
    TakahashiSendSiderealTime();
    return SendZenith() ? 1 : 0;
}
