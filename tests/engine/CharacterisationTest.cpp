// DefineWater: ionic strength and activity model, sulphate ion pairs, and the carbonate system
// from each of the four carbonate measures.

#include "CONSDEC.h"
#include "EngineFacade.h"
#include "EngineTestSupport.h"
#include "WATCHEM.h"

#include <string>

namespace {

void Load(const TWater& water) {
    ResetEngine();
    LoadDataset(water.Dataset());
}

// Dissolved CO2 a (mmol/l) of the loaded water, from its total carbonate at its pH.
double DissolvedCO2OfLoadedWater() {
    const auto& E = Engine;
    const double h = HydrogenActivity(E.PH);
    const double CT = (E.ALK + E.ACI) / 2;
    return CT / (1 + E.K1 / h + E.K1 * E.K2 / (h * h));
}

struct TCarbonateRow {
    const char* Name;
    TWater Water;
};

const TCarbonateRow kCarbonateRows[] = {
    {"DiluteAtPh65", At(TWater{}, 6.5)},          {"DiluteAtPh75", At(TWater{}, 7.5)},
    {"DiluteAtPh92", At(TWater{}, 9.2)},          {"BrackishAtPh70", At(BrackishWater(), 7.0)},
    {"BrackishAtPh78", At(BrackishWater(), 7.8)},
};

class FourCarbonateMeasures : public EngineTest, public ::testing::WithParamInterface<TCarbonateRow> {};

// The same water entered by its alkalinity, its total carbonate, its HCO3-referenced acidity and
// its CO2 partial pressure gives the same ALK and ACI.
TEST_P(FourCarbonateMeasures, GiveTheSameAlkalinityAndAcidity) {
    TWater byAlkalinity = GetParam().Water;
    Load(byAlkalinity);
    const double ALK = Engine.ALK, ACI = Engine.ACI;
    const double pressure = DissolvedCO2OfLoadedWater() / Engine.KH;

    TWater byTotalCarbonate = byAlkalinity, byAcidity = byAlkalinity, byPressure = byAlkalinity;
    byTotalCarbonate.CARBSYSORDER = 2;
    byTotalCarbonate.TotC = (ALK + ACI) / 2 * Units::kTotalCarbonate;
    byAcidity.CARBSYSORDER = 1;
    byAcidity.Aci = (ACI - ALK) / 2 * Units::kAcidity;
    byPressure.CARBSYSORDER = 3;
    byPressure.PCO2 = pressure;

    for (const auto& [name, water] : {std::pair{"total carbonate", byTotalCarbonate},
                                      std::pair{"acidity", byAcidity}, std::pair{"pressure", byPressure}}) {
        SCOPED_TRACE(name);
        Load(water);
        EXPECT_TRUE(RelativelyNear(Engine.ALK, ALK, 1e-9));
        EXPECT_TRUE(RelativelyNear(Engine.ACI, ACI, 1e-9));
    }
}

INSTANTIATE_TEST_SUITE_P(Waters, FourCarbonateMeasures, ::testing::ValuesIn(kCarbonateRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EngineTest, AlkalinityAndAcidityAddUpToTwiceTheTotalCarbonateAtAnyPh) {
    Load(TWater{});
    const double CT = 2.4;
    for (double pH = 4; pH <= 11; pH += 0.5) {
        SCOPED_TRACE("pH " + std::to_string(pH));
        const double alkalinity = AlkalinityFromTotalCarbonate(CT, pH);
        const double acidity = AcidityFromAlkalinity(alkalinity, pH);
        EXPECT_NEAR(alkalinity + acidity, 2 * CT, 1e-12);
    }
}

TEST_F(EngineTest, AlkalinityOf100AndAcidity100AreTwoMmolEachAndTwoTotal) {
    TWater w;
    w.Alk = 100;
    Load(w);
    EXPECT_DOUBLE_EQ(Engine.ALK, 2);
    // The CO3-referenced acidity of 100 mg/l belongs to the water whose total carbonate is
    // (2 + 2) / 2 = 2 mmol/l, that is 100 mg/l as CaCO3.
    TWater byTotal = w;
    byTotal.CARBSYSORDER = 2;
    byTotal.TotC = 100;
    Load(byTotal);
    EXPECT_NEAR((Engine.ALK + Engine.ACI) / 2, 2, 1e-12);
}

TEST_F(EngineTest, SulphateFreeWaterHasNoPairsAndTheIonsOwnIonicStrength) {
    ComputeConstants(20, Engine.KTHERM);
    const double ca = 1.5, mg = 0.4, na = 2.0, cl = 2.5;
    const double I = ApplyIonPairing(Engine.KTHERM, ca, mg, na, 0, cl);
    EXPECT_EQ(Engine.SO4FREE, 0);
    EXPECT_EQ(Engine.CAFREE, ca);
    EXPECT_EQ(Engine.MGFREE, mg);
    EXPECT_EQ(Engine.NAFREE, na);
    EXPECT_EQ(Engine.FCA, 1);
    EXPECT_EQ(Engine.FMG, 1);
    EXPECT_DOUBLE_EQ(I, 0.5 * (4 * (ca + mg) + na + cl) / 1000);
}

TEST_F(EngineTest, SulphatePairsBindPartOfTheCations) {
    ComputeConstants(25, Engine.KTHERM);
    const double ca = 10, mg = 5, na = 20, so4 = 10, cl = 30;
    ApplyIonPairing(Engine.KTHERM, ca, mg, na, so4, cl);
    const auto& E = Engine;
    EXPECT_GT(E.SO4FREE, 0);
    EXPECT_LT(E.SO4FREE, so4);
    // Every paired sulphate is paired with one cation: the free search's balance within 0.001.
    const double paired = (ca - E.CAFREE) + (mg - E.MGFREE) + (na - E.NAFREE);
    EXPECT_NEAR(E.SO4FREE + paired, so4, 0.001);
    EXPECT_DOUBLE_EQ(E.FCA, 1 + E.SO4FREE / E.KACT[kSlotCaSO4]);
    // FCA is formed with the constants of the second pass, the free calcium with those of the first,
    // so total = free * FCA holds to the change between the passes only.
    EXPECT_NEAR(E.CAFREE * E.FCA, ca, 0.05 * ca);
    EXPECT_GT(E.FCO3, 1);
}

TEST_F(EngineTest, DiluteWaterKeepsTheIonicStrengthOfItsConductivity) {
    TWater w; // its ions alone give about 0.0068
    w.Cond = 100;
    Load(w);
    EXPECT_DOUBLE_EQ(Engine.MU, Units::kConductivityToIonicStrength * 100);
    EXPECT_EQ(Engine.FCA, 1);
    EXPECT_EQ(Engine.FMG, 1);
    EXPECT_EQ(Engine.FCO3, 1);
    EXPECT_DOUBLE_EQ(Engine.FM, DiluteActivity(0.016).f1);
}

TEST_F(EngineTest, DiluteWaterTakesTheIonicStrengthOfEachSalinityMeasure) {
    TWater byTds, byIonicStrength;
    byTds.WATCHAR = 0;
    byTds.TDS = 1000;
    Load(byTds);
    EXPECT_DOUBLE_EQ(Engine.MU, 0.025);
    EXPECT_DOUBLE_EQ(TdsFromIonicStrength(Engine.MU), 1000);
    byIonicStrength.WATCHAR = 2;
    byIonicStrength.Mu = 0.012;
    Load(byIonicStrength);
    EXPECT_DOUBLE_EQ(Engine.MU, 0.012);
}

TEST_F(EngineTest, BrackishWaterReportsTheIonsIonicStrengthWhateverItsConductivity) {
    TWater low = BrackishWater(), high = BrackishWater();
    low.Cond = 10;
    high.Cond = 900;
    Load(low);
    const double muLow = Engine.MU;
    Load(high);
    EXPECT_GT(muLow, 0.025);
    EXPECT_EQ(Engine.MU, muLow);
    EXPECT_GT(Engine.FCO3, 1);
    EXPECT_GT(Engine.FCA, 1);
}

// Calcium alone at 12.5 mmol/l gives the ions an ionic strength of exactly 0.025.
TEST_F(EngineTest, ExactlyTheThresholdTakesTheDiluteModel) {
    TWater w;
    w.Na = 0, w.Mg = 0, w.SO4 = 0, w.Cl = 0, w.Ca = 1250, w.Cond = 10;
    ComputeConstants(w.T, Engine.KTHERM);
    ASSERT_EQ(ApplyIonPairing(Engine.KTHERM, 12.5, 0, 0, 0, 0), 0.025);

    Load(w);
    EXPECT_DOUBLE_EQ(Engine.MU, Units::kConductivityToIonicStrength * 10);
    EXPECT_EQ(Engine.FCO3, 1);

    w.Ca = 1250.01; // just above: the ion-pair model and the ions' ionic strength
    Load(w);
    EXPECT_GT(Engine.MU, 0.025);
    EXPECT_GT(Engine.FCO3, 1);
}

TEST_F(EngineTest, LoadingStoresTheAnalysisInEngineUnits) {
    TWater w;
    w.Ca = 120, w.Mg = 30, w.Na = 46, w.SO4 = 48, w.Cl = 35.453, w.T = 12, w.pH = 7.1;
    Load(w);
    const auto& E = Engine;
    EXPECT_DOUBLE_EQ(E.CA, 1.2);
    EXPECT_DOUBLE_EQ(E.MG, 0.3);
    EXPECT_DOUBLE_EQ(E.NA, 2);
    EXPECT_DOUBLE_EQ(E.SO4, 0.5);
    EXPECT_DOUBLE_EQ(E.CL, 1);
    EXPECT_EQ(E.T, 12);
    EXPECT_EQ(E.PH, 7.1);
    EXPECT_DOUBLE_EQ(E.ALK, 2.4);
    EXPECT_DOUBLE_EQ(E.ACI, AcidityFromAlkalinity(2.4, 7.1));
}

TEST_F(EngineTest, UnknownSelectorsKeepWhatTheEngineHeld) {
    Load(TWater{});
    const double MU = Engine.MU, ALK = Engine.ALK;
    TWater odd;
    odd.WATCHAR = 7;
    odd.CARBSYSORDER = -1;
    odd.Alk = 999;
    odd.Cond = 999;
    Load(odd);
    EXPECT_EQ(Engine.MU, MU);
    EXPECT_EQ(Engine.ALK, ALK);
}

TEST_F(EngineTest, ConversionsKeepTheirHydrogenInTheScratch) {
    Load(TWater{});
    AcidityFromAlkalinity(2, 7.0);
    EXPECT_TRUE(RelativelyNear(Engine.HACT, 1e-4, 1e-12));
    EXPECT_DOUBLE_EQ(Engine.HCONC, Engine.HACT / Engine.FM);
}

} // namespace
