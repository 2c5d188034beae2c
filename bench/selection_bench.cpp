// Sorting a full selection list by transit time and by altitude. Both comparators work out
// the two records' keys from their places and the observing instant in every comparison,
// about 20 times per record; a full list must still sort well within a tap's wait.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "catalog/selection_list.h"
#include "core/observing_time.h"
#include "core/settings.h"

namespace {

// A full list of scattered places, made once.
const std::vector<SelectionRecord>& FullList() {
    static const std::vector<SelectionRecord> records = [] {
        std::vector<SelectionRecord> r(static_cast<std::size_t>(GetSelectionListCapacity()));
        std::mt19937 random(7);
        std::uniform_real_distribution<float> ra(0.0f, 24.0f), dec(-80.0f, 85.0f);
        for (std::size_t i = 0; i < r.size(); ++i) {
            r[i] = SelectionRecord{};
            r[i].objectNumber = static_cast<std::int32_t>(i);
            r[i].catalogCode = 42;
            r[i].rightAscension = ra(random);
            r[i].declination = dec(random);
        }
        return r;
    }();
    return records;
}

void UseSite() {
    SetSiteLatitude(48.2f);
    observerLocation.longitude = -16.4f;
    observerLocation.zoneMinutes = 60;
    observingDateTime = {2024, 5, 10, 22, 30, 0};
}

void BM_SortSelectionList(benchmark::State& state) {
    UseSite();
    AllocSelectionList();
    const std::vector<SelectionRecord>& full = FullList();
    const int choice = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::copy(full.begin(), full.end(), selectionList.records);
        selectionList.recordCount = static_cast<int>(full.size());
        benchmark::DoNotOptimize(SortSelectionList(choice));
    }
    state.SetLabel(choice == 3 ? "by transit" : "by altitude");
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(full.size()));
    FreeSelectionList();
}

}  // namespace

BENCHMARK(BM_SortSelectionList)->Arg(3)->Arg(5)->Unit(benchmark::kMillisecond);
