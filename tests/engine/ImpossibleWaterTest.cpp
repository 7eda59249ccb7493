// Waters that cannot exist are refused when they are loaded, with a message that names the pH and
// the carbonate value entered; treated waters that cannot exist never leave the facade.

#include "CONSDEC.h"
#include "EngineFacade.h"
#include "EngineTestSupport.h"
#include "FacadeChecks.h"

#include <functional>
#include <string>
#include <vector>

namespace {

struct TImpossibleRow {
    const char* Name;
    TWater Water;
    std::string Message;
};

TWater ByAlkalinity(double pH, double alkalinity) {
    TWater w;
    w.pH = pH;
    w.Alk = alkalinity;
    return w;
}
TWater ByHco3Acidity(TWater w, double acidity) {
    w.CARBSYSORDER = 1;
    w.Aci = acidity;
    return w;
}
TWater ByTotalCarbonate(double pH, double totalCarbonate) {
    TWater w;
    w.pH = pH;
    w.CARBSYSORDER = 2;
    w.TotC = totalCarbonate;
    return w;
}
TWater ByPressure(double pH, double pressure) {
    TWater w = WithPressure(pressure);
    w.pH = pH;
    return w;
}

const std::string kCheck = " Check the pH and the carbonate value.";

// The figures in the messages are the engine's own for these waters; each row says why the water
// cannot exist. Before the check every one of them characterised "successfully".
const TImpossibleRow kImpossibleRows[] = {
    // Hydroxide alone, oh - hc = 234.66 mg/l as CaCO3 at pH 12, is more than the 5 entered.
    {"AlkalinityBelowItsHydroxide", ByAlkalinity(12, 5),
     "This water cannot exist: at pH 12.00 the hydroxide alone carries more alkalinity than the 5.00 mg/l as "
     "CaCO3 entered (total carbonate species \u2212229.66 mg/l as CaCO3)." +
         kCheck},
    // At pH 3 the hydrogen ion alone gives -55 mg/l as CaCO3; a lower alkalinity needs negative carbonate.
    {"AlkalinityBelowItsHydrogenIon", ByAlkalinity(3, -100),
     "This water cannot exist: at pH 3.00 the alkalinity cannot be below \u221254.64 mg/l as CaCO3 (the "
     "hydrogen ion's share), yet \u2212100.00 mg/l as CaCO3 was entered (total carbonate species \u2212"
     "100023.64 mg/l as CaCO3)." +
         kCheck},
    // Below pH 8.3 dissolved CO2 outweighs carbonate, so the HCO3 acidity cannot fall below hc - oh.
    {"Hco3AcidityTooLowForAnAcidWater", ByHco3Acidity(BrackishWater(), -12),
     "This water cannot exist: at pH 7.80, where dissolved CO2 outweighs carbonate, the HCO3 acidity must be "
     "above \u22120.04 mg/l as CaCO3, not the \u221212.00 mg/l as CaCO3 entered (total carbonate species "
     "\u221237912.25 mg/l as CaCO3)." +
         kCheck},
    // Above pH 8.3 carbonate outweighs CO2, so the HCO3 acidity cannot rise above hc - oh.
    {"Hco3AcidityTooHighForAnAlkalineWater", ByHco3Acidity(WithPh(10), 50),
     "This water cannot exist: at pH 10.00, where carbonate outweighs dissolved CO2, the HCO3 acidity must "
     "be "
     "below \u22124.60 mg/l as CaCO3, not the 50.00 mg/l as CaCO3 entered (total carbonate species "
     "\u2212154.01 mg/l as CaCO3)." +
         kCheck},
    {"NegativeTotalCarbonate", ByTotalCarbonate(7.5, -5),
     "This water cannot exist: the total carbonate species entered, \u22125.00 mg/l as CaCO3, is below "
     "zero." +
         kCheck},
    {"NegativeCo2Pressure", ByPressure(7.5, -0.01),
     "This water cannot exist: the CO2 pressure entered, \u22120.01 atm, is below zero (total carbonate "
     "species \u2212300.73 mg/l as CaCO3)." +
         kCheck},
    // The example of a water whose carbonate runs away: at pH 14 a common CO2 pressure stands for
    // more alkalinity than there is water. CO2 stabilisation of it returned pH -3.68 and a dosage
    // of 3.3e23 mg/l.
    {"Co2PressureAtPh14", ByPressure(14, 0.035),
     "This water cannot exist: at pH 14.00 a CO2 pressure of 0.035 atm means an alkalinity of 3.42e+13 mg/l "
     "as CaCO3, far beyond the 1,000,000 mg/l any water can hold." +
         kCheck},
};

class ImpossibleWaters : public EngineTest, public ::testing::WithParamInterface<TImpossibleRow> {};

TEST_P(ImpossibleWaters, AreRefusedByCharacterisationWithTheirInputsNamed) {
    const TImpossibleRow& row = GetParam();
    TWaterDataset dataset = row.Water.Dataset();
    const TWaterDataset before = dataset;
    double potential = -1, tds = -1, conductivity = -1, mu = -1, co3 = -1;
    EXPECT_EQ(EngineErrorOf([&] { CharacteriseWater(dataset, potential, tds, conductivity, mu, co3); }),
              row.Message);
    EXPECT_EQ(dataset.Alkalinity(), before.Alkalinity());
    EXPECT_EQ(dataset.Acidity(), before.Acidity());
    EXPECT_EQ(potential, -1);
}

// Every component of a blend is checked on its own, and the message says which water it is.
TEST_P(ImpossibleWaters, AreRefusedAsABlendComponentNamingTheWater) {
    const TImpossibleRow& row = GetParam();
    const TWaterDataset good = TWater{}.Dataset();
    const TWaterDataset bad = row.Water.Dataset();
    EXPECT_EQ(EngineErrorOf([&] { RunBlendMultiple({&good, &good, &bad}); }), "Water 3: " + row.Message);
    double p1 = 0, p2 = 0;
    EXPECT_EQ(EngineErrorOf([&] { RunBlendToPh(bad, good, p1, p2, 7.5); }), "Water 1: " + row.Message);
    EXPECT_EQ(EngineErrorOf([&] { RunBlendToPh(good, bad, p1, p2, 7.5); }), "Water 2: " + row.Message);
}

INSTANTIATE_TEST_SUITE_P(Waters, ImpossibleWaters, ::testing::ValuesIn(kImpossibleRows),
                         [](const auto& info) { return std::string(info.param.Name); });

// Every operation that loads a water refuses the impossible one before it computes anything.
struct TOperationRow {
    const char* Name;
    std::function<void(const TWaterDataset&)> Run;
};

const TOperationRow kOperationRows[] = {
    {"Characterise",
     [](const TWaterDataset& d) {
         TWaterDataset copy = d;
         double p, t, c, m, a;
         CharacteriseWater(copy, p, t, c, m, a);
     }},
    {"PhAdjustment",
     [](const TWaterDataset& d) {
         double dosage;
         std::string u, t, n1, n2;
         RunPhAdjustment(d, 4, 7, dosage, u, t, n1, n2);
     }},
    {"Stabilisation",
     [](const TWaterDataset& d) {
         double dosage;
         std::string u, t, n1, n2;
         RunStabilisation(d, 0, 0, dosage, u, t, n1, n2);
     }},
    {"Deficiency",
     [](const TWaterDataset& d) {
         double dosage;
         std::string u, t;
         RunCaCarbonateDeficiency(d, t, u, dosage, 150);
     }},
    {"SofteningLimits",
     [](const TWaterDataset& d) {
         double a, b, c, e, f;
         GetSofteningCaLimits(d, a, b, c, e, f);
     }},
    {"SofteningLime",
     [](const TWaterDataset& d) {
         double dosage;
         std::string u, t;
         RunSofteningCaLime(d, dosage, u, t, 50);
     }},
    {"SofteningSodaAsh",
     [](const TWaterDataset& d) {
         double dosage;
         std::string u, t;
         RunSofteningCaSodaAsh(d, dosage, u, t, 50);
     }},
    {"SofteningMg",
     [](const TWaterDataset& d) {
         double dosage;
         std::string u, t;
         RunSofteningMg(d, dosage, u, t, 10);
     }},
    {"SofteningCaMg",
     [](const TWaterDataset& d) {
         double lime, ash;
         RunSofteningCaMg(d, lime, ash, 50, 10);
     }},
    {"AirEquilibrium",
     [](const TWaterDataset& d) {
         double amount;
         std::string text;
         RunAirEquilibrium(d, amount, text, 0.00035);
     }},
    {"UndergroundWater",
     [](const TWaterDataset& d) {
         double amount;
         RunUndergroundWater(d, amount, 0.01);
     }},
    {"TemperatureChange", [](const TWaterDataset& d) { RunTemperatureChange(d, 60); }},
    {"ConcentrationChange", [](const TWaterDataset& d) { RunConcentrationChange(d, 50); }},
    {"WaterIndices", [](const TWaterDataset& d) { WaterIndicesOfDataset(d); }},
    {"CharacteriseWithIndices",
     [](const TWaterDataset& d) {
         TWaterDataset copy = d;
         double p, t, c, m, a;
         TWaterIndices indices;
         CharacteriseWater(copy, p, t, c, m, a, indices);
     }},
    {"ForwardDosing", [](const TWaterDataset& d) { RunForwardDosing(d, 1, 10); }},
    // The whole curve is refused, not one gap per point.
    {"DosingCurve", [](const TWaterDataset& d) { RunDosingCurve(d, 1, 10, 11); }},
};

class EveryOperation : public EngineTest, public ::testing::WithParamInterface<TOperationRow> {};

TEST_P(EveryOperation, RefusesTheImpossibleWaterAndRunsThePossibleOne) {
    const TOperationRow& row = GetParam();
    EXPECT_EQ(EngineErrorOf([&] { row.Run(ByAlkalinity(12, 5).Dataset()); }), kImpossibleRows[0].Message);
    // The same operation on the water at an ordinary pH goes through the check (the lime softening
    // needs its limits first).
    const TWaterDataset possible = ByAlkalinity(7.5, 120).Dataset();
    double a, b, c, e, f;
    GetSofteningCaLimits(possible, a, b, c, e, f);
    EXPECT_EQ(EngineErrorOf([&] { row.Run(possible); }), "");
}

INSTANTIATE_TEST_SUITE_P(Operations, EveryOperation, ::testing::ValuesIn(kOperationRows),
                         [](const auto& info) { return std::string(info.param.Name); });

// The boundary itself: a water entered with no carbonate at all exists, however its ALK and ACI
// round.
TEST_F(EngineTest, AWaterWithoutCarbonateIsNotRefused) {
    for (double pH : {3.0, 7.0, 8.3, 11.0, 13.5}) {
        SCOPED_TRACE(pH);
        EXPECT_EQ(EngineErrorOf([&] { RawOf(ByTotalCarbonate(pH, 0)); }), "");
    }
}

TEST(OperatorNumbers, HaveTwoDecimalsATrueMinusAndAnExponentWhenHuge) {
    EXPECT_EQ(OperatorNumber(5), "5.00");
    EXPECT_EQ(OperatorNumber(-229.656), "\u2212229.66");
    EXPECT_EQ(OperatorNumber(-0.001), "0.00"); // no sign on a zero
    EXPECT_EQ(OperatorNumber(-0.0), "0.00");
    EXPECT_EQ(OperatorNumber(999999999.994), "999999999.99");
    EXPECT_EQ(OperatorNumber(3.3e23), "3.3e+23");
}

// The treated water that leaves the facade, perturbed one quantity at a time. The base is a real
// treated water (a temperature change of the default water), in report units.
struct TTreatedRow {
    const char* Name;
    std::function<void(TEngineState&)> Spoil;
    std::string Message;    // "" when the water passes
    std::string AsComputed; // the same water after a negative dosage
};

const std::string kRefused = "; no water can have it, so the result is refused.";

const TTreatedRow kTreatedRows[] = {
    {"Unchanged", [](TEngineState&) {}, "", ""},
    {"PhBelowZero", [](TEngineState& E) { E.PHF = -3.68; },
     "The calculation gives the treated water a pH of \u22123.68, outside 0 to 14" + kRefused, ""},
    {"PhAbove14", [](TEngineState& E) { E.PHF = 14.2; },
     "The calculation gives the treated water a pH of 14.20, outside 0 to 14" + kRefused, ""},
    {"PhOfExactly0And14Pass", [](TEngineState& E) { E.PHF = 14; }, "", ""},
    {"NegativeTotalCarbonate", [](TEngineState& E) { E.ACIF = -E.ALKF - 2; },
     "The calculation gives the treated water a total carbonate species of \u22121.00 mg/l as CaCO3, below "
     "zero" +
         kRefused,
     ""},
    {"SodiumBeyondAnyWater", [](TEngineState& E) { E.NAF = 2e6; },
     "The calculation gives the treated water a sodium of 2000000.00 mg/l Na, beyond the 1,000,000 mg/l any "
     "water can hold" +
         kRefused,
     "same"},
    {"AcidityBeyondAnyWater", [](TEngineState& E) { E.ACIF = -1.5e6; },
     "The calculation gives the treated water an acidity of \u22121500000.00 mg/l as CaCO3, beyond the "
     "1,000,000 mg/l any water can hold" +
         kRefused,
     "same"},
    {"PotentialBeyondAnyWater", [](TEngineState& E) { E.CPPF = 3e9; },
     "The calculation gives the treated water a precipitation potential of 3e+09 mg/l as CaCO3, beyond the "
     "1,000,000 mg/l any water can hold" +
         kRefused,
     "same"},
    {"TdsBeyondAnyWater", [](TEngineState& E) { E.TDSF = 1.2e6; },
     "The calculation gives the treated water a TDS of 1200000.00 mg/l, beyond the 1,000,000 mg/l any water "
     "can hold" +
         kRefused,
     "same"},
};

class TreatedWaters : public EngineTest, public ::testing::WithParamInterface<TTreatedRow> {};

TEST_P(TreatedWaters, LeaveTheFacadeOnlyWhenTheyCanExist) {
    const TTreatedRow& row = GetParam();
    RunTemperatureChange(TWater{}.Dataset(), 30);
    const TEngineState treated = Engine;
    for (const bool asComputed : {false, true}) {
        SCOPED_TRACE(asComputed ? "after a negative dosage" : "after a dosage of zero or more");
        Engine = treated;
        row.Spoil(Engine);
        TCalculationResult result;
        const std::string expected = !asComputed ? row.Message : row.AsComputed == "same" ? row.Message : "";
        EXPECT_EQ(EngineErrorOf([&] { FillResult(result, asComputed); }), expected);
        if (expected.empty()) {
            EXPECT_EQ(result.PHF, Engine.PHF);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Quantities, TreatedWaters, ::testing::ValuesIn(kTreatedRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Dosages, BeyondAnyWaterAreRefusedEitherWayAndNegativeOnesWithinPass) {
    EXPECT_EQ(
        EngineErrorOf([] {
            RequireDosages({{"a dosage", 3.3e23}});
        }),
        "The calculation gives a dosage of 3.3e+23 mg/l, beyond the 1,000,000 mg/l any water can hold; the "
        "result is refused.");
    EXPECT_EQ(
        EngineErrorOf([] {
            RequireDosages({{"a lime dosage", 12}, {"a soda-ash dosage", -2e6}});
        }),
        "The calculation gives a soda-ash dosage of \u22122000000.00 mg/l, beyond the 1,000,000 mg/l any "
        "water can hold; the result is refused.");
    EXPECT_EQ(EngineErrorOf([] { RequireDosages({{"a dosage", -999999}, {"a dosage", 1e6}}); }), "");
}

// Results that run away from possible waters, through the facade.
TEST_F(EngineTest, ACo2DosageToPh2IsBeyondAnyWater) {
    // CO2 is a weak acid: pH 2 needs h^2 / K1 of dissolved CO2, some 10 kg per litre.
    double dosage = 0;
    std::string units, type, note1, note2;
    const std::string message =
        EngineErrorOf([&] { RunPhAdjustment(TWater{}.Dataset(), 0, 2, dosage, units, type, note1, note2); });
    EXPECT_EQ(message.rfind("The calculation gives a dosage of ", 0), 0u) << message;
    EXPECT_NE(message.find("beyond the 1,000,000 mg/l any water can hold"), std::string::npos) << message;
}

TEST_F(EngineTest, CoolingAStronglyAlkalineHotWaterPastPh14IsRefused) {
    // pH 12 at 90 degrees Celsius holds much hydroxide; at 5 degrees the same hydroxide is above pH 14.
    TWater hot = ByTotalCarbonate(12, 100);
    hot.T = 90;
    const std::string message = EngineErrorOf([&] { RunTemperatureChange(hot.Dataset(), 5); });
    EXPECT_EQ(message.rfind("The calculation gives the treated water a pH of 14.", 0), 0u) << message;
    EXPECT_NE(message.find(", outside 0 to 14; no water can have it, so the result is refused."),
              std::string::npos)
        << message;
}

// A negative dosage keeps its notes, and its treated water is shown as computed: raising the pH
// with CO2 means taking out more CO2 than the water holds.
TEST_F(EngineTest, ANegativeDosageReturnsItsTreatedWaterAsComputed) {
    double dosage = 0;
    std::string units, type, note1, note2;
    const auto result = RunPhAdjustment(TWater{}.Dataset(), 0, 12, dosage, units, type, note1, note2);
    EXPECT_LT(dosage, 0);
    EXPECT_FALSE(note1.empty());
    EXPECT_FALSE(note2.empty());
    EXPECT_LT((result->ALKF + result->ACIF) / 2, 0) << "the water the notes call unusable";
}

TEST_F(EngineTest, APressureOfATreatedWaterWithoutCarbonateBelowZeroIsRefused) {
    TCalculationResult water;
    water.TF = 20;
    water.PHF = 12;
    water.MHUF = 0.01;
    water.ALKF = 100;
    water.ACIF = -140;
    EXPECT_EQ(
        EngineErrorOf([&] { PressureCO2OfResult(water); }),
        "This treated water has no CO2 pressure: its total carbonate species is \u221220.00 mg/l as CaCO3, "
        "below zero.");
}

} // namespace
