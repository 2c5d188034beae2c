#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/paths.h"

namespace fs = std::filesystem;

class PathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("vk-paths-" + std::to_string(::getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "home");
        fs::create_directories(root / "install" / "Data");
        platform::SetHomeRoot(root / "home");
        platform::SetInstallRoot(root / "install");
    }
    void TearDown() override {
        platform::SetHomeRoot({});
        platform::SetInstallRoot({});
        fs::remove_all(root);
    }
    fs::path root;
};

TEST_F(PathsTest, BackslashPathsMapToRootsByFirstFolder) {
    std::ofstream(root / "install" / "Data" / "Stars.PPC") << "x";
    EXPECT_EQ(platform::ResolvePath("data\\stars.ppc"), root / "install" / "Data" / "Stars.PPC");
    EXPECT_EQ(platform::ResolvePath("userlists\\last_list.lst"), root / "home" / "userlists" / "last_list.lst");
    EXPECT_EQ(platform::ResolvePath("/tmp\\x"), fs::path("/tmp/x"));
}

TEST_F(PathsTest, AtomicWriteReplacesWholeFileOrNothing) {
    fs::path target = root / "home" / "userlists" / "a.lst";
    ASSERT_TRUE(platform::WriteFileAtomically(target, "first", 5));
    {
        platform::AtomicFile f(target);
        ASSERT_TRUE(f.Ok());
        f.Write("second", 6);
        // no Commit: the old contents stay and no temporary is left behind
    }
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(platform::ReadWholeFile(target, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "first");
    EXPECT_EQ(std::distance(fs::directory_iterator(target.parent_path()), fs::directory_iterator{}), 1);
}
