#pragma once
// The serial line as the program sees it: a device opened for this program alone, its line
// settings, its read and write time-outs, raw reads and writes, purging, and the DTR and
// RTS modem lines. A backend is a record of functions; termios drives real devices and
// pseudo-terminals, the fake of "platform/serial_fake.h" records what the program does.
//
// Every wait the serial users take between operations (the settling time after an open,
// the pause after a write, the pauses of a box's set-up) goes through the backend's sleep,
// so tests replace it and run at full speed.
#include <cstddef>
#include <cstdint>

namespace platform {

struct SerialLine {
    std::uint32_t baud = 9600;
    int dataBits = 8;          // 5 to 8
    char parity = 'N';         // 'N' none, 'E' even, 'O' odd
    bool parityCheck = false;  // received bytes with a parity error read as 0
    int stopBits = 1;          // 1 or 2
    bool ctsFlow = false;      // RTS/CTS hardware flow control
    friend bool operator==(const SerialLine&, const SerialLine&) = default;
};

// A read of n bytes ends when n bytes came, when `gapMs` passed after a byte without the
// next one, or after n x readPerByteMs + readTotalMs in all. A write of n bytes gives up
// after n x writePerByteMs + writeTotalMs.
struct SerialTimeouts {
    int gapMs = 400;
    int readPerByteMs = 1;
    int readTotalMs = 400;
    int writePerByteMs = 1;
    int writeTotalMs = 400;
    friend bool operator==(const SerialTimeouts&, const SerialTimeouts&) = default;
};

// Modem line bits.
inline constexpr unsigned kSerialDtr = 0x1;
inline constexpr unsigned kSerialRts = 0x2;

struct SerialBackend {
    // Opens the device at `path` for reading and writing, for this handle alone: while it
    // is open no other open of the device succeeds. DTR and RTS are dropped. A handle of 0
    // or more, or -1 when the device cannot be opened.
    int (*open)(const char* path) = nullptr;
    // Applies the whole line; false when the device refuses it.
    bool (*setLine)(int handle, const SerialLine& line) = nullptr;
    bool (*setTimeouts)(int handle, const SerialTimeouts& timeouts) = nullptr;
    // Reads up to n bytes within the time-outs: the count read (0 when none came in
    // time), or -1 when the device failed before anything was read.
    long (*read)(int handle, void* buffer, std::size_t n) = nullptr;
    // The bytes already received, and those that follow them within the gap, up to n;
    // never waits for a first byte. The count, or -1 as for read.
    long (*readPending)(int handle, void* buffer, std::size_t n) = nullptr;
    // Writes all n bytes within the write time-out; false when they could not be written.
    bool (*write)(int handle, const void* bytes, std::size_t n) = nullptr;
    // Drops what was received and not read. What was written still goes out: it is the
    // tail of a whole command.
    bool (*purge)(int handle) = nullptr;
    // Raises the lines in `raise`, then drops those in `drop`. A device without modem
    // lines (a pseudo-terminal) accepts the call and changes nothing.
    bool (*setModemLines)(int handle, unsigned raise, unsigned drop) = nullptr;
    // The modem lines now raised (0 for a device without them).
    unsigned (*modemLines)(int handle) = nullptr;
    // Drops DTR and RTS and closes the handle.
    void (*close)(int handle) = nullptr;
    // Waits `ms` milliseconds.
    void (*sleep)(std::uint32_t ms) = nullptr;
    // Milliseconds of a steady clock: the time bounds of the serial users' loops, which
    // must hold whatever a device sends.
    std::uint32_t (*ticks)() = nullptr;
};

// Devices and pseudo-terminals through termios.
const SerialBackend& TermiosSerialBackend();

// The backend in use: termios until another is set; null returns to termios. The record
// must outlive every device opened through it.
void SetSerialBackend(const SerialBackend* backend);
const SerialBackend& CurrentSerialBackend();

// One open device: closed through the backend that opened it when the record is closed,
// replaced or destroyed.
struct SerialDevice {
    const SerialBackend* backend = nullptr;
    int handle = -1;

    SerialDevice() = default;
    SerialDevice(const SerialBackend* b, int h) : backend(b), handle(h) {}
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;
    SerialDevice(SerialDevice&& other) noexcept;
    SerialDevice& operator=(SerialDevice&& other) noexcept;
    ~SerialDevice() { Close(); }

    bool IsOpen() const { return backend != nullptr && handle >= 0; }
    void Close();
};

// Opens `path` through the current backend; the record is closed when the open failed.
SerialDevice OpenSerialDevice(const char* path);

}  // namespace platform
