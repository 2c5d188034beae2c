#include "platform/picture.h"

#include <png.h>

#include <array>
#include <csetjmp>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// jpeglib.h needs these declared first.
#include <jpeglib.h>

#include "platform/gfx_internal.h"
#include "platform/paths.h"
#include "platform/resources.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Fills a surface from top-down RGB rows.
void FromRgb(Surface& s, const std::uint8_t* rgb, int width, int height, std::size_t rowBytes) {
    s = MakeSurface(width, height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = rgb + static_cast<std::size_t>(y) * rowBytes;
        std::uint16_t* dst = s.Row(y);
        for (int x = 0; x < width; ++x, src += 3) dst[x] = ColorToPixel(Rgb(src[0], src[1], src[2]));
    }
}

// Why a picture of the declared size is refused, or an empty text.
std::string SizeProblem(unsigned long width, unsigned long height) {
    if (width == 0 || height == 0) return "the picture declares no pixels";
    if (width > static_cast<unsigned long>(kMaxPictureSide) || height > static_cast<unsigned long>(kMaxPictureSide) ||
        width * height > static_cast<unsigned long>(kMaxPicturePixels))
        return std::to_string(width) + " x " + std::to_string(height) +
               " pixels is larger than the program shows (at most " + std::to_string(kMaxPictureSide) +
               " on a side and 16 million pixels)";
    return {};
}

bool LoadPng(const fs::path& path, Surface* out, std::string* problem) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        *problem = "the PNG picture is damaged";
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    if (std::string why = SizeProblem(image.width, image.height); !why.empty()) {
        *problem = std::move(why);
        png_image_free(&image);
        return false;
    }
    std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        *problem = "the PNG picture is damaged";
        png_image_free(&image);
        return false;
    }
    const int w = static_cast<int>(image.width), h = static_cast<int>(image.height);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    for (std::size_t i = 0, n = static_cast<std::size_t>(w) * h; i < n; ++i) {
        const unsigned a = rgba[i * 4 + 3];
        for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = static_cast<std::uint8_t>(rgba[i * 4 + c] * a / 255);
    }
    FromRgb(*out, rgb.data(), w, h, static_cast<std::size_t>(w) * 3);
    return true;
}

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void JpegFail(j_common_ptr info) {
    auto* err = reinterpret_cast<JpegError*>(info->err);
    std::longjmp(err->jump, 1);
}

// Warnings (a damaged stretch the decoder fills with grey, a file cut short) are not
// shown, only counted: a picture file on the disk is shown as well as it can be.
void JpegQuiet(j_common_ptr info, int level) {
    if (level < 0) ++info->err->num_warnings;
}

