#pragma once
// Shared by the engine tests: a fixture that starts every test from the program-start engine and
// facade state, waters derived from the sample waters (TWater, SampleWaters.h), and the figures the
// tests compare with.

#include "EngineState.h"
#include "FacadeInternals.h"

#include "CalvaroModel.h"
#include "EngineFacade.h"
#include "ReportUnits.h"
#include "SampleWaters.h"

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
