#include "settings/gps_reader.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <thread>

#include "core/report.h"
#include "core/settings.h"
#include "platform/serial_backend.h"
#include "platform/serial_fake.h"
#include "scope/serial_equipment.h"
#include "scope/serial_port.h"
#include "support/recorded_reports.h"

namespace {

// A sentence with its checksum and line end: "$" body "*hh\r\n".
std::string Sentence(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

// What a receiver sends in a second: the sentences repeated to at least `bytes`.
std::string Burst(const std::string& sentences, std::size_t bytes = 900) {
    std::string out;
    while (out.size() < bytes) out += sentences;
    return out;
}

const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
const std::string kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
const std::string kMunichLatitude = "48\xB0" "07'02 N";
const std::string kMunichLongitude = "011\xB0" "31'00 E";

struct ScanResult {
    int found;
    std::string latitude;
    std::string longitude;
};

ScanResult Scan(const std::string& text) {
    char latitude[kGpsTextSize] = "untouched", longitude[kGpsTextSize] = "untouched";
    const int found = ScanNmeaPosition(text.data(), static_cast<int>(text.size()), latitude, longitude);
    return {found, latitude, longitude};
}

TEST(NmeaFields, SecondsAreTheTruncatedFractionOfTheMinute) {
    struct Case {
        const char* field;
        const char* hemisphere;
        bool latitude;
        const char* expected;  // "" when refused
    };
    const Case cases[] = {
        {"4807.038", "N", true, "48\xB0" "07'02 N"},
        {"4807.99", "S", true, "48\xB0" "07'59 S"},
        {"4807.50", " \tN", true, "48\xB0" "07'30 N"},
        {"4807.05", "N", true, "48\xB0" "07'03 N"},
        {"4807.35", "N", true, "48\xB0" "07'21 N"},   // no floating-point shortfall
        {"4807.0", "N", true, "48\xB0" "07'00 N"},    // short: read, never read past
        {"4807", "N", true, "48\xB0" "07'00 N"},
        {"9000.000", "N", true, "90\xB0" "00'00 N"},
        {"01131.000", "E", false, "011\xB0" "31'00 E"},
        {"17959.9999", "W", false, "179\xB0" "59'59 W"},
        {"", "N", true, ""},
        {"480", "N", true, ""},
        {"48O7.038", "N", true, ""},
        {"4860.000", "N", true, ""},   // minutes from 60
        {"9000.001", "N", true, ""},   // past the pole
        {"18000.01", "E", false, ""},
        {"4807.038", "E", true, ""},   // a longitude's letter
        {"4807.038", "", true, ""},
        {"4807.0.8", "N", true, ""},
    };
    for (const Case& c : cases) {
        char out[kGpsTextSize] = "x";
        const int ok = c.latitude ? FormatNmeaLatitude(out, c.field, c.hemisphere)
                                  : FormatNmeaLongitude(out, c.field, c.hemisphere);
        EXPECT_EQ(ok, c.expected[0] ? 1 : 0) << c.field;
        EXPECT_STREQ(out, c.expected) << c.field;
    }
}

TEST(NmeaScan, GgaAndRmcGiveThePositionAndGgaWins) {
    EXPECT_EQ(Scan(kGga).found, 1);
    EXPECT_EQ(Scan(kGga).latitude, kMunichLatitude);
    EXPECT_EQ(Scan(kGga).longitude, kMunichLongitude);
    const ScanResult rmc = Scan(kRmc);
    EXPECT_EQ(rmc.found, 2);
    EXPECT_EQ(rmc.latitude, kMunichLatitude);
    EXPECT_EQ(rmc.longitude, kMunichLongitude);

    const std::string sydneyRmc = Sentence("GNRMC,010203,A,3352.125,S,15112.500,E,0.0,0.0,010124,,");
    const std::string quitoGga = Sentence("GNGGA,010203,0013.000,S,07830.000,W,2,07,1.1,2850.0,M,26.0,M,,");
    // A GGA after an RMC overwrites it; an RMC after the first GGA is never looked at.
    const ScanResult later = Scan(sydneyRmc + quitoGga);
    EXPECT_EQ(later.found, 1);
    EXPECT_EQ(later.latitude, "00\xB0" "13'00 S");
    EXPECT_EQ(later.longitude, "078\xB0" "30'00 W");
    const ScanResult first = Scan(quitoGga + sydneyRmc);
    EXPECT_EQ(first.latitude, "00\xB0" "13'00 S");
    const ScanResult rmcOnly = Scan(sydneyRmc);
    EXPECT_EQ(rmcOnly.latitude, "33\xB0" "52'07 S");
    EXPECT_EQ(rmcOnly.longitude, "151\xB0" "12'30 E");
}

TEST(NmeaScan, SentencesWithoutAFixOrDamagedAreSkipped) {
    const std::string noFix = Sentence("GPGGA,123519,,,,,0,00,,,M,,M,,");
    const std::string voidRmc = Sentence("GPRMC,123519,V,4807.038,N,01131.000,E,,,230394,,");
    std::string wrongSum = kGga;
    wrongSum[wrongSum.size() - 3] = '8';
    const std::string longField = Sentence("GPGGA,123519," + std::string(300, '4') + ",N,01131.000,E,1,08,0.9,,M,,M,,");
    std::string noise;
    for (int i = 0; i < 800; ++i) noise += static_cast<char>("$GPGA0123456789*\x01\xFF"[i % 19]);
    const std::string cutShort = kGga.substr(0, 30);  // the data ends inside the sentence
    for (const std::string& text : {noFix, voidRmc, wrongSum, longField, noise, cutShort,
                                    Sentence("GPGSV,3,1,11,03,03,111,00,04,15,270,00"), std::string("")}) {
        const ScanResult r = Scan(text);
        EXPECT_EQ(r.found, 0) << text.substr(0, 40);
        EXPECT_EQ(r.latitude, "untouched") << text.substr(0, 40);
    }
    // A sentence without a checksum counts when its line ended.
    EXPECT_EQ(Scan("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,\r\n").found, 1);
    // After damaged ones, a good sentence is still found.
    EXPECT_EQ(Scan(noFix + wrongSum + longField + kRmc).found, 2);
}

TEST(NmeaScan, OnlySentencesStartingBeforeOffset720AreExamined) {
    for (int start : {719, 720}) {
        const std::string text = std::string(static_cast<std::size_t>(start), 'x') + kGga;
        EXPECT_EQ(Scan(text).found, start == 719 ? 1 : 0) << start;
    }
}

// ---- Reading the port ------------------------------------------------------------------

// Reads as a scripted receiver gives them: each entry is one read's bytes, "" a read that
// brings nothing; past the script, reads bring nothing.
std::deque<std::string> readScript;
int readsTaken = 0;
long ScriptedRead(int, void* buffer, std::size_t n) {
    ++readsTaken;
    if (readScript.empty()) return 0;
    std::string& next = readScript.front();
    const std::size_t count = std::min(n, next.size());
    std::memcpy(buffer, next.data(), count);
    if (count == next.size()) readScript.pop_front();
    else next.erase(0, count);
    return static_cast<long>(count);
}

class GpsRead : public ::testing::Test {
protected:
    void SetUp() override {
        bench.UseFake();
        scripted = platform::FakeSerialBackend();
        scripted.read = &ScriptedRead;
        platform::SetSerialBackend(&scripted);
        readScript.clear();
        readsTaken = 0;
        preferences.word[pref::gpsPort] = 1;
        ClearRecordedReports();
    }
    void TearDown() override { readScript.clear(); }

    int Read() {
        std::strcpy(latitude, "kept");
        std::strcpy(longitude, "kept");
        return ReadGpsPositionTexts(latitude, longitude);
    }
    // The port is closed and free again after every read.
    static void ExpectPortReleased() {
        EXPECT_EQ(IsSerialOpen(), 0);
        EXPECT_EQ(GetSerialHold(), 0);
        EXPECT_FALSE(platform::fakeSerial.open);
        EXPECT_FALSE(IsBusyShown());
    }

    SerialBench bench;
    platform::SerialBackend scripted;
    char latitude[kGpsTextSize] = {};
    char longitude[kGpsTextSize] = {};
};

TEST_F(GpsRead, TenEmptyReadsStillReadAndTheEleventhEndsTheRead) {
    for (int i = 0; i < 10; ++i) readScript.push_back("");
    readScript.push_back(Burst(kGga));
    EXPECT_EQ(Read(), 1);
    EXPECT_EQ(latitude, kMunichLatitude);
    EXPECT_EQ(longitude, kMunichLongitude);
    EXPECT_EQ(readsTaken, 10 + 10);  // 800 bytes in reads of 80
    EXPECT_TRUE(RecordedReports().empty());
    EXPECT_EQ(platform::fakeSerial.line.baud, 9600u);
    ExpectPortReleased();

    readScript.clear();
    for (int i = 0; i < 11; ++i) readScript.push_back("");
    readScript.push_back(Burst(kGga));
    readsTaken = 0;
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(readsTaken, 11);
    EXPECT_STREQ(latitude, "kept");
    EXPECT_EQ(ReportTexts().back().substr(0, 26), "No GPS position received.\n");
    ExpectPortReleased();
}

TEST_F(GpsRead, FailuresSayWhyAndLeaveTheTextsAlone) {
    // No port chosen: the port is not even opened.
    preferences.word[pref::gpsPort] = 0;
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(ReportTexts(), (std::vector<std::string>{"No GPS port selected.\n"}));
    EXPECT_EQ(platform::fakeSerial.Count("open"), 0);
    EXPECT_EQ(telescopeEmulation, 0) << "the mount is not switched to emulation";

    // A port that does not open.
    preferences.word[pref::gpsPort] = 1;
    platform::fakeSerial.refuseOpen = true;
    ClearRecordedReports();
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(ReportTexts().back(), "Can't open the GPS port.\n/dev/ttyFAKE0");
    ExpectPortReleased();
    platform::fakeSerial.refuseOpen = false;

    // No fix, and noise.
    for (const std::string& text : {Burst(Sentence("GPGGA,123519,,,,,0,00,,,M,,M,,")),
                                    Burst(Sentence("GPRMC,123519,V,4807.038,N,01131.000,E,,,230394,,")),
                                    std::string(880, 'x')}) {
        readScript.assign({text});
        ClearRecordedReports();
        EXPECT_EQ(Read(), 0);
        EXPECT_STREQ(latitude, "kept");
        EXPECT_STREQ(longitude, "kept");
        ASSERT_EQ(RecordedReports().size(), 1u);
        EXPECT_EQ(RecordedReports()[0].heading, "No GPS position received.");
        ExpectPortReleased();
    }
}

// A receiver that trickles (3 bytes a second) is given up after the read's time, not
// after the 800 bytes it would take minutes to send.
TEST_F(GpsRead, ATricklingReceiverIsGivenUpInTime) {
    platform::SetSerialBackend(&platform::FakeSerialBackend());
    const std::string text = Burst(kGga);
    std::size_t at = 0;
    platform::fakeSerial.stream = [&](platform::FakeSerial&) { return std::string(1, text[at++ % text.size()]); };
    platform::fakeSerial.readMs = 333;
    EXPECT_EQ(Read(), 0);
    EXPECT_LE(platform::fakeSerial.clockMs, kSerialSettleMs + kGpsReadLimitMs + 1000);
    EXPECT_STREQ(latitude, "kept");
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(RecordedReports()[0].heading, "No position from the GPS receiver");
    ExpectPortReleased();
    platform::fakeSerial.stream = nullptr;
}

TEST_F(GpsRead, AnOpenMountConnectionIsClosedFirstAndTheBusyIndicatorRuns) {
    // The mount held the port open: the read takes the port over and gives it back closed.
    ASSERT_EQ(OpenSerialPort(1, 19200), 1);
    ASSERT_EQ(GetSerialHold(), 1);
    readScript.push_back(Burst(kRmc));
    const int stepsBefore = BusySteps();
    EXPECT_EQ(Read(), 1);
    EXPECT_GT(BusySteps(), stepsBefore + 10);
    EXPECT_EQ(platform::fakeSerial.Count("close"), 2);
    EXPECT_EQ(platform::fakeSerial.sleeps.size(), 2u) << "each open waits for the port to settle";
    ExpectPortReleased();
}

// ---- A receiver on a pseudo-terminal -----------------------------------------------------

// Sends its sentences again and again from a thread, as a receiver does, until it goes.
class NmeaTalker {
public:
    explicit NmeaTalker(std::string sentences) : sentences_(std::move(sentences)) {
        char name[128] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return;
        path_ = name;
        for (int fd : {master_, slave_}) {
            termios t{};
            tcgetattr(fd, &t);
            cfmakeraw(&t);
            tcsetattr(fd, TCSANOW, &t);
        }
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        thread_ = std::thread([this] { Run(); });
    }
    ~NmeaTalker() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (master_ >= 0) close(master_);
        if (slave_ >= 0) close(slave_);
    }
    const std::string& SlavePath() const { return path_; }

private:
    void Run() {
        std::string pending;
        while (!stop_) {
            if (pending.empty()) pending = sentences_;
            const ssize_t n = write(master_, pending.data(), pending.size());
            if (n > 0) pending.erase(0, static_cast<std::size_t>(n));
            else std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::string sentences_;
    std::string path_;
    int master_ = -1;
    int slave_ = -1;  // held open, so that the line keeps its settings between opens
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

TEST(GpsReceiver, APositionComesOverAPseudoTerminal) {
    NmeaTalker receiver(Sentence("GPGSV,3,1,11,03,03,111,00,04,15,270,00") + kRmc +
                        Sentence("GNGGA,010203,3352.125,S,15112.500,E,1,07,1.1,40.0,M,26.0,M,,"));
    ASSERT_FALSE(receiver.SlavePath().empty());
    SerialBench bench({receiver.SlavePath()});
    preferences.word[pref::gpsPort] = 1;
    char latitude[kGpsTextSize] = {}, longitude[kGpsTextSize] = {};
    ASSERT_EQ(ReadGpsPositionTexts(latitude, longitude), 1) << (RecordedReports().empty() ? "" : ReportText(0));
    // Whichever sentence the read began in, a GGA was in the text.
    EXPECT_STREQ(latitude, "33\xB0" "52'07 S");
    EXPECT_STREQ(longitude, "151\xB0" "12'30 E");
    EXPECT_EQ(IsSerialOpen(), 0);
    EXPECT_EQ(SerialBench::Waits(), (std::vector<std::uint32_t>{kSerialSettleMs}));
}

}  // namespace
