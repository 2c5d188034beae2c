// Every label of the program's dialog layouts shows its whole text on one line at the
// screen scales the program offers by default: a label too narrow for its text wraps, and
// its second line falls outside the box ("Hour :" showed as "Hour").
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/gfx_context.h"
#include "platform/resources.h"
#include "support/headless_fixture.h"

namespace fs = std::filesystem;

namespace {

platform::LResult NoDialogProc(platform::Window, unsigned, platform::WParam, platform::LParam) { return 0; }

class DialogTexts : public HeadlessFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        options.scale = GetParam();
        HeadlessFixture::SetUp();
        ASSERT_TRUE(platform::LoadResources());
    }
    void TearDown() override {
        platform::ClearResources();
        HeadlessFixture::TearDown();
    }
};

TEST_P(DialogTexts, EveryLabelFitsItsBoxOnOneLine) {
    int labels = 0;
    for (const fs::directory_entry& e : fs::directory_iterator(platform::ResourcesFolder() / "dialogs")) {
        if (e.path().extension() != ".dlg") continue;
        SCOPED_TRACE(e.path().filename().string());
        std::ifstream in(e.path());
        std::stringstream text;
        text << in.rdbuf();
        platform::DialogLayout layout;
        std::string error;
        ASSERT_TRUE(platform::ParseDialogLayout(text.str(), &layout, &error)) << error;
        Call([&] {
            const platform::Window dialog = platform::CreateDialogFromLayout(layout, platform::Window{}, &NoDialogProc, 0);
            for (const platform::ControlLayout& c : layout.controls) {
                if (c.kind != platform::WindowKind::Static || c.text.empty())
                    continue;
                for (const platform::Window label : platform::ChildWindows(dialog)) {
                    if (platform::GetWindowKind(label) != platform::WindowKind::Static ||
                        platform::GetWindowText(label) != c.text)
                        continue;
                    const platform::Dc dc = platform::GetWindowDc(label);
                    const platform::Extent needed = platform::TextExtent(dc, c.text);
                    platform::ReleaseDc(label, dc);
                    const platform::Rect box = platform::GetClientRect(label);
                    EXPECT_LE(needed.width, box.Width()) << "\"" << c.text << "\" at scale " << GetParam();
                    ++labels;
                }
            }
            platform::DestroyWindow(dialog);
        });
    }
    EXPECT_GE(labels, 8);
}

INSTANTIATE_TEST_SUITE_P(Scales, DialogTexts, ::testing::Values(1, 2, 3));

}  // namespace
