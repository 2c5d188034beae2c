#include "scope/serial_port.h"

#include <cstring>

#include "core/report.h"
#include "core/settings.h"
#include "platform/serial_devices.h"
#include "shell/utilities.h"

int telescopeEmulation = 0;
SerialPortState serialPort;

namespace {

constexpr const char* kNoPortName = "None";

void ReallyClose() {
    SerialPortState& s = serialPort;
    s.device.Close();
    s.open = 0;
    s.path.clear();
    s.baud = 0;
    s.lineMask = 0;
}

// The name at a list position, or null outside the list.
const char* PortName(int port) {
    if (port < 0 || port >= serialPortNames.count) return nullptr;
    return serialPortNames.data[port].c_str();
}

const platform::SerialBackend& Backend() {
    return serialPort.device.IsOpen() ? *serialPort.device.backend : platform::CurrentSerialBackend();
}

void TellFlood() {
    if (serialPort.floodTold) return;
    serialPort.floodTold = 1;
    ShowMessage(kSerialFloodMessage, serialPort.path.c_str());
}

}  // namespace

int IsSerialOpen() { return serialPort.open; }

int IsSerialOpenWith(int port, int baud, int lineMask) {
    const SerialPortState& s = serialPort;
    const char* name = PortName(port);
    return s.open && port > 0 && name && s.path == name && s.baud == baud && s.lineMask == lineMask ? 1 : 0;
}

int OpenSerialPort(int port, int baud) {
    SerialPortState& s = serialPort;
    if (serialPortNames.count < 2) AddDefaultComPort();
    if (s.open) {
        if (IsSerialOpenWith(port, baud, 0)) return 1;
        // Another device or line: the open port's settings would garble the exchange.
        ReallyClose();
    }
    s.hold = 1;
    if (port < 0 || port >= serialPortNames.count) return 0;
    if (port == 0) {
        if (telescopeEmulation == 0)
            ShowMessage("No communication port is selected.\n", "Please select one using Preference 1/6.");
        telescopeEmulation = 1;
        return 0;
    }
    const char* name = PortName(port);
    platform::SerialDevice device = platform::OpenSerialDevice(name);
    if (!device.IsOpen()) {
        s.hold = 0;
        ShowMessage("Can't open serial port", name);
        return 0;
    }
    platform::SerialLine line;
    line.baud = static_cast<std::uint32_t>(baud);
    if (!device.backend->setLine(device.handle, line)) {
        s.hold = 0;
        ShowMessage("Can't set serial port parameters", "");
        return 0;  // the device closes with its record
    }
    if (!device.backend->setTimeouts(device.handle, platform::SerialTimeouts{})) {
        s.hold = 0;
        ShowMessage("Unable to set the time-out parameters", "");
        return 0;
    }
    SerialSleep(kSerialSettleMs);
    s.device = std::move(device);
    s.open = 1;
    s.path = name;
    s.baud = baud;
    s.lineMask = 0;
    s.line = line;
    s.floodTold = 0;
    ++s.openCount;
    return 1;
}

void CloseSerialPort() {
    if (serialPort.open && serialPort.hold == 0) ReallyClose();
}

void ClearSerialAuxFlag() {
    serialPort.hold = 0;
    CloseSerialPort();
}

void SetSerialHold(int flag) { serialPort.hold = flag != 0 ? 1 : 0; }

int GetSerialHold() { return static_cast<int>(serialPort.hold); }

std::uint32_t SerialWritePauseMs() {
    const std::uint32_t ticks = GetTicksPerSecond();
    const std::int32_t slowdown = preferences.word[pref::serialWriteDelay];
    if (slowdown >= 1 && slowdown <= 15) return static_cast<std::uint32_t>(slowdown) * ticks / 10;
    switch (preferences.word[pref::scopeDrive]) {
        case 8: case 9: case 20: return ticks / 4;
        case 19: return ticks / 6;
        default: return ticks / 8;
    }
}

void SerialSleep(std::uint32_t ms) { Backend().sleep(ms); }

std::uint32_t SerialTicks() {
    const platform::SerialBackend& b = Backend();
    return b.ticks ? b.ticks() : 0;
}

