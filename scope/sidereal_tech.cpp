#include "scope/sidereal_tech.h"

#include <cmath>
#include <cstdio>

#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "core/number_text.h"
#include "core/report.h"
#include "core/settings.h"
#include "scope/serial_port.h"
#include "shell/utilities.h"

SiderealTechState siderealTechState;

namespace {

constexpr int kBaud = 19200;
constexpr int kAnswerSize = 132;
constexpr const char* kBadAltResolution = "Wrong Al resolution.\nPlease check the SiderealTech configuration.";
constexpr const char* kBadAzResolution = "Wrong Az resolution.\nPlease check the SiderealTech configuration.";

bool Known(std::int32_t resolution) { return resolution >= 1; }

bool ResolutionsKnown() {
    const SiderealTechState& s = siderealTechState;
    return Known(s.xResolution) && Known(s.yResolution) && StillHolds(s.learnt);
}

void TellBadResolution(const char* heading, std::int32_t value) {
    char detail[24];
    std::snprintf(detail, sizeof detail, "%ld", static_cast<long>(value));
    ShowMessage(heading, detail);
}

// Every computation divides or multiplies by the resolutions: without both it would
// divide by zero or drive the mount nowhere. Tells which one is wrong.
bool UsableResolutions() {
    const SiderealTechState& s = siderealTechState;
    if (!Known(s.xResolution)) {
        TellBadResolution(kBadAltResolution, s.xResolution);
        return false;
    }
    if (!Known(s.yResolution)) {
        TellBadResolution(kBadAzResolution, s.yResolution);
        return false;
    }
    return true;
}

bool Send(const char* text) { return WriteSerialText(text) == 1; }

// The answer to the last command: the controller says no more than it has, so the read
// runs to the gap after its last byte.
int ReadAnswer(char* buffer) {
    const int n = ReadSerialSiderealTech(buffer, kAnswerSize);
    buffer[n] = '\0';
    return n;
}

enum class Answer { NotSent, NoNumber, Number };

// Sends a command and reads the number its answer holds from byte 1 on.
Answer AskNumber(const char* command, std::int32_t* value) {
    char answer[kAnswerSize + 1];
    if (!Send(command)) return Answer::NotSent;
    const int n = ReadAnswer(answer);
    const char* p = answer + 1;
    if (n < 2) return Answer::NoNumber;
    if (*p == '-') ++p;
    if (*p == '+') ++p;
    if (*p < '0' || *p > '9') return Answer::NoNumber;
    *value = StrToInt(answer + 1);
    return Answer::Number;
}

// Reads a resolution (0 when the answer holds none) and tells a value below 1. False only
// when the write failed.
bool AskResolution(const char* command, std::int32_t* resolution, const char* heading) {
    std::int32_t value = 0;
    const Answer a = AskNumber(command, &value);
    if (a == Answer::NotSent) return false;
    *resolution = a == Answer::Number ? value : 0;
    if (!Known(*resolution)) TellBadResolution(heading, *resolution);
    return true;
}

bool SendAxis(char axis, long value) {
    char command[40];
    std::snprintf(command, sizeof command, "%c%ld\r", axis, value);
    return Send(command);
}

}  // namespace

std::uint32_t SiderealTechConnect() {
    SiderealTechState& s = siderealTechState;
    const int port = ScopePortSetting();
    if (!IsSerialOpenWith(port, kBaud, 0) && !OpenSerialPort(port, kBaud)) {
        ShowMessage("Fail to open serial connection", "");
        return 0;
    }
    // Asked on every port open where they are not known yet, an open port included.
    if (ResolutionsKnown()) return 1;
    Forget(s.learnt);
    s.xResolution = 0;
    s.yResolution = 0;
    char answer[kAnswerSize + 1];
    if (!Send("Q\r")) return 0;
    ReadAnswer(answer);
    if (!AskResolution("XXU<E>\r", &s.xResolution, kBadAltResolution)) return 0;
    if (!AskResolution("XXV<E>\r", &s.yResolution, kBadAzResolution)) return 0;
    if (Known(s.xResolution) && Known(s.yResolution)) {
        MarkLearnt(s.learnt);
        return 1;
    }
    return FailConnect("Fail to open SiderealTech connection");
}

