#pragma once
// The waters the engine benchmarks run on, from the sample waters of the tests: a dilute drinking
// water (dilute activity model) and a brackish one (ionic strength above 0.025, ion pairing).

#include "CalvaroModel.h"
#include "SampleWaters.h"

// Argument 0: the dilute water, 1: the brackish one.
inline TWaterDataset BenchWaterOf(long kind) {
    return kind == 0 ? DiluteWater() : BrackishWater().Dataset();
}
inline const char* BenchWaterName(long kind) {
    return kind == 0 ? "dilute" : "brackish";
}
