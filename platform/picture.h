#pragma once
// Picture files into the program's pixel format, and PNG files out of it.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/gfx_objects.h"
#include "platform/surface.h"

namespace platform {

// The largest picture the program decodes: more would only cost memory (pictures also
// arrive from the network, where a few bytes can declare gigapixels).
inline constexpr int kMaxPictureSide = 4096;
inline constexpr long kMaxPicturePixels = 16'000'000;

// PNG or JPEG (told by the file's first bytes) into a 5-5-5 surface. Transparent pixels
// of a PNG are laid on black. False for a missing, damaged or unsupported file, and for a
// picture above the limits, which is refused from its header before anything is decoded;
// `problem` (when given) then says why.
bool LoadPicture(const std::filesystem::path& path, Surface* out, std::string* problem = nullptr);
// Whether bytes held in memory (a download) are a whole PNG or JPEG picture within the
// limits: decoded as LoadPicture would, except that anything the decoder only warns about
// (a file cut short, a damaged stretch it would fill with grey) fails too. `problem`
// (when given) says why.
bool CheckPictureData(const std::uint8_t* data, std::size_t size, std::string* problem = nullptr);
// The same as a bitmap object (null on failure).
GfxObject LoadPictureBitmap(const std::filesystem::path& path, std::string* problem = nullptr);

// Writes any surface, or the surface of a bitmap, as an RGB PNG.
bool SavePng(const Surface& surface, const std::filesystem::path& path);
bool SaveBitmapPng(GfxObject bitmap, const std::filesystem::path& path);

// Bitmap resource `id` as a bitmap object: the manifest's file, or resources/bitmaps/<id>.png
// when the manifest does not list it. Null when it is missing.
GfxObject LoadBitmapResource(int id);

}  // namespace platform
