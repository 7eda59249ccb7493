// Equilibrium constants at temperature and the two activity models, against the published
// figures of the constants table (log K at 25 and 10 degrees Celsius, f1/f2 at I = 0.01, the
// dilute model's KW).

#include "CONSDEC.h"
#include "EngineTestSupport.h"
#include "WATCHEM.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

struct TLogKRow {
    const char* Name;
    double T; // degrees Celsius
    int Slot;
    double Scale; // engine units over mol/l
    double LogK;  // published, mol/l basis
};

const TLogKRow kLogKRows[] = {
    {"K1_25C", 25, kSlotK1, 1e3, -6.352},       {"K2_25C", 25, kSlotK2, 1e3, -10.329},
    {"Kw_25C", 25, kSlotKw, 1e6, -14.000},      {"Calcite_25C", 25, kSlotCalcite, 1e6, -8.480},
    {"Henry_25C", 25, kSlotHenry, 1e3, -1.471}, {"K1_10C", 10, kSlotK1, 1e3, -6.463},
    {"K2_10C", 10, kSlotK2, 1e3, -10.488},      {"Calcite_10C", 10, kSlotCalcite, 1e6, -8.410},
    {"Kw_10C", 10, kSlotKw, 1e6, -14.518},      {"Henry_10C", 10, kSlotHenry, 1e3, -1.267},
};

class LogKAtTemperature : public ::testing::TestWithParam<TLogKRow> {};

TEST_P(LogKAtTemperature, MatchesPublishedFigure) {
    const TLogKRow& row = GetParam();
    SCOPED_TRACE(std::string(row.Name) + " at " + std::to_string(row.T) + " C");
    TConstantTable K;
    ComputeConstants(row.T, K);
    EXPECT_NEAR(std::log10(K[row.Slot] / row.Scale), row.LogK, 0.0006);
}

