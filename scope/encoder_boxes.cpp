#include "scope/encoder_boxes.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/number_text.h"
#include "core/report.h"
#include "core/settings.h"
#include "scope/serial_port.h"
#include "shell/utilities.h"

EncoderState encoderState;

namespace {

int Drive() { return preferences.word[pref::scopeDrive]; }
std::int32_t AzResolution() { return preferences.word[pref::encoderStepsAz]; }
std::int32_t AltResolution() { return preferences.word[pref::encoderStepsAlt]; }
std::int32_t Magnitude(std::int32_t r) { return r < 0 ? -r : r; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal field of a box's answer: a sign or a digit, then digits only.
bool IsCountField(const char* field, int length) {
    if (!(field[0] == '+' || field[0] == '-' || IsDigit(field[0]))) return false;
    for (int i = 1; i < length; ++i)
        if (!IsDigit(field[i])) return false;
    return true;
}

// The 13-byte answer "+01234\t-00567": the two counts, when both fields are counts.
bool ParseCounts(const char* answer, std::int32_t* first, std::int32_t* second) {
    if (!IsCountField(answer, 6) || IsDigit(answer[6]) || !IsCountField(answer + 7, 6)) return false;
    char field[7] = {};
    std::memcpy(field, answer, 6);
    *first = StrToInt(field);
    std::memcpy(field, answer + 7, 6);
    *second = StrToInt(field);
    return true;
}

// 1 in emulation and for the boxes without a status; the Dave Ek box answers "a" with 'Y'.
bool StatusOk() {
    if (telescopeEmulation) return true;
    switch (Drive()) {
        case 1: case 3: case 11: case 12: case 16: return true;
        case 4: {
            char answer = 0;
            return WriteSerialText("a") && ReadSerial(&answer, 1) == 1 && answer == 'Y';
        }
        default: return false;
    }
}

// Wraps an emulated count into the half turns either side of zero.
std::int32_t WrapCount(std::int64_t count, std::int32_t resolution) {
    const std::int64_t r = Magnitude(resolution);
    if (r == 0) return static_cast<std::int32_t>(count);
    while (count > r / 2) count -= r;
    while (count < -(r / 2)) count += r;
    return static_cast<std::int32_t>(count);
}

// A raw count less the offset, on the axis's own sense, in 0 <= c < |resolution|.
std::int64_t AxisCount(std::int32_t raw, std::int32_t resolution, std::int32_t offset) {
    const std::int64_t r = Magnitude(resolution);
    std::int64_t c = (resolution < 0 ? r - raw : static_cast<std::int64_t>(raw)) - offset;
    c %= r;
    if (c < 0) c += r;
    return c;
}

void ZeroOffsets() {
    encoderState.altOffset = 0;
    encoderState.azOffset = 0;
}

// Sends a box its resolutions; whether it took them (and connected).
void SendSetup(int drive) {
    EncoderState& e = encoderState;
    const std::uint32_t ticks = GetTicksPerSecond();
    const int az = Magnitude(AzResolution());
    const int alt = Magnitude(AltResolution());
    char command[32];
    if (drive == 3) {
        std::snprintf(command, sizeof command, "Z%05d %05d\n", az, alt);
        if (!WriteSerialText(command)) return;
        SerialSleep(ticks / 2);
        char answer;
        if (ReadSerial(&answer, 1) == 1) {
            e.connected = 1;
            e.initialised = StatusOk() ? 1 : 0;
            ZeroOffsets();
        }
    } else if (drive == 4) {
        const auto byte = [](int value) { return static_cast<unsigned char>(value & 0xFF); };
        const unsigned char setup[5] = {'z', byte(alt), byte(alt >> 8), byte(az), byte(az >> 8)};
        if (!WriteSerial(setup, 5)) return;
        char answer;
        if (ReadSerial(&answer, 1) == 1) {
            e.connected = 1;
            e.initialised = 1;
            SerialSleep(ticks / 4);
            WriteSerialText("A");
            ZeroOffsets();
        }
    } else if (drive == 12) {
        std::snprintf(command, sizeof command, "R%05d\t%05d\r", az, alt);
        if (!WriteSerialText(command)) {
            ShowMessage("Can't initialize encoder resolution", "");
            return;
        }
        SerialSleep(ticks);
        std::snprintf(command, sizeof command, "I%05d\t%05d\r", 0, 0);
        if (WriteSerialText(command)) {
            e.initialised = 1;
            e.connected = 1;
            ZeroOffsets();
        }
    }
}

// The raw counts of the box (or of the emulation); false when they could not be read.
bool ReadCounts(std::int32_t* rawAz, std::int32_t* rawAlt) {
    EncoderState& e = encoderState;
    if (telescopeEmulation) {
        e.azCount = WrapCount(static_cast<std::int64_t>(e.azCount) + e.azStep, AzResolution());
        e.altCount = WrapCount(static_cast<std::int64_t>(e.altCount) + e.altStep, AltResolution());
        *rawAz = e.azCount;
        *rawAlt = e.altCount;
        return true;
    }
    const int drive = Drive();
    if (drive == 4) {
        if (!WriteSerialText("y")) {
            CloseSerialPort();
            return false;
        }
        unsigned char answer[4];
        if (ReadSerial(answer, 4) != 4) return false;
        *rawAlt = answer[0] | (answer[1] << 8);
        *rawAz = answer[2] | (answer[3] << 8);
        return true;
    }
    if (!WriteSerialText("Q")) {
        CloseSerialPort();
        return false;
    }
    char answer[16] = {};
    // The Intelliscope sends one byte before the counts.
    if (drive == 16 && ReadSerial(answer, 1) != 1) return false;
    if (ReadSerial(answer, 13) != 13) return false;
    return ParseCounts(answer, rawAz, rawAlt);
}

}  // namespace

bool IsEncoderDrive() { return IsEncoderDriveCode(Drive()); }

std::uint32_t EncoderConnect() {
    EncoderState& e = encoderState;
    const int drive = Drive();
    if (e.setupDrive != drive) {
        // Another box: the set-up and zero of the last one say nothing about it.
        e.initialised = 0;
        e.connected = 0;
        ZeroOffsets();
        e.setupDrive = drive;
    }
    if (e.connected && (telescopeEmulation || (IsSerialOpen() && e.connectedOpen == serialPort.openCount))) return 1;
    e.connected = 0;
    if (telescopeEmulation) {
        e.connected = 1;
        return 1;
    }
    ShowBusy(1);
    if (!OpenSerialPort(preferences.word[pref::scopePort], 9600)) {
        HideBusy();
        ShowMessage("Fail to open serial connection", "");
        return 0;
    }
    switch (drive) {
        case 1: case 11: case 16:
            if (!e.initialised) {
                ZeroOffsets();
                e.initialised = 1;
            }
            e.connected = 1;
            break;
        case 3: case 4: case 12:
            if (e.initialised) e.connected = 1;
            else SendSetup(drive);
            break;
        default:
            break;
    }
    if (!e.connected) {
        ShowMessage("Fail to open encoder connection", "");
        SetSerialHold(0);
        CloseSerialPort();
    }
    HideBusy();
    if (e.connected) e.connectedOpen = serialPort.openCount;
    return e.connected;
}

std::uint32_t EncoderDisconnect() {
    EncoderState& e = encoderState;
    e.connected = 0;
    if (telescopeEmulation) return 0;
    CloseSerialPort();
    return 1;
}

std::uint32_t EncoderQueryAltAz(double* az, double* alt, std::int32_t* rawAz, std::int32_t* rawAlt) {
    EncoderState& e = encoderState;
    *az = 0.0;
    *alt = 0.0;
    *rawAz = 0;
    *rawAlt = 0;
    if (!e.connected) {
        ShowMessage("Connection not open!", "");
        return 0;
    }
    if (!StatusOk()) {
        ShowMessage("Bad encoder status", "");
        if (!telescopeEmulation) CloseSerialPort();
        e.connected = 0;
        return 0;
    }
    std::int32_t countAz = 0;
    std::int32_t countAlt = 0;
    if (!ReadCounts(&countAz, &countAlt)) return 0;

    const std::int32_t altResolution = AltResolution();
    const std::int64_t altTurn = Magnitude(altResolution);
    if (altTurn == 0) {
        ShowMessage("Bad Alt encoder resolution", "Please check.");
        return 0;
    }
    std::int64_t c = AxisCount(countAlt, altResolution, e.altOffset);
    if (c > altTurn / 2) c -= altTurn;
    const double altitude = static_cast<double>(c) * 360.0 / static_cast<double>(altTurn);

    const std::int32_t azResolution = AzResolution();
    const std::int64_t azTurn = Magnitude(azResolution);
    if (azTurn == 0) {
        ShowMessage("Bad Azt encoder resolution", "Please check.");
        return 0;
    }
    const std::int64_t azCount = AxisCount(countAz, azResolution, e.azOffset);
    const double azimuth = static_cast<double>(azCount) * 360.0 / static_cast<double>(azTurn);

    *az = azimuth;
    *alt = altitude;
    *rawAz = countAz;
    *rawAlt = countAlt;
    return 1;
}

std::uint32_t EncoderQueryEQ(double* ra, double* dec, std::int32_t* rawAz, std::int32_t* rawAlt) {
    const std::uint32_t ok = EncoderQueryAltAz(ra, dec, rawAz, rawAlt);
    *ra /= 15.0;
    return ok;
}

void SetEncoderTarget(double raHours, double decDeg) {
    encoderState.targetRa = raHours;
    encoderState.targetDec = decDeg;
}

namespace {
void (*encoderGotoHook)(int connectFirst) = nullptr;
}  // namespace

void SetEncoderGotoHook(void (*openScopeControl)(int connectFirst)) { encoderGotoHook = openScopeControl; }

std::uint32_t EncoderGotoEQ(double raHours, double decDeg) {
    SetEncoderTarget(raHours, decDeg);
    if (encoderGotoHook) encoderGotoHook(1);
    return 1;
}

std::uint32_t ClearEncoderOffsets() {
    encoderState.initialised = 0;
    ZeroOffsets();
    return 0;
}

std::uint32_t SetEncoderOffsets(std::int32_t alt, std::int32_t az) {
    EncoderState& e = encoderState;
    e.altOffset = alt;
    e.azOffset = az;
    e.connected = 1;
    e.initialised = 1;
    e.setupDrive = Drive();
    e.connectedOpen = serialPort.openCount;
    return 1;
}

std::uint32_t CalibrateEncoderOffsets(const double* refAz, const double* refAlt) {
    EncoderState& e = encoderState;
    if (e.altOffset != 0 || e.azOffset != 0) return 1;
    if (EncoderConnect()) {
        double az, alt;
        std::int32_t rawAz, rawAlt;
        if (EncoderQueryAltAz(&az, &alt, &rawAz, &rawAlt)) {
            e.altOffset = static_cast<std::int32_t>(std::trunc((alt - *refAlt) * Magnitude(AltResolution()) / 360.0));
            e.azOffset = static_cast<std::int32_t>(std::trunc((az - *refAz) * Magnitude(AzResolution()) / 360.0));
            preferences.word[pref::encoderOffsetAlt] = e.altOffset;
            preferences.word[pref::encoderOffsetAz] = e.azOffset;
        }
    }
    if (!telescopeEmulation) CloseSerialPort();
    e.connected = 0;
    return 1;
}

std::uint32_t EmulSetRate(int rate) {
    static constexpr double kRates[] = {2.0, 0.5, 0.1, 0.05};
    if (!telescopeEmulation) return 0;
    EncoderState& e = encoderState;
    e.azStep = 0;
    e.altStep = 0;
    if (rate >= 0 && rate <= 3) e.rate = kRates[rate];
    return 1;
}

std::uint32_t EmulMove(int direction) {
    if (!telescopeEmulation) return 0;
    if (direction < 0 || direction > 3) return 1;
    EncoderState& e = encoderState;
    const auto steps = [&](std::int32_t resolution) {
        return static_cast<std::int32_t>(std::trunc(Magnitude(resolution) * e.rate / 360.0));
    };
    switch (direction) {
        case 0: e.altStep = steps(AltResolution()); break;
        case 1: e.altStep = -steps(AltResolution()); break;
        case 2: e.azStep = steps(AzResolution()); break;
        default: e.azStep = -steps(AzResolution()); break;
    }
    return 1;
}

std::uint32_t EmulStopMove() {
    if (!telescopeEmulation) return 0;
    encoderState.azStep = 0;
    encoderState.altStep = 0;
    return 0;
}

std::uint32_t EmulStopAll() { return 1; }
