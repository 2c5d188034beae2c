// The encoder boxes against the mount double, counts to angles, calibration and the
// emulated mount.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "scope/encoder_boxes.h"
#include "scope/serial_port.h"
#include "serial_equipment.h"
#include "support/recorded_reports.h"

namespace {

using Texts = std::vector<std::string>;

MountDoubleState Counts(int az, int alt) {
    MountDoubleState s;
    s.azCount = az;
    s.altCount = alt;
    return s;
}

void UseBox(int drive, int azResolution, int altResolution) {
    encoderState = EncoderState{};
    preferences.word[pref::scopeDrive] = drive;
    preferences.word[pref::scopePort] = 1;
    preferences.word[pref::encoderStepsAz] = azResolution;
    preferences.word[pref::encoderStepsAlt] = altResolution;
}

// A box on port list position 1 whose counts read 90 and 45 degrees.
struct BoxOnTheLine {
    MountDouble mount;
    SerialBench bench;
    BoxOnTheLine(MountDialect dialect, int drive) : mount(dialect, Counts(2048, 512)), bench({mount.SlavePath()}) {
        UseBox(drive, 8192, 4096);
    }
};

struct Reading {
    std::uint32_t ok = 0;
    double az = -1, alt = -1;
    std::int32_t rawAz = -1, rawAlt = -1;
};

Reading Query() {
    Reading r;
    r.ok = EncoderQueryAltAz(&r.az, &r.alt, &r.rawAz, &r.rawAlt);
    return r;
}

TEST(EncoderBoxes, SetUpAndQueryBytesOfEachBox) {
    struct Case {
        const char* what;
        int drive;
        MountDialect dialect;
        Texts setup;                       // commands of the first connect
        Texts query;                       // commands of one reading
        std::vector<std::uint32_t> waits;  // after the settling wait and the write pauses
    };
    const std::string daveEkSetup{'z', 0x00, 0x10, 0x00, 0x20};  // altitude 4096, azimuth 8192
    const Case cases[] = {
        {"BBox", 3, MountDialect::BBox, {"Z08192 04096\n"}, {"Q"}, {500}},
        {"Dave Ek", 4, MountDialect::DaveEk, {daveEkSetup, "A"}, {"a", "y"}, {250}},
        {"Ouranos", 12, MountDialect::Ouranos, {"R08192\t04096\r", "I00000\t00000\r"}, {"Q"}, {1000}},
        {"AAM", 1, MountDialect::PlainEncoder, {}, {"Q"}, {}},
        {"NGC-Max", 11, MountDialect::PlainEncoder, {}, {"Q"}, {}},
        {"Intelliscope", 16, MountDialect::Intelliscope, {}, {"Q"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BoxOnTheLine box(c.dialect, c.drive);
        MountDouble& mount = box.mount;
        ASSERT_EQ(EncoderConnect(), 1u);
        mount.WaitForCommands(c.setup.size());
        EXPECT_EQ(mount.Commands(), c.setup);
        EXPECT_EQ(encoderState.initialised, 1u);
        std::vector<std::uint32_t> boxWaits;
        for (std::uint32_t w : SerialBench::Waits())
            if (w != kSerialSettleMs && w != 125) boxWaits.push_back(w);
        EXPECT_EQ(boxWaits, c.waits);
        if (c.drive == 3 || c.drive == 12) {
            EXPECT_EQ(mount.State().azResolution, 8192);
            EXPECT_EQ(mount.State().altResolution, 4096);
        }

        mount.ClearRecord();
        const Reading r = Query();
        ASSERT_EQ(r.ok, 1u);
        EXPECT_EQ(mount.Commands(), c.query);
        EXPECT_EQ(r.rawAz, 2048);
        EXPECT_EQ(r.rawAlt, 512);
        EXPECT_DOUBLE_EQ(r.az, 90.0);
        EXPECT_DOUBLE_EQ(r.alt, 45.0);
        double ra, dec;
        std::int32_t rawAz, rawAlt;
        EXPECT_EQ(EncoderQueryEQ(&ra, &dec, &rawAz, &rawAlt), 1u);
        EXPECT_DOUBLE_EQ(ra, 6.0);

        // Disconnected and connected again on the held port: no second set-up.
        EXPECT_EQ(EncoderDisconnect(), 1u);
        EXPECT_EQ(IsSerialOpen(), 1);
        mount.ClearRecord();
        EXPECT_EQ(EncoderConnect(), 1u);
        EXPECT_TRUE(mount.Commands().empty());
        EXPECT_TRUE(RecordedReports().empty());
    }
}

TEST(EncoderBoxes, AnotherBoxGetsItsOwnSetUp) {
    MountDouble mount(MountDialect::BBox, Counts(2048, 512));
    SerialBench bench({mount.SlavePath()});
    UseBox(3, 8192, 4096);
    ASSERT_EQ(EncoderConnect(), 1u);
    SetEncoderOffsets(7, 9);
    ASSERT_EQ(EncoderConnect(), 1u);
    preferences.word[pref::scopeDrive] = 12;  // an Ouranos on the same line
    EXPECT_EQ(EncoderConnect(), 1u);
    const std::string ouranos = "R08192\t04096\rI00000\t00000\r";
    ASSERT_TRUE(mount.WaitForReceived(13 + ouranos.size()));
    EXPECT_EQ(mount.Received(), "Z08192 04096\n" + ouranos);
    EXPECT_EQ(encoderState.altOffset, 0) << "the zero of the other box does not hold";
}

TEST(EncoderBoxes, AnswersOutOfFormFail) {
    struct Case {
        const char* what;
        int drive;
        MountDialect dialect;
        std::function<void(MountDouble&)> script;
        Texts messages;
    };
    const Case cases[] = {
        {"Intelliscope without its first byte", 16, MountDialect::Intelliscope,
         [](MountDouble& m) { m.SetAnswer("Q", "+02048\t+00512"); }, {}},
        {"garbled", 3, MountDialect::BBox, [](MountDouble& m) { m.Script(MountScript::Garbled); }, {}},
        {"letters in a field", 11, MountDialect::PlainEncoder,
         [](MountDouble& m) { m.SetAnswer("Q", "+0x048\t+00512\r"); }, {}},
        {"one field", 11, MountDialect::PlainEncoder, [](MountDouble& m) { m.SetAnswer("Q", "+0204800512\r\r"); }, {}},
        {"short", 1, MountDialect::PlainEncoder, [](MountDouble& m) { m.Script(MountScript::Short, 12); }, {}},
        {"Dave Ek short", 4, MountDialect::DaveEk, [](MountDouble& m) { m.SetAnswer("y", "ab"); }, {}},
        {"Dave Ek status", 4, MountDialect::DaveEk, [](MountDouble& m) { m.SetAnswer("a", "N"); },
         {"Bad encoder status\n"}},
        {"lost line", 3, MountDialect::BBox, [](MountDouble& m) { m.CloseMaster(); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BoxOnTheLine box(c.dialect, c.drive);
        MountDouble& mount = box.mount;
        ASSERT_EQ(EncoderConnect(), 1u);
        c.script(mount);
        const Reading r = Query();
        EXPECT_EQ(r.ok, 0u);
        EXPECT_EQ(r.az, 0.0);
        EXPECT_EQ(r.alt, 0.0);
        EXPECT_EQ(r.rawAz, 0);
        EXPECT_EQ(r.rawAlt, 0);
        EXPECT_EQ(ReportTexts(), c.messages);
    }
}

TEST(EncoderBoxes, ABoxThatDoesNotAnswerItsSetUpIsNotConnected) {
    MountDouble mount(MountDialect::BBox);
    SerialBench bench({mount.SlavePath()});
    UseBox(3, 8192, 8192);
    mount.Script(MountScript::Silent);
    EXPECT_EQ(EncoderConnect(), 0u);
    EXPECT_EQ(ReportTexts(), Texts{"Fail to open encoder connection\n"});
    EXPECT_EQ(IsSerialOpen(), 0);
    ClearRecordedReports();
    Reading r = Query();
    EXPECT_EQ(r.ok, 0u);
    EXPECT_EQ(ReportTexts(), Texts{"Connection not open!\n"});
}

// ---------------------------------------------------------------------------------------
// Counts to angles, on the emulated counts (no serial traffic).

class EncoderEmulation : public ::testing::Test {
protected:
    SerialBench bench;
    void SetUp() override {
        UseBox(0, 8192, 8192);
        telescopeEmulation = 1;
        ASSERT_EQ(EncoderConnect(), 1u);
    }
};

TEST_F(EncoderEmulation, CountsToAngles) {
    struct Case {
        int azResolution, altResolution;
        int az, alt;
        int azOffset, altOffset;
        double azimuth, altitude;
    };
    const Case cases[] = {
        {8192, 8192, 0, 6144, 0, 0, 0.0, -90.0},
        {8192, 8192, 0, 2048, 0, 0, 0.0, 90.0},
        {-8192, 8192, 2048, 0, 0, 0, 270.0, 0.0},
        {8192, 8192, -1024, -1024, 0, 0, 315.0, -45.0},
        {8192, -8192, 1024, 1024, 0, 0, 45.0, -45.0},
        {4000, 8192, 1000, 100, 500, 100, 45.0, 0.0},
        {8192, 8192, 100, 0, 200, 0, 8092 * 360.0 / 8192, 0.0},
    };
    for (const Case& c : cases) {
        preferences.word[pref::encoderStepsAz] = c.azResolution;
        preferences.word[pref::encoderStepsAlt] = c.altResolution;
        SetEncoderOffsets(c.altOffset, c.azOffset);
        encoderState.azCount = c.az;
        encoderState.altCount = c.alt;
        const Reading r = Query();
        ASSERT_EQ(r.ok, 1u);
        EXPECT_DOUBLE_EQ(r.az, c.azimuth) << c.az << " of " << c.azResolution;
        EXPECT_DOUBLE_EQ(r.alt, c.altitude) << c.alt << " of " << c.altResolution;
    }
}

TEST_F(EncoderEmulation, AResolutionOfZeroIsReported) {
    preferences.word[pref::encoderStepsAlt] = 0;
    EXPECT_EQ(Query().ok, 0u);
    preferences.word[pref::encoderStepsAlt] = 8192;
    preferences.word[pref::encoderStepsAz] = 0;
    EXPECT_EQ(Query().ok, 0u);
    EXPECT_EQ(ReportTexts(),
              (Texts{"Bad Alt encoder resolution\nPlease check.", "Bad Azt encoder resolution\nPlease check."}));
}

TEST_F(EncoderEmulation, CalibrationTakesTheOffsetsOnce) {
    encoderState.azCount = 1024;  // 45 degrees
    encoderState.altCount = 512;  // 22.5 degrees
    const double refAz = 40.0, refAlt = 20.0;
    EXPECT_EQ(CalibrateEncoderOffsets(&refAz, &refAlt), 1u);
    EXPECT_EQ(encoderState.altOffset, 56);  // trunc(2.5 x 8192 / 360)
    EXPECT_EQ(encoderState.azOffset, 113);  // trunc(5 x 8192 / 360)
    EXPECT_EQ(preferences.word[pref::encoderOffsetAlt], 56);
    EXPECT_EQ(preferences.word[pref::encoderOffsetAz], 113);
    EXPECT_EQ(encoderState.connected, 0u);

    const double otherAz = 0.0, otherAlt = 0.0;
    EXPECT_EQ(CalibrateEncoderOffsets(&otherAz, &otherAlt), 1u);
    EXPECT_EQ(encoderState.azOffset, 113) << "known offsets are kept";

    ASSERT_EQ(EncoderConnect(), 1u);
    const Reading r = Query();
    EXPECT_NEAR(r.az, 40.0, 360.0 / 8192);
    EXPECT_NEAR(r.alt, 20.0, 360.0 / 8192);
    EXPECT_EQ(ClearEncoderOffsets(), 0u);
    EXPECT_EQ(encoderState.azOffset, 0);
}

TEST_F(EncoderEmulation, MovesStepTheCountsAndWrapAtHalfATurn) {
    EXPECT_EQ(EmulSetRate(3), 1u);  // Guide, 0.05 degrees
    EXPECT_EQ(EmulMove(0), 1u);     // north
    EXPECT_EQ(Query().rawAlt, 1);
    EXPECT_EQ(Query().rawAlt, 2) << "trunc(8192 x 0.05 / 360) = 1 count per query";

    EXPECT_EQ(EmulSetRate(0), 1u);  // Fast, 2 degrees: 45 counts; the set rate stops the axes
    EXPECT_EQ(encoderState.altStep, 0);
    EmulMove(1);                    // south
    EmulMove(3);                    // west
    EXPECT_EQ(encoderState.altStep, -45);
    EXPECT_EQ(encoderState.azStep, -45);
    encoderState.altCount = -4090;
    encoderState.azCount = 4090;
    EmulMove(2);                    // east
    const Reading r = Query();
    EXPECT_EQ(r.rawAlt, -4135 + 8192);
    EXPECT_EQ(r.rawAz, 4135 - 8192);

    EXPECT_EQ(EmulMove(7), 1u) << "an unknown direction changes nothing";
    EXPECT_EQ(EmulStopMove(), 0u);
    EXPECT_EQ(encoderState.azStep, 0);
    EXPECT_EQ(encoderState.rate, 2.0) << "the rate is kept";
    EXPECT_EQ(EmulStopAll(), 1u);

    EXPECT_EQ(EncoderDisconnect(), 0u);
    telescopeEmulation = 0;
    EXPECT_EQ(EmulSetRate(1), 0u);
    EXPECT_EQ(EmulMove(0), 0u);
    EXPECT_EQ(EmulStopMove(), 0u);
    EXPECT_EQ(IsSerialOpen(), 0) << "no serial traffic";
}

TEST(EncoderTarget, IsStoredForThePushToPage) {
    EXPECT_EQ(EncoderGotoEQ(5.5, -30.25), 1u);
    EXPECT_EQ(encoderState.targetRa, 5.5);
    EXPECT_EQ(encoderState.targetDec, -30.25);
    preferences.word[pref::scopeDrive] = 16;
    EXPECT_TRUE(IsEncoderDrive());
    preferences.word[pref::scopeDrive] = 5;
    EXPECT_FALSE(IsEncoderDrive());
}

}  // namespace