// Where the decoder reads: a file, or bytes in memory.
struct JpegSource {
    std::FILE* file = nullptr;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// The decoder writes only through the pointers it is given, so nothing local to it
// changes between setjmp and a failure's longjmp. With `strict`, a warning fails the
// decoding too.
bool DecodeJpeg(const JpegSource& source, bool strict, std::vector<std::uint8_t>* rgb, int* width, int* height,
                std::string* problem) {
    jpeg_decompress_struct info;
    JpegError err;
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegFail;
    err.mgr.emit_message = JpegQuiet;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        if (problem->empty()) *problem = "the JPEG picture is damaged";
        return false;
    }
    jpeg_create_decompress(&info);
    if (source.file)
        jpeg_stdio_src(&info, source.file);
    else
        jpeg_mem_src(&info, source.data, static_cast<unsigned long>(source.size));
    jpeg_read_header(&info, TRUE);
    // The header alone declares the size: refuse before the decoder allocates for it.
    if (std::string why = SizeProblem(info.image_width, info.image_height); !why.empty()) {
        *problem = std::move(why);
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *width = static_cast<int>(info.output_width);
    *height = static_cast<int>(info.output_height);
    if (info.output_components != 3 || *width <= 0 || *height <= 0 || *width > kMaxPictureSide ||
        *height > kMaxPictureSide) {
        *problem = "the JPEG picture has a form the program cannot show";
        jpeg_destroy_decompress(&info);
        return false;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(*width) * 3;
    rgb->resize(rowBytes * static_cast<std::size_t>(*height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb->data() + rowBytes * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    const bool warned = err.mgr.num_warnings > 0;
    jpeg_destroy_decompress(&info);
    if (strict && warned) {
        *problem = "the JPEG picture is cut short or damaged";
        return false;
    }
    return true;
}

bool LoadJpeg(const fs::path& path, Surface* out, std::string* problem) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        *problem = std::strerror(errno);
        return false;
    }
    std::vector<std::uint8_t> rgb;
    int w = 0, h = 0;
    if (!DecodeJpeg(JpegSource{file.get()}, false, &rgb, &w, &h, problem)) return false;
    FromRgb(*out, rgb.data(), w, h, static_cast<std::size_t>(w) * 3);
    return true;
}

}  // namespace

bool LoadPicture(const fs::path& path, Surface* out, std::string* problem) {
    std::string why;
    if (!problem) problem = &why;
    problem->clear();
    if (!out) return false;
    std::uint8_t magic[8] = {};
    {
        FilePtr file(std::fopen(path.c_str(), "rb"));
        if (!file) {
            *problem = std::strerror(errno);
            return false;
        }
        if (std::fread(magic, 1, sizeof magic, file.get()) < 3) {
            *problem = std::ferror(file.get()) ? std::strerror(errno) : "the file is too short for a picture";
            return false;
        }
    }
    Surface s;
    bool ok = false;
    if (png_sig_cmp(magic, 0, 8) == 0)
        ok = LoadPng(path, &s, problem);
    else if (magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF)
        ok = LoadJpeg(path, &s, problem);
    else
        *problem = "the file is not a PNG or JPEG picture";
    if (ok) *out = std::move(s);
    return ok;
}

bool CheckPictureData(const std::uint8_t* data, std::size_t size, std::string* problem) {
    std::string why;
    if (!problem) problem = &why;
    problem->clear();
    if (!data || size < 8) {
        *problem = "the data is too short for a picture";
        return false;
    }
    if (png_sig_cmp(data, 0, 8) == 0) {
        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        bool ok = png_image_begin_read_from_memory(&image, data, size) != 0;
        if (ok) {
            image.format = PNG_FORMAT_RGBA;
            if (std::string big = SizeProblem(image.width, image.height); !big.empty()) {
                *problem = std::move(big);
                png_image_free(&image);
                return false;
            }
            std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
            ok = png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr) != 0 &&
                 (image.warning_or_error & PNG_IMAGE_WARNING) == 0;
        }
        png_image_free(&image);
        if (!ok) *problem = "the PNG picture is cut short or damaged";
        return ok;
    }
    if (data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        std::vector<std::uint8_t> rgb;
        int w = 0, h = 0;
        JpegSource source;
        source.data = data;
        source.size = size;
        return DecodeJpeg(source, true, &rgb, &w, &h, problem);
    }
    *problem = "the data is not a PNG or JPEG picture";
    return false;
}

GfxObject LoadPictureBitmap(const fs::path& path, std::string* problem) {
    Surface s;
    if (!LoadPicture(path, &s, problem)) return GfxObject{};
    return MakeBitmapFrom(std::move(s));
}

namespace {

void PngFailed(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngWarned(png_structp, png_const_charp) {}

// Writes the surface as 8-bit RGB rows through `row` (3 bytes a pixel). Scripts wait for
// their screenshots: no row filter and zlib's fastest level write a screen in two thirds
// of the time of libpng's own fast setting, for a file about a tenth larger. Holds no C++
// object that needs destroying, as a libpng error leaves through longjmp.
bool WriteRgbPng(std::FILE* file, const Surface& surface, std::uint8_t* row) {
    // A 5-bit channel widened as PixelToColor widens it.
    static constexpr std::array<std::uint8_t, 32> kExpand = [] {
        std::array<std::uint8_t, 32> t{};
        for (int v = 0; v < 32; ++v) t[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(v << 3 | v >> 2);
        return t;
    }();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, &PngFailed, &PngWarned);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const int w = surface.width, h = surface.height;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) {
        const std::uint16_t* pixels = surface.Row(y);
        std::uint8_t* d = row;
        for (int x = 0; x < w; ++x, d += 3) {
            const unsigned p = pixels[x];
            d[0] = kExpand[(p >> 10) & 31];
            d[1] = kExpand[(p >> 5) & 31];
            d[2] = kExpand[p & 31];
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool SavePng(const Surface& surface, const fs::path& path) {
    if (!surface.Valid()) return false;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(surface.width) * 3);
    EnsureParentFolders(path);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = WriteRgbPng(file, surface, row.data());
    const bool closed = std::fclose(file) == 0;
    // A picture cut short is no picture: nothing is left under the name.
    if (!written || !closed) std::remove(path.c_str());
    return written && closed;
}

bool SaveBitmapPng(GfxObject bitmap, const fs::path& path) {
    Surface* s = gfx::SurfaceOf(bitmap);
    return s && SavePng(*s, path);
}

GfxObject LoadBitmapResource(int id) {
    if (id <= 0) return GfxObject{};
    fs::path path = BitmapPath(id);
    // Without a manifest entry (resources not loaded yet), the picture is found by its id.
    if (path.empty()) path = ResourcesFolder() / "bitmaps" / (std::to_string(id) + ".png");
    return LoadPictureBitmap(path);
}

}  // namespace platform
