#pragma once
// The water the model tests share: the example water of the file format, every checked value
// within range (conductivity and alkalinity selected).

#include "CalvaroModel.h"
#include "SampleWaters.h"

inline TWaterDataset ValidWater() {
    return DiluteWater();
}
