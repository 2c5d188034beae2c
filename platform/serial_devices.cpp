#include "platform/serial_devices.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace platform {

namespace {

// A device name of one of the kinds: its kind's rank and its number.
bool DeviceKind(const std::string& name, int* rank, long* number) {
    static constexpr const char* kKinds[] = {"ttyUSB", "ttyACM", "ttyS"};
    for (int k = 0; k < 3; ++k) {
        const std::size_t len = std::strlen(kKinds[k]);
        if (name.size() <= len || name.compare(0, len, kKinds[k]) != 0) continue;
        const std::string digits = name.substr(len);
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
        if (digits.size() > 6) return false;
        *rank = k;
        *number = std::strtol(digits.c_str(), nullptr, 10);
        return true;
    }
    return false;
}

// A built-in port without hardware behind it refuses the open; so does a device the
// user may not use. Non-blocking, so that no carrier is waited for.
bool Opens(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

}  // namespace

std::vector<std::string> SerialPathsFromEnvironment() {
    std::vector<std::string> paths;
    const char* value = std::getenv(kSerialPortsVariable);
    if (!value) return paths;
    std::string text(value);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(':', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) paths.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return paths;
}

std::vector<std::string> ScanSerialDevices(const char* directory) {
    struct Found {
        int rank;
        long number;
        std::string path;
    };
    std::vector<Found> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        int rank;
        long number;
        if (!DeviceKind(name, &rank, &number)) continue;
        const std::string path = it->path().string();
        if (Opens(path)) found.push_back({rank, number, path});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.rank != b.rank ? a.rank < b.rank : a.number < b.number;
    });
    std::vector<std::string> paths;
    for (const Found& f : found) paths.push_back(f.path);
    return paths;
}

std::vector<std::string> ListSerialDevices() {
    std::vector<std::string> paths;
    auto add = [&](const std::vector<std::string>& more) {
        for (const std::string& p : more)
            if (std::find(paths.begin(), paths.end(), p) == paths.end()) paths.push_back(p);
    };
    add(SerialPathsFromEnvironment());
    add(ScanSerialDevices("/dev"));
    return paths;
}

}  // namespace platform
