// What the scaling and corrosion indices add to a characterisation: the indices of a water already
// loaded (the engine's part, the figure to compare with BM_CharacteriseWater), and the facade
// operations that load a data set or take a treated water's constants first.

#include "BenchWaters.h"
#include "EngineFacade.h"
#include "EngineState.h"
#include "FacadeInternals.h"
#include "WaterIndices.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// The six indices of the loaded water with its constants in force: the cost beside the
// characterisation that has just loaded it.
void BM_IndicesOfLoadedWater(benchmark::State& state) {
    const TWaterDataset water = BenchWaterOf(state.range(0));
    state.SetLabel(BenchWaterName(state.range(0)));
    ResetEngine();
    LoadDataset(water);
    const auto& E = Engine;
    for (auto _ : state) {
        TIndexFigures f = WaterIndices(E.PH, E.ALK, E.ACI, E.CA, E.SO4, E.CL);
        benchmark::DoNotOptimize(f);
    }
}
BENCHMARK(BM_IndicesOfLoadedWater)->Arg(0)->Arg(1);

// The characterisation that also gives the indices, from one load.
void BM_CharacteriseWaterAndIndices(benchmark::State& state) {
    const TWaterDataset water = BenchWaterOf(state.range(0));
    state.SetLabel(BenchWaterName(state.range(0)));
    double potential, tds, conductivity, mu, co3;
    TWaterIndices indices;
    for (auto _ : state) {
        TWaterDataset d = water;
        CharacteriseWater(d, potential, tds, conductivity, mu, co3, indices);
        benchmark::DoNotOptimize(potential);
        benchmark::DoNotOptimize(indices);
    }
}
BENCHMARK(BM_CharacteriseWaterAndIndices)->Arg(0)->Arg(1);

// Characterisation and indices of a data set, each loading it.
void BM_CharacteriseWaterWithIndices(benchmark::State& state) {
    const TWaterDataset water = BenchWaterOf(state.range(0));
    state.SetLabel(BenchWaterName(state.range(0)));
    double potential, tds, conductivity, mu, co3;
    for (auto _ : state) {
        TWaterDataset d = water;
        CharacteriseWater(d, potential, tds, conductivity, mu, co3);
        TWaterIndices indices = WaterIndicesOfDataset(water);
        benchmark::DoNotOptimize(potential);
        benchmark::DoNotOptimize(indices);
    }
}
BENCHMARK(BM_CharacteriseWaterWithIndices)->Arg(0)->Arg(1);

// The indices of a treated water handed out last (its kept constants) and of one that is not
// (the constants at its own temperature and ions first).
void BM_WaterIndicesOfResult(benchmark::State& state) {
    const TWaterDataset water = BenchWaterOf(state.range(0));
    state.SetLabel(std::string(BenchWaterName(state.range(0))) +
                   (state.range(1) ? ", last result" : ", other"));
    const TResultPtr result = RunTemperatureChange(water, 40);
    TCalculationResult other = *result;
    other.CPPF += 1e-9;
    const TCalculationResult& water2 = state.range(1) ? *result : other;
    for (auto _ : state) {
        TWaterIndices indices = WaterIndicesOfResult(water2);
        benchmark::DoNotOptimize(indices);
    }
}
BENCHMARK(BM_WaterIndicesOfResult)->Args({0, 1})->Args({0, 0})->Args({1, 1})->Args({1, 0});

} // namespace
