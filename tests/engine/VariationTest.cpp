// Equilibrium with air and underground water, temperature change and concentration change.

#include "CONSDEC.h"
#include "DETPAR.h"
#include "EngineFacade.h"
#include "EngineTestSupport.h"
#include "MENDRIV.h"
#include "VARTASK.h"

#include <cmath>
#include <string>

namespace {

struct TAir {
    TResultPtr Result;
    double Amount = -1;
    std::string Text;
};
TAir Air(const TWater& w, double pressure) {
    TAir a;
    a.Result = RunAirEquilibrium(w.Dataset(), a.Amount, a.Text, pressure);
    return a;
}

TEST_F(EngineTest, AirAtTheWatersOwnPressureExchangesAlmostNoCo2) {
    const TAir a = Air(WithPressure(0.002), 0.002);
    EXPECT_NEAR(a.Amount, 0, 0.01); // mg/l CO2; the pH search stops within 0.001 mmol/l
    EXPECT_NEAR(a.Result->PHF, 7.5, 0.001);
}

TEST_F(EngineTest, AirAtExactlyTheWatersAcidityIsWaterInEquilibrium) {
    LoadDataset(TWater{}.Dataset());
    double D = 0;
    EquilibrateWithAir(0.001, D);
    Engine.ACI = Engine.ACIF; // the water is now the one in equilibrium
    double amount = -1;
    std::string text;
    DriveAirEquilibrium(0.001, amount, text);
    EXPECT_EQ(text, "Water in equilibrium");
    EXPECT_EQ(amount, 0);
}

struct TAirRow {
    const char* Name;
    double Pressure;
    const char* Text;
    int PhSide; // sign of PHF - pH
};

// The default water at pH 7.5 and alkalinity 120 holds CO2 of about 0.0045 atm.
const TAirRow kAirRows[] = {
    {"HigherPressureAddsCo2", 0.05, "CO2 addition", -1},
    {"AirExpelsCo2", 0.00035, "CO2 expelled", +1},
};

class AirEquilibrium : public EngineTest, public ::testing::WithParamInterface<TAirRow> {};

TEST_P(AirEquilibrium, ReportsTheDirectionAndTheAmountsMagnitude) {
    const TAirRow& row = GetParam();
    const TWater w;
    const TRaw raw = RawOf(w);
    const TAir a = Air(w, row.Pressure);
    const TCalculationResult& r = *a.Result;
    EXPECT_EQ(a.Text, row.Text);
    EXPECT_GT(a.Amount, 0);
    EXPECT_NEAR(a.Amount, std::fabs(r.ACIF - raw.ACI) / Units::kAcidity / 2 * 44, 1e-9);
    EXPECT_EQ((r.PHF > w.pH) - (r.PHF < w.pH), row.PhSide);
    EXPECT_EQ((r.ACIF > raw.ACI) - (r.ACIF < raw.ACI), -row.PhSide);
    // Only the carbonate system changes.
    EXPECT_DOUBLE_EQ(r.ALKF, raw.ALK);
    EXPECT_DOUBLE_EQ(r.CAF, raw.CA);
    EXPECT_DOUBLE_EQ(r.MGF, raw.MG);
    EXPECT_DOUBLE_EQ(r.NAF, raw.NA);
    EXPECT_DOUBLE_EQ(r.SO4F, raw.SO4);
    EXPECT_DOUBLE_EQ(r.CLF, raw.CL);
    EXPECT_EQ(r.MHUF, raw.MU);
    EXPECT_EQ(r.TF, w.T);
    // The treated water holds the CO2 of the gas it was brought into equilibrium with.
    EXPECT_TRUE(RelativelyNear(PressureCO2OfResult(r), row.Pressure, 2e-3));
}

INSTANTIATE_TEST_SUITE_P(Pressures, AirEquilibrium, ::testing::ValuesIn(kAirRows),
                         [](const auto& info) { return std::string(info.param.Name); });

// The window's write-back of a treated water with its own CO2 pressure (CARBSYSORDER 3) must
// describe that water again.
TEST_F(EngineTest, AirResultWrittenBackByItsPressureCharacterisesToItsAlkalinity) {
    for (const TWater& w : {TWater{}, BrackishWater()}) {
        const TAir a = Air(w, 0.00035);
        const TCalculationResult& r = *a.Result;
        TWater back = w;
        back.pH = r.PHF, back.T = r.TF, back.Ca = r.CAF, back.Mg = r.MGF, back.Na = r.NAF;
        back.SO4 = r.SO4F, back.Cl = r.CLF, back.WATCHAR = 2, back.Mu = r.MHUF;
        back.CARBSYSORDER = 3;
        back.PCO2 = PressureCO2OfResult(r);
        TWaterDataset dataset = back.Dataset();
        double potential, tds, conductivity, mu, co3;
        CharacteriseWater(dataset, potential, tds, conductivity, mu, co3);
        EXPECT_TRUE(RelativelyNear(dataset.Alkalinity(), r.ALKF, 1e-9));
        EXPECT_TRUE(RelativelyNear(co3, r.ACIF, 1e-9));
    }
}

TEST_F(EngineTest, AggressiveUndergroundWaterDissolvesCalcite) {
    const TWater w;
    const TRaw raw = RawOf(w);
    double precipitated = 0;
    const TResultPtr r = RunUndergroundWater(w.Dataset(), precipitated, 0.05);
    EXPECT_LT(precipitated, 0);
    // Calcium and alkalinity rise by the same amount in mg/l as CaCO3, the dissolved calcite.
    EXPECT_NEAR(r->CAF - raw.CA, -precipitated, 1e-9);
    EXPECT_NEAR(r->ALKF - raw.ALK, -precipitated, 1e-9);
    EXPECT_EQ(r->CPPF, 0);
    EXPECT_EQ(r->MHUF, raw.MU);
    EXPECT_DOUBLE_EQ(r->MGF, raw.MG);
    EXPECT_DOUBLE_EQ(r->CLF, raw.CL);
    // The search's h stays in HACT (mmol/l), HCONC ends as h / 1000.
    EXPECT_DOUBLE_EQ(Engine.HCONC, Engine.HACT / 1000);
    EXPECT_NEAR(r->PHF, -std::log10(Engine.HACT / 1000), 1e-12);
    // Saturated: the treated water at its own pH deposits nothing more.
    ResetEngine();
    LoadDataset(w.Dataset());
    double potential = 1, alkEq, caEq, phEq;
    PrecipitationPotential(r->PHF, r->ALKF / Units::kAlkalinity, r->CAF / Units::kCalcium,
                           r->ACIF / Units::kAcidity, potential, alkEq, caEq, phEq);
    EXPECT_NEAR(potential, 0, 0.1);
    // It holds the CO2 of the gas it is in equilibrium with (hydrogen ion neglected: 1e-4 at most).
    EXPECT_TRUE(RelativelyNear(PressureCO2OfResult(*r), 0.05, 1e-4));
}

TEST_F(EngineTest, UndergroundAtLowPressureDepositsCalcite) {
    double precipitated = 0;
    TWater hard;
    hard.Ca = 300;
    const TResultPtr r = RunUndergroundWater(hard.Dataset(), precipitated, 0.0005);
    EXPECT_GT(precipitated, 0);
    EXPECT_NEAR(r->CAF, 300 - precipitated, 1e-9);
    EXPECT_TRUE(RelativelyNear(PressureCO2OfResult(*r), 0.0005, 1e-4));
}

TEST_F(EngineTest, UndergroundAtZeroPressureIsADivisionByZero) {
    double precipitated = 0;
    EXPECT_THROW(
        {
            try {
                RunUndergroundWater(TWater{}.Dataset(), precipitated, 0);
            } catch (const TEngineError& e) {
                EXPECT_EQ(std::string(e.what()), "Floating point division by zero");
                throw;
            }
        },
        TEngineError);
}

TEST_F(EngineTest, TemperatureChangeToTheOwnTemperatureReproducesTheWater) {
    for (const TWater& w : {TWater{}, BrackishWater()}) {
        SCOPED_TRACE("T " + std::to_string(w.T));
        const TRaw raw = RawOf(w);
        const double potential = OwnPotential(w);
        const TResultPtr r = RunTemperatureChange(w.Dataset(), w.T);
        EXPECT_DOUBLE_EQ(r->ALKF, raw.ALK);
        EXPECT_DOUBLE_EQ(r->ACIF, raw.ACI);
        EXPECT_DOUBLE_EQ(r->CAF, raw.CA);
        EXPECT_EQ(r->MHUF, raw.MU);
        EXPECT_GE(r->PHF - w.pH, 0.01 - 1e-9); // the pH scan's offset
        EXPECT_LE(r->PHF - w.pH, 0.02 + 1e-9);
        EXPECT_NEAR(r->CPPF, potential, 0.5);
    }
}

// The loaded water's own engine figures.
struct TLoaded {
    double ALK, ACI, CA;
};
TLoaded Loaded(const TWater& w) {
    ResetEngine();
    LoadDataset(w.Dataset());
    return {Engine.ALK, Engine.ACI, Engine.CA};
}

// A changed water is computed with the constants that the same water has when it is analysed in
// its new state: at the new temperature, or with every amount and the ionic strength scaled.
struct TChangeRow {
    const char* Name;
    TWater Water;
};
const TChangeRow kChangeRows[] = {{"Dilute", TWater{}}, {"Brackish", BrackishWater()}};

class ChangedWater : public EngineTest, public ::testing::WithParamInterface<TChangeRow> {};

TEST_P(ChangedWater, AtANewTemperatureTakesTheConstantsOfThatTemperature) {
    const TWater& w = GetParam().Water;
    const TLoaded own = Loaded(w);
    for (const double Tn : {5.0, 60.0, 90.0}) {
        SCOPED_TRACE(Tn);
        const TResultPtr r = RunTemperatureChange(w.Dataset(), Tn);
        TWater atTn = w;
        atTn.T = Tn;
        Loaded(atTn);
        const double pH = PhFromAlkalinityAndAcidity(own.ALK, own.ACI);
        EXPECT_EQ(r->PHF, pH);
        EXPECT_EQ(r->MHUF, Engine.MU);
        EXPECT_EQ(r->CPPF, PrecipitationPotential(pH, own.ALK, own.CA, own.ACI));
    }
}

TEST_P(ChangedWater, AfterEvaporationTakesTheConstantsOfTheConcentratedWater) {
    const TWater& w = GetParam().Water;
    for (const double e : {25.0, 50.0, 90.0}) {
        SCOPED_TRACE(e);
        const TResultPtr r = RunConcentrationChange(w.Dataset(), e);
        const double f = 100 / (100 - e);
        TWater concentrated = w;
        concentrated.Na *= f, concentrated.Mg *= f, concentrated.Ca *= f, concentrated.SO4 *= f;
        concentrated.Cl *= f, concentrated.Cond *= f, concentrated.Alk *= f;
        Loaded(concentrated);
        EXPECT_TRUE(RelativelyNear(r->MHUF, Engine.MU, 1e-12));
        const double pH = PhFromAlkalinityAndAcidity(r->ALKF / Units::kAlkalinity, r->ACIF / Units::kAcidity);
        EXPECT_NEAR(r->PHF, pH, 1e-9);
        EXPECT_TRUE(
            RelativelyNear(r->CPPF,
                           PrecipitationPotential(pH, r->ALKF / Units::kAlkalinity, r->CAF / Units::kCalcium,
                                                  r->ACIF / Units::kAcidity),
                           1e-6));
    }
}

INSTANTIATE_TEST_SUITE_P(Waters, ChangedWater, ::testing::ValuesIn(kChangeRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EngineTest, HeatingRaisesThePotentialAndKeepsTheAmounts) {
    const TWater w;
    const TRaw raw = RawOf(w);
    const TResultPtr cool = RunTemperatureChange(w.Dataset(), 10);
    const TResultPtr hot = RunTemperatureChange(w.Dataset(), 60);
    EXPECT_GT(hot->CPPF, cool->CPPF);
    EXPECT_EQ(hot->TF, 60);
    EXPECT_DOUBLE_EQ(hot->ALKF, raw.ALK);
    EXPECT_DOUBLE_EQ(hot->ACIF, raw.ACI);
    EXPECT_DOUBLE_EQ(hot->NAF, raw.NA);
    // A dilute water keeps its ionic strength, so TDS and conductivity stay.
    EXPECT_EQ(hot->MHUF, raw.MU);
    EXPECT_DOUBLE_EQ(hot->TDSF, raw.MU / Units::kTdsToIonicStrength);
    // The constants stay at the new temperature until the next load.
    TConstantTable K;
    ComputeConstants(60, K);
    EXPECT_EQ(Engine.KTHERM[kSlotK1], K[kSlotK1]);
}

TEST_F(EngineTest, HeatingABrackishWaterRecomputesItsIonicStrength) {
    const TRaw raw = RawOf(BrackishWater());
    const TResultPtr hot = RunTemperatureChange(BrackishWater().Dataset(), 70);
    EXPECT_GT(hot->MHUF, 0.025);
    EXPECT_NE(hot->MHUF, raw.MU); // the ion pairs shift with temperature
    EXPECT_DOUBLE_EQ(hot->CONF, hot->MHUF / Units::kConductivityToIonicStrength);
}

TEST_F(EngineTest, NoEvaporationReproducesTheWater) {
    const TWater w;
    const TRaw raw = RawOf(w);
    const TResultPtr r = RunConcentrationChange(w.Dataset(), 0);
    EXPECT_DOUBLE_EQ(r->ALKF, raw.ALK);
    EXPECT_DOUBLE_EQ(r->ACIF, raw.ACI);
    EXPECT_DOUBLE_EQ(r->CAF, raw.CA);
    EXPECT_DOUBLE_EQ(r->CLF, raw.CL);
    EXPECT_EQ(r->MHUF, raw.MU);
    EXPECT_NEAR(r->PHF, w.pH, 0.02 + 1e-9);
}

TEST_F(EngineTest, HalfEvaporatedDoublesEveryAmountAndTheIonicStrength) {
    const TWater w;
    const TRaw raw = RawOf(w);
    const TResultPtr r = RunConcentrationChange(w.Dataset(), 50);
    EXPECT_DOUBLE_EQ(r->ALKF, 2 * raw.ALK);
    EXPECT_DOUBLE_EQ(r->ACIF, 2 * raw.ACI);
    EXPECT_DOUBLE_EQ(r->CAF, 2 * raw.CA);
    EXPECT_DOUBLE_EQ(r->MGF, 2 * raw.MG);
    EXPECT_DOUBLE_EQ(r->NAF, 2 * raw.NA);
    EXPECT_DOUBLE_EQ(r->SO4F, 2 * raw.SO4);
    EXPECT_DOUBLE_EQ(r->CLF, 2 * raw.CL);
    EXPECT_DOUBLE_EQ(r->MHUF, 2 * raw.MU);
    EXPECT_GT(r->CPPF, OwnPotential(w));
}

TEST_F(EngineTest, EvaporatingABrackishWaterTakesTheIonsIonicStrength) {
    const TRaw raw = RawOf(BrackishWater());
    const TResultPtr r = RunConcentrationChange(BrackishWater().Dataset(), 50);
    EXPECT_GT(r->MHUF, raw.MU);
    EXPECT_NE(r->MHUF, 2 * raw.MU);
}

TEST_F(EngineTest, EvaporatingEverythingIsADivisionByZero) {
    try {
        RunConcentrationChange(TWater{}.Dataset(), 100);
        ADD_FAILURE() << "no error";
    } catch (const TEngineError& e) {
        EXPECT_EQ(std::string(e.what()), "Floating point division by zero");
    }
}

} // namespace
