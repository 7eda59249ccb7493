// Scaling and corrosion indices: they agree with the precipitation potential, the saturation pH is
// where the water saturates, the indices built on it follow exactly, undefined indices are empty,
// and the readings change at their thresholds.

#include "WaterIndices.h"
#include "EngineFacade.h"
#include "EngineTestSupport.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

int SignOf(double x) {
    return (x > 0) - (x < 0);
}

// The default drinking water and the brackish one (the two activity models), with and without
// sulphate, at 5 and 60 degrees Celsius, each over a range of pH that runs from aggressive to
// scale-forming.
struct TIndexRow {
    std::string Name;
    TWater Water;
};

std::vector<TIndexRow> SignRows() {
    std::vector<TIndexRow> rows;
    for (const bool brackish : {false, true})
        for (const bool sulphate : {true, false})
            for (const double T : {5.0, 60.0})
                for (const double pH : {6.5, 7.0, 7.3, 7.6, 8.0, 8.5, 9.5}) {
                    TWater w = brackish ? BrackishWater() : TWater{};
                    if (!sulphate) w.SO4 = 0;
                    w.T = T;
                    w.pH = pH;
                    std::string name = std::string(brackish ? "Brackish" : "Dilute") +
                                       (sulphate ? "WithSulphate" : "WithoutSulphate") + "At" +
                                       std::to_string(static_cast<int>(T)) + "CpH" +
                                       std::to_string(static_cast<int>(std::lround(pH * 10)));
                    rows.push_back({name, w});
                }
    return rows;
}

class IndexAgreement : public EngineTest, public ::testing::WithParamInterface<TIndexRow> {};

TEST_P(IndexAgreement, TheSaturationIndexHasThePotentialsSign) {
    const TWater& w = GetParam().Water;
    const double potential = OwnPotential(w);
    const TWaterIndices indices = WaterIndicesOfDataset(w.Dataset());
    ASSERT_TRUE(indices.SaturationIndex.has_value());
    SCOPED_TRACE("potential " + std::to_string(potential) + ", SI " +
                 std::to_string(*indices.SaturationIndex));
    EXPECT_EQ(SignOf(*indices.SaturationIndex), SignOf(potential));
    // The Langelier index says the same on the carbonate side of the saturation pH.
    ASSERT_TRUE(indices.LangelierIndex.has_value());
    if (std::fabs(*indices.SaturationIndex) > 0.01) {
        EXPECT_EQ(SignOf(*indices.LangelierIndex), SignOf(*indices.SaturationIndex));
    }
}

// The same water's treated forms: each result's indices agree with the potential it reports.
TEST_P(IndexAgreement, TheSaturationIndexOfEveryTreatedWaterHasItsPotentialsSign) {
    const TWaterDataset dataset = GetParam().Water.Dataset();
    std::vector<TResultPtr> results;
    double dosage = 0;
    std::string units, type, note1, note2;
    results.push_back(RunTemperatureChange(dataset, 35));
    results.push_back(RunConcentrationChange(dataset, 40));
    results.push_back(RunPhAdjustment(dataset, 2, 9.0, dosage, units, type, note1, note2));
    results.push_back(RunPhAdjustment(dataset, 4, 6.8, dosage, units, type, note1, note2));
    results.push_back(RunSofteningCaSodaAsh(dataset, dosage, units, type, dataset.Calcium() / 2));
    double co2 = 0;
    std::string text;
    results.push_back(RunAirEquilibrium(dataset, co2, text, 0.00035));
    TWaterDataset other = TWater{}.Dataset();
    other.SetFraction(30);
    TWaterDataset self = dataset;
    self.SetFraction(70);
    results.push_back(RunBlendMultiple({&self, &other}));
    for (std::size_t i = 0; i < results.size(); ++i) {
        const TCalculationResult& r = *results[i];
        const TWaterIndices indices = WaterIndicesOfResult(r);
        SCOPED_TRACE("result " + std::to_string(i) + ", potential " + std::to_string(r.CPPF));
        ASSERT_TRUE(indices.SaturationIndex.has_value());
        EXPECT_EQ(SignOf(*indices.SaturationIndex), SignOf(r.CPPF)) << *indices.SaturationIndex;
    }
}

