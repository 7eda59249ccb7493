// Speed of the softening operations through the facade: the lime limits, lime and soda ash to a
// calcium, lime to a magnesium, and both to a calcium and a magnesium.

#include "BenchWaters.h"
#include "EngineFacade.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// The dilute bench water is moderately hard (calcium 100, magnesium 30 mg/l as CaCO3). This one has
// enough magnesium that magnesium hydroxide saturates before the lowest lime calcium.
TWaterDataset MagnesiumRichWater() {
    TWaterDataset d = DiluteWater();
    d.SetMagnesium(1000);
    d.SetAlkalinity(300);
    return d;
}

void BM_GetSofteningCaLimits(benchmark::State& state) {
    const bool magnesiumRich = state.range(0) == 1;
    const TWaterDataset water = magnesiumRich ? MagnesiumRichWater() : DiluteWater();
    state.SetLabel(magnesiumRich ? "magnesium hydroxide first" : "bicarbonate equals hydroxide");
    double CAMIN, ALKMIN, ACIMIN, HMIN, LIMEINV;
    for (auto _ : state) {
        GetSofteningCaLimits(water, CAMIN, ALKMIN, ACIMIN, HMIN, LIMEINV);
        benchmark::DoNotOptimize(CAMIN);
    }
}
BENCHMARK(BM_GetSofteningCaLimits)->Arg(0)->Arg(1);

void BM_RunSofteningCaLime(benchmark::State& state) {
    const TWaterDataset water = DiluteWater();
    double CAMIN, ALKMIN, ACIMIN, HMIN, LIMEINV;
    GetSofteningCaLimits(water, CAMIN, ALKMIN, ACIMIN, HMIN, LIMEINV);
    double dosage = 0;
    std::string units, type;
    for (auto _ : state) {
        auto result = RunSofteningCaLime(water, dosage, units, type, 60);
        benchmark::DoNotOptimize(result->PHF);
    }
}
BENCHMARK(BM_RunSofteningCaLime);

void BM_RunSofteningCaSodaAsh(benchmark::State& state) {
    const TWaterDataset water = DiluteWater();
    double dosage = 0;
    std::string units, type;
    for (auto _ : state) {
        auto result = RunSofteningCaSodaAsh(water, dosage, units, type, 60);
        benchmark::DoNotOptimize(result->PHF);
    }
}
BENCHMARK(BM_RunSofteningCaSodaAsh);

void BM_RunSofteningMg(benchmark::State& state) {
    const TWaterDataset water = DiluteWater();
    double dosage = 0;
    std::string units, type;
    for (auto _ : state) {
        auto result = RunSofteningMg(water, dosage, units, type, 15);
        benchmark::DoNotOptimize(result->PHF);
    }
}
BENCHMARK(BM_RunSofteningMg);

void BM_RunSofteningCaMg(benchmark::State& state) {
    const TWaterDataset water = DiluteWater();
    double lime = 0, ash = 0;
    for (auto _ : state) {
        auto result = RunSofteningCaMg(water, lime, ash, 60, 15);
        benchmark::DoNotOptimize(result->PHF);
    }
}
BENCHMARK(BM_RunSofteningCaMg);

} // namespace
