// Speed of the softening operations through the facade: the lime limits, lime and soda ash to a
// calcium, lime to a magnesium, and both to a calcium and a magnesium.

#include "EngineFacade.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A moderately hard drinking water (calcium 100, magnesium 30 mg/l as CaCO3).
TWaterDataset HardWater() {
    TWaterDataset d;
    d.SetPh(7.5);
    d.SetTemperature(20);
    d.SetSodium(50);
    d.SetMagnesium(30);
    d.SetCalcium(100);
    d.SetSulphate(40);
    d.SetChloride(60);
    d.SetWaterCharacterIndex(1);
    d.SetConductivity(45.5);
    d.SetCarbonCharacterIndex(0);
    d.SetAlkalinity(120);
    return d;
}

// Enough magnesium that magnesium hydroxide saturates before the lowest lime calcium.
TWaterDataset MagnesiumRichWater() {
    TWaterDataset d = HardWater();
    d.SetMagnesium(1000);
    d.SetAlkalinity(300);
    return d;
}

void BM_GetSofteningCaLimits(benchmark::State& state) {
    const bool magnesiumRich = state.range(0) == 1;
    const TWaterDataset water = magnesiumRich ? MagnesiumRichWater() : HardWater();
    state.SetLabel(magnesiumRich ? "magnesium hydroxide first" : "bicarbonate equals hydroxide");
    double CAMIN, ALKMIN, ACIMIN, HMIN, LIMEINV;
    for (auto _ : state) {
        GetSofteningCaLimits(water, CAMIN, ALKMIN, ACIMIN, HMIN, LIMEINV);
        benchmark::DoNotOptimize(CAMIN);
    }
}
BENCHMARK(BM_GetSofteningCaLimits)->Arg(0)->Arg(1);

void BM_RunSofteningCaLime(benchmark::State& state) {
    const TWaterDataset water = HardWater();
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
    const TWaterDataset water = HardWater();
    double dosage = 0;
    std::string units, type;
    for (auto _ : state) {
        auto result = RunSofteningCaSodaAsh(water, dosage, units, type, 60);
        benchmark::DoNotOptimize(result->PHF);
    }
}
BENCHMARK(BM_RunSofteningCaSodaAsh);

void BM_RunSofteningMg(benchmark::State& state) {
    const TWaterDataset water = HardWater();
    double dosage = 0;
    std::string units, type;
    for (auto _ : state) {
        auto result = RunSofteningMg(water, dosage, units, type, 15);
        benchmark::DoNotOptimize(result->PHF);
    }
}
BENCHMARK(BM_RunSofteningMg);

void BM_RunSofteningCaMg(benchmark::State& state) {
    const TWaterDataset water = HardWater();
    double lime = 0, ash = 0;
    for (auto _ : state) {
        auto result = RunSofteningCaMg(water, lime, ash, 60, 15);
        benchmark::DoNotOptimize(result->PHF);
    }
}
BENCHMARK(BM_RunSofteningCaMg);

} // namespace