INSTANTIATE_TEST_SUITE_P(Waters, IndexAgreement, ::testing::ValuesIn(SignRows()),
                         [](const auto& info) { return info.param.Name; });

// Lime softening reports its water as saturated (a potential of exactly 0): so does the index.
TEST_F(EngineTest, ALimeSoftenedWaterHasASaturationIndexOfZero) {
    const TWaterDataset dataset = TWater{}.Dataset();
    double a, b, c, e, f;
    GetSofteningCaLimits(dataset, a, b, c, e, f);
    double dosage;
    std::string units, type;
    const TResultPtr r = RunSofteningCaLime(dataset, dosage, units, type, 60);
    ASSERT_EQ(r->CPPF, 0);
    EXPECT_EQ(WaterIndicesOfResult(*r).SaturationIndex, 0.0);
}

// CO2 stabilisation to a potential of 0 ends where the water is saturated: there the index is 0
// and the pH is the saturation pH (within the 0.01 pH grid of the engine's scans).
class StabilisedWaters : public EngineTest, public ::testing::WithParamInterface<TIndexRow> {};

TEST_P(StabilisedWaters, AreSaturatedAtTheirSaturationPh) {
    const TWater& w = GetParam().Water;
    double dosage = 0;
    std::string units, type, note1, note2;
    const TResultPtr r = RunStabilisation(w.Dataset(), 0, 0, dosage, units, type, note1, note2);
    const TWaterIndices indices = WaterIndicesOfResult(*r);
    ASSERT_TRUE(indices.SaturationIndex && indices.SaturationPh);
    EXPECT_LT(std::fabs(*indices.SaturationIndex), 0.005);
    EXPECT_LE(std::fabs(r->PHF - *indices.SaturationPh), 0.02) << "pH " << r->PHF;
}

