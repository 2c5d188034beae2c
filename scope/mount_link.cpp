#include "scope/mount_link.h"

#include <cstring>

#include "core/report.h"
#include "core/settings.h"
#include "scope/serial_port.h"

bool StillHolds(const LearntOnPort& learnt) {
    return serialPort.open && learnt.open != 0 && learnt.open == serialPort.openCount && learnt.drive == ScopeDriveCode();
}

void MarkLearnt(LearntOnPort& learnt) {
    learnt.open = serialPort.openCount;
    learnt.drive = ScopeDriveCode();
}

void Forget(LearntOnPort& learnt) { learnt = LearntOnPort{}; }

int ScopeDriveCode() { return preferences.word[pref::scopeDrive]; }
int ScopePortSetting() { return preferences.word[pref::scopePort]; }

std::uint32_t FailConnect(const char* message) {
    ShowMessage(message, "");
    SetSerialHold(0);
    CloseSerialPort();
    return 0;
}

std::uint32_t DisconnectMount() {
    CloseSerialPort();
    return 1;
}

bool SendOrTell(const char* text) {
    if (WriteSerialText(text)) return true;
    ShowMessage("Fail to send string", text);
    return false;
}

void DropRestOfAnswer() { ReadSerialUntil(kSerialNoStop, nullptr, 0); }

bool HasAnswerForm(const char* text, int n, const char* pattern) {
    if (!text || n != static_cast<int>(std::strlen(pattern))) return false;
    for (int i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool digit = c >= '0' && c <= '9';
        const bool hex = digit || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        switch (pattern[i]) {
            case '9': if (!digit) return false; break;
            case 'h': if (!hex) return false; break;
            case 's': if (c != '+' && c != '-') return false; break;
            case 'S': if (c != '+' && c != '-' && c != ' ') return false; break;
            case '?': break;
            default: if (c != static_cast<unsigned char>(pattern[i])) return false; break;
        }
    }
    return true;
}

bool IsDecimalField(const char* text, int n, bool rest) {
    int i = 0;
    while (i < n && text[i] == ' ') ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    int digits = 0, points = 0;
    for (; i < n; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') ++digits;
        else if (c == '.' && points == 0) ++points;
        else break;
    }
    return digits > 0 && (rest || i == n);
}

bool IsRealEquatorial(double raHours, double decDeg) {
    return raHours >= 0.0 && raHours < 24.0 && decDeg >= -90.0 && decDeg <= 90.0;
}

bool IsRealHorizontal(double azimuthDeg, double altitudeDeg) {
    return azimuthDeg >= 0.0 && azimuthDeg < 360.0 && altitudeDeg >= -90.0 && altitudeDeg <= 90.0;
}

bool BelowSixty(const char* text) { return text[0] >= '0' && text[0] <= '5' && text[1] >= '0' && text[1] <= '9'; }
