// The eyepiece rows' focal lengths: a decimal only when there is a fraction.
#include "shell/ocular_rows.h"

#include <gtest/gtest.h>

namespace {

TEST(EyepieceRows, FocalLengthShowsADecimalOnlyForAFraction) {
    const std::pair<float, const char*> cases[] = {{6.5f, "6.5mm"}, {7.0f, "7mm"}, {25.0f, "25mm"}, {12.25f, "12.2mm"},
                                                   {0.0f, "0mm"}};
    for (const auto& c : cases) {
        char text[16];
        FormatEyepieceFocal(c.first, text, sizeof text);
        EXPECT_STREQ(text, c.second) << c.first;
    }
}

}  // namespace
