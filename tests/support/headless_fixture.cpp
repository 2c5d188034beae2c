#include "support/headless_fixture.h"

#include <unistd.h>

#include <system_error>

void HeadlessFixture::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    home = std::filesystem::temp_directory_path() /
           ("vk-headless-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    std::filesystem::create_directories(home, ec);
    Reinstall();
}

void HeadlessFixture::Reinstall() {
    options.home = home;
    platform::headless::Install(options);
}

void HeadlessFixture::TearDown() {
    platform::headless::Uninstall();
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
}

platform::Point HeadlessFixture::Middle(platform::Window w) {
    const platform::Rect r = platform::GetWindowRect(w);
    return platform::Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void HeadlessFixture::TapWindow(platform::Window w, std::uint32_t holdMs) { Tap(Middle(w), holdMs); }
