// Mount replies: every drive code through the dispatcher's driver rows on the in-memory
// serial backend, each write answered by the next chunk of the input (a length byte, then
// that many bytes), and the device babbling the rest once the chunks run out. No call may
// hang or read past its buffers, and a position read as good must be a real one: RA in
// [0, 24) hours (azimuth in [0, 360) degrees), declination or altitude in [-90, 90].
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/report.h"
#include "core/settings.h"
#include "platform/serial_fake.h"
#include "scope/mount_dispatcher.h"
#include "scope/mount_drivers.h"
#include "scope/serial_port.h"

namespace {

void Check(bool real) {
    if (!real) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool setUp = [] {
        ::setenv("VELKARION_SERIAL_PORTS", "/dev/ttyFAKE0", 1);
        platform::SetSerialBackend(&platform::FakeSerialBackend());
        return true;
    }();
    (void)setUp;
    if (size < 2) return 0;
    const int drive = 1 + data[0] % 20;
    const unsigned ops = data[1];
    std::size_t at = 2;

    ClearSerialAuxFlag();
    platform::ResetFakeSerial();
    ClearRecordedReports();
    telescopeEmulation = 0;
    preferences.word[pref::scopeDrive] = drive;
    preferences.word[pref::scopePort] = 1;
    preferences.word[pref::mountType] = static_cast<int>(ops >> 6) % 3;
    preferences.word[pref::serialWriteDelay] = 0;
    platform::fakeSerial.respond = [&](platform::FakeSerial& f, const std::string&) {
        if (at >= size) return;
        const std::size_t n = data[at++];
        const std::size_t take = n < size - at ? n : size - at;
        f.Reply(std::string(reinterpret_cast<const char*>(data + at), take));
        at += take;
    };
    // What is left after the last chunk: a device that keeps sending it.
    platform::fakeSerial.stream = [&](platform::FakeSerial&) {
        if (at >= size) return std::string();
        return std::string(reinterpret_cast<const char*>(data + at), size - at < 48 ? size - at : 48);
    };
    platform::fakeSerial.readMs = 10;

    MountFamily family;
    if (!MountFamilyOfDrive(drive, &family)) return 0;
    MountDriver& d = DriverOf(family);
    const bool encoder = family == MountFamily::Encoder;
    d.connect();
    for (int round = 0; round < 3; ++round) {
        double a = -1000, b = -1000;
        if (d.queryEQ(&a, &b) && !encoder) Check(a >= 0.0 && a < 24.0 && b >= -90.0 && b <= 90.0);
        if (encoder) Check(!std::isnan(a) && !std::isnan(b));
        a = -1000, b = -1000;
        if (family == MountFamily::SiderealTech && d.queryAltAz(&a, &b))
            Check(a >= 0.0 && a < 360.0 && b >= -90.0 && b <= 90.0);
        switch ((ops >> (2 * round)) & 3) {
        case 0: d.gotoEQ(5.5, -20.25); break;
        case 1: d.syncEQ(23.99, 89.9); break;
        case 2: d.setRate(round); d.move(round); d.stopMove(round); break;
        default: d.stopAll(); break;
        }
    }
    double first = 0, second = 0;
    ScopeGetPosition(&first, &second);
    Check(std::isfinite(first) && std::isfinite(second));
    d.disconnect();
    ClearSerialAuxFlag();
    platform::fakeSerial.respond = nullptr;
    platform::fakeSerial.stream = nullptr;
    return 0;
}
