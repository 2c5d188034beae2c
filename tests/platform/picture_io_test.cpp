// Picture files in and out of the 5-5-5 format, and bitmap resources by id.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/gfx_objects.h"
#include "platform/picture.h"
#include "platform/surface.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

fs::path Data(const char* name) { return fs::path(VELKARION_TEST_DATA) / "platform" / name; }

fs::path Temp(const char* name) {
    return fs::temp_directory_path() / (std::string("velkarion_picture_") + std::to_string(getpid()) + "_" + name);
}

int Channel(std::uint16_t p, int shift) { return (p >> shift) & 31; }

TEST(PictureIo, PngRoundTripIsBitExact) {
    // Every 5-bit level in every channel survives writing and reading.
    Surface s = MakeSurface(32, 3);
    for (int x = 0; x < 32; ++x) {
        s.Row(0)[x] = static_cast<std::uint16_t>(x << 10);
        s.Row(1)[x] = static_cast<std::uint16_t>(x << 5);
        s.Row(2)[x] = static_cast<std::uint16_t>(x | (31 - x) << 10);
    }
    const fs::path file = Temp("round.png");
    ASSERT_TRUE(SavePng(s, file));
    Surface back;
    ASSERT_TRUE(LoadPicture(file, &back));
    EXPECT_EQ(back.width, 32);
    EXPECT_EQ(back.height, 3);
    EXPECT_EQ(back.bits, s.bits);
    fs::remove(file);
    EXPECT_FALSE(SavePng(Surface{}, file));
}

TEST(PictureIo, JpegAndPngBecomeFiveFiveFive) {
    Surface jpg;
    ASSERT_TRUE(LoadPicture(Data("red_blue_16x8.jpg"), &jpg));
    EXPECT_EQ(jpg.width, 16);
    EXPECT_EQ(jpg.height, 8);
    EXPECT_EQ(jpg.stride, SurfaceStride(16));
    EXPECT_GE(Channel(jpg.Row(0)[1], 10), 29);   // red, top-left
    EXPECT_LE(Channel(jpg.Row(0)[1], 0), 2);
    EXPECT_GE(Channel(jpg.Row(7)[14], 0), 29);   // blue, bottom-right
    EXPECT_LE(Channel(jpg.Row(7)[14], 10), 2);

    Surface grey;
    ASSERT_TRUE(LoadPicture(Data("grey_4x4.jpg"), &grey));
    const std::uint16_t p = grey.Row(2)[2];
    EXPECT_EQ(Channel(p, 10), Channel(p, 5));
    EXPECT_EQ(Channel(p, 5), Channel(p, 0));

    // Transparent pixels are laid on black.
    Surface alpha;
    ASSERT_TRUE(LoadPicture(Data("alpha_2x1.png"), &alpha));
    EXPECT_EQ(alpha.Row(0)[0], 0);
    EXPECT_EQ(alpha.Row(0)[1], 31 << 5);
}

TEST(PictureIo, MissingOrDamagedFilesFail) {
    Surface s = MakeSurface(1, 1);
    EXPECT_FALSE(LoadPicture(Temp("none.png"), &s));
    // A PNG signature followed by garbage, and a cut-off JPEG.
    const fs::path bad = Temp("bad.png");
    {
        std::FILE* f = std::fopen(bad.c_str(), "wb");
        const unsigned char sig[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 1, 2, 3};
        std::fwrite(sig, 1, sizeof sig, f);
        std::fclose(f);
    }
    EXPECT_FALSE(LoadPicture(bad, &s));
    const fs::path cut = Temp("cut.jpg");
    {
        std::FILE* in = std::fopen(Data("red_blue_16x8.jpg").c_str(), "rb");
        unsigned char buf[120];
        const std::size_t n = std::fread(buf, 1, sizeof buf, in);
        std::fclose(in);
        std::FILE* out = std::fopen(cut.c_str(), "wb");
        std::fwrite(buf, 1, n, out);
        std::fclose(out);
    }
    EXPECT_FALSE(LoadPicture(cut, &s));
    EXPECT_EQ(s.width, 1);   // untouched on failure
    EXPECT_FALSE(LoadPictureBitmap(bad));
    fs::remove(bad);
    fs::remove(cut);
}

TEST(PictureIo, BitmapResourcesLoadByIdAtTheirSizes) {
    struct Case {
        int id, width, height;
    };
    for (const Case& c : {Case{3999, 234, 18}, Case{4111, 377, 29}, Case{4109, 168, 63}, Case{4110, 168, 63}}) {
        GfxObject b = LoadBitmapResource(c.id);
        BitmapInfo info;
        ASSERT_TRUE(GetBitmapInfo(b, &info)) << c.id;
        EXPECT_EQ(info.width, c.width) << c.id;
        EXPECT_EQ(info.height, c.height) << c.id;
        DeleteObject(b);
    }
    EXPECT_FALSE(LoadBitmapResource(0));
    EXPECT_FALSE(LoadBitmapResource(987654));
}

}  // namespace
}  // namespace platform
