// Blending: several waters in given fractions, and two waters to a target pH.

#include "BlendingTasks.h"
#include "CONSDEC.h"
#include "EngineFacade.h"
#include "EngineTestSupport.h"

#include <limits>
#include <string>
#include <vector>

namespace {

TWater WithFraction(TWater w, double fraction) {
    w.Frac = fraction;
    return w;
}

// A softer, more alkaline second water.
TWater SecondWater() {
    TWater w;
    w.pH = 8.5;
    w.Na = 20;
    w.Mg = 10;
    w.Ca = 40;
    w.SO4 = 10;
    w.Cl = 20;
    w.Cond = 20;
    w.Alk = 60;
    return w;
}

TResultPtr BlendMultiple(const std::vector<TWater>& waters) {
    std::vector<TWaterDataset> datasets;
    for (const TWater& w : waters)
        datasets.push_back(w.Dataset());
    std::vector<const TWaterDataset*> list;
    for (const TWaterDataset& d : datasets)
        list.push_back(&d);
    return RunBlendMultiple(list);
}

struct TBlendToPh {
    double Percent1 = -1, Percent2 = -1;
    TResultPtr Result;
};
TBlendToPh BlendToPh(const TWater& w1, const TWater& w2, double targetPh) {
    TBlendToPh b;
    b.Result = RunBlendToPh(w1.Dataset(), w2.Dataset(), b.Percent1, b.Percent2, targetPh);
    return b;
}

void ExpectComposition(const TCalculationResult& r, const TRaw& own, double tolerance) {
    EXPECT_TRUE(RelativelyNear(r.ALKF, own.ALK, tolerance));
    EXPECT_TRUE(RelativelyNear(r.ACIF, own.ACI, tolerance));
    EXPECT_TRUE(RelativelyNear(r.CAF, own.CA, tolerance));
    EXPECT_TRUE(RelativelyNear(r.MGF, own.MG, tolerance));
    EXPECT_TRUE(RelativelyNear(r.NAF, own.NA, tolerance));
    EXPECT_TRUE(RelativelyNear(r.SO4F, own.SO4, tolerance));
    EXPECT_TRUE(RelativelyNear(r.CLF, own.CL, tolerance));
    EXPECT_TRUE(RelativelyNear(r.MHUF, own.MU, tolerance));
}

// ---- Several waters in given fractions ----

struct TIdenticalRow {
    const char* Name;
    TWater Water;
    int Count;
};

const TIdenticalRow kIdenticalRows[] = {
    {"TwoHalves", TWater{}, 2},
    {"FiveFifths", TWater{}, 5},
    {"TwentyBrackish", BrackishWater(), 20},
};

class IdenticalWaters : public EngineTest, public ::testing::WithParamInterface<TIdenticalRow> {};

TEST_P(IdenticalWaters, BlendBackToTheirOwnCompositionWithThePhFromAlkalinityAndAcidity) {
    const TIdenticalRow& row = GetParam();
    const std::vector<TWater> waters(row.Count, WithFraction(row.Water, 100.0 / row.Count));
    const TResultPtr r = BlendMultiple(waters);
    ExpectComposition(*r, RawOf(row.Water), 1e-12);
    EXPECT_NEAR(r->TF, row.Water.T, 1e-12);
    // The pH comes from the pH scan, one grid point past the crossing.
    EXPECT_GE(r->PHF, row.Water.pH + 0.01 - 1e-9);
    EXPECT_LE(r->PHF, row.Water.pH + 0.02 + 1e-9);
    EXPECT_DOUBLE_EQ(r->TDSF, r->MHUF / Units::kTdsToIonicStrength);
    EXPECT_DOUBLE_EQ(r->CONF, r->MHUF / Units::kConductivityToIonicStrength);
    EXPECT_EQ(r->WATCHAR, row.Water.WATCHAR);
}

INSTANTIATE_TEST_SUITE_P(Blends, IdenticalWaters, ::testing::ValuesIn(kIdenticalRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EngineTest, FractionsHundredAndZeroReproduceTheFirstWater) {
    const TWater w1 = WithFraction(TWater{}, 100);
    TWater w2 = WithFraction(SecondWater(), 0);
    w2.WATCHAR = 0; // by TDS
    w2.TDS = 150;
    w2.CARBSYSORDER = 2; // by total carbonate
    w2.TotC = 70;
    const TResultPtr r = BlendMultiple({w1, w2});
    ExpectComposition(*r, RawOf(w1), 1e-12);
    EXPECT_EQ(r->TF, w1.T);
    // The indices are those of the water loaded last.
    EXPECT_EQ(r->WATCHAR, 0);
    EXPECT_EQ(r->CARBSYSORDER, 2);
}

TEST_F(EngineTest, FractionsAreUsedUnnormalised) {
    // The window refuses a sum other than 100; the engine weighs with the fractions as they are.
    const TWater w = TWater{};
    const TRaw own = RawOf(w);
    const TResultPtr r = BlendMultiple({WithFraction(w, 30), WithFraction(w, 30)});
    EXPECT_TRUE(RelativelyNear(r->ALKF, 0.6 * own.ALK, 1e-12));
    EXPECT_TRUE(RelativelyNear(r->CAF, 0.6 * own.CA, 1e-12));
    EXPECT_TRUE(RelativelyNear(r->TF, 0.6 * w.T, 1e-12));
}

TEST_F(EngineTest, BlendIsTheWeightedMixtureOfTwoDifferentWaters) {
    const TWater w1 = WithFraction(TWater{}, 25), w2 = WithFraction(SecondWater(), 75);
    const TRaw o1 = RawOf(w1), o2 = RawOf(w2);
    const TResultPtr r = BlendMultiple({w1, w2});
    EXPECT_TRUE(RelativelyNear(r->ALKF, 0.25 * o1.ALK + 0.75 * o2.ALK, 1e-12));
    EXPECT_TRUE(RelativelyNear(r->ACIF, 0.25 * o1.ACI + 0.75 * o2.ACI, 1e-12));
    EXPECT_TRUE(RelativelyNear(r->NAF, 0.25 * o1.NA + 0.75 * o2.NA, 1e-12));
    EXPECT_TRUE(RelativelyNear(r->MHUF, 0.25 * o1.MU + 0.75 * o2.MU, 1e-12));
    EXPECT_GT(r->PHF, w1.pH);
    EXPECT_LT(r->PHF, w2.pH + 0.02);
}

TEST_F(EngineTest, DifferentTemperaturesGiveTheWeightedTemperatureAndTheLastWatersConstants) {
    TWater cold = WithFraction(TWater{}, 100), warm = WithFraction(SecondWater(), 0);
    cold.T = 10;
    warm.T = 30;
    // Water 1 alone, but its pH computed with the constants at the last water's temperature: the
    // pH differs from the one the water was characterised with.
    const TResultPtr alone = BlendMultiple({cold, warm});
    EXPECT_EQ(alone->TF, 10);
    EXPECT_GT(std::fabs(alone->PHF - (cold.pH + 0.015)), 0.05);
    warm.T = 10;
    const TResultPtr sameTemperature = BlendMultiple({cold, warm});
    EXPECT_GE(sameTemperature->PHF, cold.pH + 0.01 - 1e-9);
    EXPECT_LE(sameTemperature->PHF, cold.pH + 0.02 + 1e-9);

    // Half and half: the order of the waters changes the pH, not the mixture.
    cold.Frac = 50;
    warm.Frac = 50;
    warm.T = 30;
    const TResultPtr coldFirst = BlendMultiple({cold, warm});
    const TResultPtr warmFirst = BlendMultiple({warm, cold});
    EXPECT_DOUBLE_EQ(coldFirst->TF, 20);
    EXPECT_DOUBLE_EQ(warmFirst->TF, 20);
    EXPECT_DOUBLE_EQ(coldFirst->ALKF, warmFirst->ALKF);
    EXPECT_DOUBLE_EQ(coldFirst->ACIF, warmFirst->ACIF);
    EXPECT_GT(std::fabs(coldFirst->PHF - warmFirst->PHF), 0.05);
}

TEST_F(EngineTest, EachComponentsAcidityIsItsOwnAndTheTablesKeepTheirValues) {
    TWater w1 = WithFraction(TWater{}, 40), w2 = WithFraction(BrackishWater(), 60);
    w1.T = 12;
    const TRaw o1 = RawOf(w1), o2 = RawOf(w2);
    BlendMultiple({w1, w2});
    EXPECT_TRUE(RelativelyNear(Engine.BACI[1] * Units::kAcidity, o1.ACI, 1e-12));
    EXPECT_TRUE(RelativelyNear(Engine.BACI[2] * Units::kAcidity, o2.ACI, 1e-12));
    EXPECT_EQ(Engine.BFRAC[1], 40);
    EXPECT_EQ(Engine.BFRAC[2], 60);
    EXPECT_EQ(Engine.BMU[1], o1.MU);
    EXPECT_EQ(Engine.BT[1], 12);
}

TEST_F(EngineTest, MoreThanTwentyWatersOrNoneAreRefused) {
    const std::vector<TWater> twentyOne(21, WithFraction(TWater{}, 100.0 / 21));
    const std::string message = EngineErrorOf([&] { BlendMultiple(twentyOne); });
    EXPECT_EQ(message, "A blend takes 1 to 20 waters; 21 were given.");
    EXPECT_EQ(Facade.Inputs.BlendComponentsLoaded, 0) << "refused before any water is loaded";
    EXPECT_EQ(EngineErrorOf([&] { BlendMultiple({}); }), "A blend takes 1 to 20 waters; 0 were given.");
    const std::vector<TWater> twenty(20, WithFraction(TWater{}, 5));
    EXPECT_EQ(EngineErrorOf([&] { BlendMultiple(twenty); }), "");
}

// ---- Two waters to a target pH ----

TEST_F(EngineTest, IdenticalWatersBlendHalfAndHalfToAnyPh) {
    const TWater w;
    const TRaw own = RawOf(w);
    for (const double target : {3.0, 7.0, 9.5, 12.0}) {
        SCOPED_TRACE(target);
        const TBlendToPh b = BlendToPh(w, w, target);
        EXPECT_EQ(b.Percent1, 50);
        EXPECT_EQ(b.Percent2, 50);
        EXPECT_EQ(b.Result->PHF, target);
        ExpectComposition(*b.Result, own, 1e-12);
    }
}

TEST_F(EngineTest, ATargetAtWaterOnesPhTakesAlmostOnlyWaterOne) {
    const TWater w1 = WithFraction(TWater{}, 0), w2 = SecondWater();
    const TBlendToPh b = BlendToPh(w1, w2, w1.pH);
    EXPECT_NEAR(b.Percent1, 100, 1);
    EXPECT_DOUBLE_EQ(b.Percent1 + b.Percent2, 100);
    EXPECT_EQ(b.Result->PHF, w1.pH);
    const TBlendToPh other = BlendToPh(w1, w2, w2.pH);
    EXPECT_NEAR(other.Percent2, 100, 1);
}

struct TRoundTripRow {
    const char* Name;
    double T1, T2; // degrees Celsius
};

// Both blends compute with the constants at the temperature of the water loaded last, so the
// fractions found for a target pH blend back to that pH whatever the two temperatures.
const TRoundTripRow kRoundTripRows[] = {
    {"OneTemperature", 20, 20},
    {"SecondWaterWarmer", 10, 30},
    {"SecondWaterColder", 30, 10},
};

class BlendToPhRoundTrip : public EngineTest, public ::testing::WithParamInterface<TRoundTripRow> {};

TEST_P(BlendToPhRoundTrip, TheBlendAtTheFoundFractionsHasTheTargetPh) {
    TWater w1 = TWater{}, w2 = SecondWater();
    w1.T = GetParam().T1;
    w2.T = GetParam().T2;
    for (const double target : {7.7, 7.9, 8.1, 8.3}) {
        SCOPED_TRACE(target);
        const TBlendToPh b = BlendToPh(w1, w2, target);
        ASSERT_GT(b.Percent1, 0);
        ASSERT_LT(b.Percent1, 100);
        // Blending the waters in these fractions gives back the target pH, 0.01 to 0.02 above it
        // from the pH scan.
        const TResultPtr check = BlendMultiple({WithFraction(w1, b.Percent1), WithFraction(w2, b.Percent2)});
        EXPECT_GE(check->PHF - target, 0.01 - 0.002);
        EXPECT_LE(check->PHF - target, 0.02 + 0.002);
        EXPECT_TRUE(RelativelyNear(check->ALKF, b.Result->ALKF, 1e-12));
        EXPECT_DOUBLE_EQ(b.Result->TF, (b.Percent1 * w1.T + b.Percent2 * w2.T) / 100);
        EXPECT_NEAR(b.Result->CPPF, check->CPPF, 0.1);
    }
}

INSTANTIATE_TEST_SUITE_P(Temperatures, BlendToPhRoundTrip, ::testing::ValuesIn(kRoundTripRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EngineTest, ATargetOutsideTheWatersRangeGivesAFractionOutsideZeroToHundred) {
    const TWater w1 = TWater{}, w2 = SecondWater();
    const TBlendToPh above = BlendToPh(w1, w2, 8.7);
    EXPECT_LT(above.Percent1, 0);
    EXPECT_GT(above.Percent2, 100);
    EXPECT_DOUBLE_EQ(above.Percent1 + above.Percent2, 100);
    const TBlendToPh below = BlendToPh(w1, w2, 7.4);
    EXPECT_GT(below.Percent1, 100);
}

TEST_F(EngineTest, ATargetThatNeedsNegativeAmountsOfIonsIsAnError) {
    // pH 6 lies so far below both waters that the blend would hold negative calcium; the sulphate
    // pairs of such a "water" have no solution (this ended as "The calculation did not converge.").
    const std::string message = EngineErrorOf([] { BlendToPh(TWater{}, SecondWater(), 6.0); });
    EXPECT_EQ(message.rfind("These two waters cannot be blended to pH 6.00: it would take ", 0), 0u)
        << message;
    EXPECT_NE(message.find("% of water 2, which leaves negative ion concentrations."), std::string::npos)
        << message;
}

TEST_F(EngineTest, AZeroDenominatorOfTheFractionIsADivisionByZero) {
    // Waters whose difference does not change the balance at the target: with P = Q = 1 that is
    // an equal difference in alkalinity and acidity.
    auto& E = Engine;
    E.BALK[1] = 3;
    E.BACI[1] = 4;
    E.BALK[2] = 2;
    E.BACI[2] = 3;
    E.FM = 1;
    E.KW = 1e-8;
    E.K2 = 0;                                       // P = 2 K2/h + 1 = 1
    E.K1 = std::numeric_limits<double>::max() / 10; // Q = 2 h/K1 + 1 = 1
    EXPECT_EQ(EngineErrorOf([] { BlendFractionOfWater1(7); }), "Floating point division by zero");
    E.BACI[2] = 3.5;
    EXPECT_EQ(EngineErrorOf([] { BlendFractionOfWater1(7); }), "");
}

} // namespace