INSTANTIATE_TEST_SUITE_P(ConstantsTable, LogKAtTemperature, ::testing::ValuesIn(kLogKRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Constants, EngineUnitValuesAt25C) {
    TConstantTable K;
    ComputeConstants(25, K);
    EXPECT_TRUE(RelativelyNear(K[kSlotK1], 4.448e-4, 5e-4));
    EXPECT_TRUE(RelativelyNear(K[kSlotK2], 4.690e-8, 5e-4));
    EXPECT_TRUE(RelativelyNear(K[kSlotKw], 1.000e-8, 5e-4));
    EXPECT_TRUE(RelativelyNear(K[kSlotCalcite], 3.313e-3, 5e-4));
    EXPECT_TRUE(RelativelyNear(K[kSlotHenry], 33.78, 5e-4));
}

struct TVantHoffRow {
    int Slot;
    double LogK25;
    double Scale;
};

TEST(Constants, EveryVantHoffSlotIsItsLogK25At25C) {
    const TVantHoffRow rows[] = {{2, -14.000, 1e6}, {4, -1.987, 1e3},  {12, -10.204, 1e9}, {19, -2.309, 1e3},
                                 {20, -3.220, 1e3}, {21, -1.110, 1e3}, {23, -2.238, 1e3},  {24, -3.398, 1e3},
                                 {25, -0.928, 1e3}, {27, -0.226, 1e3}, {28, -1.268, 1e3},  {29, -1.512, 1e6}};
    TConstantTable K;
    ComputeConstants(25, K);
    for (const auto& row : rows) {
        SCOPED_TRACE("slot " + std::to_string(row.Slot));
        EXPECT_TRUE(RelativelyNear(K[row.Slot], std::pow(10.0, row.LogK25) * row.Scale, 1e-12));
    }
}

TEST(Constants, SlotsWithoutAConstantHoldZero) {
    TConstantTable K;
    K.fill(123);
    ComputeConstants(15, K);
    const int used[] = {0, 1, 2, 4, 10, 12, 19, 20, 21, 23, 24, 25, 27, 28, 29, 39};
    for (int slot = 0; slot < kConstantSlots; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        const bool isUsed = std::find(std::begin(used), std::end(used), slot) != std::end(used);
        if (isUsed)
            EXPECT_GT(K[slot], 0);
        else
            EXPECT_EQ(K[slot], 0);
    }
}

// The constants of the temperatures met last are kept. 3,000 temperatures that no other test
// uses, so that each is computed anew the first time, and many share a place among the kept ones:
// asked again (kept, or computed anew after another took its place), each gives the same bits.
TEST(Constants, ATemperatureMetBeforeGivesTheConstantsItsComputationGave) {
    std::vector<double> temperatures;
    for (int i = 0; i < 3000; ++i)
        temperatures.push_back(0.5 + i * 0.0333331);
    std::vector<TConstantTable> computed(temperatures.size());
    for (std::size_t i = 0; i < temperatures.size(); ++i) {
        ComputeConstants(temperatures[i], computed[i]);
        // Its own temperature's, not another's that had its place: K1 and calcite from their forms.
        ASSERT_EQ(computed[i][kSlotK1], PowerOf(10, LogK1(temperatures[i])) * 1000);
        ASSERT_EQ(computed[i][kSlotCalcite], PowerOf(10, LogCalcite(temperatures[i])) * 1e6);
    }
    for (std::size_t i = temperatures.size(); i-- > 0;) {
        for (int again = 0; again < 2; ++again) {
            TConstantTable K;
            K.fill(123);
            ComputeConstants(temperatures[i], K);
            ASSERT_EQ(K, computed[i]) << "T = " << temperatures[i];
        }
    }
}

// A temperature whose constants cannot be computed (at absolute zero the analytic forms divide by
// 0 K) is refused every time it is met: a failed computation is not kept.
TEST(Constants, ATemperatureThatFaultsFaultsEveryTime) {
    for (int again = 0; again < 3; ++again) {
        TConstantTable K;
        EXPECT_THROW(ComputeConstants(-273.15, K), TEngineError);
    }
}

TEST(DiluteModel, CoefficientsAtIonicStrength001) {
    const auto [f1, f2] = DiluteActivity(0.01);
    EXPECT_NEAR(f1, 0.9027, 0.00005);
    EXPECT_NEAR(f2, 0.6640, 0.00005);
}

TEST_F(EngineTest, DiluteModelKwIsItsOwnFormulaNotSlot2) {
    ComputeConstants(25, Engine.KTHERM);
    ApplyDiluteActivity(Engine.KTHERM, 0, 25);
    EXPECT_TRUE(RelativelyNear(Engine.KW, 1.245e-8, 5e-4));
    EXPECT_TRUE(RelativelyNear(Engine.KTHERM[kSlotKw], 1.000e-8, 5e-4));
}

TEST_F(EngineTest, DiluteModelAtZeroIonicStrengthLeavesConstantsAsTheyAre) {
    ComputeConstants(25, Engine.KTHERM);
    ApplyDiluteActivity(Engine.KTHERM, 0, 25);
    for (int slot = 0; slot < kConstantSlots; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        EXPECT_TRUE(RelativelyNear(Engine.KACT[slot], Engine.KTHERM[slot], 1e-15));
    }
    EXPECT_EQ(Engine.FM, 1);
    EXPECT_EQ(Engine.FCA, 1);
    EXPECT_EQ(Engine.FMG, 1);
    EXPECT_EQ(Engine.FCO3, 1);
    EXPECT_EQ(Engine.KH, Engine.KTHERM[kSlotHenry]);
    EXPECT_TRUE(RelativelyNear(Engine.K1, Engine.KACT[kSlotK1], 1e-13));
    EXPECT_TRUE(RelativelyNear(Engine.K2, Engine.KACT[kSlotK2], 1e-13));
}

TEST_F(EngineTest, IonPairModelAtZeroIonicStrengthLeavesConstantsAsTheyAre) {
    ComputeConstants(25, Engine.KTHERM);
    const TIonPairCoefficients g = IonPairActivity(0);
    for (double coefficient : {g.Ca, g.Mg, g.SO4, g.Na, g.OH, g.H, g.CO3, g.HCO3})
        EXPECT_EQ(coefficient, 1);
    Engine.KACT = Engine.KTHERM;
    ApplyIonPairCoefficients(Engine.KTHERM, g);
    for (int slot = 0; slot < kConstantSlots; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        EXPECT_EQ(Engine.KACT[slot], Engine.KTHERM[slot]);
    }
}

TEST(IonPairModel, BicarbonateTakesAQuarterOfTheCarbonateExponent) {
    const TIonPairCoefficients g = IonPairActivity(0.1);
    EXPECT_TRUE(RelativelyNear(std::log10(g.HCO3), 0.25 * std::log10(g.CO3), 1e-12));
    EXPECT_LT(g.CO3, g.HCO3);
    EXPECT_LT(g.HCO3, 1);
}

TEST(IonPairModel, CoefficientsAtIonicStrength01) {
    // log gamma = -A s / (1 + k s) + d I with the table's A, k and d, at I = 0.1.
    const TIonPairCoefficients g = IonPairActivity(0.1);
    EXPECT_NEAR(g.Ca, 0.398930, 5e-7);
    EXPECT_NEAR(g.Mg, 0.415120, 5e-7);
    EXPECT_NEAR(g.SO4, 0.380537, 5e-7);
    EXPECT_NEAR(g.Na, 0.786954, 5e-7);
    EXPECT_NEAR(g.OH, 0.765925, 5e-7);
    EXPECT_NEAR(g.H, 0.828828, 5e-7);
    EXPECT_NEAR(g.CO3, 0.393996, 5e-7);
}

// KACT[slot] / KTHERM[slot] as powers of the activity coefficients: the dilute model's f1 and f2,
// the ion-pair model's gamma of each free ion (the complexes' coefficients are those of HCO3-).
struct TActivitySlotRow {
    int Slot;
    int F1, F2;                         // dilute model
    int Ca, Mg, SO4, Na, OH, CO3, HCO3; // ion-pair model
};

const TActivitySlotRow kActivitySlotRows[] = {
    {kSlotK1, -1, 0, 0, 0, 0, 0, 0, 0, -1},
    {kSlotK2, 1, -1, 0, 0, 0, 0, 0, -1, 1},
    {kSlotKw, -1, 0, 0, 0, 0, 0, -1, 0, 0},
    {kSlotHSO4, 1, -1, 0, 0, -1, 0, 0, 0, 1},
    {kSlotCalcite, 0, -2, -1, 0, 0, 0, 0, -1, 0},
    {kSlotMgOH2, -2, -1, 0, -1, 0, 0, -2, 0, 0},
    {kSlotCaSO4, 0, -2, -1, 0, -1, 0, 0, 0, 0},
    {kSlotCaCO3, 0, -2, -1, 0, 0, 0, 0, -1, 0},
    {kSlotCaHCO3, 0, -1, -1, 0, 0, 0, 0, 0, 0},
    {kSlotMgSO4, 0, -2, 0, -1, -1, 0, 0, 0, 0},
    {kSlotMgCO3, 0, -2, 0, -1, 0, 0, 0, -1, 0},
    {kSlotMgHCO3, 0, -1, 0, -1, 0, 0, 0, 0, 0},
    {kSlotNaSO4, 0, -1, 0, 0, -1, -1, 0, 0, 1},
    {kSlotNaCO3, 0, -1, 0, 0, 0, -1, 0, -1, 1},
    {kSlotNaBicarbonate, -2, -1, 0, 0, -1, -2, 0, 0, 0},
    {kSlotHenry, 0, 0, 0, 0, 0, 0, 0, 0, 0},
};

TEST_F(EngineTest, EachModelCorrectsEachSlotByItsOwnCoefficients) {
    ComputeConstants(18, Engine.KTHERM);
    const TConstantTable K = Engine.KTHERM;
    const double I = 0.06;
    const auto [f1, f2] = DiluteActivity(I);
    ApplyDiluteActivity(K, I, 18);
    const TConstantTable dilute = Engine.KACT;
    const TIonPairCoefficients g = IonPairActivity(I);
    Engine.KACT = K;
    ApplyIonPairCoefficients(K, g);
    const TConstantTable ionPair = Engine.KACT;
    for (const auto& row : kActivitySlotRows) {
        SCOPED_TRACE("slot " + std::to_string(row.Slot));
        const double k = K[row.Slot];
        EXPECT_TRUE(RelativelyNear(dilute[row.Slot], k * std::pow(f1, row.F1) * std::pow(f2, row.F2), 1e-12));
        const double pairs = std::pow(g.Ca, row.Ca) * std::pow(g.Mg, row.Mg) * std::pow(g.SO4, row.SO4) *
                             std::pow(g.Na, row.Na) * std::pow(g.OH, row.OH) * std::pow(g.CO3, row.CO3) *
                             std::pow(g.HCO3, row.HCO3);
        EXPECT_TRUE(RelativelyNear(ionPair[row.Slot], k * pairs, 1e-12));
    }
}

TEST(Units, HydrogenActivityOfPh) {
    EXPECT_TRUE(RelativelyNear(HydrogenActivity(7.0), 1e-4, 1e-13));
    EXPECT_TRUE(RelativelyNear(HydrogenActivity(2.0), 10, 1e-13));
    EXPECT_NEAR(PhOfActivity(HydrogenActivity(8.25)), 8.25, 1e-12);
}

TEST_F(EngineTest, ReportEngineRoundTripReturnsTheAnalysis) {
    double alk = 100, totc = 100, ca = 120, mg = 30, na = 46, so4 = 96, cl = 70.906;
    ToEngineUnits(alk, totc, ca, mg, na, so4, cl);
    EXPECT_DOUBLE_EQ(alk, 2);
    EXPECT_DOUBLE_EQ(totc, 2);
    EXPECT_DOUBLE_EQ(ca, 1.2);
    EXPECT_DOUBLE_EQ(mg, 0.3);
    EXPECT_DOUBLE_EQ(na, 2);
    EXPECT_DOUBLE_EQ(so4, 1);
    EXPECT_DOUBLE_EQ(cl, 2);
    auto& E = Engine;
    E.ALKF = alk, E.ACIF = 3, E.CAF = ca, E.MGF = mg, E.NAF = na, E.SO4F = so4, E.CLF = cl;
    ToReportUnits();
    EXPECT_DOUBLE_EQ(E.ALKF, 100);
    EXPECT_DOUBLE_EQ(E.ACIF, 150);
    EXPECT_DOUBLE_EQ(E.CAF, 120);
    EXPECT_DOUBLE_EQ(E.MGF, 30);
    EXPECT_DOUBLE_EQ(E.NAF, 46);
    EXPECT_DOUBLE_EQ(E.SO4F, 96);
    EXPECT_DOUBLE_EQ(E.CLF, 70.906);
}

TEST(Units, Tds1000AndConductivity15625AreIonicStrength0025) {
    EXPECT_DOUBLE_EQ(IonicStrengthFromTds(1000), 0.025);
    EXPECT_DOUBLE_EQ(IonicStrengthFromConductivity(156.25), 0.025);
    EXPECT_DOUBLE_EQ(TdsFromIonicStrength(0.025), 1000);
    EXPECT_DOUBLE_EQ(ConductivityFromIonicStrength(0.025), 156.25);
}

} // namespace