INSTANTIATE_TEST_SUITE_P(Waters, StabilisedWaters,
                         ::testing::Values(TIndexRow{"ScaleFormingDrinkingWater", WithPh(8.2)},
                                           TIndexRow{"AggressiveDrinkingWater", WithPh(7.0)},
                                           TIndexRow{"Brackish", BrackishWater()},
                                           TIndexRow{"BrackishAggressive", At(BrackishWater(), 6.8)},
                                           TIndexRow{"Hot",
                                                     [] {
                                                         TWater w = WithPh(7.6);
                                                         w.T = 60;
                                                         return w;
                                                     }()}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(EngineTest, TheSaturationPhIsTheBracketedRootAndLangelierAndRyznarFollowFromIt) {
    for (const TWater& w : {TWater{}, WithPh(8.4), BrackishWater(), At(BrackishWater(), 6.9)}) {
        SCOPED_TRACE(w.pH);
        const TWaterIndices indices = WaterIndicesOfDataset(w.Dataset());
        ASSERT_TRUE(indices.SaturationPh && indices.LangelierIndex && indices.RyznarIndex);
        const double pHs = *indices.SaturationPh;
        EXPECT_EQ(*indices.LangelierIndex, w.pH - pHs);
        EXPECT_EQ(*indices.RyznarIndex, 2 * pHs - w.pH);
        // The loaded water's constants are still in force: the saturation index changes sign
        // within the search's tolerance either side of pHs.
        const auto& E = Engine;
        const double half = kSaturationPhTolerance / 2;
        EXPECT_LT(*SaturationIndexAtPh(pHs - half - 1e-9, E.ALK, E.CA), 0);
        EXPECT_GT(*SaturationIndexAtPh(pHs + half + 1e-9, E.ALK, E.CA), 0);
    }
}

// The saturation pH by the plain search over the whole range, bracketed between pH 0 and the
// carbonate ion's peak and closed by the Illinois form of false position to the same tolerance: the
// reference the seeded search must agree with.
std::optional<double> WholeRangeSaturationPh(double alkalinity, double calcium) {
    if (!(calcium > 0) || !(alkalinity > 0)) return std::nullopt;
    double a = kSaturationPhLowest;
    double b = std::clamp(CarbonateIonPeakPh(alkalinity), kSaturationPhLowest, kSaturationPhHighest);
    const std::optional<double> lo = SaturationIndexAtPh(a, alkalinity, calcium);
    const std::optional<double> hi = SaturationIndexAtPh(b, alkalinity, calcium);
    if (!lo || !hi || *lo > 0 || *hi < 0) return std::nullopt;
    if (*lo == 0) return a;
    if (*hi == 0) return b;
    double fa = *lo, fb = *hi;
    int kept = 0, evaluations = 2;
    while (b - a > kSaturationPhTolerance) {
        if (++evaluations > kSaturationPhEvaluationCap) return std::nullopt;
        double c = b - fb * (b - a) / (fb - fa);
        if (!(c > a && c < b)) c = (a + b) / 2;
        const double fc = *SaturationIndexAtPh(c, alkalinity, calcium);
        if (fc == 0) return c;
        if (fc < 0) {
            a = c, fa = fc;
            if (kept == +1) fb /= 2;
            kept = +1;
        } else {
            b = c, fb = fc;
            if (kept == -1) fa /= 2;
            kept = -1;
        }
    }
    return (a + b) / 2;
}

// 20,000 waters drawn from a fixed seed over the whole range a data set accepts (soft to brackish,
// 0 to 95 degrees Celsius, both activity models): the seeded search finds a saturation pH exactly
// where the whole-range one does, within its tolerance of it, and the closed form's guess is
// itself that close wherever the search starts from it.
TEST_F(EngineTest, TheSeededSaturationPhSearchAgreesWithTheWholeRangeSearch) {
    std::mt19937 random(1214);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    auto logUniform = [&](double lo, double hi) { return std::exp(uniform(std::log(lo), std::log(hi))); };
    int compared = 0, saturating = 0, unsaturable = 0;
    for (int i = 0; i < 20000; ++i) {
        TWater w;
        w.pH = uniform(5.5, 10.5);
        w.T = uniform(0, 95);
        w.Na = logUniform(0.5, 5000);
        w.Mg = logUniform(0.5, 2000);
        w.Ca = logUniform(0.2, 2500);
        w.SO4 = logUniform(0.5, 3000);
        w.Cl = logUniform(0.5, 8000);
        w.Cond = logUniform(1, 1500);
        w.Alk = logUniform(0.2, 1000);
        SCOPED_TRACE("water " + std::to_string(i) + ": pH " + std::to_string(w.pH) + ", " +
                     std::to_string(w.T) + " C, Ca " + std::to_string(w.Ca) + ", Alk " +
                     std::to_string(w.Alk) + ", Cond " + std::to_string(w.Cond));
        TWaterIndices indices;
        try {
            indices = WaterIndicesOfDataset(w.Dataset());
        } catch (const TEngineError&) {
            continue; // a water that cannot exist
        }
        ++compared;
        // The loaded water's constants are still in force.
        const auto& E = Engine;
        const std::optional<double> reference = WholeRangeSaturationPh(E.ALK, E.CA);
        ASSERT_EQ(indices.SaturationPh.has_value(), reference.has_value());
        if (!reference) {
            ++unsaturable;
            continue;
        }
        ++saturating;
        EXPECT_NEAR(*indices.SaturationPh, *reference, kSaturationPhTolerance);
        const std::optional<double> guess = SaturationPhEstimate(E.ALK, E.CA);
        ASSERT_TRUE(guess);
        EXPECT_NEAR(*guess, *reference, kSaturationPhTolerance);
    }
    // The draw covers saturating waters and ones that no pH saturates.
    EXPECT_GT(compared, 15000);
    EXPECT_GT(saturating, 5000);
    EXPECT_GT(unsaturable, 1000);
}

// Hand figures at pH 7.5, where hydroxide and hydrogen ion are negligible beside 120 mg/l of
// alkalinity: Larson-Skold (60 / 35.453 + 2 * 40 / 96) / (120 / 50) = 1.0524, aggressive index
// 7.5 + log10(120 * 100) = 11.5792.
TEST_F(EngineTest, LarsonSkoldAndAggressiveIndicesOfADrinkingWater) {
    const TWaterIndices indices = WaterIndicesOfDataset(TWater{}.Dataset());
    ASSERT_TRUE(indices.LarsonSkoldIndex && indices.AggressiveIndex);
    EXPECT_NEAR(*indices.LarsonSkoldIndex, (60 / 35.453 + 2 * 40.0 / 96) / (120.0 / 50), 2e-4);
    EXPECT_NEAR(*indices.AggressiveIndex, 7.5 + std::log10(120.0 * 100), 1e-12);
    EXPECT_EQ(LarsonSkoldReading(*indices.LarsonSkoldIndex), "moderate");
    EXPECT_EQ(AggressiveIndexReading(*indices.AggressiveIndex), "moderately aggressive");
}

TEST_F(EngineTest, ACalciumFreeWaterHasOnlyItsLarsonSkoldIndex) {
    TWater w;
    w.Ca = 0;
    const TWaterIndices indices = WaterIndicesOfDataset(w.Dataset());
    EXPECT_FALSE(indices.SaturationIndex);
    EXPECT_FALSE(indices.SaturationPh);
    EXPECT_FALSE(indices.LangelierIndex);
    EXPECT_FALSE(indices.RyznarIndex);
    EXPECT_FALSE(indices.AggressiveIndex);
    EXPECT_TRUE(indices.LarsonSkoldIndex);
}

TEST_F(EngineTest, ACarbonateFreeWaterHasNoCarbonateIndices) {
    TWater w;
    w.pH = 7.0;
    w.CARBSYSORDER = 2;
    w.TotC = 0;
    const TWaterIndices indices = WaterIndicesOfDataset(w.Dataset());
    EXPECT_FALSE(indices.SaturationIndex);
    EXPECT_FALSE(indices.LarsonSkoldIndex);
    // At pH 7 its alkalinity, hydroxide less hydrogen ion, is not above zero either.
    EXPECT_FALSE(indices.SaturationPh);
    EXPECT_FALSE(indices.AggressiveIndex);
}

// A soft hot water whose carbonate ion, with CO2 taken out, peaks near pH 8.3 and only just
// saturates there: its saturation pH lies in a window narrower than a pH unit, which a search
// bracketing by whole pH units stepped over (no index at all for one water in two hundred).
TEST_F(EngineTest, ASoftHotWaterThatSaturatesOnlyNearItsCarbonatePeakHasASaturationPh) {
    TWater w;
    w.T = 70;
    w.Ca = 400;
    w.Alk = 4.5;
    const TWaterIndices indices = WaterIndicesOfDataset(w.Dataset());
    ASSERT_TRUE(indices.SaturationPh);
    const auto& E = Engine;
    const double peak = CarbonateIonPeakPh(E.ALK);
    EXPECT_LT(*indices.SaturationPh, peak);
    EXPECT_GT(*indices.SaturationPh, peak - 1);
    EXPECT_NEAR(*SaturationIndexAtPh(*indices.SaturationPh, E.ALK, E.CA), 0, 1e-3);
    // With less alkalinity even the peak stays undersaturated.
    w.Alk = 3.5;
    EXPECT_FALSE(WaterIndicesOfDataset(w.Dataset()).SaturationPh);
}

TEST_F(EngineTest, AVerySoftWaterThatNoPhSaturatesHasNoSaturationPh) {
    TWater w;
    w.Ca = 1;
    w.Alk = 1;
    w.pH = 7;
    const TWaterIndices indices = WaterIndicesOfDataset(w.Dataset());
    ASSERT_TRUE(indices.SaturationIndex);
    EXPECT_LT(*indices.SaturationIndex, -2);
    EXPECT_FALSE(indices.SaturationPh);
    EXPECT_FALSE(indices.LangelierIndex);
    EXPECT_FALSE(indices.RyznarIndex);
    EXPECT_TRUE(indices.AggressiveIndex);
}

TEST_F(EngineTest, TheCharacterisationWithIndicesGivesBothFromOneLoad) {
    for (const TWater& w : {TWater{}, BrackishWater(), WithPh(8.6)}) {
        SCOPED_TRACE(w.pH);
        TWaterDataset plain = w.Dataset(), withIndices = w.Dataset();
        double p1, t1, c1, m1, a1, p2, t2, c2, m2, a2;
        CharacteriseWater(plain, p1, t1, c1, m1, a1);
        TWaterIndices indices;
        CharacteriseWater(withIndices, p2, t2, c2, m2, a2, indices);
        EXPECT_EQ(p1, p2);
        EXPECT_EQ(a1, a2);
        EXPECT_EQ(plain.Acidity(), withIndices.Acidity());
        const TWaterIndices alone = WaterIndicesOfDataset(w.Dataset());
        EXPECT_EQ(indices.SaturationIndex, alone.SaturationIndex);
        EXPECT_EQ(indices.SaturationPh, alone.SaturationPh);
        EXPECT_EQ(indices.LarsonSkoldIndex, alone.LarsonSkoldIndex);
        EXPECT_EQ(indices.AggressiveIndex, alone.AggressiveIndex);
    }
}

TEST_F(EngineTest, IndicesOfAResultLeaveTheResultAndAreRepeatable) {
    const TResultPtr r = RunTemperatureChange(TWater{}.Dataset(), 40);
    const TCalculationResult before = *r;
    const TWaterIndices first = WaterIndicesOfResult(*r);
    RunTemperatureChange(BrackishWater().Dataset(), 10);
    const TWaterIndices second = WaterIndicesOfResult(*r);
    EXPECT_EQ(first.SaturationIndex, second.SaturationIndex);
    EXPECT_EQ(first.SaturationPh, second.SaturationPh);
    EXPECT_EQ(first.LarsonSkoldIndex, second.LarsonSkoldIndex);
    EXPECT_EQ(r->CPPF, before.CPPF);
    EXPECT_EQ(r->PHF, before.PHF);
}

struct TReadingRow {
    const char* Name;
    std::string (*Reading)(double);
    double Value;
    const char* Expected;
};

const TReadingRow kReadingRows[] = {
    {"SiBelowBalanced", SaturationIndexReading, -0.0501, "aggressive"},
    {"SiAtLowerBound", SaturationIndexReading, -0.05, "balanced"},
    {"SiZero", SaturationIndexReading, 0, "balanced"},
    {"SiAtUpperBound", SaturationIndexReading, 0.05, "balanced"},
    {"SiAboveBalanced", SaturationIndexReading, 0.0501, "scale-forming"},
    {"LsiBelowBalanced", LangelierReading, -0.8, "aggressive"},
    {"LsiAtUpperBound", LangelierReading, 0.05, "balanced"},
    {"LsiAboveBalanced", LangelierReading, 0.3, "scale-forming"},
    {"RsiBelow6", RyznarReading, 5.99, "scale-forming"},
    {"RsiAt6", RyznarReading, 6, "balanced"},
    {"RsiAt7", RyznarReading, 7, "balanced"},
    {"RsiAbove7", RyznarReading, 7.01, "aggressive"},
    {"LarsonSkoldBelow08", LarsonSkoldReading, 0.79, "low"},
    {"LarsonSkoldAt08", LarsonSkoldReading, 0.8, "moderate"},
    {"LarsonSkoldAt12", LarsonSkoldReading, 1.2, "moderate"},
    {"LarsonSkoldAbove12", LarsonSkoldReading, 1.21, "high"},
    {"AiAt12", AggressiveIndexReading, 12, "non-aggressive"},
    {"AiJustBelow12", AggressiveIndexReading, 11.99, "moderately aggressive"},
    {"AiAt10", AggressiveIndexReading, 10, "moderately aggressive"},
    {"AiBelow10", AggressiveIndexReading, 9.99, "highly aggressive"},
};

class Readings : public ::testing::TestWithParam<TReadingRow> {};

TEST_P(Readings, ChangeAtTheirThresholds) {
    const TReadingRow& row = GetParam();
    EXPECT_EQ(row.Reading(row.Value), row.Expected) << row.Value;
}

INSTANTIATE_TEST_SUITE_P(Thresholds, Readings, ::testing::ValuesIn(kReadingRows),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
