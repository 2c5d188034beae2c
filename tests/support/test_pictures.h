#pragma once
// JPEG pictures made in memory for the tests and benchmarks of the object pictures: a
// solid colour, or noise (which compresses badly, so that a small picture still makes a
// reply of a few kilobytes).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <jpeglib.h>

// rgb(x, y, out[3]) gives each pixel.
template <typename PixelFn>
std::vector<std::uint8_t> EncodeTestJpeg(int width, int height, PixelFn rgb, int quality = 90) {
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < width; ++x) rgb(x, static_cast<int>(info.next_scanline), &row[static_cast<std::size_t>(x) * 3]);
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> bytes(out, out + size);
    std::free(out);
    return bytes;
}

inline std::vector<std::uint8_t> SolidTestJpeg(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return EncodeTestJpeg(width, height, [&](int, int, std::uint8_t* p) {
        p[0] = r;
        p[1] = g;
        p[2] = b;
    });
}

inline std::vector<std::uint8_t> NoiseTestJpeg(int width, int height, unsigned seed = 1) {
    return EncodeTestJpeg(width, height, [&](int, int, std::uint8_t* p) {
        for (int c = 0; c < 3; ++c) {
            seed = seed * 1103515245u + 12345u;
            p[c] = static_cast<std::uint8_t>(seed >> 16);
        }
    });
}

inline bool WriteTestFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
