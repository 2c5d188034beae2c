// The mount drivers against devices that misbehave: one that never stops sending, answers
// that are well formed but impossible, stops that the mount ignores, and an exit with the
// port still open.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/settings.h"
#include "platform/serial_fake.h"
#include "scope/lx200.h"
#include "scope/nexstar.h"
#include "scope/serial_port.h"
#include "scope/servocat_skycommander.h"
#include "scope/sidereal_tech.h"
#include "scope/takahashi.h"
#include "serial_equipment.h"
#include "support/recorded_reports.h"

namespace {

using platform::fakeSerial;
using Clock = std::chrono::steady_clock;
using Query = std::function<std::uint32_t(double*, double*)>;

// 48 bytes of noise, as a GPS receiver left on the mount's port sends them.
std::string Noise(std::mt19937& random) {
    std::string bytes(48, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

// The fake port opened for `drive`, with what the drivers learnt from a probe in place.
void OpenFakeFor(int drive, int baud) {
    preferences.word[pref::scopeDrive] = drive;
    preferences.word[pref::scopePort] = 1;
    ASSERT_EQ(OpenSerialPort(1, baud), 1);
    meadeState.highPrecision = 1;
    siderealTechState.xResolution = 3600;
    siderealTechState.yResolution = 3600;
    MarkLearnt(siderealTechState.learnt);
    fakeSerial.calls.clear();
}

struct Family {
    const char* name;
    int drive;
    int baud;
    Query query;
};

const Family kFamilies[] = {
    {"LX200", 5, 9600, MeadeQueryEQ},
    {"NexStar", 10, 9600, NexStarQueryEQ},
    {"ServoCat", 13, 9600, ServoCatQueryEQ},
    {"Takahashi", 14, 9600, TakahashiQueryEQ},
    {"SiderealTech", 18, 19200, SiderealTechQueryAltAz},
    {"SkyCommander", 19, 9600, SkyCommanderQueryEQ},
};

class MountFaults : public ::testing::Test {
protected:
    SerialBench bench;
    void SetUp() override { bench.UseFake(); }
};

TEST_F(MountFaults, ADeviceThatNeverStopsSendingEndsEachCallWithAFailedRead) {
    for (const Family& f : kFamilies) {
        SCOPED_TRACE(f.name);
        ClearSerialAuxFlag();
        OpenFakeFor(f.drive, f.baud);
        ClearRecordedReports();
        std::mt19937 random(f.drive);
        fakeSerial.stream = [&random](platform::FakeSerial&) { return Noise(random); };
        fakeSerial.readMs = 50;
        double a = -1, b = -1;
        EXPECT_EQ(f.query(&a, &b), 0u);
        EXPECT_EQ(a == -1 || a == 0.0, true) << "no position taken from noise";
        EXPECT_LE(fakeSerial.Count("pending"), kSerialDrainMaxBytes / 48 + 1) << "the drain gives up";
        ASSERT_FALSE(RecordedReports().empty());
        EXPECT_EQ(RecordedReports().front().heading, kSerialFloodMessage);
        fakeSerial.stream = nullptr;
    }
}

TEST_F(MountFaults, ReadsUpToAStopByteAndDrainsAreBoundedInBytesAndTime) {
    OpenFakeFor(5, 9600);
    // Fast noise: the byte bound ends it.
    fakeSerial.stream = [](platform::FakeSerial&) { return std::string(48, 'x'); };
    char text[8];
    EXPECT_EQ(ReadSerialUntil('#', text, sizeof text), -1);
    EXPECT_STREQ(text, "xxxxxxx");
    EXPECT_EQ(fakeSerial.Count("read"), kSerialAnswerMaxBytes);
    EXPECT_EQ(DrainSerialInput(), 0);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{std::string(kSerialFloodMessage) + "\n/dev/ttyFAKE0"})
        << "said once an open";
    // Slow noise: the time bound ends it.
    fakeSerial.calls.clear();
    fakeSerial.stream = [](platform::FakeSerial&) { return std::string(1, 'x'); };
    fakeSerial.readMs = 100;
    EXPECT_EQ(DrainSerialInput(), 0);
    EXPECT_LE(fakeSerial.Count("pending"), 6);
    EXPECT_EQ(ReadSerialUntil(kSerialNoStop, nullptr, 0), -1);
    EXPECT_LE(fakeSerial.Count("read"), static_cast<int>(kSerialAnswerMaxMs / 100) + 1);
    // A quiet line and a whole answer.
    fakeSerial.stream = nullptr;
    fakeSerial.Reply("12#");
    EXPECT_EQ(ReadSerialUntil('#', text, sizeof text), 1);
    EXPECT_STREQ(text, "12");
    EXPECT_EQ(ReadSerialUntil('#', text, sizeof text), 0);
    EXPECT_EQ(DrainSerialInput(), 1);
}

// A stop goes out even through the noise: it is the one command that must reach the mount.
TEST_F(MountFaults, AStopIsWrittenThroughANoisyLine) {
    OpenFakeFor(5, 9600);
    fakeSerial.stream = [](platform::FakeSerial&) { return std::string(48, 'x'); };
    EXPECT_EQ(MeadeStopAll(), 1u);
    ASSERT_FALSE(fakeSerial.writes.empty());
    EXPECT_EQ(fakeSerial.writes.back(), "#:Q#");
}

TEST_F(MountFaults, ImpossiblePositionsAreFailedReads) {
    struct Case {
        int drive;
        Query query;
        std::map<std::string, std::string> answers;  // command written -> answer
        std::uint32_t read;
    };
    const Case cases[] = {
        {5, MeadeQueryEQ, {{"#:GR#", "99:99:99#"}, {":GD#", "+10\xDF" "00:00#"}}, 0},
        {5, MeadeQueryEQ, {{"#:GR#", "10:00:00#"}, {":GD#", "+99\xDF" "99:99#"}}, 0},
        {5, MeadeQueryEQ, {{"#:GR#", "10:60:00#"}, {":GD#", "+10\xDF" "00:00#"}}, 0},
        {5, MeadeQueryEQ, {{"#:GR#", "10:00:00#"}, {":GD#", "+10\xDF" "00:60#"}}, 0},
        {5, MeadeQueryEQ, {{"#:GR#", "24:00:00#"}, {":GD#", "+10\xDF" "00:00#"}}, 0},
        {5, MeadeQueryEQ, {{"#:GR#", "23:59:59#"}, {":GD#", "-90\xDF" "00:00#"}}, 1},
        {14, TakahashiQueryEQ, {{"E\r\n", "E999999+10000E0\r\n"}}, 0},
        {14, TakahashiQueryEQ, {{"E\r\n", "E120000+91000E0\r\n"}}, 0},
        {14, TakahashiQueryEQ, {{"E\r\n", "E120000+89600E0\r\n"}}, 0},
        {14, TakahashiQueryEQ, {{"E\r\n", "E235959-89595E0\r\n"}}, 1},
        {13, ServoCatQueryEQ, {{"\r", "999.99 -999.99"}}, 0},
        {13, ServoCatQueryEQ, {{"\r", "24.000 +00.000"}}, 0},
        {13, ServoCatQueryEQ, {{"\r", "12.000 -90.000"}}, 1},
        {19, SkyCommanderQueryEQ, {{"\r", "9999999 7      \r"}}, 0},
        {19, SkyCommanderQueryEQ, {{"\r", "12.0000 +91.000\r"}}, 0},
        {19, SkyCommanderQueryEQ, {{"\r", "12.0000 +90.000\r"}}, 1},
        // Counts of 3600 a turn: 10,985,039 degrees of altitude, and a quarter turn too far.
        {18, SiderealTechQueryAltAz, {{"X\r", "X109850390\r"}, {"Y\r", "Y0\r"}}, 0},
        {18, SiderealTechQueryAltAz, {{"X\r", "X901\r"}, {"Y\r", "Y0\r"}}, 0},
        {18, SiderealTechQueryAltAz, {{"X\r", "X-900\r"}, {"Y\r", "Y-2147483647\r"}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.drive << " " << c.answers.begin()->second);
        ClearSerialAuxFlag();
        OpenFakeFor(c.drive, c.drive == 18 ? 19200 : 9600);
        fakeSerial.respond = [&c](platform::FakeSerial& f, const std::string& bytes) {
            const auto it = c.answers.find(bytes);
            if (it != c.answers.end()) f.Reply(it->second);
        };
        double a = -1, b = -1;
        EXPECT_EQ(c.query(&a, &b), c.read);
        if (c.read) {
            EXPECT_GE(a, 0.0);
            EXPECT_LT(a, c.drive == 18 ? 360.0 : 24.0);
            EXPECT_GE(b, -90.0);
            EXPECT_LE(b, 90.0);
        }
    }
}

// Each family's stops against a mount that does not take them: a stop that went unheard
// answers 0, so the checked stop sends another and tells the user. The LX200, Takahashi
// and SiderealTech dialects acknowledge no stop: only a write that fails shows it there.
TEST_F(MountFaults, AStopTheMountDidNotTakeAnswersZeroInEveryFamily) {
    struct Case {
        const char* name;
        int drive;
        std::function<std::uint32_t()> stop;
    };
    const Case cases[] = {
        {"LX200 all", 5, MeadeStopAll},
        {"LX200 axis", 5, [] { return MeadeStopMove(0); }},
        {"NexStar all", 10, NexStarStopAll},
        {"NexStar axis", 10, [] { return NexStarStopMove(0); }},
        {"NexStar CR all", 15, NexStarStopAll},
        {"SkyScan all", 20, NexStarStopAll},
        {"SkyScan axis", 20, [] { return NexStarStopMove(1); }},
        {"Takahashi all", 14, TakahashiStopAll},
        {"Takahashi axis", 14, [] { return TakahashiStopMove(0); }},
        {"SiderealTech all", 18, SiderealTechStopAll},
        {"SiderealTech axis", 18, [] { return SiderealTechStopMove(2); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool acknowledges = c.drive == 10 || c.drive == 15 || c.drive == 20;
        ClearSerialAuxFlag();
        OpenFakeFor(c.drive, c.drive == 18 ? 19200 : 9600);
        // A mount that takes the stop.
        fakeSerial.respond = [](platform::FakeSerial& f, const std::string&) { f.Reply("#"); };
        EXPECT_EQ(c.stop(), 1u);
        // One that ignores it: silent, or the line gone.
        fakeSerial.respond = nullptr;
        if (acknowledges) {
            EXPECT_EQ(c.stop(), 0u);
        }
        fakeSerial.refuseWrite = true;
        EXPECT_EQ(c.stop(), 0u);
        fakeSerial.refuseWrite = false;
    }
}

// The real line: a device that sends 48 bytes every 50 ms for as long as it is connected.
TEST(MountFaultsPty, AWriteAndAnAnswerEndInTimeWhileTheDeviceKeepsSending) {
    MountDouble mount(MountDialect::Raw);
    SerialBench bench({mount.SlavePath()});
    std::atomic<bool> stop{false};
    std::thread babbler([&] {
        std::mt19937 random(7);
        while (!stop) {
            std::string noise = Noise(random);
            for (char& c : noise)
                if (c == '#') c = '*';
            mount.Inject(noise);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    ASSERT_EQ(OpenSerialPort(1, 9600), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto start = Clock::now();
    EXPECT_EQ(WriteSerialText("#:GR#"), 1);
    char text[16];
    EXPECT_EQ(ReadSerialUntil('#', text, sizeof text), -1);
    const auto took = Clock::now() - start;
    stop = true;
    babbler.join();
    EXPECT_LT(took, std::chrono::milliseconds(kSerialDrainMaxMs + kSerialAnswerMaxMs + 1500));
    ASSERT_FALSE(RecordedReports().empty());
    EXPECT_EQ(RecordedReports().front().heading, kSerialFloodMessage);
}

// The program may end by exit() with the port still open: closing it then must not touch
// what the serial layer has already destroyed (the address sanitizer catches it).
TEST(MountFaultsPty, AnExitWithThePortOpenClosesItCleanly) {
    MountDouble mount(MountDialect::Raw);
    SerialBench bench({mount.SlavePath()});
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (OpenSerialPort(1, 9600) != 1) std::_Exit(2);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
