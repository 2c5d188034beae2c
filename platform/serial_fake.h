#pragma once
// A serial backend in memory, for tests: it records every call, the bytes written and the
// modem lines, answers reads from a queue that a test (or a responder called on each
// write) fills, never waits, and can be told to refuse an open, the line settings, the
// time-outs, the modem lines or a write. One device at a time can be open.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/serial_backend.h"

namespace platform {

struct FakeSerial {
    // What the next calls refuse.
    bool refuseOpen = false;
    bool refuseLine = false;
    bool refuseTimeouts = false;
    bool refuseModemLines = false;
    bool refuseWrite = false;

    // The device now open ("" while closed), and what the program set on it.
    std::string path;
    bool open = false;
    SerialLine line;
    SerialTimeouts timeouts;
    unsigned modemLines = 0;

    // Every call in order, as "open /dev/ttyUSB0", "line 9600 8N1", "line 9600 8E1 check
    // cts", "timeouts 400 1 400 1 400", "read 10", "pending 64", "write 5", "purge",
    // "lines +3 -0", "close", "sleep 3500".
    std::vector<std::string> calls;
    // Every byte written, and the writes one by one.
    std::vector<std::uint8_t> written;
    std::vector<std::string> writes;
    // The waits asked for, in milliseconds.
    std::vector<std::uint32_t> sleeps;

    // What reads return, oldest first. A read takes up to the count asked for and returns
    // at once with what there is.
    std::deque<std::uint8_t> input;
    // Called after each accepted write with the bytes written; may fill `input`.
    std::function<void(FakeSerial& fake, const std::string& bytes)> respond;
    // A device that sends on its own (a GPS receiver, a mount that babbles): called when a
    // read finds `input` empty; what it returns is read as if it had just arrived.
    std::function<std::string(FakeSerial& fake)> stream;

    // The fake's clock in milliseconds: it moves by every sleep and by `readMs` for each
    // read, the time a read of a slow device takes.
    std::uint32_t clockMs = 0;
    std::uint32_t readMs = 0;

    // Queues bytes for the reads.
    void Reply(const std::string& bytes) { input.insert(input.end(), bytes.begin(), bytes.end()); }
    // How many recorded calls begin with `prefix`.
    int Count(const std::string& prefix) const;
};

// The one fake device, and the backend that drives it.
extern FakeSerial fakeSerial;
const SerialBackend& FakeSerialBackend();
// Forgets everything: closed, nothing refused, nothing recorded.
void ResetFakeSerial();

}  // namespace platform
