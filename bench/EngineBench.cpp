// Speed of the engine through its facade: the characterisation and the full load of a data set,
// for a dilute water (dilute activity model) and a brackish one (ion pairing, I > 0.025).

#include "EngineFacade.h"
#include "FacadeInternals.h"

#include <benchmark/benchmark.h>

namespace {

TWaterDataset DiluteWater() {
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

TWaterDataset BrackishWater() {
    TWaterDataset d = DiluteWater();
    d.SetPh(7.8);
    d.SetTemperature(25);
    d.SetSodium(2000);
    d.SetMagnesium(600);
    d.SetCalcium(500);
    d.SetSulphate(900);
    d.SetChloride(3000);
    d.SetConductivity(600);
    d.SetAlkalinity(250);
    return d;
}

TWaterDataset WaterOf(int kind) {
    return kind == 0 ? DiluteWater() : BrackishWater();
}
const char* NameOf(int kind) {
    return kind == 0 ? "dilute" : "brackish";
}

void BM_CharacteriseWater(benchmark::State& state) {
    const TWaterDataset water = WaterOf(static_cast<int>(state.range(0)));
    state.SetLabel(NameOf(static_cast<int>(state.range(0))));
    double potential, tds, conductivity, mu, co3;
    for (auto _ : state) {
        TWaterDataset d = water;
        CharacteriseWater(d, potential, tds, conductivity, mu, co3);
        benchmark::DoNotOptimize(potential);
    }
}
BENCHMARK(BM_CharacteriseWater)->Arg(0)->Arg(1);

void BM_LoadDataset(benchmark::State& state) {
    const TWaterDataset water = WaterOf(static_cast<int>(state.range(0)));
    state.SetLabel(NameOf(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        ResetEngine();
        LoadDataset(water);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LoadDataset)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
