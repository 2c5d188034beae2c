#pragma once
// Golden pictures: the headless screen compared pixel for pixel with a committed PNG.
//
// When a picture differs, the test fails and names two files it wrote:
//   <out>/<name>.actual.png  the screen as the test drew it
//   <out>/<name>.diff.png    a dimmed copy of the golden with the differing pixels in magenta
//                            and the rectangles left out of the comparison tinted blue
// where <name> is the golden's file name without ".png" and <out> is the folder named by
// VELKARION_GOLDEN_OUT, or else golden_failures/ in the test's working directory (the build
// folder under ctest).
//
// The pictures depend on the text renderer and the font. GOLDEN_VERSIONS, beside the
// pictures, holds the FreeType and DejaVu Sans versions they were drawn with; a failure
// says so when this build's differ (a difference is not a failure by itself).
//
// With VELKARION_UPDATE_GOLDEN set, the screen is written as the golden instead, and
// GOLDEN_VERSIONS is rewritten with this build's versions: regenerate every picture of the
// folder together so the file stays true for all of them.
#include <filesystem>
#include <vector>

#include "platform/types.h"

// Fails the current test when the screen differs from the picture at `file` (the 15 colour
// bits of each pixel) anywhere outside the `excluded` rectangles (screen pixels). Leave out
// what the picture is not about, such as texts computed from the date and site: they are
// checked as values by their own tests, so a computation that moves within its tolerance
// does not redraw the pictures.
void ExpectScreenLike(const std::filesystem::path& file, const std::vector<platform::Rect>& excluded = {});

