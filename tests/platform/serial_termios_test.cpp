// The termios backend over pseudo-terminals, and the list of serial devices.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/serial_backend.h"
#include "platform/serial_devices.h"

using namespace platform;

namespace {

using Clock = std::chrono::steady_clock;

// A pseudo-terminal whose master side the test plays.
struct Pty {
    int master = -1;
    int slave = -1;
    std::string path;
    Pty() {
        char name[128] = {};
        EXPECT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
        path = name;
        termios t{};
        tcgetattr(master, &t);
        cfmakeraw(&t);
        tcsetattr(master, TCSANOW, &t);
    }
    ~Pty() {
        if (master >= 0) close(master);
        if (slave >= 0) close(slave);
    }
    // Everything the program sent, waiting up to a generous bound for `n` bytes.
    std::string Take(std::size_t n) {
        std::string got;
        const auto end = Clock::now() + std::chrono::seconds(10);
        while (got.size() < n && Clock::now() < end) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char buffer[512];
            const ssize_t k = read(master, buffer, sizeof buffer);
            if (k > 0) got.append(buffer, static_cast<std::size_t>(k));
        }
        return got;
    }
    void Send(const std::string& bytes) {
        ASSERT_EQ(write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
};

std::string AllByteValues() {
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
    return all;
}

long Millis(Clock::duration d) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

class TermiosTest : public ::testing::Test {
protected:
    const SerialBackend& b = TermiosSerialBackend();
    Pty pty;
    SerialDevice device;
    void SetUp() override {
        device = SerialDevice(&b, b.open(pty.path.c_str()));
        ASSERT_TRUE(device.IsOpen());
        ASSERT_TRUE(b.setLine(device.handle, SerialLine{}));
        ASSERT_TRUE(b.setTimeouts(device.handle, SerialTimeouts{}));
    }
};

TEST_F(TermiosTest, EveryByteValuePassesBothWaysUnchanged) {
    const std::string all = AllByteValues();
    ASSERT_TRUE(b.write(device.handle, all.data(), all.size()));
    EXPECT_EQ(pty.Take(all.size()), all) << "nothing translated, nothing added";

    pty.Send(all);
    std::string got(all.size(), '\0');
    EXPECT_EQ(b.read(device.handle, got.data(), got.size()), 256);
    EXPECT_EQ(got, all);
    // Nothing was echoed back to the device.
    pollfd p{pty.master, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 50), 0);
}

TEST_F(TermiosTest, ReadsEndAfterTheGapOrWithTheCountAsked) {
    char buffer[16];
    auto start = Clock::now();
    EXPECT_EQ(b.read(device.handle, buffer, 10), 0);
    const long silent = Millis(Clock::now() - start);
    EXPECT_GE(silent, 380) << "n + 400 ms in all";
    EXPECT_LT(silent, 5000);

    pty.Send("+12");
    start = Clock::now();
    EXPECT_EQ(b.read(device.handle, buffer, 10), 3) << "a short answer gives its count";
    EXPECT_GE(Millis(Clock::now() - start), 350) << "after the 400 ms gap";

    pty.Send("123456789");
    EXPECT_EQ(b.read(device.handle, buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "1234");
    // What is already there comes at once; nothing more is waited for.
    start = Clock::now();
    EXPECT_EQ(b.readPending(device.handle, buffer, sizeof buffer), 5);
    EXPECT_EQ(b.readPending(device.handle, buffer, sizeof buffer), 0);
}

TEST_F(TermiosTest, TheLineAsSetIsWhatTheDeviceSees) {
    SerialLine line;
    line.baud = 19200;
    line.dataBits = 7;
    line.parity = 'E';
    line.parityCheck = true;
    line.stopBits = 2;
    ASSERT_TRUE(b.setLine(device.handle, line));
    termios t{};
    ASSERT_EQ(tcgetattr(pty.master, &t), 0);
    // A pseudo-terminal keeps 8 bits without parity whatever it is told, so the data bits
    // and the parity are seen through the fake backend instead.
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_iflag & INPCK);
    EXPECT_TRUE(t.c_cflag & CLOCAL);
    EXPECT_FALSE(t.c_lflag & ECHO);

    line.baud = 12345;
    EXPECT_FALSE(b.setLine(device.handle, line)) << "a rate the device cannot run";

    // A pseudo-terminal has no modem lines: setting them changes nothing and fails nothing.
    EXPECT_TRUE(b.setModemLines(device.handle, kSerialDtr | kSerialRts, 0));
    EXPECT_EQ(b.modemLines(device.handle), 0u);
}

TEST_F(TermiosTest, TheDeviceIsOpenForOneHandleOnly) {
    EXPECT_LT(b.open(pty.path.c_str()), 0) << "a second handle, even for root";
    device.Close();
    SerialDevice again(&b, b.open(pty.path.c_str()));
    EXPECT_TRUE(again.IsOpen()) << "closing gives the device back";
    EXPECT_LT(b.open("/nonexistent/ttyUSB9"), 0);
}

TEST_F(TermiosTest, AWriteToAHungUpLineFails) {
    close(pty.master);
    pty.master = -1;
    EXPECT_FALSE(b.write(device.handle, "Q", 1));
    char c;
    EXPECT_LT(b.read(device.handle, &c, 1), 1);
}

// ---------------------------------------------------------------------------------------

TEST(SerialDevices, ScanFindsTheThreeKindsInOrderAndSkipsWhatDoesNotOpen) {
    const auto dir = std::filesystem::temp_directory_path() / ("vk_serial_scan_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    for (const char* name : {"ttyS10", "ttyS2", "ttyACM0", "ttyUSB1", "ttyUSB0", "ttyUSBx", "tty0", "ttyS"})
        std::ofstream(dir / name) << "";
    std::filesystem::create_symlink(dir / "missing", dir / "ttyUSB7");  // opens nothing

    const auto d = dir.string();
    EXPECT_EQ(ScanSerialDevices(d.c_str()),
              (std::vector<std::string>{d + "/ttyUSB0", d + "/ttyUSB1", d + "/ttyACM0", d + "/ttyS2", d + "/ttyS10"}));
    EXPECT_TRUE(ScanSerialDevices((d + "/none").c_str()).empty());
    std::filesystem::remove_all(dir);
}

TEST(SerialDevices, TheEnvironmentNamesPathsFirstWithoutRepeats) {
    setenv(kSerialPortsVariable, "/dev/pts/7::/dev/ttyX:/dev/pts/7", 1);
    EXPECT_EQ(SerialPathsFromEnvironment(), (std::vector<std::string>{"/dev/pts/7", "/dev/ttyX", "/dev/pts/7"}));
    const std::vector<std::string> all = ListSerialDevices();
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all[0], "/dev/pts/7");
    EXPECT_EQ(all[1], "/dev/ttyX");
    for (std::size_t i = 2; i < all.size(); ++i) EXPECT_NE(all[i], "/dev/pts/7");
    unsetenv(kSerialPortsVariable);
    EXPECT_TRUE(SerialPathsFromEnvironment().empty());
}

}  // namespace
