#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

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

TEST_F(PathsTest, NamesFromUsersAndFilesStayInTheirFolder) {
    const fs::path home = root / "home";
    const struct {
        std::string_view name;
        fs::path expected;
    } programPaths[] = {
        {"userlists\\..\\..\\x", home / "userlists" / "x"},
        {"..\\..\\etc\\passwd", home / "etc" / "passwd"},
        {"userlists/./../x.lst", home / "userlists" / "x.lst"},
        {"data\\..\\..\\x", root / "install" / "Data" / "x"},  // the folder is matched without regard to case
        // The system reads a path up to a NUL: "..\0" must not pass as a name.
        {std::string_view("userlists\\..\0x\\y", 16), home / "userlists"},
    };
    for (const auto& c : programPaths) {
        SCOPED_TRACE(std::string(c.name));
        EXPECT_EQ(platform::ResolvePath(c.name), c.expected);
    }
    const struct {
        std::string_view name;
        fs::path expected;
    } listNames[] = {
        {"a.lst", home / "userlists" / "a.lst"},
        {"\\..\\..\\etc\\passwd", home / "userlists" / "etc" / "passwd"},
        {"/etc/passwd", home / "userlists" / "etc" / "passwd"},
        {"..", home / "userlists"},
    };
    for (const auto& c : listNames) {
        SCOPED_TRACE(std::string(c.name));
        EXPECT_EQ(platform::ResolveInFolder("userlists", c.name), c.expected);
    }
}

TEST_F(PathsTest, UnusableHomeIsReportedAndLeftAsItIs) {
    const fs::path file = root / "afile";
    std::ofstream(file) << "mine";
    struct Case {
        fs::path home;
        const char* reason;  // the start of the reason; null when usable
    };
    const Case cases[] = {
        {root / "fresh" / "home", nullptr},        // made when missing
        {file, "it is a file, not a folder"},      // a file in its place
        {file / "home", "it cannot be created"},   // under a file
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.home.string());
        platform::SetHomeRoot(c.home);
        const std::string reason = platform::PrepareHomeFolder();
        if (!c.reason) {
            EXPECT_EQ(reason, "");
            EXPECT_TRUE(fs::is_directory(c.home));
        } else {
            EXPECT_EQ(reason.rfind(c.reason, 0), 0u) << reason;
        }
        EXPECT_EQ(platform::HomeUsable(), c.reason == nullptr);
    }
    std::ifstream in(file);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "mine");
    platform::SetHomeRoot(root / "home");
    EXPECT_TRUE(platform::HomeUsable()) << "a new home is judged afresh";

    if (::geteuid() != 0) {  // root writes anywhere
        const fs::path locked = root / "locked";
        fs::create_directories(locked);
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        platform::SetHomeRoot(locked);
        EXPECT_EQ(platform::PrepareHomeFolder().rfind("it cannot be written: Permission denied", 0), 0u);
        EXPECT_FALSE(platform::HomeUsable());
        fs::permissions(locked, fs::perms::owner_all);
    }
}

// With HOME unset the user's files go to a folder of their own, never a shared one.
TEST_F(PathsTest, WithoutHomeTheFolderIsPrivateToTheUser) {
    struct SavedEnv {
        const char* name;
        std::string value;
        bool set;
    };
    std::vector<SavedEnv> saved;
    for (const char* name : {"VELKARION_HOME", "XDG_DATA_HOME", "HOME", "TMPDIR"}) {
        const char* v = std::getenv(name);
        saved.push_back({name, v ? v : "", v != nullptr});
        ::unsetenv(name);
    }
    ::setenv("TMPDIR", root.c_str(), 1);
    platform::SetHomeRoot({});

    const fs::path expected = root / ("velkarion-" + std::to_string(::getuid()));
    EXPECT_EQ(platform::HomeRoot(), expected);
    EXPECT_EQ(platform::PrepareHomeFolder(), "");
    struct stat st {};
    ASSERT_EQ(::lstat(expected.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // Opened up by mistake: closed again.
    ::chmod(expected.c_str(), 0777);
    EXPECT_EQ(platform::PrepareHomeFolder(), "");
    ::lstat(expected.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // Made first by someone else, or a link planted in its place: refused.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(expected.c_str(), 4242, 4242), 0);
        EXPECT_EQ(platform::PrepareHomeFolder(), "it belongs to another user");
        EXPECT_FALSE(platform::HomeUsable());
    }
    fs::remove_all(expected);
    fs::create_directories(root / "elsewhere");
    fs::create_directory_symlink(root / "elsewhere", expected);
    EXPECT_EQ(platform::PrepareHomeFolder(), "it is not a folder");

    for (const SavedEnv& e : saved) {
        if (e.set)
            ::setenv(e.name, e.value.c_str(), 1);
        else
            ::unsetenv(e.name);
    }
    platform::SetHomeRoot(root / "home");
}

TEST_F(PathsTest, StaleTemporariesOfEndedRunsAreRemovedAtStart) {
    // A process id that no longer runs: a child that has ended and been waited for.
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const fs::path lists = root / "home" / "userlists";
    fs::create_directories(lists);
    const std::string dead = std::to_string(child), own = std::to_string(::getpid());
    const std::vector<std::string> kept = {"b.lst.vktmp-" + own, "c.lst.vktmp-1", "d.lst.vktmp-x" + dead,
                                           "e.tmp-" + dead, "a.lst"};
    const std::string stale = "a.lst.vktmp-" + dead;
    for (const std::string& name : kept) std::ofstream(lists / name) << "x";
    std::ofstream(lists / stale) << "x";

    EXPECT_EQ(platform::PrepareHomeFolder(), "");
    EXPECT_FALSE(fs::exists(lists / stale));
    // This run's own, a running process's, and names not of the pattern stay.
    for (const std::string& name : kept)
        EXPECT_TRUE(fs::exists(lists / name)) << name;
}

TEST_F(PathsTest, FailedWritesSayWhyAndLeaveTheFile) {
    const fs::path target = root / "home" / "a.lst";
    ASSERT_TRUE(platform::WriteFileAtomically(target, "first", 5));
    // The temporary's name is taken by a folder, as a full or failing disk would refuse it.
    fs::create_directories(fs::path(target.string() + ".vktmp-" + std::to_string(::getpid())));
    std::string why;
    EXPECT_FALSE(platform::WriteFileAtomically(target, "second", 6, &why));
    EXPECT_EQ(why, "Is a directory");
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(platform::ReadWholeFile(target, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "first");

    EXPECT_FALSE(platform::ReadWholeFile(root / "home", bytes, &why));
    EXPECT_EQ(why, "Is a directory");
    EXPECT_FALSE(platform::ReadWholeFile(root / "none", bytes, &why));
    EXPECT_EQ(why, "No such file or directory");
}
