// The built program run as a user runs it: its command line, its exit status, where its
// messages go, and the single-instance lock. Each run has a temporary user folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "platform/instance.h"
#include "platform/resources.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;  // exit status; -1 when it had to be stopped
    std::string out;
    std::string err;
};

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ProgramRuns : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("vk-runs-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        home = folder / "home";
        char pattern[] = "/tmp/vkrun-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        runtime = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(folder, ec);
        fs::remove_all(runtime, ec);
    }

    struct Started {
        pid_t pid;
        fs::path out, err;
    };

    // Starts the program with the arguments, the user folder `userFolder` and the
    // environment changes (an empty value unsets the variable).
    Started Launch(const std::vector<std::string>& args, const fs::path& userFolder,
                   const std::vector<std::pair<std::string, std::string>>& env = {},
                   const std::string& program = VELKARION_PROGRAM) {
        static int n = 0;
        Started s;
        s.out = folder / ("out" + std::to_string(++n));
        s.err = folder / ("err" + std::to_string(n));
        s.pid = ::fork();
        if (s.pid == 0) {
            const int out = ::open(s.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int err = ::open(s.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(out, 1);
            ::dup2(err, 2);
            ::setenv("VELKARION_HOME", userFolder.c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            for (const auto& [name, value] : env) {
                if (value.empty()) {
                    ::unsetenv(name.c_str());
                } else {
                    ::setenv(name.c_str(), value.c_str(), 1);
                }
            }
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        return s;
    }

    static Outcome Wait(const Started& s, int seconds = 60) {
        Outcome o;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        int status = 0;
        for (;;) {
            if (::waitpid(s.pid, &status, WNOHANG) == s.pid) {
                o.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            if (std::chrono::steady_clock::now() > until) {
                ::kill(s.pid, SIGKILL);
                ::waitpid(s.pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        o.out = ReadAll(s.out);
        o.err = ReadAll(s.err);
        return o;
    }

    Outcome Run(const std::vector<std::string>& args, const std::vector<std::pair<std::string, std::string>>& env = {}) {
        return Wait(Launch(args, home, env));
    }

    fs::path folder, home, runtime;
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(ProgramRuns, CommandLineMistakesNameTheArgumentAndWhy) {
    struct Case {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"--headless", "--at", "2026-02-30 21:00"}, "--at 2026-02-30 21:00: day 30 is not in February 2026 (1 to 28)"},
        {{"--headless", "--at", "2024-02-30 21:00"}, "--at 2024-02-30 21:00: day 30 is not in February 2024 (1 to 29)"},
        {{"--headless", "--at", "2026-13-01 21:00"}, "--at 2026-13-01 21:00: month 13 is not 1 to 12"},
        {{"--headless", "--at", "2026-03-01 24:00"}, "--at 2026-03-01 24:00: hour 24 is not 0 to 23"},
        {{"--headless", "--at", "2026-03-01"}, "--at 2026-03-01: not a date and time written YYYY-MM-DD HH:MM"},
        {{"--headless", "--site", "91,0,0"}, "--site 91,0,0: latitude 91 is not -90 to 90"},
        {{"--headless", "--site", "48.8,181,60"}, "--site 48.8,181,60: longitude 181 is not -180 to 180"},
        {{"--headless", "--site", "nan,2.3,60"}, "--site nan,2.3,60: latitude nan is not a number"},
        {{"--headless", "--site", "48.8,inf,60"}, "--site 48.8,inf,60: longitude inf is not a number"},
        {{"--headless", "--site", "48.8,2.3"}, "--site 48.8,2.3: the zone offset is missing"},
        {{"--headless", "--site", "48.8,2.3,1.5"}, "--site 48.8,2.3,1.5: zone offset 1.5 is not a whole number of minutes"},
        {{"--headless", "--tap", "10"}, "--tap 10: not X,Y"},
        {{"--headless", "--key", "frobnicate"}, "--key frobnicate: not a key"},
        {{"--headless", "--wait", "-5"}, "--wait -5: wait -5 is not 0 to 86400000 ms"},
        {{"--headless", "--key"}, "--key needs a value: --key NAME"},
        {{"--scale", "9"}, "--scale 9: scale 9 is not 1 to 8"},
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"--tap", "10,10"}, "--tap needs --headless"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        const Outcome o = Run(c.args);
        EXPECT_EQ(o.status, 2);
        EXPECT_TRUE(Has(o.err, std::string("velkarion: ") + c.says)) << o.err;
        EXPECT_TRUE(Has(o.err, "usage: velkarion")) << o.err;
        EXPECT_TRUE(o.out.empty()) << o.out;
    }
    EXPECT_FALSE(fs::exists(home)) << "nothing is started for a wrong command line";
}

TEST_F(ProgramRuns, HelpPrintsTheUsageAndExitsZero) {
    const Outcome o = Run({"--help"});
    EXPECT_EQ(o.status, 0);
    EXPECT_TRUE(Has(o.out, "usage: velkarion")) << o.out;
    EXPECT_TRUE(Has(o.out, "Exit status")) << o.out;
    EXPECT_TRUE(o.err.empty()) << o.err;
}

TEST_F(ProgramRuns, AScriptWhoseProgramQuitsEarlySaysWhichStepAndExitsZero) {
    const fs::path shot = folder / "never.png";
    const Outcome o = Run({"--headless", "--site", "48.8,2.3,60", "--key", "ctrl+q", "--screenshot", shot.string()});
    EXPECT_EQ(o.status, 0);
    EXPECT_TRUE(Has(o.out, "the program quit at step 2 of 3 (--key ctrl+q)")) << o.out;
    EXPECT_FALSE(fs::exists(shot));

    // A script that runs to its end says nothing of the kind.
    const Outcome whole = Run({"--headless", "--site", "48.8,2.3,60", "--screenshot", shot.string()});
    EXPECT_EQ(whole.status, 0);
    EXPECT_FALSE(Has(whole.out, "quit at step")) << whole.out;
    EXPECT_TRUE(fs::exists(shot));

    // A screenshot that cannot be written (a file where its folder should be) fails the run.
    { std::ofstream(folder / "a file"); }
    const Outcome failed = Run({"--headless", "--screenshot", (folder / "a file" / "x.png").string()});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(Has(failed.err, "cannot write")) << failed.err;
}

// One window per user folder: a start refused by the lock says so and exits with 3;
// headless runs take no lock and run side by side.
TEST_F(ProgramRuns, TheInstanceLockIsPerUserFolderAndHeadlessRunsTakeNone) {
    ASSERT_TRUE(platform::LoadResources());
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    platform::InstanceClaim running;
    ASSERT_TRUE(platform::ClaimSingleInstance(running, ProgramInstanceName(), home));
    ::unsetenv("XDG_RUNTIME_DIR");

    const Outcome refused = Run({});
    EXPECT_EQ(refused.status, 3);
    EXPECT_TRUE(Has(refused.err, "Velkarion is already running (user folder " + home.string() + ")")) << refused.err;

    std::vector<Started> runs;
    for (int i = 0; i < 6; ++i)
        runs.push_back(Launch({"--headless", "--screenshot", (folder / ("shot" + std::to_string(i) + ".png")).string()},
                              home));
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const Outcome o = Wait(runs[static_cast<std::size_t>(i)]);
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_TRUE(fs::exists(folder / ("shot" + std::to_string(i) + ".png")));
    }

    // Another user folder is another copy: not refused, it goes on to open its window,
    // which fails here for want of a display.
    const Outcome other = Wait(Launch({}, folder / "other home",
                                      {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}}),
                               20);
    if (other.status == -1) GTEST_SKIP() << "a window opened without a display";
    EXPECT_EQ(other.status, 1);
    EXPECT_TRUE(Has(other.err, "velkarion: cannot open a window: ")) << other.err;
    EXPECT_TRUE(Has(other.err, "velkarion: no display: use --headless")) << other.err;
}

// A folder where the lock file should be would let two copies share the user folder: the
// start is refused with the reason and 3, as for a running copy.
TEST_F(ProgramRuns, ALockPathThatIsAFolderRefusesTheStartWithTheReason) {
    ASSERT_TRUE(platform::LoadResources());
    fs::create_directories(home / (ProgramInstanceName() + ".lock"));
    const Outcome refused = Run({});
    EXPECT_EQ(refused.status, 3);
    EXPECT_TRUE(Has(refused.err, ".lock is a folder: remove it")) << refused.err;
    EXPECT_FALSE(Has(refused.err, "already running")) << refused.err;
}

// Runs found by seeded monkey runs: a form closed under its date picker or text dialog
// as the program quits (Camera Control's date, the site form's latitude after the location
// list), and the chart's clock after the polar assistant. No internal box reaches the user.
TEST_F(ProgramRuns, NoInternalBoxOnTheMonkeyReproducers) {
    const std::vector<std::vector<std::string>> scripts = {
        {"--tap", "50,665", "--tap", "60,567", "--tap", "448,185"},
        {"--tap", "310,665", "--tap", "280,409", "--tap", "239,612", "--tap", "406,625", "--tap", "266,305"},
        {"--tap", "40,92", "--tap", "10,683", "--tap", "197,311", "--tap", "51,32", "--tap", "451,544"},
        {"--tap", "40,92", "--wait", "1500", "--tap", "462,422"},
    };
    for (const auto& script : scripts) {
        std::vector<std::string> args = {"--headless", "--scale", "2"};
        args.insert(args.end(), script.begin(), script.end());
        SCOPED_TRACE(testing::PrintToString(script));
        const Outcome o = Run(args);
        EXPECT_EQ(o.status, 0) << o.err;
        for (const char* internal : {"NULL Obj ptr", "Bad id", "Failed to allocate", "Invalid latitude"})
            EXPECT_FALSE(Has(o.out, internal)) << o.out;
    }
}

// NightMode opened from the menu band over the date picker: taps on the picker beneath are
// the dialog's, and quitting with the dialog open leaves no box of control ids.
TEST_F(ProgramRuns, TheNightModeDialogOverThePickerTakesTheTapsAndEndsCleanly) {
    const Outcome o = Run({"--headless", "--site", "48.8,2.3,60", "--tap", "158,228", "--tap", "357,644", "--tap",
                           "240,467", "--tap", "22,205"});
    EXPECT_EQ(o.status, 0);
    EXPECT_FALSE(Has(o.out, "NULL popup Wnd")) << o.out;
    EXPECT_FALSE(Has(o.out, "NULL Obj ptr")) << o.out;
    EXPECT_FALSE(Has(o.out, "139 140")) << o.out;
}

// An install under a prefix runs from any folder: the program finds its files in
// ../share/velkarion from its own path. A copy of the program with nothing beside it finds
// none, and says where it looked (no path of the source tree is built in).
TEST_F(ProgramRuns, AnInstallFindsItsFilesFromItsOwnPath) {
    const fs::path prefix = folder / "prefix";
    const std::string install = std::string("\"") + VELKARION_CMAKE + "\" --install \"" + VELKARION_BUILD_DIR +
                                "\" --prefix \"" + prefix.string() + "\" > \"" + (folder / "install.log").string() + "\" 2>&1";
    ASSERT_EQ(std::system(install.c_str()), 0) << ReadAll(folder / "install.log");
    const fs::path share = prefix / "share" / "velkarion";
    EXPECT_TRUE(fs::is_regular_file(share / "resources" / "strings.txt"));
    EXPECT_TRUE(fs::is_regular_file(share / "resources" / "dialogs" / "1950.dlg"));
    EXPECT_TRUE(fs::is_regular_file(share / "font" / "symbol.ttf"));

    const std::vector<std::pair<std::string, std::string>> plain = {{"VELKARION_RESOURCES", ""}, {"VELKARION_INSTALL", ""}};
    const fs::path shot = folder / "installed.png";
    const Outcome installed =
        Wait(Launch({"--headless", "--screenshot", shot.string()}, home, plain, (prefix / "bin" / "velkarion").string()));
    EXPECT_EQ(installed.status, 0);
    EXPECT_FALSE(Has(installed.err, "resources folder not found")) << installed.err;
    EXPECT_TRUE(fs::exists(shot));

    fs::create_directories(folder / "copy");
    fs::copy_file(prefix / "bin" / "velkarion", folder / "copy" / "velkarion");
    const Outcome copied =
        Wait(Launch({"--headless"}, home, plain, (folder / "copy" / "velkarion").string()));
    EXPECT_TRUE(Has(copied.err, "resources folder not found: " + (folder / "copy" / "resources").string()))
        << copied.err;

    // VELKARION_INSTALL names where the files are.
    const Outcome named = Wait(Launch({"--headless"}, home, {{"VELKARION_RESOURCES", ""}, {"VELKARION_INSTALL", share.string()}},
                                      (folder / "copy" / "velkarion").string()));
    EXPECT_FALSE(Has(named.err, "resources folder not found")) << named.err;
}

}  // namespace
