#pragma once
// The program running headless at scale 2 in a temporary home, for the benchmarks of its
// forms, and one timed repaint of every window up to the frame being presented.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/composition.h"
#include "app/main_window.h"
#include "bench_files.h"
#include "platform/headless.h"
#include "platform/message_box.h"
#include "platform/resources.h"
#include "platform/window.h"
#include "shell/form_dispatcher.h"

class ProgramOnScreen {
public:
    // `install` is the install root the program runs from; empty, the program's own. An
    // earlier benchmark may have pointed the root at its few files, where the forms would
    // find no pictures or dialogs and draw nothing: the root is set for this program's
    // time and the one before is given back after it.
    explicit ProgramOnScreen(const std::string& name, const std::filesystem::path& install = {}) : install_(install) {
        namespace hl = platform::headless;
        home_ = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(home_ / "runtime");
        // The single-copy lock lives in the runtime folder: another copy running on this
        // machine must not stop this one.
        ::setenv("XDG_RUNTIME_DIR", (home_ / "runtime").c_str(), 1);
        hl::Options options;
        options.scale = 2;
        options.home = home_;
        hl::Install(options);
        platform::LoadResources();
        ComposeProgram();
        platform::ClearShownBoxes();
        hl::StartProgram([] { return RunVelkarion(); });
        hl::RunUntilIdle();
    }
    ~ProgramOnScreen() {
        namespace hl = platform::headless;
        if (hl::ProgramRunning()) hl::RequestClose();
        hl::StopProgram();
        hl::Uninstall();
        std::error_code ec;
        std::filesystem::remove_all(home_, ec);
    }
    ProgramOnScreen(const ProgramOnScreen&) = delete;
    ProgramOnScreen& operator=(const ProgramOnScreen&) = delete;

    // Seconds taken by one repaint of every window, run on the program's thread; `full`
    // makes form `formId` draw everything anew rather than copy its saved screen back.
    static double Repaint(int formId, bool full) {
        double seconds = 0.0;
        platform::headless::Call([&] {
            const auto start = std::chrono::steady_clock::now();
            if (full) *FormRedrawFlag(formId) = 1;
            platform::InvalidateAllWindows();
            platform::ValidateRect(mainWindow, nullptr);
            platform::Message m;
            while (platform::PeekMessage(m, platform::Window{}, platform::kMsgPaint, platform::kMsgPaint, true))
                platform::DispatchMessage(m);
            platform::PresentScreen();
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        });
        return seconds;
    }

private:
    InstallRootInPlace install_;
    std::filesystem::path home_;
};
