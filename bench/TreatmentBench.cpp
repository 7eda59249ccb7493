// Speed of the treatment operations through the facade, on the dilute and the brackish water:
// pH adjustment and stabilisation with each chemical, deficient water, air and underground
// equilibrium, temperature and concentration change.

#include "BenchWaters.h"
#include "EngineFacade.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const char* const kChemicals[] = {
    "CO2", "lime", "soda ash", "caustic soda", "hydrochloric acid", "bicarbonate of soda"};

// Arguments: water, chemical.
void BM_RunPhAdjustment(benchmark::State& state) {
    const TWaterDataset water = BenchWaterOf(state.range(0));
    const int chemical = static_cast<int>(state.range(1));
    state.SetLabel(std::string(BenchWaterName(state.range(0))) + ", " + kChemicals[chemical] + " to pH 8.2");
    double dosage;
    std::string units, type, note1, note2;
    for (auto _ : state) {
        auto result = RunPhAdjustment(water, chemical, 8.2, dosage, units, type, note1, note2);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_RunPhAdjustment)->ArgsProduct({{0, 1}, {0, 1, 2, 3, 4, 5}});

void BM_RunStabilisation(benchmark::State& state) {
    const TWaterDataset water = BenchWaterOf(state.range(0));
    const int chemical = static_cast<int>(state.range(1));
    state.SetLabel(std::string(BenchWaterName(state.range(0))) + ", " + kChemicals[chemical] + " to 2 mg/l");
    double dosage;
    std::string units, type, note1, note2;
    for (auto _ : state) {
        auto result = RunStabilisation(water, chemical, 2, dosage, units, type, note1, note2);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_RunStabilisation)->ArgsProduct({{0, 1}, {0, 1, 2, 3, 4}});

void BM_RunCaCarbonateDeficiency(benchmark::State& state) {
    TWaterDataset water = DiluteWater();
    water.SetCalcium(20);
    water.SetAlkalinity(state.range(0) == 0 ? 100 : 30); // calcium- or carbonate-deficient
    state.SetLabel(state.range(0) == 0 ? "calcium-deficient" : "carbonate-deficient");
    double dosage;
    std::string units, type;
    for (auto _ : state) {
        auto result = RunCaCarbonateDeficiency(water, type, units, dosage, 50);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_RunCaCarbonateDeficiency)->Arg(0)->Arg(1);

void BM_RunAirEquilibrium(benchmark::State& state) {
    const TWaterDataset water = BenchWaterOf(state.range(0));
    state.SetLabel(BenchWaterName(state.range(0)));
    double amount;
    std::string text;
    for (auto _ : state) {
        auto result = RunAirEquilibrium(water, amount, text, 0.00035);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_RunAirEquilibrium)->Arg(0)->Arg(1);

void BM_RunUndergroundWater(benchmark::State& state) {
    const TWaterDataset water = BenchWaterOf(state.range(0));
    state.SetLabel(BenchWaterName(state.range(0)));
    double precipitated;
    for (auto _ : state) {
        auto result = RunUndergroundWater(water, precipitated, 0.05);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_RunUndergroundWater)->Arg(0)->Arg(1);

void BM_RunTemperatureChange(benchmark::State& state) {
    const TWaterDataset water = BenchWaterOf(state.range(0));
    state.SetLabel(BenchWaterName(state.range(0)));
    for (auto _ : state) {
        auto result = RunTemperatureChange(water, 60);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_RunTemperatureChange)->Arg(0)->Arg(1);

void BM_RunConcentrationChange(benchmark::State& state) {
    const TWaterDataset water = BenchWaterOf(state.range(0));
    state.SetLabel(BenchWaterName(state.range(0)));
    for (auto _ : state) {
        auto result = RunConcentrationChange(water, 50);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_RunConcentrationChange)->Arg(0)->Arg(1);

} // namespace
