// Pictures: any bytes in a picture file decode into a surface no larger than the limits,
// or are refused with a reason.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_files.h"
#include "platform/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = fuzz::Scratch() / "home" / "picture";
    fuzz::WriteBytes(file, data, size);
    platform::Surface surface;
    std::string problem;
    if (platform::LoadPicture(file, &surface, &problem)) {
        if (surface.width <= 0 || surface.height <= 0 || surface.width > platform::kMaxPictureSide ||
            surface.height > platform::kMaxPictureSide ||
            static_cast<long>(surface.width) * surface.height > platform::kMaxPicturePixels)
            std::abort();
    } else if (problem.empty()) {
        std::abort();  // every refusal says why
    }
    return 0;
}
