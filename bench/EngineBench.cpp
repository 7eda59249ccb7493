// Speed of the engine through its facade: the characterisation and the full load of a data set,
// for a dilute water (dilute activity model) and a brackish one (ion pairing, I > 0.025).

#include "BenchWaters.h"
#include "EngineFacade.h"
#include "FacadeInternals.h"

#include <benchmark/benchmark.h>

namespace {

void BM_CharacteriseWater(benchmark::State& state) {
    const TWaterDataset water = BenchWaterOf(state.range(0));
    state.SetLabel(BenchWaterName(state.range(0)));
    double potential, tds, conductivity, mu, co3;
    for (auto _ : state) {
        TWaterDataset d = water;
        CharacteriseWater(d, potential, tds, conductivity, mu, co3);
        benchmark::DoNotOptimize(potential);
    }
}
BENCHMARK(BM_CharacteriseWater)->Arg(0)->Arg(1);

void BM_LoadDataset(benchmark::State& state) {
    const TWaterDataset water = BenchWaterOf(state.range(0));
    state.SetLabel(BenchWaterName(state.range(0)));
    for (auto _ : state) {
        ResetEngine();
        LoadDataset(water);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LoadDataset)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
