#pragma once
// File names made from text the user typed or a download brought: an observer log is
// written under its object's name, a list under the name typed for it, an import under
// the name asked for.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// The text as one plain file name: folder separators, control characters and ".." are
// removed, then leading dots and blanks and trailing blanks, and the rest cut to
// `maxLength` bytes. An empty result gives `fallback`.
std::string SafeFileName(std::string_view text, std::string_view fallback, std::size_t maxLength = 60);

// folder/<stem><extension> when no such file exists, else the first of
// folder/<stem>_2<extension>, folder/<stem>_3<extension>, ... that does not.
std::filesystem::path UnusedFileName(const std::filesystem::path& folder, const std::string& stem,
                                     const std::string& extension);