int DrainSerialInput() {
    SerialPortState& s = serialPort;
    if (!s.open) return 0;
    // What is already there, and the rest of it while it keeps coming, without waiting
    // for a device that has nothing to say.
    unsigned char junk[64];
    const std::uint32_t start = SerialTicks();
    int dropped = 0;
    bool quiet = false;
    while (dropped < kSerialDrainMaxBytes && SerialTicks() - start < kSerialDrainMaxMs) {
        const long n = s.device.backend->readPending(s.device.handle, junk, sizeof junk);
        if (n <= 0) {
            quiet = true;
            break;
        }
        dropped += static_cast<int>(n);
    }
    s.device.backend->purge(s.device.handle);
    if (!quiet) TellFlood();
    return quiet ? 1 : 0;
}

int ReadSerialUntil(int stop, char* text, std::size_t size) {
    std::size_t n = 0;
    int result = -1;
    const std::uint32_t start = SerialTicks();
    for (int taken = 0; taken < kSerialAnswerMaxBytes && SerialTicks() - start < kSerialAnswerMaxMs; ++taken) {
        unsigned char c;
        if (ReadSerial(&c, 1) != 1) {
            result = stop == kSerialNoStop ? 1 : 0;
            break;
        }
        if (static_cast<int>(c) == stop) {
            result = 1;
            break;
        }
        if (text && n + 1 < size) text[n++] = static_cast<char>(c);
    }
    if (text && size > 0) text[n] = '\0';
    if (result < 0) TellFlood();
    return result;
}

int WriteSerial(const void* bytes, int count) {
    SerialPortState& s = serialPort;
    if (!s.open || count < 0 || (count > 0 && !bytes)) return 0;
    DrainSerialInput();
    if (!s.device.backend->write(s.device.handle, bytes, static_cast<std::size_t>(count))) {
        s.hold = 0;
        return 0;
    }
    SerialSleep(SerialWritePauseMs());
    return 1;
}

int WriteSerialText(const char* text) { return text ? WriteSerial(text, static_cast<int>(std::strlen(text))) : 0; }

int ReadSerial(void* buffer, int count) {
    SerialPortState& s = serialPort;
    if (!s.open || count <= 0 || !buffer) return 0;
    const long n = s.device.backend->read(s.device.handle, buffer, static_cast<std::size_t>(count));
    return n > 0 ? static_cast<int>(n) : 0;
}

int ReadSerialSiderealTech(void* buffer, int count) { return ReadSerial(buffer, count); }

int SetSerialParams(int mask) {
    SerialPortState& s = serialPort;
    if (!s.open) return 0;
    platform::SerialLine line = s.line;
    if (mask & kLineTwoStopBits) line.stopBits = 2;
    if (mask & kLineParityCheck) line.parityCheck = true;
    if (mask & kLineEvenParity) line.parity = 'E';
    // Linux has no RTS handshake of its own: RTS simply stays raised, and only CTS output
    // flow control switches hardware flow on.
    line.ctsFlow = (mask & kLineCtsFlow) != 0;
    switch (mask & kLineDataBits) {
        case 0xC0: line.dataBits = 8; break;
        case 0x80: line.dataBits = 7; break;
        case 0x40: line.dataBits = 6; break;
        default: break;
    }
    const platform::SerialBackend& b = *s.device.backend;
    if (!b.setLine(s.device.handle, line) ||
        !b.setModemLines(s.device.handle, platform::kSerialDtr | platform::kSerialRts, 0)) {
        ShowMessage("Can't set serial port parameters", "");
        s.hold = 0;
        ReallyClose();
        return 0;
    }
    s.line = line;
    s.lineMask = mask;
    return 1;
}

int SetupSerialBuffers(int) { return 0; }

int AddDefaultComPort() {
    if (serialPortNames.count >= 2) return serialPortNames.count;
    if (StrBuf* none = StringArrayAt(serialPortNames, 0)) *none = StrBuf(kNoPortName);
    for (const std::string& path : platform::ListSerialDevices()) {
        bool listed = false;
        for (int i = 1; i < serialPortNames.count; ++i)
            if (path == serialPortNames.data[i].c_str()) listed = true;
        if (listed) continue;
        StrBuf* slot = StringArrayAt(serialPortNames, serialPortNames.count);
        if (!slot) break;
        *slot = StrBuf(path.c_str());
    }
    return serialPortNames.count;
}

int GetComPortCount() { return serialPortNames.count; }

void GetComPortName(int index, char* destination, std::size_t size) {
    if (!destination || size == 0) return;
    const char* name = PortName(index);
    if (!name) name = "";
    std::strncpy(destination, name, size - 1);
    destination[size - 1] = '\0';
}

StrBuf* StringArrayAt(StrBufArray& array, int index) { return GrowableAt(array, index); }
