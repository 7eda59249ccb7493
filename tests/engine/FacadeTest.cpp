// The facade's shared steps and the characterisation with its write-back.

#include "CONSDEC.h"
#include "DETPAR.h"
#include "EngineFacade.h"
#include "EngineTestSupport.h"
#include "WATCHEM.h"

#include <string>

namespace {

struct TCharacterisation {
    double Potential = 0, TDS = 0, Conductivity = 0, IonicStrength = 0, CO3Acidity = 0;
};

TCharacterisation Characterise(TWaterDataset& dataset) {
    TCharacterisation c;
    CharacteriseWater(dataset, c.Potential, c.TDS, c.Conductivity, c.IonicStrength, c.CO3Acidity);
    return c;
}

TEST_F(EngineTest, CharacterisationWritesBackAlkalinityHco3AcidityAndTheIons) {
    const TWater w;
    TWaterDataset dataset = w.Dataset();
    const TCharacterisation c = Characterise(dataset);

    ResetEngine();
    LoadDataset(w.Dataset());
    const double ALK = Engine.ALK, ACI = Engine.ACI, MU = Engine.MU;
    EXPECT_DOUBLE_EQ(c.Potential, PrecipitationPotential(Engine.PH, ALK, Engine.CA, ACI));

    EXPECT_DOUBLE_EQ(dataset.Alkalinity(), w.Alk);
    EXPECT_DOUBLE_EQ(dataset.Acidity(), (ACI - ALK) / 2 * Units::kAcidity);
    EXPECT_DOUBLE_EQ(c.CO3Acidity, ACI * Units::kAcidity);
    EXPECT_NEAR(dataset.Alkalinity() + 2 * dataset.Acidity(), c.CO3Acidity, 1e-9);
    EXPECT_DOUBLE_EQ(dataset.Calcium(), w.Ca);
    EXPECT_DOUBLE_EQ(dataset.Magnesium(), w.Mg);
    EXPECT_DOUBLE_EQ(dataset.Sodium(), w.Na);
    EXPECT_DOUBLE_EQ(dataset.Sulphate(), w.SO4);
    EXPECT_DOUBLE_EQ(dataset.Chloride(), w.Cl);
    EXPECT_EQ(c.IonicStrength, MU);
    EXPECT_DOUBLE_EQ(c.TDS, MU / Units::kTdsToIonicStrength);
    EXPECT_DOUBLE_EQ(c.Conductivity, w.Cond);
    // The selectors and the other measures are not touched.
    EXPECT_EQ(dataset.Ph(), w.pH);
    EXPECT_EQ(dataset.CarbonCharacterIndex(), 0);
    EXPECT_EQ(dataset.PressureCO2(), w.PCO2);
}

TEST_F(EngineTest, CharacterisationLeavesTheWaterStateInReportUnits) {
    TWaterDataset dataset = TWater{}.Dataset();
    const TCharacterisation c = Characterise(dataset);
    EXPECT_DOUBLE_EQ(Engine.ALK, 120);
    EXPECT_DOUBLE_EQ(Engine.CA, 100);
    EXPECT_DOUBLE_EQ(Engine.ACI, c.CO3Acidity);
}

struct TRepeatRow {
    const char* Name;
    TWater Water;
};

TWater Selecting(TWater w, int CARBSYSORDER, double value) {
    w.CARBSYSORDER = CARBSYSORDER;
    (CARBSYSORDER == 0 ? w.Alk : CARBSYSORDER == 1 ? w.Aci : CARBSYSORDER == 2 ? w.TotC : w.PCO2) = value;
    return w;
}

const TRepeatRow kRepeatRows[] = {
    {"ByAlkalinity", Selecting(TWater{}, 0, 120)},
    {"ByHco3Acidity", Selecting(TWater{}, 1, 14)},
    {"ByNegativeHco3Acidity", Selecting(WithPh(9.2), 1, -5)},
    {"ByTotalCarbonate", Selecting(TWater{}, 2, 140)},
    {"ByPressure", Selecting(TWater{}, 3, 0.003)},
    {"BrackishByHco3Acidity", Selecting(BrackishWater(), 1, 6)},
};

class RepeatedCharacterisation : public EngineTest, public ::testing::WithParamInterface<TRepeatRow> {};

// Before the write-back used the HCO3-referenced acidity, a water entered by its acidity came back
// from its second characterisation as another water (the two acidities differ by the total
// carbonate).
TEST_P(RepeatedCharacterisation, GivesTheSameFiguresTwice) {
    TWaterDataset dataset = GetParam().Water.Dataset();
    const TCharacterisation first = Characterise(dataset);
    const TWaterDataset afterFirst = dataset;
    const TCharacterisation second = Characterise(dataset);
    EXPECT_TRUE(RelativelyNear(second.Potential, first.Potential, 1e-6));
    EXPECT_TRUE(RelativelyNear(second.CO3Acidity, first.CO3Acidity, 1e-9));
    EXPECT_EQ(second.IonicStrength, first.IonicStrength);
    EXPECT_TRUE(RelativelyNear(dataset.Alkalinity(), afterFirst.Alkalinity(), 1e-9));
    EXPECT_TRUE(RelativelyNear(dataset.Acidity(), afterFirst.Acidity(), 1e-9));
    EXPECT_TRUE(RelativelyNear(dataset.Calcium(), afterFirst.Calcium(), 1e-12));
}

INSTANTIATE_TEST_SUITE_P(Waters, RepeatedCharacterisation, ::testing::ValuesIn(kRepeatRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EngineTest, AWaterEnteredByItsAcidityKeepsThatAcidity) {
    TWaterDataset dataset = Selecting(TWater{}, 1, 14).Dataset();
    Characterise(dataset);
    EXPECT_TRUE(RelativelyNear(dataset.Acidity(), 14, 1e-9));
}

TEST_F(EngineTest, FillResultCarriesTheLoadedSelectorsAndTheTreatedWater) {
    TWater w;
    w.WATCHAR = 2;
    w.Mu = 0.01;
    w.CARBSYSORDER = 2;
    w.TotC = 130;
    ResetEngine();
    LoadDataset(w.Dataset());
    auto& E = Engine;
    E.ALKF = 1, E.ACIF = 2, E.CAF = 3, E.MGF = 4, E.NAF = 5, E.SO4F = 6, E.CLF = 7;
    E.PHF = 8, E.TF = 9, E.MHUF = 10, E.TDSF = 11, E.CONF = 12, E.CPPF = 13;
    TCalculationResult result;
    FillResult(result);
    const double fields[] = {result.ALKF, result.ACIF, result.CAF, result.MGF, result.NAF,
                             result.SO4F, result.CLF,  result.PHF, result.TF,  result.MHUF,
                             result.TDSF, result.CONF, result.CPPF};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(fields[i], i + 1);
    EXPECT_EQ(result.WATCHAR, 2);
    EXPECT_EQ(result.CARBSYSORDER, 2);
}

TEST_F(EngineTest, FillResultRefusesANonFiniteTreatedWater) {
    ResetEngine();
    LoadDataset(TWater{}.Dataset());
    Engine.CPPF = std::numeric_limits<double>::infinity();
    TCalculationResult result;
    EXPECT_THROW(FillResult(result), TEngineError);
    EXPECT_EQ(result.CPPF, 0);
}

TEST_F(EngineTest, ResetEngineClearsTheInputsAndKeepsTheSofteningLimits) {
    Facade.Inputs.ChemicalIndex = 3;
    Facade.Inputs.TargetPh = 8;
    Facade.Inputs.DesiredCalcium = 40;
    Facade.Inputs.BINDEX = 7;
    Facade.Inputs.BlendComponentsLoaded = 6;
    Facade.Limits.CAMIN = 12;
    Facade.Limits.LIMEINV = -0.4;
    Engine.ALK = 2.5;
    ResetEngine();
    EXPECT_EQ(Facade.Inputs.ChemicalIndex, 0);
    EXPECT_EQ(Facade.Inputs.TargetPh, 0);
    EXPECT_EQ(Facade.Inputs.DesiredCalcium, 0);
    EXPECT_EQ(Facade.Inputs.BINDEX, 1);
    EXPECT_EQ(Facade.Inputs.BlendComponentsLoaded, 0);
    EXPECT_EQ(Facade.Limits.CAMIN, 12);
    EXPECT_EQ(Facade.Limits.LIMEINV, -0.4);
    EXPECT_EQ(Engine.ALK, 2.5);
}

TEST_F(EngineTest, BlendComponentsAreStoredUnderTheirNumber) {
    ResetEngine();
    TWater first, second = BrackishWater();
    first.Frac = 30;
    second.Frac = 70;
    Facade.Inputs.BINDEX = 1;
    LoadBlendComponent(first.Dataset());
    Facade.Inputs.BINDEX = 2;
    LoadBlendComponent(second.Dataset());
    const auto& E = Engine;
    EXPECT_EQ(Facade.Inputs.BlendComponentsLoaded, 2);
    EXPECT_EQ(E.BFRAC[1], 30);
    EXPECT_EQ(E.BFRAC[2], 70);
    EXPECT_DOUBLE_EQ(E.BALK[1], 2.4);
    EXPECT_DOUBLE_EQ(E.BCA[2], 5);
    EXPECT_EQ(E.BPH[2], 7.8);
    EXPECT_EQ(E.BT[2], 25);
    EXPECT_EQ(E.BMU[2], E.MU);
    EXPECT_DOUBLE_EQ(E.BNA[1], 50.0 / Units::kSodium);
    EXPECT_DOUBLE_EQ(E.BSO4[1], 40.0 / Units::kSulphate);
    EXPECT_DOUBLE_EQ(E.BCL[1], 60 / Units::kChloride);
    EXPECT_DOUBLE_EQ(E.BMG[1], 0.3);
}

TEST_F(EngineTest, ABlendComponentBeyondTheTablesIsRefused) {
    ResetEngine();
    Facade.Inputs.BINDEX = kMaxBlendComponents + 1;
    EXPECT_THROW(LoadBlendComponent(TWater{}.Dataset()), TEngineError);
    Facade.Inputs.BINDEX = 0;
    EXPECT_THROW(LoadBlendComponent(TWater{}.Dataset()), TEngineError);
}

// The characterised water as a result record (report units), as a window would receive it.
TCalculationResult ResultOf(const TWater& w) {
    TWaterDataset dataset = w.Dataset();
    const TCharacterisation c = Characterise(dataset);
    TCalculationResult r;
    r.ALKF = dataset.Alkalinity();
    r.ACIF = c.CO3Acidity;
    r.CAF = dataset.Calcium();
    r.MGF = dataset.Magnesium();
    r.NAF = dataset.Sodium();
    r.SO4F = dataset.Sulphate();
    r.CLF = dataset.Chloride();
    r.PHF = dataset.Ph();
    r.TF = dataset.Temperature();
    r.MHUF = c.IonicStrength;
    r.TDSF = c.TDS;
    r.CONF = c.Conductivity;
    r.CPPF = c.Potential;
    return r;
}

TEST_F(EngineTest, PressureOfAResultIsTheWatersOwnPressure) {
    for (const TWater& entered : {Selecting(TWater{}, 3, 0.004), Selecting(BrackishWater(), 3, 0.0008)}) {
        SCOPED_TRACE("pCO2 " + std::to_string(entered.PCO2));
        const TCalculationResult r = ResultOf(entered);
        EXPECT_TRUE(RelativelyNear(PressureCO2OfResult(r), entered.PCO2, 1e-9));
    }
}

TEST_F(EngineTest, ADataSetWrittenBackByItsPressureCharacterisesToTheResultsAlkalinity) {
    for (const TWater& w : {TWater{}, BrackishWater()}) {
        const TCalculationResult r = ResultOf(w);
        TWater back = w;
        back.CARBSYSORDER = 3;
        back.PCO2 = PressureCO2OfResult(r);
        back.Alk = 0;
        back.WATCHAR = 2;
        back.Mu = r.MHUF;
        TWaterDataset dataset = back.Dataset();
        Characterise(dataset);
        EXPECT_TRUE(RelativelyNear(dataset.Alkalinity(), r.ALKF, 1e-9));
    }
}

} // namespace
