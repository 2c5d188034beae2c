#pragma once
// The eclipse form on the headless screen: a resource folder with small generated pictures
// in place of the maps made at set-up, a fixed clock, and helpers to pick rows and pages.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "eclipses/eclipse_form.h"
#include "eclipses/eclipse_list.h"
#include "eclipses/eclipse_state.h"
#include "moon/map_textures.h"
#include "platform/dialog.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/surface.h"
#include "shell/fonts.h"
#include "shell/fonts_internal.h"
#include "shell/form_paint_step.h"
#include "shell/forms_fixture.h"
#include "shell/list_views.h"
#include "shell/text_input.h"
#include "support/recorded_reports.h"

namespace fs = std::filesystem;
namespace eclipse_test {

using namespace eclipse_form;

constexpr std::uint16_t Px(int r, int g, int b) { return static_cast<std::uint16_t>(r << 10 | g << 5 | b); }
constexpr std::uint16_t kLand = Px(4, 20, 4);
constexpr std::uint16_t kBigTexture = Px(28, 20, 4);   // 6042/6043
constexpr std::uint16_t kSmallTexture = Px(4, 28, 28);  // 6044/6045

// A resource folder like the program's, with small generated pictures of one colour each
// in place of the maps made at set-up.
constexpr std::uint16_t kMapSea = Px(19, 19, 25);
constexpr std::uint16_t kMapLand = Px(20, 28, 10);

inline fs::path MakeResources(const fs::path& root, bool worldMap) {
    const fs::path real = platform::ResourcesFolder();
    fs::create_directories(root / "bitmaps" / "generated");
    for (const fs::directory_entry& e : fs::directory_iterator(real)) {
        if (e.path().filename() == "bitmaps") continue;
        fs::create_symlink(e.path(), root / e.path().filename());
    }
    for (const fs::directory_entry& e : fs::directory_iterator(real / "bitmaps")) {
        if (e.path().filename() == "generated") continue;
        fs::create_symlink(e.path(), root / "bitmaps" / e.path().filename());
    }
    auto write = [&](int id, int w, int h, std::uint16_t colour) {
        platform::Surface s = platform::MakeSurface(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) s.Row(y)[x] = colour;
        ASSERT_TRUE(platform::SavePng(s, root / "bitmaps" / "generated" / (std::to_string(id) + ".png")));
    };
    write(6010, 240, 120, kLand);
    write(1221, 240, 120, kLand);
    if (worldMap) {
        // The large map's halves: sea with one block of land in each (west: 180 to 90 W,
        // 60 N to 0; east: 0 to 90 E, 0 to 30 S).
        for (int id : {6015, 6016}) {
            platform::Surface s = platform::MakeSurface(1207, 1207);
            for (int y = 0; y < 1207; ++y)
                for (int x = 0; x < 1207; ++x) {
                    const bool land = id == 6015 ? (x >= 10 && x < 603 && y >= 201 && y < 603)
                                                 : (x >= 10 && x < 603 && y >= 603 && y < 804);
                    s.Row(y)[x] = land ? kMapLand : kMapSea;
                }
            EXPECT_TRUE(platform::SavePng(s, root / "bitmaps" / "generated" / (std::to_string(id) + ".png")));
        }
    }
    write(6042, 460, 460, kBigTexture);
    write(6043, 460, 460, kBigTexture);
    write(6044, 230, 230, kSmallTexture);
    write(6045, 230, 230, kSmallTexture);
    return root;
}

class EclipseFormTest : public FormScreenFixture {
protected:
    void SetUp() override {
        resources = fs::temp_directory_path() / ("vk-eclipse-form-" + std::to_string(::getpid()));
        fs::remove_all(resources);
        MakeResources(resources, withWorldMap);
        if (const char* r = std::getenv("VELKARION_RESOURCES")) savedResources = r;
        ::setenv("VELKARION_RESOURCES", resources.c_str(), 1);
        // The symbol font the marks and icons need, as the program ships it.
        fs::create_directories(resources / "install" / "font");
        fs::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", resources / "install" / "font" / "symbol.ttf");
        platform::SetInstallRoot(resources / "install");
        options.start = platform::LocalTime{2024, 6, 1, 12, 0, 0, 0, 6};
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        ClearPictureCache();
        ForgetFailedMapImages();
        eclipseState = EclipseState{};
        observingDateTime.year = 2024;
        ClearRecordedReports();
        SetFormDialogProc(kEclipseFormId, &EclipseAssistant);
        SetFormDialogProc(kHomeFormId, &StandInFormProc<kHomeFormId>);
        StartWithMainWindow(&FormHostProc);
    }
    void TearDown() override {
        Stop();
        FreeEclipseData();
        SetDpiFactorOverride(0);
        SetFormDialogProc(kEclipseFormId, nullptr);
        SetFormDialogProc(kHomeFormId, nullptr);
        FormScreenFixture::TearDown();
        ClearPictureCache();
        ForgetFailedMapImages();
        platform::SetInstallRoot({});
        if (savedResources.empty()) ::unsetenv("VELKARION_RESOURCES");
        else ::setenv("VELKARION_RESOURCES", savedResources.c_str(), 1);
        fs::remove_all(resources);
    }

    void PrepareSettings() override { SetDefaultSettings(); }

    void Open() {
        Call([] { GotoForm(kEclipseFormId); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kEclipseFormId);
    }
    // The list's row of an eclipse by date; -1 when it is not listed.
    static int RowOf(int year, int month, int day) {
        const EclipseState& s = eclipseState;
        for (int i = 0; i < s.eclipseCount; ++i) {
            const EclipseEntry& e = s.eclipseList[i];
            if (e.year == year && e.month == month && e.day == day) return i;
        }
        return -1;
    }
    void Select(int row) {
        Call([=] { SetListSelection(kList, row); });
        Command(kList);
    }
    // The first rows as "yyyy-mm-dd kind type".
    static std::vector<std::string> Rows(int n) {
        std::vector<std::string> out;
        for (int i = 0; i < n && i < eclipseState.eclipseCount; ++i) {
            const EclipseEntry& e = eclipseState.eclipseList[i];
            char text[40];
            std::snprintf(text, sizeof text, "%04d-%02d-%02d %s %s", e.year, e.month, e.day,
                          e.kind == 1 ? "Sun" : "Moon", EclipseTypeName(e.type));
            out.push_back(text);
        }
        return out;
    }
    static bool Visible(int id) { return platform::IsWindowVisible(Item(id)); }
    std::uint16_t PixelAt(int x, int y) {
        const platform::Surface* s = platform::WindowSurface(formWindow);
        const platform::Point o = platform::WindowOrigin(formWindow);
        return s->Row(y + o.y)[x + o.x] & 0x7FFF;
    }
    // Types a text into the text input a field tap opened.
    void TypeIntoField(int id, const std::string& text) {
        Call([=] { platform::PostMessage(formWindow, kMsgFieldTap, static_cast<platform::WParam>(id), 0); });
        RunUntilIdle();
        ASSERT_EQ(platform::ModalStack().size(), 1u);
        const platform::Window input = platform::ModalStack()[0];
        Call([=] { platform::SetWindowText(platform::GetDialogItem(input, kTextInputEdit), ""); });
        Type(text);
        Key(platform::kKeyReturn);
        RunUntilIdle();
    }
    static std::vector<std::string> Headings() {
        std::vector<std::string> out;
        for (const ReportRecord& r : RecordedReports()) out.push_back(r.heading);
        return out;
    }

    fs::path resources;
    std::string savedResources;
    bool withWorldMap = false;
};

}  // namespace eclipse_test
