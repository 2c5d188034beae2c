#pragma once
// The drivers of drive codes 13 "ServoCat" and 19 "SkyCommander": read and sent GoTo
// targets as decimal right ascension (hours) and declination (degrees) at 9600 baud. A
// carriage return asks the position, answered in fixed-length text. Neither knows a sync;
// the dispatcher sends their rate, move and stop operations to the emulated mount.
#include <cstdint>
#include <cstddef>

// 1 connected, 0 not.
std::uint32_t ServoCatConnect();
// Leaves the held port open (CloseSerialPort); 1.
std::uint32_t ServoCatDisconnect();
// 1 read, 0 when the write failed or the answer was short or not two numbers.
std::uint32_t ServoCatQueryEQ(double* raHours, double* decDeg);
// 1 written, 0 not (told). No acknowledgement is read.
std::uint32_t ServoCatGotoEQ(double raHours, double decDeg);

std::uint32_t SkyCommanderConnect();
std::uint32_t SkyCommanderDisconnect();
std::uint32_t SkyCommanderQueryEQ(double* raHours, double* decDeg);
// 1 when the controller acknowledged the target with 'A', 0 not (told).
std::uint32_t SkyCommanderGotoEQ(double raHours, double decDeg);

// The GoTo commands as sent: "g05.062 -00.500" and "L0 05.250 +45.500\n".
void FormatServoCatTarget(char* out, std::size_t size, double raHours, double decDeg);
void FormatSkyCommanderTarget(char* out, std::size_t size, double raHours, double decDeg);
