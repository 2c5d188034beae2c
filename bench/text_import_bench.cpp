// A download of 2,000 eyepieces from the "import" folder into the user's list: one write
// of the whole file, however many records the text brings.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "catalog/data_service.h"
#include "catalog/text_import.h"
#include "core/report.h"
#include "platform/paths.h"

namespace {

void BM_ImportEyepieces2000(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path home = fs::temp_directory_path() / ("vk-bench-import-" + std::to_string(::getpid()));
    fs::create_directories(home / "import");
    fs::create_directories(home / "usercatalogs");
    platform::SetHomeRoot(home);
    std::string text;
    for (int i = 0; i < 2000; ++i) {
        char line[80];
        std::snprintf(line, sizeof line, "M;MK;E%d;%d;%d;\n", i, 3 + i % 30, 50 + i % 50);
        text += line;
    }
    platform::WriteFileAtomically(home / "import" / "bench.txt", text.data(), text.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(DownloadEyepieces(kSourceImportFolder, "bench"));
        ClearRecordedReports();
    }
    fs::remove_all(home);
    state.SetLabel("target under 100 ms");
}
BENCHMARK(BM_ImportEyepieces2000)->Unit(benchmark::kMillisecond);

}  // namespace
