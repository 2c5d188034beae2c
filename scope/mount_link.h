#pragma once
// What the serial mount drivers share: the record of what a driver learnt from its mount
// (which holds for one open of the port and one drive code only), the checked sends, and
// the checks of fixed-form answers.
#include <cstdint>

// The port open (serialPort.openCount) and drive code on which a driver learnt something
// from its mount (that it answered the probe, its resolutions, that the site was sent).
struct LearntOnPort {
    std::uint32_t open = 0;
    std::int32_t drive = -1;
};
// True while the port is still the one opened then and the drive code the same.
bool StillHolds(const LearntOnPort& learnt);
// Marks it learnt on the open port for the current drive code; Forget undoes it.
void MarkLearnt(LearntOnPort& learnt);
void Forget(LearntOnPort& learnt);

// The current drive code and the scope port setting.
int ScopeDriveCode();
int ScopePortSetting();

// The end of a failed connect: tells `message`, lets the port really close; 0.
std::uint32_t FailConnect(const char* message);
// A driver's disconnect: the held port stays open for the next operation; 1.
std::uint32_t DisconnectMount();

// Sends a text; on failure "Fail to send string" with the text as detail. True when sent.
bool SendOrTell(const char* text);
// Reads and drops single bytes until none comes (bounded as ReadSerialUntil).
void DropRestOfAnswer();

// Whether `text` of `n` bytes has the form of `pattern`, byte for byte: '9' a decimal
// digit, 'h' a hex digit (either case), 's' '+' or '-', 'S' '+', '-' or a blank, any other
// byte itself; '?' any byte.
bool HasAnswerForm(const char* text, int n, const char* pattern);

// Whether the `n` bytes hold a decimal number: blanks, a sign, digits with at most one
// '.', at least one digit. With `rest` true, anything may follow the number.
bool IsDecimalField(const char* text, int n, bool rest = false);

// Whether a position read from a mount can be real: RA in [0, 24) hours (or azimuth in
// [0, 360) degrees) and declination (or altitude) in [-90, 90] degrees. A well-formed
// answer outside them is a failed read, as a garbled one is.
bool IsRealEquatorial(double raHours, double decDeg);
bool IsRealHorizontal(double azimuthDeg, double altitudeDeg);
// Whether the two decimal digits at `text` (minutes or seconds) are below 60.
bool BelowSixty(const char* text);
