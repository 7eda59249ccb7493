// The CaCO3 precipitation potential and the pH scan from alkalinity and acidity.

#include "CONSDEC.h"
#include "DETPAR.h"
#include "EngineFacade.h"
#include "EngineTestSupport.h"
#include "WATCHEM.h"

#include <string>

namespace {

void Load(const TWater& water) {
    ResetEngine();
    LoadDataset(water.Dataset());
}

// Total calcium (mg/l as CaCO3) at which the water, as loaded, is exactly saturated with
// calcite at its own pH and carbonate. In a dilute water the calcium does not change the
// constants, so a data set with this calcium is the saturated water.
double SaturationCalcium(const TWater& water) {
    Load(water);
    const auto& E = Engine;
    const double h = HydrogenActivity(E.PH);
    const double hc = h / E.FM, oh = E.KW / h;
    const double b = (E.ALK - oh + hc) / (1 + 2 * E.K2 / h);
    const double c3 = E.K2 * b / h;
    return E.KACT[kSlotCalcite] / (c3 / E.FCO3) * E.FCA * Units::kPotential;
}

struct TSaturationRow {
    const char* Name;
    double CalciumFactor; // the water's calcium over the saturation calcium
    int PotentialSign;    // expected sign of the potential; 0: close to zero
};

const TSaturationRow kSaturationRows[] = {
    {"Saturated", 1.0, 0},
    {"Supersaturated", 2.0, +1},
    {"Aggressive", 0.5, -1},
};

class SaturationState : public EngineTest, public ::testing::WithParamInterface<TSaturationRow> {};

TEST_P(SaturationState, GivesThePotentialsSignAndTheEquilibriumPhSide) {
    const TSaturationRow& row = GetParam();
    TWater w;
    w.pH = 8.0;
    w.Ca = SaturationCalcium(w) * row.CalciumFactor;
    Load(w);
    const auto& E = Engine;
    double potential = 0, alkEq = 0, caEq = 0, phEq = 0;
    PrecipitationPotential(E.PH, E.ALK, E.CA, E.ACI, potential, alkEq, caEq, phEq);
    if (row.PotentialSign == 0) {
        // The search stops within 0.001 mmol/l in alkalinity - 2 calcium: 0.05 mg/l of calcium.
        EXPECT_NEAR(potential, 0, 0.06);
        EXPECT_NEAR(phEq, w.pH, 0.01);
    } else if (row.PotentialSign > 0) {
        EXPECT_GT(potential, 1);
        EXPECT_LT(phEq, w.pH);
    } else {
        EXPECT_LT(potential, -1);
        EXPECT_GT(phEq, w.pH);
    }
    // What precipitates leaves the alkalinity by twice the calcium.
    EXPECT_NEAR((E.ALK - alkEq) - 2 * (E.CA - caEq), 0, 0.001);
    EXPECT_DOUBLE_EQ(potential, (E.CA - caEq) * Units::kPotential);
}

INSTANTIATE_TEST_SUITE_P(Waters, SaturationState, ::testing::ValuesIn(kSaturationRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EngineTest, PotentialDoesNotDependOnThePhArgument) {
    Load(BrackishWater());
    const auto& E = Engine;
    double p1, a1, c1, ph1, p2, a2, c2, ph2;
    PrecipitationPotential(4.0, E.ALK, E.CA, E.ACI, p1, a1, c1, ph1);
    PrecipitationPotential(11.0, E.ALK, E.CA, E.ACI, p2, a2, c2, ph2);
    EXPECT_EQ(p1, p2);
    EXPECT_EQ(a1, a2);
    EXPECT_EQ(c1, c2);
    EXPECT_EQ(ph1, ph2);
}

TEST_F(EngineTest, PotentialLeavesTheEngineStateAlone) {
    Load(TWater{});
    const TEngineState before = Engine;
    PrecipitationPotential(Engine.PH, Engine.ALK, Engine.CA, Engine.ACI);
    EXPECT_EQ(Engine.HACT, before.HACT);
    EXPECT_EQ(Engine.HCONC, before.HCONC);
    EXPECT_EQ(Engine.CAFREE, before.CAFREE);
}

// The pH at which a water of this acidity has the target alkalinity, by bisection.
double CrossingPh(double targetAlkalinity, double acidity) {
    double low = 0.5, high = 13.5;
    for (int i = 0; i < 100; ++i) {
        const double mid = (low + high) / 2;
        (AlkalinityFromAcidity(acidity, mid) < targetAlkalinity ? low : high) = mid;
    }
    return (low + high) / 2;
}

struct TScanRow {
    const char* Name;
    TWater Water;
};

const TScanRow kScanRows[] = {
    {"DilutePh60", At(TWater{}, 6.0)},          {"DilutePh70", At(TWater{}, 7.0)},
    {"DilutePh75", At(TWater{}, 7.5)},          {"DilutePh83", At(TWater{}, 8.3)},
    {"DilutePh95", At(TWater{}, 9.5)},          {"BrackishPh72", At(BrackishWater(), 7.2)},
    {"BrackishPh86", At(BrackishWater(), 8.6)},
};

class PhScan : public EngineTest, public ::testing::WithParamInterface<TScanRow> {};

// Each pass of the scan evaluates one grid point beyond the crossing.
TEST_P(PhScan, ReturnsThePhOneToTwoHundredthsAboveItsOwn) {
    const TWater& w = GetParam().Water;
    Load(w);
    const double pH = PhFromAlkalinityAndAcidity(Engine.ALK, Engine.ACI);
    EXPECT_GE(pH - w.pH, 0.01 - 1e-9);
    EXPECT_LE(pH - w.pH, 0.02 + 1e-9);
    // HACT ends in mol/l.
    EXPECT_TRUE(RelativelyNear(Engine.HACT, std::pow(10.0, -pH), 1e-12));
    EXPECT_TRUE(RelativelyNear(Engine.HCONC, Engine.HACT * 1000 / Engine.FM, 1e-12));
}

INSTANTIATE_TEST_SUITE_P(Waters, PhScan, ::testing::ValuesIn(kScanRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EngineTest, ScanOfANegativeTargetStartsDownwardsFromPh1) {
    Load(TWater{});
    const double acidity = Engine.ACI;
    for (double target : {-0.5, -5.0, -50.0}) {
        SCOPED_TRACE("target " + std::to_string(target));
        const double crossing = CrossingPh(target, acidity);
        const double pH = PhFromAlkalinityAndAcidity(target, acidity);
        EXPECT_GT(pH - crossing, 0.01 - 1e-6);
        EXPECT_LE(pH - crossing, 0.02 + 1e-6);
    }
}

} // namespace
