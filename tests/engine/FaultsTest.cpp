// Floating-point faults become errors with their fixed texts, and searches that cannot finish
// end with an error instead of running forever.

#include "CONSDEC.h"
#include "DETPAR.h"
#include "EngineFacade.h"
#include "EngineTestSupport.h"
#include "FloatingPointFaults.h"
#include "StepSearch.h"
#include "WATCHEM.h"

#include <limits>
#include <string>

namespace {

const std::string kDivision = "Floating point division by zero";
const std::string kInvalid = "Invalid floating point operation";
const std::string kOverflow = "Floating point overflow";
const std::string kNotConverged = "The calculation did not converge.";

const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Faults, LogarithmsPowersAndRootsOfNonPositiveBasesAreInvalid) {
    EXPECT_EQ(EngineErrorOf([] { Log10(0); }), kInvalid);
    EXPECT_EQ(EngineErrorOf([] { Log10(-1); }), kInvalid);
    EXPECT_EQ(EngineErrorOf([] { Log10(kNaN); }), kInvalid);
    EXPECT_EQ(EngineErrorOf([] { PowerOf(0, 0.5); }), kInvalid);
    EXPECT_EQ(EngineErrorOf([] { PowerOf(-4, 0.5); }), kInvalid);
    EXPECT_EQ(EngineErrorOf([] { PowerOf(10, kNaN); }), kInvalid);
    EXPECT_EQ(EngineErrorOf([] { SquareRoot(-1e-300); }), kInvalid);
    EXPECT_EQ(SquareRoot(0), 0);
}

TEST(Faults, APowerTooLargeForADoubleIsAnOverflow) {
    EXPECT_EQ(EngineErrorOf([] { PowerOf(10, 309); }), kOverflow);
    EXPECT_EQ(EngineErrorOf([] { RequireFinite(std::numeric_limits<double>::infinity()); }), kOverflow);
}

TEST(Faults, ArithmeticFaultsAreReadFromTheFlagsWithTheDivisionFirst) {
    ClearFloatingPointFaults();
    volatile double zero = 0;
    volatile double inf = 1 / zero;  // division by zero
    volatile double nan = inf - inf; // then an invalid operation
    (void)nan;
    EXPECT_EQ(EngineErrorOf([] { RaiseFloatingPointFaults(); }), kDivision);
    EXPECT_EQ(EngineErrorOf([] { RaiseFloatingPointFaults(); }), ""); // raising clears them

    volatile double big = 1e308;
    volatile double bigger = big * 10;
    (void)bigger;
    EXPECT_EQ(EngineErrorOf([] { RaiseFloatingPointFaults(); }), kOverflow);
    volatile double root = std::sqrt(-static_cast<double>(big));
    (void)root;
    EXPECT_EQ(EngineErrorOf([] { RaiseFloatingPointFaults(); }), kInvalid);
}

// Where h^2 = K1*K2 bicarbonate-referenced acidity fixes no alkalinity.
TEST_F(EngineTest, Hco3AcidityAtItsSingularPhIsADivisionByZero) {
    Engine.FM = 1;
    Engine.KW = 1e-8;
    const double pH = 8.3;
    const double h = HydrogenActivity(pH);
    Engine.K1 = h; // then 2*K2/h + 1 = 2*h/K1 + 1 = 3 exactly
    Engine.K2 = h;
    EXPECT_EQ(EngineErrorOf([&] { AlkalinityFromHco3Acidity(0.5, pH); }), kDivision);
}

TEST(StepSearchGuards, ADiscontinuousMismatchEndsAsNotConverged) {
    // Jumps from +1 to -1 at x = 1: never within 0.001 of zero.
    EXPECT_EQ(EngineErrorOf([] { StepSearch(10.0, [](double x) { return x < 1 ? 1.0 : -1.0; }); }),
              kNotConverged);
}

TEST(StepSearchGuards, AMismatchThatNeverTurnsPositiveEndsAsNotConverged) {
    ClearFloatingPointFaults();
    EXPECT_EQ(EngineErrorOf([] { StepSearch(10.0, [](double) { return -1.0; }); }), kNotConverged);
}

TEST(StepSearchGuards, ANaNMismatchEndsAsInvalidNotAsALoop) {
    ClearFloatingPointFaults();
    EXPECT_EQ(EngineErrorOf([] {
                  StepSearch(10.0, [](double x) {
                      volatile double q = kNaN;
                      return x < 5 ? static_cast<double>(q) : -1.0;
                  });
              }),
              kInvalid);
}

