// The program as a user starts it: the time and CPU from the start to the first screen
// written as a picture (headless), beside the floor of a start that draws nothing, and the
// peak memory of the desktop window at scale 2 and 3 (needs a display, e.g.
// `xvfb-run -a build-bench/velkarion_bench --benchmark_filter=Window`).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A private runtime folder, so that another copy running on this machine does not stop
// the one started here.
const fs::path& Scratch() {
    static const fs::path folder = [] {
        const fs::path f = fs::temp_directory_path() / ("vk-bench-program-" + std::to_string(::getpid()));
        fs::create_directories(f / "runtime");
        fs::permissions(f / "runtime", fs::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", (f / "runtime").c_str(), 1);
        return f;
    }();
    return folder;
}

struct Finished {
    bool started = false;
    double seconds = 0.0;
    double cpuSeconds = 0.0;   // user and system time of the child
    long peakKilobytes = 0;
};

// Runs the program with the arguments; after `killAfterMs` (when not negative) it is
// interrupted. Gives the wall time and the peak resident memory.
Finished RunProgram(const std::vector<std::string>& arguments, int killAfterMs = -1) {
    Scratch();
    std::vector<char*> argv;
    std::string program = VELKARION_PROGRAM;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Finished result;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return result;
    if (killAfterMs >= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(killAfterMs));
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    struct rusage usage {};
    if (::wait4(pid, &status, 0, &usage) != pid) return result;
    result.started = true;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.peakKilobytes = usage.ru_maxrss;
    result.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return result;
}

// Runs the program with the arguments at every iteration, timing its wall clock, and prints
// its mean CPU beside the label.
void TimeProgramRuns(benchmark::State& state, const std::vector<std::string>& arguments, const char* label) {
    double cpu = 0.0;
    for (auto _ : state) {
        const Finished run = RunProgram(arguments);
        if (!run.started) {
            state.SkipWithError("the program did not run");
            return;
        }
        cpu += run.cpuSeconds;
        state.SetIterationTime(run.seconds);
    }
    state.counters["cpu_ms"] = cpu * 1000.0 / static_cast<double>(state.iterations());
    state.SetLabel(label);
}

void BM_StartToFirstScreen(benchmark::State& state) {
    const std::string shot = (Scratch() / "first.png").string();
    TimeProgramRuns(state, {"--headless", "--wait", "0", "--screenshot", shot}, "wall target 50 ms, CPU target 35 ms");
}
BENCHMARK(BM_StartToFirstScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// The floor under the start: the program loaded, linked and ended at once (--help), with the
// same libraries and nothing drawn or read.
void BM_StartFloor(benchmark::State& state) {
    TimeProgramRuns(state, {"--help"}, "the program with --help: what any start costs");
}
BENCHMARK(BM_StartFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// The window opened and shown for two seconds; the peak of the whole process.
void BM_WindowPeakMemory(benchmark::State& state) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        state.SkipWithError("no display (run under xvfb-run)");
        return;
    }
    long peak = 0;
    for (auto _ : state) {
        const Finished run = RunProgram({"--scale", std::to_string(state.range(0))}, 2000);
        if (!run.started) {
            state.SkipWithError("the program did not run");
            return;
        }
        peak = std::max(peak, run.peakKilobytes);
        state.SetIterationTime(run.seconds);
    }
    state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
    state.SetLabel("target 64 MB");
}
BENCHMARK(BM_WindowPeakMemory)->Arg(2)->Arg(3)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
