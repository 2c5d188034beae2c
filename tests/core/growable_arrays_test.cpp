#include "core/growable_arrays.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/initialisers.h"

namespace {

TEST(GrowableArrays, CapacityGrowsTo2cPlus1UntilItExceedsTheIndex) {
    IntVector v;
    EXPECT_EQ(v.capacity, 10);
    EXPECT_EQ(v.count, 0);
    ASSERT_NE(IntVectorAt(v, 9), nullptr);
    EXPECT_EQ(v.capacity, 10);
    ASSERT_NE(IntVectorAt(v, 10), nullptr);
    EXPECT_EQ(v.capacity, 21);
    EXPECT_EQ(v.count, 11);

    IntVector w;
    ASSERT_NE(IntVectorAt(w, 50), nullptr);  // 21, 43, then 87
    EXPECT_EQ(w.capacity, 87);
    EXPECT_EQ(w.count, 51);
}

TEST(GrowableArrays, LoweringTheCountKeepsTheSlots) {
    IntVector v;
    for (int i = 0; i < 5; ++i) *IntVectorAt(v, i) = 100 + i;
    v.count = 0;
    std::int32_t* slot = IntVectorAt(v, 3);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(*slot, 103);
    EXPECT_EQ(v.count, 4);
}

TEST(GrowableArrays, GrowthCopiesTheCountedElementsAndZeroFillsTheRest) {
    IntVector v;
    for (int i = 0; i < 10; ++i) *IntVectorAt(v, i) = i + 1;
    v.count = 4;  // slots 4..9 are past the count and are not carried over
    ASSERT_NE(IntVectorAt(v, 30), nullptr);
    EXPECT_EQ(v.capacity, 43);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(v.data[i], i + 1);
    for (int i = 4; i < 43; ++i) EXPECT_EQ(v.data[i], 0) << i;
}

TEST(GrowableArrays, TextElementsAreWholeFixedBlocks) {
    StringList texts;
    char* first = StringListAt(texts, 0);
    ASSERT_NE(first, nullptr);
    std::memset(first, 'a', 255);
    first[255] = '\0';
    ASSERT_NE(StringListAt(texts, 40), nullptr);
    EXPECT_EQ(std::string(StringListAt(texts, 0)), std::string(255, 'a'));
    EXPECT_EQ(StringListAt(texts, 1) - StringListAt(texts, 0), 256);

    NameList names;
    std::strcpy(NameListAt(names, 2), "m31.log");
    ASSERT_NE(NameListAt(names, 11), nullptr);
    EXPECT_STREQ(NameListAt(names, 2), "m31.log");
    EXPECT_EQ(NameListAt(names, 3) - NameListAt(names, 2), 64);
}

TEST(GrowableArrays, OwnedStringsAreCopiedOnGrowthAndFreedWithTheArray) {
    StrBufArray ports;
    *GrowableAt(ports, 0) = StrBuf("COM1:");
    *GrowableAt(ports, 1) = StrBuf("/dev/ttyUSB0");
    const char* before = ports.data[0].text;
    ASSERT_NE(GrowableAt(ports, 25), nullptr);
    EXPECT_STREQ(ports.data[0].c_str(), "COM1:");
    EXPECT_STREQ(ports.data[1].c_str(), "/dev/ttyUSB0");
    EXPECT_NE(ports.data[0].text, before);  // a copy in the new block
    EXPECT_EQ(ports.data[1].length, 12u);
    EXPECT_EQ(ports.data[20].text, nullptr);
    EXPECT_STREQ(ports.data[20].c_str(), "");
}

TEST(GrowableArrays, NegativeIndexIsRefused) {
    IntVector v;
    EXPECT_EQ(IntVectorAt(v, -1), nullptr);
    EXPECT_EQ(v.count, 0);
    EXPECT_EQ(v.capacity, 10);
}

// The arrays as the program's initialisers left them, read before any test runs: the
// form tests of this program use the control registry and may grow it.
struct StartState {
    int registryCapacity = 0, registryCount = 0, detailCapacity = 0, headingCapacity = 0,
        downloadCapacity = 0, logCapacity = 0, filesCapacity = 0, files2Capacity = 0, portCapacity = 0,
        portCount = 0;
};
StartState startState;

class StartStateRecorder : public ::testing::Environment {
public:
    void SetUp() override {
        startState = StartState{controlRegistry.capacity, controlRegistry.count, messageDetailTexts.capacity,
                                messageHeadingTexts.capacity, downloadNameList.capacity, observerLogList.capacity,
                                listManagerFiles.capacity, listManagerFiles2.capacity, serialPortNames.capacity,
                                serialPortNames.count};
    }
};
::testing::Environment* const startStateRecorder = ::testing::AddGlobalTestEnvironment(new StartStateRecorder);

TEST(GrowableArrays, ProgramArraysStartEmptyWithCapacity10) {
    EXPECT_EQ(startState.registryCapacity, 10);
    EXPECT_EQ(startState.registryCount, 0);
    EXPECT_EQ(startState.detailCapacity, 10);
    EXPECT_EQ(startState.headingCapacity, 10);
    EXPECT_EQ(startState.downloadCapacity, 10);
    EXPECT_EQ(startState.logCapacity, 10);
    EXPECT_EQ(startState.filesCapacity, 10);
    EXPECT_EQ(startState.files2Capacity, 10);
    EXPECT_EQ(startState.portCapacity, 10);
    EXPECT_EQ(startState.portCount, 0);
    EXPECT_EQ(eclipseLayoutOffset, 55);
    EXPECT_EQ(satelliteLayoutOffset, 15);
    EXPECT_EQ(polarLayoutOffset + moonLayoutOffset + planetLayoutOffset, 0);
}

}  // namespace
