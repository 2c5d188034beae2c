#pragma once
// The program's one serial port, shared by the mount drivers, the camera shutter cable and
// the GPS reader. Every successful open sets the hold-open flag, so a connection stays
// open across operations: CloseSerialPort closes only once the flag is cleared (after a
// failure, or by SetSerialHold(0) where the port must really close).
//
// The port remembers the device, baud rate and line mask it was opened with; an open that
// asks for another device or baud rate, or finds a line changed by SetSerialParams, closes
// the port and opens it anew, so a driver never talks through a line set up for another.
// Each real open counts in `serialPort.openCount`: what a driver learnt from its device
// holds for that open only.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/growable_arrays.h"
#include "core/initialisers.h"
#include "platform/serial_backend.h"

// 1 while the mount is simulated instead of driven: no serial traffic.
extern int telescopeEmulation;

struct SerialPortState {
    platform::SerialDevice device;  // the open device; none while closed
    std::uint8_t open = 0;          // 1 while the port is open
    std::uint32_t hold = 0;         // while 1, CloseSerialPort leaves the port open
    std::string path;               // the device, baud rate, line and line mask of the open port
    std::int32_t baud = 0;
    std::int32_t lineMask = 0;      // 0: the line as opened, 8N1 without flow control
    platform::SerialLine line;
    std::uint32_t openCount = 0;    // real opens so far
    std::uint8_t floodTold = 0;     // 1 once this open's device was found sending without end
};
extern SerialPortState serialPort;

// Line-parameter mask bits of SetSerialParams.
inline constexpr int kLineTwoStopBits = 0x01;
inline constexpr int kLineParityCheck = 0x02;
inline constexpr int kLineEvenParity = 0x04;
inline constexpr int kLineRtsHandshake = 0x10;
inline constexpr int kLineCtsFlow = 0x20;
inline constexpr int kLineDataBits = 0xC0;  // 0xC0 eight, 0x80 seven, 0x40 six

// What one drain or one read up to a stop byte takes in at most, in bytes and in
// milliseconds: a device that never stops sending (a GPS receiver on the mount's port)
// must not hold the program.
inline constexpr int kSerialDrainMaxBytes = 4096;
inline constexpr std::uint32_t kSerialDrainMaxMs = 500;
inline constexpr int kSerialAnswerMaxBytes = 256;
inline constexpr std::uint32_t kSerialAnswerMaxMs = 2000;
// Said once an open when a drain or a read gives up on a device that keeps sending.
inline constexpr const char* kSerialFloodMessage = "The mount keeps sending data: is the right device on this port?";

// The settling wait after an open, in milliseconds.
inline constexpr std::uint32_t kSerialSettleMs = 3500;

// Opens the device at position `port` of the port list at `baud`, 8 data bits, no parity,
// one stop bit, with the port time-outs, then waits for it to settle. Position 0 is no
// port: the mount is emulated ("No communication port is selected." the first time).
// 1 when the port is (or already was) open with these values.
int OpenSerialPort(int port, int baud);
// Closes the port when it is open and not held open.
void CloseSerialPort();
// Clears the hold-open flag and closes the port, so that the next open starts fresh.
void ClearSerialAuxFlag();
void SetSerialHold(int flag);
int GetSerialHold();
int IsSerialOpen();
// 1 when the port is open on the device of list position `port` at `baud` with the line
// set by SetSerialParams(`lineMask`) (0: the line as opened).
int IsSerialOpenWith(int port, int baud, int lineMask);

// Drops stale input, writes the bytes and pauses (SerialWritePauseMs). 1 on success; 0
// when the port is closed or the write failed, which clears the hold-open flag. A device
// that keeps sending through the drain is reported, and the bytes still go out: a stop
// must reach the mount whatever else is on the line.
int WriteSerial(const void* bytes, int count);
// The text up to its terminating 0.
int WriteSerialText(const char* text);
// Reads up to `count` bytes within the port time-outs: the number read (0 when closed).
int ReadSerial(void* buffer, int count);
int ReadSerialSiderealTech(void* buffer, int count);
// Drops what the device sent and nobody read, within kSerialDrainMaxBytes and
// kSerialDrainMaxMs. 1 when the line went quiet; 0 when the port is closed or the device
// kept sending (which is said, kSerialFloodMessage, once an open).
int DrainSerialInput();
// Reads single bytes until `stop` came (kSerialNoStop: until a read brings nothing),
// within kSerialAnswerMaxBytes and kSerialAnswerMaxMs; the bytes before `stop` go to
// `text` (as many as fit with the terminating 0; text may be null). 1 when `stop` came or
// the line went quiet, 0 when it ended on silence before `stop`, -1 when the bound ran
// out (said as by DrainSerialInput).
inline constexpr int kSerialNoStop = -1;
int ReadSerialUntil(int stop, char* text, std::size_t size);
// Applies a line-parameter mask (bits above). 0 when the port is closed; on refusal "Can't
// set serial port parameters", the port closed and 0.
int SetSerialParams(int mask);
// Nothing to do: the device keeps its own buffers. Returns 0.
int SetupSerialBuffers(int size);

// The pause after each write in milliseconds: s x 100 for a write slowdown s of 1 to 15,
// else by the drive code: 250 for codes 8, 9 and 20, 166 for code 19, 125 for the others.
std::uint32_t SerialWritePauseMs();
// Waits through the serial backend (so that tests do not wait).
void SerialSleep(std::uint32_t ms);
// Milliseconds of the serial backend's steady clock, for the time bounds of the serial
// users' loops.
std::uint32_t SerialTicks();

// The port list `serialPortNames`: position 0 "None" (the emulated mount), then the device
// paths. Fills the list from the devices present when it holds no device yet; the count.
int AddDefaultComPort();
int GetComPortCount();
// Copies the name at `index` ("" outside the list) into `destination` of `size` bytes.
void GetComPortName(int index, char* destination, std::size_t size);
// The address of element `index` of a StrBuf array, growing it as needed; null when the
// index is negative or memory runs out.
StrBuf* StringArrayAt(StrBufArray& array, int index);
