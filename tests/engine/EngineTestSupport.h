#pragma once
// Shared by the engine tests: a fixture that starts every test from the program-start engine and
// facade state, a compact way to write a water analysis, and the figures the tests compare with.

#include "EngineState.h"
#include "FacadeInternals.h"

#include "CalvaroModel.h"
#include "EngineFacade.h"
#include "ReportUnits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <functional>
#include <string>

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        ResetFacadeState();
        std::feclearexcept(FE_ALL_EXCEPT);
    }
};

// A water analysis in report units. Defaults: a moderately hard dilute drinking water given by
// conductivity and alkalinity.
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

// A brackish water: its ions give an ionic strength well above 0.025.
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

// The water at another pH.
inline TWater At(TWater w, double pH) {
    w.pH = pH;
    return w;
}
// The default water at a pH.
inline TWater WithPh(double pH) {
    return At(TWater{}, pH);
}
// The default water given by its CO2 partial pressure (atm) instead of its alkalinity.
inline TWater WithPressure(double pressure) {
    TWater w;
    w.CARBSYSORDER = 3;
    w.PCO2 = pressure;
    return w;
}

// The loaded water in report units, as characterisation gives them.
struct TRaw {
    double ALK, ACI, CA, MG, NA, SO4, CL, MU, T;
};
inline TRaw RawOf(const TWater& w) {
    ResetEngine();
    LoadDataset(w.Dataset());
    const auto& E = Engine;
    return {E.ALK * Units::kAlkalinity,
            E.ACI * Units::kAcidity,
            E.CA * Units::kCalcium,
            E.MG * Units::kMagnesium,
            E.NA * Units::kSodium,
            E.SO4 * Units::kSulphate,
            E.CL * Units::kChloride,
            E.MU,
            E.T};
}

// The untreated water's own precipitation potential, mg/l as CaCO3.
inline double OwnPotential(const TWater& w) {
    TWaterDataset dataset = w.Dataset();
    double potential, tds, conductivity, mu, co3;
    CharacteriseWater(dataset, potential, tds, conductivity, mu, co3);
    return potential;
}

// The message of the TEngineError that `action` raises; "" when it raises none.
inline std::string EngineErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const TEngineError& e) {
        return e.what();
    }
    return "";
}

// Relative closeness for figures that should agree to rounding.
inline ::testing::AssertionResult RelativelyNear(double actual, double expected, double tolerance) {
    const double scale = std::max(std::fabs(expected), 1e-300);
    if (std::fabs(actual - expected) <= tolerance * scale) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << actual << " differs from " << expected << " by more than " << tolerance << " relative";
}
