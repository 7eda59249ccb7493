// Speed of the blending operations through the facade: two and twenty waters in given fractions,
// and two waters to a pH.

#include "BenchWaters.h"
#include "EngineFacade.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// Softer, more alkaline and warmer than the dilute bench water.
TWaterDataset SecondWater() {
    TWaterDataset d = DiluteWater();
    d.SetPh(8.5);
    d.SetTemperature(25);
    d.SetCalcium(40);
    d.SetAlkalinity(60);
    return d;
}

void BM_RunBlendMultiple(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    std::vector<TWaterDataset> waters;
    for (int i = 0; i < count; ++i) {
        waters.push_back(i % 2 == 0 ? DiluteWater() : SecondWater());
        waters.back().SetFraction(100.0 / count);
    }
    std::vector<const TWaterDataset*> list;
    for (const auto& w : waters)
        list.push_back(&w);
    for (auto _ : state) {
        auto result = RunBlendMultiple(list);
        benchmark::DoNotOptimize(result->PHF);
    }
}
BENCHMARK(BM_RunBlendMultiple)->Arg(2)->Arg(20);

void BM_RunBlendToPh(benchmark::State& state) {
    const TWaterDataset water1 = DiluteWater(), water2 = SecondWater();
    double percent1 = 0, percent2 = 0;
    for (auto _ : state) {
        auto result = RunBlendToPh(water1, water2, percent1, percent2, 8.0);
        benchmark::DoNotOptimize(result->CPPF);
    }
}
BENCHMARK(BM_RunBlendToPh);

} // namespace
