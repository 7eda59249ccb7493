// Lime conditioning of calcium- and carbonate-deficient water.

#include "DETPAR.h"
#include "EngineFacade.h"
#include "EngineTestSupport.h"

#include <string>

namespace {

struct TConditioned {
    TResultPtr Result;
    double Dosage = 0;
    std::string Type, Units;
};

TConditioned Condition(const TWater& w, double desiredCalcium) {
    TConditioned c;
    c.Result = RunCaCarbonateDeficiency(w.Dataset(), c.Type, c.Units, c.Dosage, desiredCalcium);
    return c;
}

TWater Soft(double alkalinity, double calcium) {
    TWater w;
    w.Alk = alkalinity;
    w.Ca = calcium;
    w.Mg = 5;
    return w;
}

TEST_F(EngineTest, CalciumDeficientWaterTakesLimeForTheDesiredCalcium) {
    const TWater w = Soft(100, 20);
    ResetEngine();
    LoadDataset(w.Dataset());
    const double ACI = Engine.ACI * Units::kAcidity, MU = Engine.MU;
    const TConditioned c = Condition(w, 50);
    EXPECT_EQ(Facade.Inputs.CarbonateDeficient, 0);
    EXPECT_NEAR(c.Dosage, 22.2, 1e-9); // 0.3 mmol/l of Ca(OH)2
    EXPECT_EQ(c.Units, "mg/l as Ca(OH)2");
    EXPECT_EQ(c.Type, "Lime");
    EXPECT_NEAR(c.Result->ALKF, 130, 1e-9);
    EXPECT_NEAR(c.Result->CAF, 50, 1e-9);
    EXPECT_NEAR(c.Result->ACIF, ACI - 30, 1e-9);
    EXPECT_EQ(c.Result->MHUF, MU);
    EXPECT_DOUBLE_EQ(c.Result->TDSF, MU / Units::kTdsToIonicStrength);
    EXPECT_DOUBLE_EQ(c.Result->CONF, MU / Units::kConductivityToIonicStrength);
    EXPECT_GT(c.Result->PHF, w.pH);
    // Lime changes nothing else; the potential is that of the dosed water.
    const TRaw raw = RawOf(w);
    EXPECT_DOUBLE_EQ(c.Result->MGF, raw.MG);
    EXPECT_DOUBLE_EQ(c.Result->NAF, raw.NA);
    EXPECT_DOUBLE_EQ(c.Result->SO4F, raw.SO4);
    EXPECT_DOUBLE_EQ(c.Result->CLF, raw.CL);
    EXPECT_EQ(c.Result->TF, w.T);
    const double potential =
        PrecipitationPotential(c.Result->PHF, c.Result->ALKF / Units::kAlkalinity,
                               c.Result->CAF / Units::kCalcium, c.Result->ACIF / Units::kAcidity);
    EXPECT_DOUBLE_EQ(c.Result->CPPF, potential);
    EXPECT_GT(potential, OwnPotential(w));
}

TEST_F(EngineTest, TheOwnCalciumNeedsNoLime) {
    const TWater w = Soft(100, 20);
    const TConditioned c = Condition(w, 20);
    EXPECT_NEAR(c.Dosage, 0, 1e-12);
    EXPECT_NEAR(c.Result->ALKF, 100, 1e-12);
    EXPECT_NEAR(c.Result->CAF, 20, 1e-12);
    EXPECT_GE(c.Result->PHF - w.pH, 0.01 - 1e-9); // recomputed by the pH scan
    EXPECT_LE(c.Result->PHF - w.pH, 0.02 + 1e-9);
}

TEST_F(EngineTest, ADesiredCalciumBelowTheWatersGivesANegativeDosage) {
    const TConditioned c = Condition(Soft(100, 40), 30);
    EXPECT_NEAR(c.Dosage, -0.1 * 74, 1e-9);
}

// As written, the carbonate-deficient branch read a desired alkalinity of 0: lime -ALK/2 (a
// negative dosage) and an alkalinity of 0. It now doses the lime that brings the calcium to the
// desired value, which raises the alkalinity by twice as many mmol.
TEST_F(EngineTest, CarbonateDeficientWaterTakesLimeForTheDesiredCalciumToo) {
    const TWater w = Soft(30, 40);
    ResetEngine();
    LoadDataset(w.Dataset());
    const double ACI = Engine.ACI * Units::kAcidity;
    const TConditioned c = Condition(w, 60);
    EXPECT_EQ(Facade.Inputs.CarbonateDeficient, 1);
    EXPECT_NEAR(Facade.Inputs.DesiredAlkalinity, 50, 1e-9);
    EXPECT_NEAR(c.Dosage, 0.2 * 74, 1e-9);
    EXPECT_NEAR(c.Result->CAF, 60, 1e-9);
    EXPECT_NEAR(c.Result->ALKF, 50, 1e-9);
    EXPECT_NEAR(c.Result->ACIF, ACI - 20, 1e-9);
}

TEST_F(EngineTest, WaterWithAlkalinityExactlyTwiceItsCalciumIsCarbonateDeficient) {
    Condition(Soft(40, 40), 50);
    EXPECT_EQ(Facade.Inputs.CarbonateDeficient, 1);
    Condition(Soft(40.5, 40), 50);
    EXPECT_EQ(Facade.Inputs.CarbonateDeficient, 0);
}

} // namespace
