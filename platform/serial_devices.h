#pragma once
// Which serial devices the user can choose: the paths named in VELKARION_SERIAL_PORTS
// (colon-separated; how tests and users point the program at a pseudo-terminal or an
// unusual device), then the USB adapters, the USB modems and the built-in ports present
// in /dev that open.
#include <string>
#include <vector>

namespace platform {

inline constexpr const char* kSerialPortsVariable = "VELKARION_SERIAL_PORTS";

// The non-empty paths of VELKARION_SERIAL_PORTS, in their order.
std::vector<std::string> SerialPathsFromEnvironment();
// The ttyUSB*, ttyACM* and ttyS* entries of `directory` that open for reading and
// writing, in that order of kinds and by number within a kind.
std::vector<std::string> ScanSerialDevices(const char* directory);
// Both of the above, without repeats.
std::vector<std::string> ListSerialDevices();

}  // namespace platform
