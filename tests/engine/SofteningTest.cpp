// Softening: the lowest calcium lime can reach, lime and soda ash to a calcium, lime to a
// magnesium, and both to a calcium and a magnesium.

#include "CONSDEC.h"
#include "CalculationRanges.h"
#include "DETPAR.h"
#include "EngineFacade.h"
#include "EngineTestSupport.h"
#include "SofteningTasks.h"
#include "WATCHEM.h"

#include <cmath>
#include <string>

namespace {

struct TLimits {
    double CAMIN = 0, ALKMIN = 0, ACIMIN = 0, HMIN = 0, LIMEINV = 0;
};

TLimits Limits(const TWaterDataset& dataset) {
    TLimits l;
    GetSofteningCaLimits(dataset, l.CAMIN, l.ALKMIN, l.ACIMIN, l.HMIN, l.LIMEINV);
    return l;
}

// A dosage run's outputs, with sentinels that show whether the facade wrote them.
struct TDosageRun {
    double Dosage = -12345;
    std::string Units = "untouched", Type = "untouched";
    TResultPtr Result;
};

TDosageRun Lime(const TWaterDataset& dataset, double calcium) {
    TDosageRun run;
    run.Result = RunSofteningCaLime(dataset, run.Dosage, run.Units, run.Type, calcium);
    return run;
}
TDosageRun SodaAsh(const TWaterDataset& dataset, double calcium) {
    TDosageRun run;
    run.Result = RunSofteningCaSodaAsh(dataset, run.Dosage, run.Units, run.Type, calcium);
    return run;
}
TDosageRun Magnesium(const TWaterDataset& dataset, double magnesium) {
    TDosageRun run;
    run.Result = RunSofteningMg(dataset, run.Dosage, run.Units, run.Type, magnesium);
    return run;
}

// The untreated water's own figures (engine units).
struct TOwnWater {
    double ALK, ACI, MU;
};
TOwnWater Own(const TWaterDataset& dataset) {
    ResetEngine();
    LoadDataset(dataset);
    return {Engine.ALK, Engine.ACI, Engine.MU};
}

// The default water with more alkalinity and magnesium: magnesium hydroxide saturates before the
// bicarbonate falls to the hydroxide.
TWater MagnesiumRichWater(double alkalinity = 300) {
    TWater w;
    w.Mg = 1000;
    w.Alk = alkalinity;
    return w;
}

// ---- The lowest calcium lime can reach ----

struct TLimitsRow {
    const char* Name;
    TWater Water;
    bool MagnesiumHydroxideFirst;
};

const TLimitsRow kLimitsRows[] = {
    {"DrinkingWater", TWater{}, false},
    {"HardWater",
     [] {
         TWater w;
         w.Ca = 300;
         return w;
     }(),
     false},
    {"MagnesiumRich", MagnesiumRichWater(), true},
    {"MagnesiumRichLowAlkalinity", MagnesiumRichWater(120), true},
    {"Brackish", BrackishWater(), false},
};

class SofteningLimits : public EngineTest, public ::testing::WithParamInterface<TLimitsRow> {};

TEST_P(SofteningLimits, KeepTheLimeInvariantAndRoundTheLowestCalciumUp) {
    const TLimitsRow& row = GetParam();
    const TWaterDataset dataset = row.Water.Dataset();
    const TOwnWater own = Own(dataset);
    const TLimits l = Limits(dataset);

    EXPECT_DOUBLE_EQ(l.LIMEINV, own.ALK - 2 * row.Water.Ca / Units::kCalcium);
    EXPECT_EQ(l.CAMIN, std::trunc(l.CAMIN)) << "a whole number of mg/l as Ca";
    // Lime keeps Alk - 2*Ca: the lowest calcium is (ALKMIN - LIMEINV) / 2 within the search's
    // 0.001 mmol/l, and CAMIN lies above it by at most 1 mg/l as Ca.
    const double lowestAsCa = (l.ALKMIN - l.LIMEINV) / 2 * 40;
    EXPECT_GT(l.CAMIN, lowestAsCa - 0.02);
    EXPECT_LE(l.CAMIN, lowestAsCa + 1 + 0.02);
    EXPECT_LT(l.CAMIN * Units::kCalcium / Units::kCalciumAsCa, row.Water.Ca)
        << "the lowest calcium lies below the water's own";

    const double pHMIN = PhOfActivity(l.HMIN);
    EXPECT_GT(pHMIN, 9);
    EXPECT_LT(pHMIN, 11.5);
    if (row.MagnesiumHydroxideFirst) {
        EXPECT_GT(l.ACIMIN, 0);
        // The acidity of the saturated water at HMIN: carbonate species and water at that pH.
        EXPECT_NEAR(l.ACIMIN, AcidityFromAlkalinity(l.ALKMIN, pHMIN), 0.01);
    } else {
        EXPECT_EQ(l.ACIMIN, 0);
        // Bicarbonate equals hydroxide at HMIN: ALKMIN = 2*c3 + 2*oh - hc with c3 = K2*oh/h (the
        // constants of the search's last pass are still in force).
        const auto& E = Engine;
        const double oh = E.KW / l.HMIN;
        const double c3 = E.K2 * oh / l.HMIN;
        EXPECT_TRUE(RelativelyNear(l.ALKMIN, 2 * c3 + 2 * oh - l.HMIN / E.FM, 1e-12));
    }
}

INSTANTIATE_TEST_SUITE_P(Waters, SofteningLimits, ::testing::ValuesIn(kLimitsRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EngineTest, MagnesiumHydroxideSaturationSetsTheLowestCalciumPh) {
    // With magnesium hydroxide reached first, HMIN is the pH at which the water's magnesium just
    // saturates with it: the same for any alkalinity, and below the pH where bicarbonate equals
    // hydroxide in the same water with little magnesium.
    const TLimits rich = Limits(MagnesiumRichWater(300).Dataset());
    const TLimits richHighAlkalinity = Limits(MagnesiumRichWater(600).Dataset());
    EXPECT_DOUBLE_EQ(rich.HMIN, richHighAlkalinity.HMIN);
    TWater poor = MagnesiumRichWater(300);
    poor.Mg = 30;
    const TLimits l = Limits(poor.Dataset());
    EXPECT_EQ(l.ACIMIN, 0);
    EXPECT_LT(PhOfActivity(rich.HMIN), PhOfActivity(l.HMIN));

    // At HMIN the free magnesium of the untreated water is saturated: KACT[12] = Mg * oh^2.
    ResetEngine();
    LoadDataset(MagnesiumRichWater(300).Dataset());
    const auto& E = Engine;
    const double oh = E.KW / rich.HMIN;
    EXPECT_TRUE(RelativelyNear(E.KACT[kSlotMgOH2], E.MG / E.FMG * oh * oh, 1e-9));
}

struct TCaminRow {
    double LowestAsCa; // mg/l as Ca
    double CAMIN;
};

TEST(SofteningCamin, IsTheNextWholeNumberAboveTheLowestCalcium) {
    const TCaminRow rows[] = {{12.0, 13}, {12.5, 13}, {12.999, 13}, {13.0, 14}, {11.9999, 12}, {0, 1}};
    for (const TCaminRow& row : rows) {
        SCOPED_TRACE(row.LowestAsCa);
        EXPECT_EQ(CaminOfLowestCalcium(row.LowestAsCa / Units::kCalciumAsCa), row.CAMIN);
    }
}

TEST_F(EngineTest, LimitsSurviveResetEngineAndAreReplacedByTheNextQuery) {
    const TWaterDataset hard = [] {
        TWater w;
        w.Ca = 300;
        return w.Dataset();
    }();
    const TLimits l = Limits(hard);
    ResetEngine();
    EXPECT_EQ(Facade.Limits.CAMIN, l.CAMIN);
    EXPECT_EQ(Facade.Limits.HMIN, l.HMIN);
    EXPECT_TRUE(Facade.Limits.Stored);
    const TLimits other = Limits(TWater{}.Dataset());
    EXPECT_NE(other.CAMIN, l.CAMIN);
    EXPECT_EQ(Facade.Limits.CAMIN, other.CAMIN);
}

// ---- Calcium softening with lime ----

TEST_F(EngineTest, LimeAtTheShownMinimumReportsTheLowestCalciumPointWithItsOwnIonicStrength) {
    // A brackish water, whose ionic strength follows its calcium: a run with another target
    // leaves another ionic strength behind, which the minimum must not report.
    const TWater w = BrackishWater();
    const TWaterDataset dataset = w.Dataset();
    const TOwnWater own = Own(dataset);
    const TLimits l = Limits(dataset);
    const double MUMIN = Engine.MHUF;
    const double minimum = CalculationRanges::MinimumLimeCalcium(l.CAMIN);

    const TDosageRun before = Lime(dataset, (minimum + w.Ca) / 2);
    ASSERT_GT(std::fabs(before.Result->MHUF - MUMIN), 1e-4) << "the runs must differ in ionic strength";

    const TDosageRun run = Lime(dataset, minimum);
    const TCalculationResult& r = *run.Result;
    EXPECT_DOUBLE_EQ(r.PHF, PhOfActivity(l.HMIN));
    EXPECT_DOUBLE_EQ(r.ALKF, l.ALKMIN * Units::kAlkalinity);
    EXPECT_DOUBLE_EQ(r.ACIF, l.ACIMIN * Units::kAcidity);
    EXPECT_DOUBLE_EQ(r.CAF, minimum);
    EXPECT_EQ(r.MHUF, MUMIN);
    EXPECT_DOUBLE_EQ(r.TDSF, MUMIN / Units::kTdsToIonicStrength);
    EXPECT_DOUBLE_EQ(r.CONF, MUMIN / Units::kConductivityToIonicStrength);
    EXPECT_EQ(r.CPPF, 0);
    EXPECT_TRUE(RelativelyNear(run.Dosage, (own.ACI - l.ACIMIN) / 2 * 74, 1e-12));
    EXPECT_EQ(run.Units, "mg/l as Ca(OH)2");
    EXPECT_EQ(run.Type, "Lime");
}

TEST_F(EngineTest, LimeAboveTheMinimumKeepsTheInvariantAndIsSaturatedWithCalcite) {
    const TWater w;
    const TWaterDataset dataset = w.Dataset();
    const TOwnWater own = Own(dataset);
    const TLimits l = Limits(dataset);
    const double target = 60;
    const TDosageRun run = Lime(dataset, target);
    const TCalculationResult& r = *run.Result;

    EXPECT_DOUBLE_EQ(r.CAF, target);
    EXPECT_DOUBLE_EQ(r.MGF, w.Mg);
    EXPECT_DOUBLE_EQ(r.NAF, w.Na);
    EXPECT_DOUBLE_EQ(r.SO4F, w.SO4);
    EXPECT_DOUBLE_EQ(r.CLF, w.Cl);
    EXPECT_EQ(r.TF, w.T);
    EXPECT_EQ(r.CPPF, 0);
    EXPECT_EQ(r.WATCHAR, w.WATCHAR);
    EXPECT_EQ(r.CARBSYSORDER, w.CARBSYSORDER);
    // Alk - 2*Ca is kept (the hydrogen-ion and bisulphate terms aside, negligible at this pH).
    EXPECT_NEAR(r.ALKF / Units::kAlkalinity - 2 * r.CAF / Units::kCalcium, l.LIMEINV, 1e-4);
    // One mmol of lime takes two mmol of acidity; 74 mg Ca(OH)2 per mmol.
    EXPECT_TRUE(RelativelyNear(run.Dosage, (own.ACI - r.ACIF / Units::kAcidity) / 2 * 74, 1e-12));
    EXPECT_GT(r.PHF, w.pH);
}

// The treated water's precipitation potential with the constants of its own composition: zero,
// within what the potential's search resolves (0.001 mmol/l of Alk - 2*Ca), for a water that the
// task left saturated with calcite.
double PotentialWithItsOwnConstants(const TWaterDataset& dataset, const TCalculationResult& r) {
    ResetEngine();
    LoadDataset(dataset);
    double mu = r.MHUF;
    RefreshConstants(r.CAF / Units::kCalcium, r.MGF / Units::kMagnesium, r.NAF / Units::kSodium,
                     r.SO4F / Units::kSulphate, r.CLF / Units::kChloride, mu, r.TF);
    return PrecipitationPotential(r.PHF, r.ALKF / Units::kAlkalinity, r.CAF / Units::kCalcium,
                                  r.ACIF / Units::kAcidity);
}
constexpr double kSaturatedPotential = 0.05; // mg/l as CaCO3

// A hard dilute water with much sulphate: a fifth of its calcium is paired with sulphate, so the
// lime task must take the carbonate from the free calcium of the target (CAF / FCA), not from the
// free calcium that the ion pairing left for the dilute model (FCA is 1 there).
TWater SulphateRichWater() {
    TWater w;
    w.pH = 7.0;
    w.T = 35;
    w.Na = 150;
    w.Mg = 200;
    w.Ca = 400;
    w.SO4 = 300;
    w.Cl = 250;
    w.Cond = 120;
    w.Alk = 350;
    return w;
}

struct TSaturationRow {
    const char* Name;
    TWater Water;
};
const TSaturationRow kLimeSaturationRows[] = {
    {"DrinkingWater", TWater{}},
    {"SulphateRich", SulphateRichWater()},
    {"Brackish", BrackishWater()},
};

class LimeSaturation : public EngineTest, public ::testing::WithParamInterface<TSaturationRow> {};

TEST_P(LimeSaturation, LeavesTheWaterSaturatedWithCalciteAtEveryTarget) {
    const TWater& w = GetParam().Water;
    const TWaterDataset dataset = w.Dataset();
    const double minimum = CalculationRanges::MinimumLimeCalcium(Limits(dataset).CAMIN);
    for (const double share : {0.01, 0.25, 0.5, 1.0}) {
        const double target = minimum + share * (w.Ca - minimum);
        SCOPED_TRACE(target);
        const TDosageRun run = Lime(dataset, target);
        EXPECT_EQ(run.Result->CPPF, 0);
        EXPECT_NEAR(PotentialWithItsOwnConstants(dataset, *run.Result), 0, kSaturatedPotential);
    }
}

INSTANTIATE_TEST_SUITE_P(Waters, LimeSaturation, ::testing::ValuesIn(kLimeSaturationRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EngineTest, LimeBelowTheMinimumIsRefusedAndGivesNoDosage) {
    // Without the refusal this reported the flag 9999.9999 * 74 mg/l as a lime dosage.
    const TWaterDataset dataset = TWater{}.Dataset();
    const TLimits l = Limits(dataset);
    const double minimum = CalculationRanges::MinimumLimeCalcium(l.CAMIN);
    TDosageRun run;
    const std::string message = EngineErrorOf(
        [&] { run.Result = RunSofteningCaLime(dataset, run.Dosage, run.Units, run.Type, minimum - 0.01); });
    EXPECT_NE(message.find("below the lowest calcium lime can reach"), std::string::npos) << message;
    EXPECT_NE(message.find("7.49 mg/l as CaCO3"), std::string::npos) << message;
    EXPECT_NE(message.find("7.5 mg/l as CaCO3"), std::string::npos) << message;
    EXPECT_EQ(run.Dosage, -12345);
    EXPECT_EQ(run.Units, "untouched");
    EXPECT_EQ(run.Result, nullptr);
}

TEST_F(EngineTest, LimeWithANegativeDiscriminantIsAnErrorNotAFlagDosage) {
    // Limits that let a target below the truly reachable calcium through: the alkalinity balance
    // has no real root there. Without the check the flag 8888.8888 preceded an invalid square root.
    const TWaterDataset dataset = TWater{}.Dataset();
    Limits(dataset);
    TSofteningLimits limits = Facade.Limits;
    limits.CAMIN = 0;
    const double belowReachable = (limits.ALKMIN - limits.LIMEINV) / 2 * Units::kCalcium * 0.8;
    ResetEngine();
    LoadDataset(dataset);
    const std::string message = EngineErrorOf([&] { SoftenCaLime(belowReachable, limits); });
    EXPECT_NE(message.find("negative discriminant"), std::string::npos) << message;
}

TEST_F(EngineTest, LimeNeedsTheLimitsOfTheSameWater) {
    const TWaterDataset dataset = TWater{}.Dataset();
    const std::string before = EngineErrorOf([&] { Lime(dataset, 60); });
    EXPECT_NE(before.find("has not been computed for this water"), std::string::npos) << before;

    TWater other;
    other.Ca = 300;
    Limits(other.Dataset());
    EXPECT_EQ(EngineErrorOf([&] { Lime(dataset, 60); }), before);

    Limits(dataset);
    EXPECT_EQ(EngineErrorOf([&] { Lime(dataset, 60); }), "");
}

// ---- Calcium softening with soda ash ----

class SodaAshSoftening : public EngineTest, public ::testing::WithParamInterface<TWater> {};

TEST_P(SodaAshSoftening, RaisesSodiumByTheSodaAshAndKeepsTheAcidity) {
    const TWater& w = GetParam();
    const TWaterDataset dataset = w.Dataset();
    const TOwnWater own = Own(dataset);
    const double target = w.Ca / 2;
    const TDosageRun run = SodaAsh(dataset, target);
    const TCalculationResult& r = *run.Result;

    EXPECT_EQ(run.Units, "mg/l as Na2CO3");
    EXPECT_EQ(run.Type, "Soda ash");
    EXPECT_GT(run.Dosage, 0);
    EXPECT_DOUBLE_EQ(r.CAF, target);
    EXPECT_DOUBLE_EQ(r.ACIF, own.ACI * Units::kAcidity);
    // Two sodium per Na2CO3: 46 mg Na for 106 mg soda ash.
    EXPECT_TRUE(RelativelyNear(r.NAF - w.Na, run.Dosage * 46 / 106, 1e-9));
    // The carbonate added beyond Alk - 2*Ca is the soda ash (one mmol of it per mmol).
    EXPECT_TRUE(RelativelyNear(run.Dosage / 106,
                               ((r.ALKF / Units::kAlkalinity - 2 * target / Units::kCalcium) -
                                (own.ALK - 2 * w.Ca / Units::kCalcium)) /
                                   2,
                               1e-9));
    EXPECT_DOUBLE_EQ(r.MGF, w.Mg);
    EXPECT_EQ(r.TF, w.T);
    EXPECT_DOUBLE_EQ(r.TDSF, r.MHUF / Units::kTdsToIonicStrength);
    // The treated water is computed as saturated; its potential, computed, is near zero.
    EXPECT_NE(r.CPPF, 0);
    EXPECT_NEAR(r.CPPF, 0, 0.5);
}

INSTANTIATE_TEST_SUITE_P(Waters, SodaAshSoftening,
                         ::testing::Values(
                             TWater{},
                             [] {
                                 TWater w;
                                 w.SO4 = 0;
                                 return w;
                             }(),
                             BrackishWater()));

TEST_F(EngineTest, SodaAshWithoutSulphateLeavesAPotentialOfAlmostZero) {
    TWater w;
    w.SO4 = 0;
    EXPECT_NEAR(SodaAsh(w.Dataset(), 60).Result->CPPF, 0, 0.05);
}

// Soda ash takes the carbonate in equilibrium with the target calcium's free part, total / FCA, as
// the precipitation potential counts it. It took the sulphate-paired free calcium that the
// constants refresh leaves, which in the dilute model (FCA = 1) is less: the water came out
// supersaturated (up to 11 mg/l as CaCO3) and the dosage 4 to 8 % high.
const TSaturationRow kSodaAshSaturationRows[] = {
    {"DrinkingWater", TWater{}},
    {"SulphateRich", SulphateRichWater()},
    {"Brackish", BrackishWater()},
    {"BrackishWithoutSulphate",
     [] {
         TWater w = BrackishWater();
         w.SO4 = 0;
         return w;
     }()},
};

class SodaAshSaturation : public EngineTest, public ::testing::WithParamInterface<TSaturationRow> {};

TEST_P(SodaAshSaturation, LeavesTheWaterSaturatedWithCalciteAtEveryTarget) {
    const TWater& w = GetParam().Water;
    const TWaterDataset dataset = w.Dataset();
    for (const double share : {0.05, 0.25, 0.5, 0.9}) {
        const double target = share * w.Ca;
        SCOPED_TRACE(target);
        const TDosageRun run = SodaAsh(dataset, target);
        // The potential of the task's own constants, refreshed for the target calcium before the
        // soda ash's sodium is added (which in a brackish water moves it by a few tenths).
        EXPECT_NEAR(run.Result->CPPF, 0, kSaturatedPotential);
    }
}

INSTANTIATE_TEST_SUITE_P(Waters, SodaAshSaturation, ::testing::ValuesIn(kSodaAshSaturationRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EngineTest, SodaAshForASulphateRichWaterDosesOnlyTheCarbonateThatSaturatesIt) {
    // Calcium 400 and sulphate 300 softened to 200 mg/l as CaCO3: 185.77 mg/l Na2CO3, where the
    // paired free calcium gave 201.03 and left a potential of 10.26 mg/l as CaCO3.
    const TDosageRun run = SodaAsh(SulphateRichWater().Dataset(), 200);
    EXPECT_NEAR(run.Dosage, 185.77, 0.01);
    EXPECT_NEAR(run.Result->CPPF, 0, kSaturatedPotential);
}

// ---- Magnesium softening and combined softening ----

TEST_F(EngineTest, MagnesiumSofteningDosesOneLimePerMagnesiumRemoved) {
    const TWater w = MagnesiumRichWater();
    const TWaterDataset dataset = w.Dataset();
    const TOwnWater own = Own(dataset);
    for (const double target : {100.0, 500.0, 900.0}) {
        SCOPED_TRACE(target);
        const TDosageRun run = Magnesium(dataset, target);
        const TCalculationResult& r = *run.Result;
        EXPECT_EQ(run.Units, "mg/l as Ca(OH)2");
        EXPECT_EQ(run.Type, "Lime");
        EXPECT_DOUBLE_EQ(r.MGF, target);
        const double removed = (w.Mg - target) / Units::kMagnesium; // mmol/l of Mg(OH)2
        EXPECT_TRUE(
            RelativelyNear(run.Dosage / 74, (own.ACI - r.ACIF / Units::kAcidity) / 2 + removed, 1e-9));
        // Lime's calcium replaces the magnesium that precipitates as hydroxide, and calcite
        // precipitates: Alk - 2*Ca - 2*Mg is kept.
        EXPECT_NEAR(
            (r.ALKF / Units::kAlkalinity - 2 * r.CAF / Units::kCalcium - 2 * r.MGF / Units::kMagnesium) -
                (own.ALK - 2 * w.Ca / Units::kCalcium - 2 * w.Mg / Units::kMagnesium),
            0, 0.002);
        EXPECT_EQ(r.CPPF, 0);
        EXPECT_DOUBLE_EQ(r.NAF, w.Na);
    }
}

// The calcite saturation at the magnesium hydroxide pH is searched twice, the second time with the
// constants of the first pass's calcium: for a brackish water, whose constants follow its
// composition, one search alone leaves the water off saturation by several tenths of a mg/l.
const TSaturationRow kMagnesiumSaturationRows[] = {
    {"MagnesiumRich", MagnesiumRichWater()},
    {"Brackish", BrackishWater()},
};

class MagnesiumSaturation : public EngineTest, public ::testing::WithParamInterface<TSaturationRow> {};

TEST_P(MagnesiumSaturation, LeavesTheWaterSaturatedWithCalciteByItsOwnConstants) {
    const TWater& w = GetParam().Water;
    const TWaterDataset dataset = w.Dataset();
    for (const double share : {1.0 / 6, 0.5, 5.0 / 6}) {
        const double target = share * w.Mg;
        SCOPED_TRACE(target);
        const TDosageRun run = Magnesium(dataset, target);
        EXPECT_NEAR(PotentialWithItsOwnConstants(dataset, *run.Result), 0, kSaturatedPotential);
    }
}

INSTANTIATE_TEST_SUITE_P(Waters, MagnesiumSaturation, ::testing::ValuesIn(kMagnesiumSaturationRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EngineTest, LessMagnesiumNeedsMoreLimeAndAHigherPh) {
    const TWaterDataset dataset = MagnesiumRichWater().Dataset();
    const TDosageRun less = Magnesium(dataset, 100);
    const TDosageRun more = Magnesium(dataset, 500);
    EXPECT_GT(less.Dosage, more.Dosage);
    EXPECT_GT(less.Result->PHF, more.Result->PHF);
}

TEST_F(EngineTest, CombinedSofteningAboveTheSaturationCalciumReturnsANegativeSodaAsh) {
    const TWater w;
    const TWaterDataset dataset = w.Dataset();
    struct TRow {
        double Calcium;
        bool NegativeAsh;
    };
    // At the magnesium hydroxide pH lime alone leaves little calcium: a target of 99 of the water's
    // 100 mg/l as CaCO3 lies above it.
    for (const TRow row : {TRow{20, false}, TRow{99, true}}) {
        SCOPED_TRACE(row.Calcium);
        double lime = 0, ash = 0;
        const TResultPtr r = RunSofteningCaMg(dataset, lime, ash, row.Calcium, 15);
        EXPECT_GT(lime, 0);
        EXPECT_EQ(ash < 0, row.NegativeAsh) << ash;
        EXPECT_DOUBLE_EQ(r->CAF, row.Calcium);
        EXPECT_DOUBLE_EQ(r->MGF, 15);
        EXPECT_TRUE(RelativelyNear(r->NAF - w.Na, ash * 46 / 106, 1e-9));
        EXPECT_EQ(r->CPPF, 0);
    }
}

TEST_F(EngineTest, CombinedLimeEqualsMagnesiumSofteningLimeAtTheSameMagnesium) {
    // Both saturate the same water at the magnesium hydroxide pH; only the calcium target of the
    // combined softening moves the constants a little.
    const TWaterDataset dataset = TWater{}.Dataset();
    const TDosageRun mg = Magnesium(dataset, 15);
    double lime = 0, ash = 0;
    const TResultPtr r = RunSofteningCaMg(dataset, lime, ash, 60, 15);
    EXPECT_NEAR(lime, mg.Dosage, 0.5);
    EXPECT_NEAR(r->PHF, mg.Result->PHF, 0.01);
}

TEST_F(EngineTest, ZeroFreeMagnesiumIsADivisionByZero) {
    const TWaterDataset dataset = TWater{}.Dataset();
    TDosageRun run;
    EXPECT_EQ(EngineErrorOf([&] { run = Magnesium(dataset, 0); }), "Floating point division by zero");
    EXPECT_EQ(run.Dosage, -12345);
    double lime = 1, ash = 2;
    EXPECT_EQ(EngineErrorOf([&] { RunSofteningCaMg(dataset, lime, ash, 60, 0); }),
              "Floating point division by zero");
    EXPECT_EQ(lime, 1);
    EXPECT_EQ(ash, 2);
}

} // namespace