TEST(StepSearchGuards, AConvergentSearchFindsItsRoot) {
    ClearFloatingPointFaults();
    int evaluations = 0;
    const double x = StepSearch(10.0, [&](double x) {
        ++evaluations;
        return 3.7 - x; // falls as x rises
    });
    EXPECT_NEAR(x, 3.7, 0.001);
    EXPECT_LT(evaluations, 200);
}

TEST(StepSearchGuards, AnExactZeroAfterTheDescentStopsAtOnce) {
    ClearFloatingPointFaults();
    int evaluations = 0;
    const double x = StepSearch(0.0, [&](double) {
        ++evaluations;
        return 0.0;
    });
    EXPECT_EQ(x, 0);
    EXPECT_EQ(evaluations, 1);
}

// Through the facade: the error comes out, and the data set is not written back.
struct TFaultRow {
    const char* Name;
    TWater Water;
    std::string Message;
};

TWater WithTemperature(double T) {
    TWater w;
    w.T = T;
    return w;
}

const TFaultRow kFaultRows[] = {
    {"AbsoluteZeroTemperature", WithTemperature(-273.15), kDivision}, // 1 / Tk
    {"PhOfMinus400", WithPh(-400), kOverflow},                        // h = 10^403
    {"NaNPh", WithPh(kNaN), kInvalid},
    {"PressureOf1E308", WithPressure(1e308), kOverflow}, // bicarbonate beyond a Double
};

class FacadeFaults : public EngineTest, public ::testing::WithParamInterface<TFaultRow> {};

TEST_P(FacadeFaults, CharacterisationRaisesTheFaultAndLeavesTheDataSet) {
    const TFaultRow& row = GetParam();
    TWaterDataset dataset = row.Water.Dataset();
    const TWaterDataset before = dataset;
    double potential = -1, tds = -1, conductivity = -1, mu = -1, co3 = -1;
    EXPECT_EQ(EngineErrorOf([&] { CharacteriseWater(dataset, potential, tds, conductivity, mu, co3); }),
              row.Message);
    EXPECT_EQ(dataset.Alkalinity(), before.Alkalinity());
    EXPECT_EQ(dataset.Acidity(), before.Acidity());
    EXPECT_EQ(dataset.Calcium(), before.Calcium());
    EXPECT_EQ(potential, -1);
}

INSTANTIATE_TEST_SUITE_P(Waters, FacadeFaults, ::testing::ValuesIn(kFaultRows),
                         [](const auto& info) { return std::string(info.param.Name); });

// A negative HCO3 acidity at pH 7.8 makes a brackish water of alkalinity -758 mmol/l, whose
// potential mismatch leaps by more than the tolerance between neighbouring Doubles of h. Without the
// guard this search never ended. The facade now refuses that water before any search (it has a
// negative total carbonate species), so the engine's own search is run on it here.
TEST_F(EngineTest, APotentialThatCannotBeResolvedEndsAsNotConverged) {
    TWater w = BrackishWater();
    w.CARBSYSORDER = 1;
    w.Aci = -12;
    DefineWater(w.WATCHAR, w.CARBSYSORDER, w.pH, w.T, w.Na, w.Mg, w.Ca, w.Cl, w.SO4, w.TDS, w.Cond, w.Mu,
                w.Alk, w.Aci, w.TotC, w.PCO2);
    const auto& E = Engine;
    EXPECT_EQ(EngineErrorOf([&] { PrecipitationPotential(E.PH, E.ALK, E.CA, E.ACI); }), kNotConverged);
}

TEST_F(EngineTest, AFaultLeftOverFromBeforeAnOperationIsNotBlamedOnIt) {
    volatile double zero = 0;
    volatile double inf = 1 / zero;
    (void)inf;
    TWaterDataset dataset = TWater{}.Dataset();
    double potential, tds, conductivity, mu, co3;
    EXPECT_EQ(EngineErrorOf([&] { CharacteriseWater(dataset, potential, tds, conductivity, mu, co3); }), "");
}

TEST_F(EngineTest, PressureOfAResultAtAbsoluteZeroIsADivisionByZero) {
    TCalculationResult water;
    water.TF = -273.15;
    water.PHF = 7;
    EXPECT_EQ(EngineErrorOf([&] { PressureCO2OfResult(water); }), kDivision);
}

} // namespace
