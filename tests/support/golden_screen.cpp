#include "support/golden_screen.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/headless.h"
#include "platform/picture.h"
#include "platform/surface.h"

void ExpectScreenLike(const std::filesystem::path& file) {
    const platform::Surface& frame = platform::headless::Frame();
    if (std::getenv("VELKARION_UPDATE_GOLDEN")) {
        std::filesystem::create_directories(file.parent_path());
        ASSERT_TRUE(platform::SavePng(frame, file));
        return;
    }
    platform::Surface golden;
    ASSERT_TRUE(platform::LoadPicture(file, &golden)) << file;
    ASSERT_EQ(golden.width, frame.width);
    ASSERT_EQ(golden.height, frame.height);
    int differ = 0;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) differ += (frame.Row(y)[x] & 0x7FFF) != (golden.Row(y)[x] & 0x7FFF);
    EXPECT_EQ(differ, 0) << file.filename() << ": " << differ << " pixels differ";
}
