#pragma once
// The sample waters of the tests and the benchmarks, in report units, defined once: every test
// folder and calvaro-bench take them from here (the calvaro_sample_waters target). Standard C++
// and the data model only, so the core's tests use it as well as the window tests.
//
//   TWater w = BrackishWater();  // a water written field by field, changed where a test needs it
//   w.Ca = 800;
//   TWaterDataset dataset = w.Dataset();
//   TWaterDataset drinking = DiluteWater();

#include "CalvaroModel.h"

// A water analysis in report units. Defaults: a moderately hard dilute drinking water given by
// conductivity and alkalinity, every checked value within range (the example water of the data
// set file).
struct TWater {
    double pH = 7.5;
    double T = 20;      // degrees Celsius
    double Na = 50;     // mg/l
    double Mg = 30;     // mg/l as CaCO3
    double Ca = 100;    // mg/l as CaCO3
    double SO4 = 40;    // mg/l
    double Cl = 60;     // mg/l
    int WATCHAR = 1;    // 0 TDS, 1 conductivity, 2 ionic strength
    double TDS = 0;     // mg/l
    double Cond = 45.5; // mS/m
    double Mu = 0;      // ionic strength
    int CARBSYSORDER = 0;
    double Alk = 120; // mg/l as CaCO3
    double Aci = 0;   // HCO3-referenced acidity, mg/l as CaCO3
    double TotC = 0;  // mg/l as CaCO3
    double PCO2 = 0;  // atm
    double Frac = 0;  // percent

    // The data set of this analysis; its date is the day it is made, as for a new data set.
    TWaterDataset Dataset() const {
        TWaterDataset d;
        d.SetPh(pH);
        d.SetTemperature(T);
        d.SetSodium(Na);
        d.SetMagnesium(Mg);
        d.SetCalcium(Ca);
        d.SetSulphate(SO4);
        d.SetChloride(Cl);
        d.SetWaterCharacterIndex(WATCHAR);
        d.SetTDS(TDS);
        d.SetConductivity(Cond);
        d.SetIonicStrength(Mu);
        d.SetCarbonCharacterIndex(CARBSYSORDER);
        d.SetAlkalinity(Alk);
        d.SetAcidity(Aci);
        d.SetCarbonateSpecies(TotC);
        d.SetPressureCO2(PCO2);
        d.SetFraction(Frac);
        return d;
    }
};

// The dilute drinking water of TWater's defaults (the dilute activity model).
inline TWaterDataset DiluteWater() {
    return TWater{}.Dataset();
}

// A brackish water: its ions give an ionic strength well above 0.025 (ion pairing).
inline TWater BrackishWater() {
    TWater w;
    w.pH = 7.8;
    w.T = 25;
    w.Na = 2000;
    w.Mg = 600;
    w.Ca = 500;
    w.SO4 = 900;
    w.Cl = 3000;
    w.Cond = 600;
    w.Alk = 250;
    return w;
}

// A hard, slightly scaling river water given by TDS and alkalinity.
inline TWaterDataset HardTdsWater() {
    TWater w;
    w.Na = 30;
    w.Mg = 40;
    w.Ca = 150;
    w.SO4 = 50;
    w.Cl = 40;
    w.WATCHAR = 0;
    w.TDS = 400;
    w.Cond = 0;
    return w.Dataset();
}

// The river water softened short of calcium: alkalinity 100 above calcium 20, both mg/l as CaCO3.
inline TWaterDataset CalciumDeficientWater() {
    TWaterDataset w = HardTdsWater();
    w.SetPh(7.0);
    w.SetCalcium(20);
    w.SetMagnesium(5);
    w.SetAlkalinity(100);
    w.SetTDS(150);
    return w;
}
