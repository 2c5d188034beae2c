// The camera control: a shutter sequence over the fake serial port in virtual time (the
// lines raised only while exposing, the port closed after each shot, both sounds), a tick
// that passes a start second, Stop, the refusals, and the camera log.
#include "scope/camera_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "assistant_form_fixture.h"
#include "core/settings.h"
#include "platform/serial_backend.h"
#include "platform/serial_fake.h"
#include "platform/sound.h"
#include "scope/camera_log.h"
#include "scope/serial_port.h"
#include "serial_equipment.h"

namespace {

using namespace camera_form;
using platform::fakeSerial;

TEST(CameraLogRecords, FieldsLieAtTheirOffsets) {
    CameraLogRecord r;
    r.index = 7;
    r.year = 2024;
    r.month = 3;
    r.day = 20;
    r.hour = 21;
    r.minute = 45;
    r.shots = 3;
    r.exposure = 30;
    r.delay = 5;
    r.iso = 4;
    std::snprintf(r.fileName, sizeof r.fileName, "%s", "M42 set");
    std::snprintf(r.description, sizeof r.description, "%s", "Orion, 200 mm");
    std::uint8_t bytes[kCameraLogRecordSize];
    EncodeCameraLogRecord(r, bytes);
    EXPECT_EQ(bytes[4] | bytes[5] << 8, 2024);
    EXPECT_EQ(bytes[36], 4);
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes + 40), "M42 set");
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes + 60), "Orion, 200 mm");
    EXPECT_EQ(bytes[359], 0);
    CameraLogRecord back;
    DecodeCameraLogRecord(bytes, back);
    EXPECT_EQ(back.minute, 45);
    EXPECT_EQ(back.delay, 5);
    EXPECT_STREQ(back.description, r.description);
}

class CameraFormTest : public AssistantFormTest {
protected:
    CameraFormTest() : AssistantFormTest(kCameraFormId, &CameraControl) {}
    void SetUp() override {
        bench.UseFake();
        platform::ClearPlayedSounds();
        cameraSeq = CameraSequence{};
        AssistantFormTest::SetUp();
        if (HasFatalFailure()) return;
        preferences.word[pref::cameraPort] = 1;
        Open();
    }
    void TearDown() override {
        AssistantFormTest::TearDown();
        CloseCameraLog();
    }
    void Sequence(const char* shots, const char* exposure, const char* delay) {
        SetText(kShots, shots);
        SetText(kExposure, exposure);
        SetText(kDelay, delay);
        Command(kStart);
    }
    // Seconds of the virtual clock.
    static std::int64_t Seconds() { return static_cast<std::int64_t>(platform::headless::Tick() / 1000); }
    bool ShutterOpen() const {
        return fakeSerial.open && (fakeSerial.modemLines & (platform::kSerialDtr | platform::kSerialRts)) ==
                                      (platform::kSerialDtr | platform::kSerialRts);
    }
    SerialBench bench;
};

