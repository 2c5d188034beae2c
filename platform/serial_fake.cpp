#include "platform/serial_fake.h"

#include <algorithm>

namespace platform {

FakeSerial fakeSerial;

namespace {

constexpr int kFakeHandle = 7;

bool Ours(int handle) { return fakeSerial.open && handle == kFakeHandle; }

int Open(const char* path) {
    FakeSerial& f = fakeSerial;
    f.calls.push_back(std::string("open ") + (path ? path : ""));
    if (f.refuseOpen || f.open || !path || !*path) return -1;
    f.open = true;
    f.path = path;
    f.line = SerialLine{};
    f.timeouts = SerialTimeouts{};
    f.modemLines = 0;
    return kFakeHandle;
}

bool SetLine(int handle, const SerialLine& line) {
    FakeSerial& f = fakeSerial;
    std::string text = "line " + std::to_string(line.baud) + " " + std::to_string(line.dataBits) + line.parity +
                       std::to_string(line.stopBits);
    if (line.parityCheck) text += " check";
    if (line.ctsFlow) text += " cts";
    f.calls.push_back(text);
    if (!Ours(handle) || f.refuseLine) return false;
    f.line = line;
    return true;
}

bool SetTimeouts(int handle, const SerialTimeouts& t) {
    FakeSerial& f = fakeSerial;
    f.calls.push_back("timeouts " + std::to_string(t.gapMs) + " " + std::to_string(t.readPerByteMs) + " " +
                      std::to_string(t.readTotalMs) + " " + std::to_string(t.writePerByteMs) + " " +
                      std::to_string(t.writeTotalMs));
    if (!Ours(handle) || f.refuseTimeouts) return false;
    f.timeouts = t;
    return true;
}

long Take(int handle, void* buffer, std::size_t n) {
    FakeSerial& f = fakeSerial;
    if (!Ours(handle)) return -1;
    f.clockMs += f.readMs;
    if (f.input.empty() && f.stream) f.Reply(f.stream(f));
    const std::size_t k = std::min(n, f.input.size());
    auto* out = static_cast<std::uint8_t*>(buffer);
    for (std::size_t i = 0; i < k; ++i) {
        out[i] = f.input.front();
        f.input.pop_front();
    }
    return static_cast<long>(k);
}

long Read(int handle, void* buffer, std::size_t n) {
    fakeSerial.calls.push_back("read " + std::to_string(n));
    return Take(handle, buffer, n);
}

long ReadPending(int handle, void* buffer, std::size_t n) {
    fakeSerial.calls.push_back("pending " + std::to_string(n));
    return Take(handle, buffer, n);
}

bool Write(int handle, const void* bytes, std::size_t n) {
    FakeSerial& f = fakeSerial;
    f.calls.push_back("write " + std::to_string(n));
    if (!Ours(handle) || f.refuseWrite) return false;
    const std::string data(static_cast<const char*>(bytes), n);
    f.written.insert(f.written.end(), data.begin(), data.end());
    f.writes.push_back(data);
    if (f.respond) f.respond(f, data);
    return true;
}

bool Purge(int handle) {
    fakeSerial.calls.push_back("purge");
    if (!Ours(handle)) return false;
    fakeSerial.input.clear();
    return true;
}

bool SetModemLines(int handle, unsigned raise, unsigned drop) {
    FakeSerial& f = fakeSerial;
    f.calls.push_back("lines +" + std::to_string(raise) + " -" + std::to_string(drop));
    if (!Ours(handle) || f.refuseModemLines) return false;
    f.modemLines = (f.modemLines | raise) & ~drop;
    return true;
}

unsigned ModemLines(int handle) { return Ours(handle) ? fakeSerial.modemLines : 0; }

void Close(int handle) {
    FakeSerial& f = fakeSerial;
    f.calls.push_back("close");
    if (!Ours(handle)) return;
    f.open = false;
    f.modemLines = 0;
    f.path.clear();
}

void Sleep(std::uint32_t ms) {
    fakeSerial.calls.push_back("sleep " + std::to_string(ms));
    fakeSerial.sleeps.push_back(ms);
    fakeSerial.clockMs += ms;
}

std::uint32_t Ticks() { return fakeSerial.clockMs; }

constexpr SerialBackend kFake{Open, SetLine, SetTimeouts, Read, ReadPending, Write, Purge,
                              SetModemLines, ModemLines, Close, Sleep, Ticks};

}  // namespace

int FakeSerial::Count(const std::string& prefix) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                          [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
}

const SerialBackend& FakeSerialBackend() { return kFake; }

void ResetFakeSerial() { fakeSerial = FakeSerial{}; }

}  // namespace platform
