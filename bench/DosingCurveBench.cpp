// Speed of forward dosing and of dose-response curves through the facade: a curve must redraw at
// once when the window's inputs change (201 points well under 2 ms).

#include "BenchWaters.h"
#include "EngineFacade.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const char* const kChemicals[] = {
    "CO2", "lime", "soda ash", "caustic soda", "hydrochloric acid", "bicarbonate of soda"};

// Arguments: water, chemical.
void BM_RunForwardDosing(benchmark::State& state) {
    const TWaterDataset water = BenchWaterOf(state.range(0));
    const int chemical = static_cast<int>(state.range(1));
    state.SetLabel(std::string(BenchWaterName(state.range(0))) + ", 20 mg/l of " + kChemicals[chemical]);
    for (auto _ : state) {
        auto result = RunForwardDosing(water, chemical, 20);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_RunForwardDosing)->ArgsProduct({{0, 1}, {0, 1, 2, 3, 4, 5}});

// Arguments: water, chemical, points. A curve from 0 to 50 mg/l.
void BM_RunDosingCurve(benchmark::State& state) {
    const TWaterDataset water = BenchWaterOf(state.range(0));
    const int chemical = static_cast<int>(state.range(1));
    const int points = static_cast<int>(state.range(2));
    state.SetLabel(std::string(BenchWaterName(state.range(0))) + ", " + kChemicals[chemical] +
                   " 0 to 50 mg/l, " + std::to_string(points) + " points");
    for (auto _ : state) {
        auto curve = RunDosingCurve(water, chemical, 50, points);
        benchmark::DoNotOptimize(curve);
    }
    state.SetItemsProcessed(state.iterations() * points);
}
BENCHMARK(BM_RunDosingCurve)
    ->ArgsProduct({{0, 1}, {0, 1, 2, 3, 4, 5}, {201}})
    ->Args({0, 1, 2001})
    ->Unit(benchmark::kMicrosecond);

} // namespace