TEST_F(CameraFormTest, ThreeShotsOfTenSecondsFiveApart) {
    Sequence("3", "10", "5");
    const std::int64_t t0 = Seconds();
    // What each second shows, sampled in the middle of the second.
    std::vector<std::string> statuses;
    std::vector<bool> open;
    for (int s = 0; s < 45; ++s) {
        Advance(1000);
        statuses.push_back(cameraStatus);
        open.push_back(ShutterOpen());
    }
    const auto at = [&](int second) { return statuses.at(static_cast<std::size_t>(second - 1)); };
    EXPECT_EQ(at(1), "Shot 1/3");
    EXPECT_EQ(at(9), "Shot 1/3");
    EXPECT_EQ(at(12), "Wait 3s");
    EXPECT_EQ(at(15), "Shot 2/3");
    EXPECT_EQ(at(30), "Shot 3/3");
    EXPECT_EQ(at(40), "All done");
    EXPECT_EQ(at(44), "") << "cleared two seconds after the end";
    // The shutter: open for the ten seconds of each shot, closed between and after.
    for (int s = 1; s <= 45; ++s) {
        const std::int64_t second = s;
        const bool exposing = (second < 10) || (second >= 15 && second < 25) || (second >= 30 && second < 40);
        EXPECT_EQ(open.at(static_cast<std::size_t>(s - 1)), exposing) << "second " << s;
    }
    EXPECT_EQ(fakeSerial.Count("open"), 3) << "each shot opens the port anew";
    EXPECT_EQ(fakeSerial.Count("close"), 3);
    EXPECT_EQ(std::count(fakeSerial.sleeps.begin(), fakeSerial.sleeps.end(), kSerialSettleMs), 3)
        << "each open settles before its exposure";
    EXPECT_FALSE(IsSerialOpen());
    EXPECT_EQ(platform::PlayedSounds(),
              (std::vector<std::string>{"startTimer", "stopTimer", "startTimer", "stopTimer", "startTimer", "stopTimer"}));
    EXPECT_FALSE(platform::ScreenKeptOn());
    EXPECT_EQ(cameraSeq.running, 0);
    EXPECT_EQ(t0 + 45, Seconds());
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

TEST_F(CameraFormTest, AStallPastTheStartSecondStillStartsTheNextShot) {
    Sequence("2", "2", "3");
    Advance(2500);
    ASSERT_EQ(cameraStatus.rfind("Wait", 0), 0u) << cameraStatus;
    // A message box held the program for ten seconds: the next tick is long after the start.
    platform::headless::SetTick(platform::headless::Tick() + 10000);
    RunUntilIdle();
    Advance(500);
    EXPECT_EQ(cameraStatus, "Shot 2/2");
    EXPECT_TRUE(ShutterOpen());
}

TEST_F(CameraFormTest, StopReleasesTheShutterAtOnce) {
    Sequence("5", "30", "5");
    Advance(4000);
    ASSERT_TRUE(ShutterOpen());
    Command(kStop);
    EXPECT_FALSE(fakeSerial.open);
    EXPECT_FALSE(IsSerialOpen());
    EXPECT_EQ(platform::PlayedSounds().back(), "stopTimer");
    EXPECT_EQ(cameraSeq.running, 0);
    Advance(60000);
    EXPECT_EQ(fakeSerial.Count("open"), 1) << "no further shot";
    EXPECT_TRUE(platform::IsWindowVisible(Item(kStart)));
    EXPECT_FALSE(platform::IsWindowVisible(Item(kStop)));
}

TEST_F(CameraFormTest, NoShotWithoutShotsAPortOrWhileAMountHoldsIt) {
    Sequence("0", "10", "5");
    EXPECT_EQ(fakeSerial.Count("open"), 0);
    EXPECT_FALSE(Text(kDate).empty()) << "the date and time are shown";
    EXPECT_TRUE(RecordedReports().empty());

    preferences.word[pref::cameraPort] = 0;
    Sequence("2", "10", "5");
    EXPECT_EQ(Headings(), (std::vector<std::string>{"No camera port selected."}));
    EXPECT_EQ(fakeSerial.Count("open"), 0);
    Advance(20000);
    EXPECT_EQ(RecordedReports().size(), 1u) << "asked once, not at every tick";

    // A mount connection holds the port: the shutter lines must not go onto its line.
    ClearRecordedReports();
    preferences.word[pref::cameraPort] = 1;
    ASSERT_EQ(OpenSerialPort(1, 9600), 1);
    Sequence("2", "10", "5");
    EXPECT_EQ(Headings(), (std::vector<std::string>{"The serial port is in use by the mount."}));
    EXPECT_TRUE(IsSerialOpen()) << "the mount keeps its connection";
    EXPECT_EQ(fakeSerial.modemLines, 0u);
    Command(kBack);
    EXPECT_TRUE(IsSerialOpen()) << "leaving the form leaves the mount alone";
}

TEST_F(CameraFormTest, TheCameraPortSettingChoosesTheDevice) {
    *StringArrayAt(serialPortNames, 2) = StrBuf("/dev/ttyFAKE1");
    preferences.word[pref::cameraPort] = 2;
    Sequence("1", "1", "0");
    EXPECT_EQ(fakeSerial.calls.at(0), "open /dev/ttyFAKE1");
    preferences.word[pref::cameraPort] = 5;
    Advance(3000);
    Sequence("1", "1", "0");
    EXPECT_EQ(Headings().back(), "Can't open serial port");
}

TEST_F(CameraFormTest, TheLogAddsShowsAndRemovesEntries) {
    ASSERT_EQ(CountCameraLog(), 0);
    SetText(kShots, "3");
    SetText(kExposure, "30");
    SetText(kDelay, "5");
    SetText(kDescription, "M42");
    Pick(kIsoPopup, kIsoList, 3);
    Command(kSave);
    SetText(kFileName, "Orion");
    Command(kSave);
    ASSERT_EQ(CountCameraLog(), 2);
    EXPECT_EQ(GetListRowCount(kLogList), 2);
    Command(kClear);
    EXPECT_EQ(Text(kShots), "");
    Call([] { SetListSelection(kLogList, 0); });
    Command(kLogList);
    EXPECT_EQ(Text(kFileName), "Shot 0") << "an empty name takes the record count";
    EXPECT_EQ(Text(kShots), "3");
    EXPECT_EQ(Text(kDelay), "5");
    EXPECT_EQ(Text(kDescription), "M42");
    EXPECT_EQ(cameraLogRecord.iso, 3);
    Command(kDelete);
    ASSERT_EQ(CountCameraLog(), 1);
    ASSERT_EQ(CameraLogEdit(0), 1);
    EXPECT_STREQ(cameraLogRecord.fileName, "Orion");
    // The log is a file of the user's: it is there at the next opening.
    Call([] { CloseCameraLog(); });
    EXPECT_EQ(CountCameraLog(), 0);
    EXPECT_EQ(OpenCameraLog(), 1);
    EXPECT_EQ(CountCameraLog(), 1);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

}  // namespace
