#include "platform/serial_backend.h"

#include <utility>

namespace platform {

namespace {
const SerialBackend* current = nullptr;
}  // namespace

void SetSerialBackend(const SerialBackend* backend) { current = backend; }

const SerialBackend& CurrentSerialBackend() { return current ? *current : TermiosSerialBackend(); }

SerialDevice::SerialDevice(SerialDevice&& other) noexcept
    : backend(std::exchange(other.backend, nullptr)), handle(std::exchange(other.handle, -1)) {}

SerialDevice& SerialDevice::operator=(SerialDevice&& other) noexcept {
    if (this != &other) {
        Close();
        backend = std::exchange(other.backend, nullptr);
        handle = std::exchange(other.handle, -1);
    }
    return *this;
}

void SerialDevice::Close() {
    if (IsOpen()) backend->close(handle);
    backend = nullptr;
    handle = -1;
}

SerialDevice OpenSerialDevice(const char* path) {
    const SerialBackend& b = CurrentSerialBackend();
    const int h = b.open(path);
    if (h < 0) return SerialDevice();
    return SerialDevice(&b, h);
}

}  // namespace platform
