// The serial port layer: over a pseudo-terminal with the mount double, and through the fake
// backend for the modem lines, refused settings and the waits.
#include <gtest/gtest.h>

#include <poll.h>

#include <chrono>
#include <string>
#include <vector>

#include "core/initialisers.h"
#include "core/settings.h"
#include "platform/serial_fake.h"
#include "scope/serial_port.h"
#include "serial_equipment.h"
#include "support/recorded_reports.h"

namespace {

using platform::fakeSerial;
using Clock = std::chrono::steady_clock;

std::string AllByteValues() {
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
    return all;
}

// Waits (up to a generous bound) until the program's side of the line has input.
bool InputArrived() {
    pollfd p{serialPort.device.handle, POLLIN, 0};
    return poll(&p, 1, 10000) == 1;
}

speed_t MasterSpeed(MountDouble& mount) {
    const termios t = mount.MasterAttributes();
    return cfgetospeed(&t);
}

class SerialPortPty : public ::testing::Test {
protected:
    MountDouble mount{MountDialect::Raw};
    SerialBench bench{{mount.SlavePath()}};
};

TEST_F(SerialPortPty, TheHoldFlagKeepsTheOpenPortUntilCleared) {
    ASSERT_EQ(OpenSerialPort(1, 9600), 1);
    EXPECT_EQ(IsSerialOpen(), 1);
    EXPECT_EQ(GetSerialHold(), 1) << "every successful open holds the port";
    EXPECT_EQ(SerialBench::Waits(), (std::vector<std::uint32_t>{kSerialSettleMs}));

    EXPECT_EQ(OpenSerialPort(1, 9600), 1) << "already open";
    EXPECT_EQ(serialPort.openCount, 1u);
    EXPECT_EQ(SerialBench::Waits().size(), 1u) << "no second settling wait";

    CloseSerialPort();
    EXPECT_EQ(IsSerialOpen(), 1) << "held";
    SetSerialHold(0);
    CloseSerialPort();
    EXPECT_EQ(IsSerialOpen(), 0);

    ASSERT_EQ(OpenSerialPort(1, 9600), 1);
    ClearSerialAuxFlag();
    EXPECT_EQ(IsSerialOpen(), 0) << "the GPS reader and Change Scope start afresh";
    EXPECT_TRUE(RecordedReports().empty());
}

TEST_F(SerialPortPty, AFailedWriteClearsTheHoldSoTheNextCloseCloses) {
    ASSERT_EQ(OpenSerialPort(1, 9600), 1);
    mount.CloseMaster();
    EXPECT_EQ(WriteSerialText("#:GD#"), 0);
    EXPECT_EQ(GetSerialHold(), 0);
    EXPECT_EQ(IsSerialOpen(), 1);
    CloseSerialPort();
    EXPECT_EQ(IsSerialOpen(), 0);
    EXPECT_TRUE(RecordedReports().empty()) << "the driver reports, not the port";
}

TEST_F(SerialPortPty, TheOpenDeviceIsOurs) {
    ASSERT_EQ(OpenSerialPort(1, 9600), 1);
    platform::SerialDevice second = platform::OpenSerialDevice(mount.SlavePath().c_str());
    EXPECT_FALSE(second.IsOpen());
}

TEST_F(SerialPortPty, AnOpenAtAnotherBaudRateOrAfterALineChangeOpensAnew) {
    ASSERT_EQ(OpenSerialPort(1, 9600), 1);
    EXPECT_EQ(MasterSpeed(mount), static_cast<speed_t>(B9600));

    ASSERT_EQ(OpenSerialPort(1, 19200), 1);
    EXPECT_EQ(serialPort.openCount, 2u);
    EXPECT_EQ(MasterSpeed(mount), static_cast<speed_t>(B19200));
    EXPECT_EQ(SerialBench::Waits(), (std::vector<std::uint32_t>{kSerialSettleMs, kSerialSettleMs}));
    EXPECT_EQ(IsSerialOpenWith(1, 19200, 0), 1);

    ASSERT_EQ(SetSerialParams(0xD0), 1);
    EXPECT_EQ(IsSerialOpenWith(1, 19200, 0xD0), 1);
    EXPECT_EQ(IsSerialOpenWith(1, 19200, 0), 0);
    ASSERT_EQ(OpenSerialPort(1, 19200), 1);
    EXPECT_EQ(serialPort.openCount, 3u) << "the line of the last user is not the one asked for";
    EXPECT_EQ(IsSerialOpenWith(1, 19200, 0), 1);
}

TEST_F(SerialPortPty, EveryByteValuePassesAndStaleInputIsDropped) {
    ASSERT_EQ(OpenSerialPort(1, 9600), 1);
    const std::string all = AllByteValues();
    ASSERT_EQ(WriteSerial(all.data(), 256), 1);
    ASSERT_TRUE(mount.WaitForReceived(256));
    EXPECT_EQ(mount.Received(), all);
    EXPECT_EQ(SerialBench::Waits().back(), 125u) << "the pause after the write";

    mount.Inject(all);
    std::string got(256, '\0');
    EXPECT_EQ(ReadSerial(got.data(), 256), 256);
    EXPECT_EQ(got, all);

    // An answer nobody read does not pass for the answer to the next command.
    mount.Inject("stale answer#");
    ASSERT_TRUE(InputArrived());
    ASSERT_EQ(WriteSerialText("Q"), 1);
    mount.Inject("+00001#");
    char reply[16] = {};
    EXPECT_EQ(ReadSerial(reply, 7), 7);
    EXPECT_STREQ(reply, "+00001#");
}

TEST_F(SerialPortPty, ASilentDeviceGivesNothingAfterTheTimeOutAndAShortOneItsCount) {
    ASSERT_EQ(OpenSerialPort(1, 9600), 1);
    char reply[16];
    const auto start = Clock::now();
    EXPECT_EQ(ReadSerial(reply, 10), 0);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GE(ms, 380);
    EXPECT_LT(ms, 5000);

    mount.Inject("+45");
    EXPECT_EQ(ReadSerial(reply, 10), 3);
}

TEST_F(SerialPortPty, TheGpsReaderCallsAreHarmless) {
    EXPECT_EQ(SetupSerialBuffers(12288), 0);
    char buffer[8];
    EXPECT_EQ(ReadSerial(buffer, 8), 0) << "closed";
    EXPECT_EQ(WriteSerialText("Q"), 0);
    EXPECT_EQ(SetSerialParams(0xD0), 0) << "closed: no message either";
    EXPECT_TRUE(RecordedReports().empty());
}

// ---------------------------------------------------------------------------------------
// The port list.

TEST(SerialPortList, NoneFirstThenTheNamedPathsThenTheDevicesWithoutRepeats) {
    SerialBench bench({"/dev/pts/901", "/dev/pts/902", "/dev/pts/901"});
    EXPECT_GE(AddDefaultComPort(), 3);
    char name[64];
    GetComPortName(0, name, sizeof name);
    EXPECT_STREQ(name, "None");
    GetComPortName(1, name, sizeof name);
    EXPECT_STREQ(name, "/dev/pts/901");
    GetComPortName(2, name, sizeof name);
    EXPECT_STREQ(name, "/dev/pts/902");
    for (int i = 3; i < GetComPortCount(); ++i) {
        GetComPortName(i, name, sizeof name);
        EXPECT_STRNE(name, "/dev/pts/901");
    }
    GetComPortName(GetComPortCount(), name, sizeof name);
    EXPECT_STREQ(name, "");

    const int count = GetComPortCount();
    EXPECT_EQ(AddDefaultComPort(), count) << "the page calls it on every visit";
    EXPECT_EQ(OpenSerialPort(count, 9600), 0) << "one past the list";
    EXPECT_EQ(GetComPortCount(), count) << "and the list did not grow";
    EXPECT_TRUE(RecordedReports().empty());
}

TEST(SerialPortList, PositionZeroIsTheEmulatedMount) {
    SerialBench bench;
    EXPECT_EQ(OpenSerialPort(0, 9600), 0);
    EXPECT_EQ(telescopeEmulation, 1);
    EXPECT_EQ(ReportTexts(), (std::vector<std::string>{
                                 "No communication port is selected.\n\nPlease select one using Preference 1/6."}));
    EXPECT_EQ(OpenSerialPort(0, 9600), 0);
    EXPECT_EQ(RecordedReports().size(), 1u) << "said once";
    EXPECT_EQ(IsSerialOpen(), 0);
}

// ---------------------------------------------------------------------------------------
// Through the fake backend.

class SerialPortFake : public ::testing::Test {
protected:
    SerialBench bench;
    void SetUp() override { bench.UseFake(); }
};

TEST_F(SerialPortFake, AnOpenSetsTheLineTheTimeOutsAndWaits) {
    ASSERT_EQ(OpenSerialPort(1, 9600), 1);
    EXPECT_EQ(fakeSerial.calls, (std::vector<std::string>{"open /dev/ttyFAKE0", "line 9600 8N1",
                                                          "timeouts 400 1 400 1 400", "sleep 3500"}));
    EXPECT_EQ(fakeSerial.modemLines, 0u) << "DTR and RTS low until the line is set up";
    fakeSerial.calls.clear();
    EXPECT_EQ(OpenSerialPort(1, 9600), 1);
    EXPECT_TRUE(fakeSerial.calls.empty()) << "an open port is not touched";
}

TEST_F(SerialPortFake, ThePauseAfterAWrite) {
    struct Case {
        int drive;
        int slowdown;
        std::uint32_t pause;
    };
    const Case cases[] = {{5, 0, 125}, {8, 0, 250}, {9, 0, 250}, {20, 0, 250}, {19, 0, 166}, {0, 0, 125},
                          {19, 3, 300}, {8, 3, 300}, {5, 1, 100}, {5, 15, 1500}, {5, 16, 125}, {9, -2, 250}};
    ASSERT_EQ(OpenSerialPort(1, 9600), 1);
    for (const Case& c : cases) {
        preferences.word[pref::scopeDrive] = c.drive;
        preferences.word[pref::serialWriteDelay] = c.slowdown;
        fakeSerial.sleeps.clear();
        ASSERT_EQ(WriteSerialText("Q"), 1);
        EXPECT_EQ(fakeSerial.sleeps, (std::vector<std::uint32_t>{c.pause}))
            << "drive " << c.drive << " slowdown " << c.slowdown;
    }
    // The drain comes before the write, and takes no time when nothing waits.
    preferences.word[pref::scopeDrive] = 5;
    preferences.word[pref::serialWriteDelay] = 0;
    fakeSerial.calls.clear();
    fakeSerial.Reply("old");
    ASSERT_EQ(WriteSerialText("Q"), 1);
    EXPECT_EQ(fakeSerial.calls,
              (std::vector<std::string>{"pending 64", "pending 64", "purge", "write 1", "sleep 125"}));
}

TEST_F(SerialPortFake, WhatFailsAndWhatIsLeft) {
    struct Case {
        const char* what;
        bool platform::FakeSerial::*refuse;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"open", &platform::FakeSerial::refuseOpen, {"Can't open serial port\n/dev/ttyFAKE0"}},
        {"line", &platform::FakeSerial::refuseLine, {"Can't set serial port parameters\n"}},
        {"time-outs", &platform::FakeSerial::refuseTimeouts, {"Unable to set the time-out parameters\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bench.UseFake();
        ClearRecordedReports();
        fakeSerial.*c.refuse = true;
        EXPECT_EQ(OpenSerialPort(1, 9600), 0);
        EXPECT_EQ(ReportTexts(), c.messages);
        EXPECT_EQ(IsSerialOpen(), 0);
        EXPECT_EQ(GetSerialHold(), 0);
        EXPECT_FALSE(fakeSerial.open) << "no handle is left behind to block the next open";
        EXPECT_TRUE(fakeSerial.sleeps.empty());
        fakeSerial.*c.refuse = false;
        EXPECT_EQ(OpenSerialPort(1, 9600), 1) << "the next open works";
    }
}

TEST_F(SerialPortFake, RefusedLineParametersCloseThePort) {
    ASSERT_EQ(OpenSerialPort(1, 9600), 1);
    fakeSerial.refuseLine = true;
    EXPECT_EQ(SetSerialParams(0xD0), 0);
    EXPECT_EQ(ReportTexts(), (std::vector<std::string>{"Can't set serial port parameters\n"}));
    EXPECT_EQ(IsSerialOpen(), 0) << "not left flagged open over a closed handle";
    EXPECT_EQ(GetSerialHold(), 0);
    EXPECT_FALSE(fakeSerial.open);
}

TEST_F(SerialPortFake, TheLineMasks) {
    struct Case {
        int mask;
        const char* line;
        unsigned lines;
    };
    const Case cases[] = {
        {0xD0, "line 9600 8N1", platform::kSerialDtr | platform::kSerialRts},
        {0xF0, "line 9600 8N1 cts", platform::kSerialDtr | platform::kSerialRts},  // the camera: the shutter opens
        {0xF6, "line 9600 8E1 check cts", platform::kSerialDtr | platform::kSerialRts},
        {0x81, "line 9600 7N2", platform::kSerialDtr | platform::kSerialRts},
        {0x40, "line 9600 6N1", platform::kSerialDtr | platform::kSerialRts},
    };
    for (const Case& c : cases) {
        bench.UseFake();
        ASSERT_EQ(OpenSerialPort(1, 9600), 1);
        fakeSerial.calls.clear();
        EXPECT_EQ(SetSerialParams(c.mask), 1);
        ASSERT_FALSE(fakeSerial.calls.empty());
        EXPECT_EQ(fakeSerial.calls[0], c.line) << std::hex << c.mask;
        EXPECT_EQ(fakeSerial.modemLines, c.lines);
    }
    // The end of an exposure: the port really closes and the lines drop.
    SetSerialHold(0);
    CloseSerialPort();
    EXPECT_FALSE(fakeSerial.open);
    EXPECT_EQ(fakeSerial.calls.back(), "close");
}

}  // namespace
