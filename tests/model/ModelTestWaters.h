#pragma once
// The water the model tests share: the example water of the file format, every checked value
// within range (conductivity and alkalinity selected).

#include "CalvaroModel.h"

inline TWaterDataset ValidWater() {
    TWaterDataset d;
    d.SetPh(7.5);
    d.SetTemperature(20);
    d.SetSodium(50);
    d.SetMagnesium(30);
    d.SetCalcium(100);
    d.SetSulphate(40);
    d.SetChloride(60);
    d.SetConductivity(45.5);
    d.SetAlkalinity(120);
    return d;
}