std::uint32_t SiderealTechDisconnect() { return DisconnectMount(); }

std::uint32_t SiderealTechQueryAltAz(double* first, double* second) {
    const SiderealTechState& s = siderealTechState;
    *first = 0.0;
    *second = 0.0;
    if (!UsableResolutions()) return 0;
    std::int32_t x = 0, y = 0;
    if (AskNumber("X\r", &x) != Answer::Number || AskNumber("Y\r", &y) != Answer::Number) return 0;
    // The azimuth axis turns round and round; the altitude axis cannot.
    double azimuth = std::fmod(static_cast<double>(y) / s.yResolution * 360.0, 360.0);
    if (azimuth < 0.0) azimuth += 360.0;
    if (azimuth >= 360.0) azimuth = 0.0;
    const double altitude = static_cast<double>(x) / s.xResolution * 360.0;
    if (!IsRealHorizontal(azimuth, altitude)) return 0;
    *first = azimuth;
    *second = altitude;
    return 1;
}

std::uint32_t SiderealTechQueryEQ(double* first, double* second) {
    const std::uint32_t ok = SiderealTechQueryAltAz(first, second);
    *first /= 15.0;
    return ok;
}

std::uint32_t SiderealTechGotoEQ(double raHours, double decDeg) {
    const SiderealTechState& s = siderealTechState;
    if (!UsableResolutions()) return 0;
    const double fast = 3.0 * kSiderealTechSpeedFactor;
    const long xSpeed = static_cast<long>(s.xResolution * fast);
    const long ySpeed = static_cast<long>(s.yResolution * fast);
    double a1 = raHours * 15.0;
    double a2 = decDeg;
    // With the two-star method the dispatcher already gives mount angles; an alt-azimuth
    // mount aligned by other means is driven to the target's azimuth and altitude now.
    if (preferences.word[pref::mountType] != 0 && preferences.word[pref::alignMethod] != 0) {
        int year, month, day, hour, minute, second;
        GetLocalDateTime(&year, &month, &day, &hour, &minute, &second);
        const double lst = LocalSiderealTime(year, month, day, hour, minute, second, observerLocation.longitude,
                                             observerLocation.zoneMinutes);
        a1 = ComputeAzimuth(lst, raHours, decDeg, observerLocation.latitude);
        a2 = ComputeAltitude(lst, raHours, decDeg, observerLocation.latitude);
    }
    char command[64];
    std::snprintf(command, sizeof command, "Y%ldS%ld\r", static_cast<long>(a1 / 360.0 * s.yResolution), ySpeed);
    if (!Send(command)) return 0;
    std::snprintf(command, sizeof command, "X%ldS%ld\r", static_cast<long>(s.xResolution * a2 / 360.0), xSpeed);
    return Send(command) ? 1 : 0;
}

std::uint32_t SiderealTechSetRate(int rate) {
    static constexpr double kDegreesPerSecond[] = {3.0, 0.5, 1.0 / 60.0, 1.0 / 120.0};
    const SiderealTechState& s = siderealTechState;
    if (!UsableResolutions()) return 0;
    const double r = rate >= 0 && rate <= 3 ? kDegreesPerSecond[rate] : 1.0;
    const double f = r * kSiderealTechSpeedFactor;
    char command[40];
    std::snprintf(command, sizeof command, "XS%ld\r", static_cast<long>(s.xResolution * f));
    if (!Send(command)) return 0;
    std::snprintf(command, sizeof command, "YS%ld\r", static_cast<long>(s.yResolution * f));
    return Send(command) ? 1 : 0;
}

std::uint32_t SiderealTechMove(int direction) {
    switch (direction) {
        case 0: return SendAxis('X', kSiderealTechFarTarget) ? 1 : 0;
        case 1: return SendAxis('X', -kSiderealTechFarTarget) ? 1 : 0;
        case 2: return SendAxis('Y', kSiderealTechFarTarget) ? 1 : 0;
        case 3: return SendAxis('Y', -kSiderealTechFarTarget) ? 1 : 0;
        default: return 0;
    }
}

std::uint32_t SiderealTechStopMove(int) { return SiderealTechStopAll(); }

std::uint32_t SiderealTechStopAll() { return Send("XN\r") && Send("YN\r") ? 1 : 0; }
