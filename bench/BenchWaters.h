#pragma once
// The waters the engine benchmarks run on: a dilute drinking water (dilute activity model) and a
// brackish one (ionic strength above 0.025, ion pairing).

#include "CalvaroModel.h"

inline TWaterDataset DiluteBenchWater() {
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

inline TWaterDataset BrackishBenchWater() {
    TWaterDataset d = DiluteBenchWater();
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

// Argument 0: the dilute water, 1: the brackish one.
inline TWaterDataset BenchWaterOf(long kind) {
    return kind == 0 ? DiluteBenchWater() : BrackishBenchWater();
}
inline const char* BenchWaterName(long kind) {
    return kind == 0 ? "dilute" : "brackish";
}
