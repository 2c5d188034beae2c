// Picture files in and out of the 5-5-5 format, and bitmap resources by id.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <zlib.h>

#include "platform/gfx_objects.h"
#include "platform/picture.h"
#include "platform/surface.h"
#include "support/test_pictures.h"

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

std::vector<std::uint8_t> ReadBytes(const fs::path& file) {
    std::vector<std::uint8_t> b(static_cast<std::size_t>(fs::file_size(file)));
    std::FILE* in = std::fopen(file.c_str(), "rb");
    EXPECT_EQ(std::fread(b.data(), 1, b.size(), in), b.size());
    std::fclose(in);
    return b;
}

// Downloads are checked in memory before they are kept: a JPEG cut short decodes from a file
// quietly (the decoder fills the rest with grey), but does not pass the check.
TEST(PictureIo, PicturesInMemoryPassOnlyWhenTheyDecodeWhole) {
    const std::vector<std::uint8_t> jpeg = NoiseTestJpeg(32, 32);
    std::string problem;
    EXPECT_TRUE(CheckPictureData(jpeg.data(), jpeg.size(), &problem)) << problem;

    // Cut in the middle of the picture's data.
    const std::vector<std::uint8_t> cut(jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size() / 2));
    const fs::path file = Temp("cut_scan.jpg");
    {
        std::FILE* out = std::fopen(file.c_str(), "wb");
        std::fwrite(cut.data(), 1, cut.size(), out);
        std::fclose(out);
    }
    Surface s;
    EXPECT_TRUE(LoadPicture(file, &s));
    fs::remove(file);
    EXPECT_FALSE(CheckPictureData(cut.data(), cut.size(), &problem));
    EXPECT_EQ(problem, "the JPEG picture is cut short or damaged");

    const std::string page = "<html><body>No such picture</body></html>";
    EXPECT_FALSE(CheckPictureData(reinterpret_cast<const std::uint8_t*>(page.data()), page.size(), &problem));
    EXPECT_EQ(problem, "the data is not a PNG or JPEG picture");
    EXPECT_FALSE(CheckPictureData(nullptr, 0, &problem));

    const fs::path png = Temp("check.png");
    ASSERT_TRUE(SavePng(MakeSurface(3, 2), png));
    std::vector<std::uint8_t> pngBytes = ReadBytes(png);
    fs::remove(png);
    EXPECT_TRUE(CheckPictureData(pngBytes.data(), pngBytes.size(), &problem)) << problem;
    pngBytes.resize(pngBytes.size() - 20);
    EXPECT_FALSE(CheckPictureData(pngBytes.data(), pngBytes.size(), &problem));
}

// A picture declares its size in its header; one larger than the program can show is
// refused from the header alone (a 122-byte JPEG once declared 18189 x 20558 pixels and was
// decoded into 1.8 GB).
TEST(PictureIo, OversizedPicturesAreRefusedBeforeDecoding) {
    std::vector<std::uint8_t> jpeg;
    {
        std::FILE* in = std::fopen(Data("red_blue_16x8.jpg").c_str(), "rb");
        std::uint8_t buf[4096];
        jpeg.assign(buf, buf + std::fread(buf, 1, sizeof buf, in));
        std::fclose(in);
    }
    auto jpegOfSize = [&](int width, int height) {
        std::vector<std::uint8_t> b = jpeg;
        for (std::size_t i = 0; i + 8 < b.size(); ++i) {
            if (b[i] == 0xFF && b[i + 1] == 0xC0) {  // start of frame: length, precision, height, width
                b[i + 5] = static_cast<std::uint8_t>(height >> 8);
                b[i + 6] = static_cast<std::uint8_t>(height);
                b[i + 7] = static_cast<std::uint8_t>(width >> 8);
                b[i + 8] = static_cast<std::uint8_t>(width);
                return b;
            }
        }
        ADD_FAILURE() << "no start of frame";
        return b;
    };
    auto pngOfSize = [](std::uint32_t width, std::uint32_t height) {
        Surface s = MakeSurface(2, 2);
        const fs::path file = Temp("size.png");
        EXPECT_TRUE(SavePng(s, file));
        std::vector<std::uint8_t> b(static_cast<std::size_t>(fs::file_size(file)));
        std::FILE* in = std::fopen(file.c_str(), "rb");
        EXPECT_EQ(std::fread(b.data(), 1, b.size(), in), b.size());
        std::fclose(in);
        fs::remove(file);
        for (int k = 0; k < 4; ++k) {
            b[16 + k] = static_cast<std::uint8_t>(width >> (24 - 8 * k));
            b[20 + k] = static_cast<std::uint8_t>(height >> (24 - 8 * k));
        }
        const uLong crc = crc32(crc32(0, nullptr, 0), b.data() + 12, 17);  // the header chunk's check sum
        for (int k = 0; k < 4; ++k) b[29 + k] = static_cast<std::uint8_t>(crc >> (24 - 8 * k));
        return b;
    };
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        const char* problem;
    } cases[] = {
        {"the JPEG of the report", jpegOfSize(18189, 20558),
         "18189 x 20558 pixels is larger than the program shows (at most 4096 on a side and 16 million pixels)"},
        {"a JPEG one pixel too wide", jpegOfSize(4097, 8), "4097 x 8 pixels is larger"},
        {"a JPEG of too many pixels", jpegOfSize(4000, 4001), "4000 x 4001 pixels is larger"},
        {"a PNG of a billion pixels", pngOfSize(40000, 30000), "40000 x 30000 pixels is larger"},
        {"a PNG one pixel too high", pngOfSize(1, 4097), "1 x 4097 pixels is larger"},
    };
    const fs::path file = Temp("big");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::FILE* out = std::fopen(file.c_str(), "wb");
        std::fwrite(c.bytes.data(), 1, c.bytes.size(), out);
        std::fclose(out);
        Surface s;
        std::string problem;
        EXPECT_FALSE(LoadPicture(file, &s, &problem));
        EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << problem;
        EXPECT_FALSE(CheckPictureData(c.bytes.data(), c.bytes.size(), &problem));
        EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << problem;
    }
    fs::remove(file);

    // At the limit a picture loads: 4096 pixels on a side.
    Surface wide = MakeSurface(4096, 1);
    const fs::path edge = Temp("edge.png");
    ASSERT_TRUE(SavePng(wide, edge));
    Surface back;
    std::string problem;
    EXPECT_TRUE(LoadPicture(edge, &back, &problem)) << problem;
    EXPECT_EQ(back.width, 4096);
    fs::remove(edge);
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
