#pragma once
// Fonts for the run: the registry of font files the program adds (its symbol font), and
// the conversion of program text (Windows-1252, or the symbol encoding for symbol fonts)
// into characters.
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// Registers a font file for this run. Returns the number of fonts added from it (1), or
// 0 when the file is missing or not a font. Adding a registered file again keeps one
// registration.
int AddFontFile(const std::filesystem::path& path);
// Succeeds once per registration.
bool RemoveFontFile(const std::filesystem::path& path);
bool IsFontFileAdded(const std::filesystem::path& path);

// Program text to characters. With `symbol`, Latin letters become the Greek letters of
// the classic symbol encoding (a alpha, b beta, c chi, ... w omega).
std::u32string DecodeProgramText(std::string_view text, bool symbol = false);
// Characters back to UTF-8, for the window title and logs.
std::string ToUtf8(std::u32string_view text);
// A UTF-8 path or text to program text; characters outside Windows-1252 become '?'.
std::string Utf8ToProgramText(std::string_view utf8);

}  // namespace platform
