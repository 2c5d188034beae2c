#pragma once
// Picture files into the program's pixel format, and PNG files out of it.
#include <filesystem>

#include "platform/gfx_objects.h"
#include "platform/surface.h"

namespace platform {

// PNG or JPEG (told by the file's first bytes) into a 5-5-5 surface. Transparent pixels
// of a PNG are laid on black. False for a missing, damaged or unsupported file.
bool LoadPicture(const std::filesystem::path& path, Surface* out);
// The same as a bitmap object (null on failure).
GfxObject LoadPictureBitmap(const std::filesystem::path& path);

// Writes any surface, or the surface of a bitmap, as an RGB PNG.
bool SavePng(const Surface& surface, const std::filesystem::path& path);
bool SaveBitmapPng(GfxObject bitmap, const std::filesystem::path& path);

// Bitmap resource `id` as a bitmap object: the manifest's file, or resources/bitmaps/<id>.png
// when the manifest does not list it. Null when it is missing.
GfxObject LoadBitmapResource(int id);

}  // namespace platform
