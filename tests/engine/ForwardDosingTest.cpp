// Forward dosing: the inverse of pH adjustment over every chemical and a table of waters, dose 0,
// and dose-response curves with their gaps.

#include "CONSDEC.h"
#include "EngineFacade.h"
#include "EngineTestSupport.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

// A poorly buffered soft water: little alkalinity and calcium, few ions.
TWater PoorlyBufferedWater() {
    TWater w;
    w.pH = 6.8;
    w.T = 10;
    w.Na = 8;
    w.Mg = 5;
    w.Ca = 15;
    w.SO4 = 10;
    w.Cl = 12;
    w.Cond = 8;
    w.Alk = 12;
    return w;
}

// A very dilute water given by its TDS (not the shared DiluteWater, the drinking water).
TWater TdsDiluteWater() {
    TWater w = PoorlyBufferedWater();
    w.pH = 7.2;
    w.T = 20;
    w.WATCHAR = 0;
    w.TDS = 40;
    w.Alk = 25;
    w.Ca = 20;
    return w;
}

struct TWaterRow {
    const char* Name;
    TWater Water;
};

const TWaterRow kWaters[] = {
    {"dilute", TdsDiluteWater()},
    {"drinking", TWater{}},
    {"brackish", BrackishWater()},
    {"poorly buffered", PoorlyBufferedWater()},
};

const char* const kChemicalNames[] = {
    "CO2", "lime", "soda ash", "caustic soda", "hydrochloric acid", "bicarbonate of soda"};

// pH steps per chemical, from the water's own pH: the way the chemical moves the pH (a positive
// dosage) and the wrong way (a negative one, the chemical taken out). Bicarbonate of soda moves
// the pH only toward the pH where h^2 = K1*K2 (about 8.3; in the brackish water below its own pH),
// so its steps are fractions of the way to that pH.
struct TStepRow {
    int Chemical;
    double Step;
};
const TStepRow kSteps[] = {
    {0, -0.8}, {0, 0.2},  {1, 1.5},  {1, -0.3}, {2, 1.0}, {2, -0.3},
    {3, 1.7},  {3, -0.3}, {4, -1.2}, {4, 0.3},  {5, 0.5}, {5, -0.3},
};

std::vector<double> CurveDoses(const std::vector<TDosingCurvePoint>& curve) {
    std::vector<double> doses;
    for (const auto& p : curve)
        doses.push_back(p.Dose);
    return doses;
}

class ForwardDosingTest : public EngineTest {};

// Dosing the amount that pH adjustment finds for a target pH gives that pH within the scan's
// resolution (the scan lands 0.01 to 0.02 above the exact pH), and the same water otherwise.
TEST_F(ForwardDosingTest, DosingTheAdjustmentsDosageReachesItsTargetPh) {
    for (const TWaterRow& water : kWaters) {
        for (const TStepRow& step : kSteps) {
            double target = water.Water.pH + step.Step;
            if (step.Chemical == 5) {
                RawOf(water.Water); // loads the water's constants
                const double limitPh = PhOfActivity(std::sqrt(Engine.K1 * Engine.K2));
                target = water.Water.pH + step.Step * (limitPh - water.Water.pH);
            }
            SCOPED_TRACE(std::string(water.Name) + " water, " + kChemicalNames[step.Chemical] + " to pH " +
                         std::to_string(target));
            double dosage = 0;
            std::string units, type, note1, note2;
            const TResultPtr inverse = RunPhAdjustment(water.Water.Dataset(), step.Chemical, target, dosage,
                                                       units, type, note1, note2);
            const bool acid = step.Chemical == 0 || step.Chemical == 4;
            EXPECT_EQ(dosage > 0, (acid ? -step.Step : step.Step) > 0);

            const TResultPtr forward = RunForwardDosing(water.Water.Dataset(), step.Chemical, dosage);
            EXPECT_GE(forward->PHF, target - 1e-9);
            EXPECT_LE(forward->PHF, target + 0.02 + 1e-9);
            EXPECT_TRUE(RelativelyNear(forward->ALKF, inverse->ALKF, 1e-12));
            EXPECT_TRUE(RelativelyNear(forward->ACIF, inverse->ACIF, 1e-12));
            EXPECT_TRUE(RelativelyNear(forward->CAF, inverse->CAF, 1e-12));
            EXPECT_TRUE(RelativelyNear(forward->NAF, inverse->NAF, 1e-12));
            EXPECT_TRUE(RelativelyNear(forward->CLF, inverse->CLF, 1e-12));
            EXPECT_DOUBLE_EQ(forward->MGF, inverse->MGF);
            EXPECT_DOUBLE_EQ(forward->SO4F, inverse->SO4F);
            EXPECT_DOUBLE_EQ(forward->MHUF, inverse->MHUF);
            EXPECT_DOUBLE_EQ(forward->TDSF, inverse->TDSF);
            EXPECT_DOUBLE_EQ(forward->TF, inverse->TF);
            // The potential depends on alkalinity, acidity and calcium only.
            EXPECT_NEAR(forward->CPPF, inverse->CPPF, 1e-6);
            EXPECT_EQ(DosingChemicalTexts(step.Chemical).Units, units);
            EXPECT_EQ(DosingChemicalTexts(step.Chemical).Type, type);
        }
    }
}

// Stabilisation's dosage, dosed forward, gives a water whose own potential is the desired one:
// the end point it worked back from. What remains is the searches' tolerance (0.001 mmol/l) and
// the hydrogen-ion term that the CO2 and strong-acid closed forms leave out.
TEST_F(ForwardDosingTest, DosingTheStabilisationsDosageGivesTheDesiredPotential) {
    for (const TWaterRow& water : {kWaters[1], kWaters[2]}) {
        for (int chemical = 0; chemical < 5; ++chemical) {
            for (double desired : {-5.0, 0.0, 3.0}) {
                SCOPED_TRACE(std::string(water.Name) + " water, " + kChemicalNames[chemical] + " to " +
                             std::to_string(desired) + " mg/l as CaCO3");
                double dosage = 0;
                std::string units, type, note1, note2;
                const TResultPtr inverse = RunStabilisation(water.Water.Dataset(), chemical, desired, dosage,
                                                            units, type, note1, note2);
                const TResultPtr forward = RunForwardDosing(water.Water.Dataset(), chemical, dosage);
                EXPECT_NEAR(forward->CPPF, desired, 0.2);
                EXPECT_NEAR(forward->ALKF, inverse->ALKF, 0.2);
                EXPECT_NEAR(forward->PHF, inverse->PHF, 0.02 + 1e-9);
            }
        }
    }
}

TEST_F(ForwardDosingTest, DoseZeroGivesTheWaterItself) {
    for (const TWaterRow& water : kWaters) {
        const TRaw raw = RawOf(water.Water);
        const double potential = OwnPotential(water.Water);
        for (int chemical = 0; chemical < 6; ++chemical) {
            SCOPED_TRACE(std::string(water.Name) + " water, " + kChemicalNames[chemical]);
            const TResultPtr r = RunForwardDosing(water.Water.Dataset(), chemical, 0);
            EXPECT_NEAR(r->ALKF, raw.ALK, 1e-9);
            EXPECT_NEAR(r->ACIF, raw.ACI, 1e-9);
            EXPECT_NEAR(r->CAF, raw.CA, 1e-9);
            EXPECT_NEAR(r->MGF, raw.MG, 1e-9);
            EXPECT_NEAR(r->NAF, raw.NA, 1e-9);
            EXPECT_NEAR(r->SO4F, raw.SO4, 1e-9);
            EXPECT_NEAR(r->CLF, raw.CL, 1e-9);
            EXPECT_EQ(r->MHUF, raw.MU);
            EXPECT_GE(r->PHF, water.Water.pH - 1e-9);
            EXPECT_LE(r->PHF, water.Water.pH + 0.02 + 1e-9);
            EXPECT_NEAR(r->CPPF, potential, 1e-9);
        }
    }
}

// Each chemical's composition change per mg/l: 44 mg of CO2, 74 of lime, 106 of soda ash, 40 of
// caustic soda, 36 of hydrochloric acid and 84 of bicarbonate of soda per mmol.
TEST_F(ForwardDosingTest, EachChemicalChangesTheWaterByItsStoichiometry) {
    struct TRow {
        int Chemical;
        double MgPerMmol;
        double Alkalinity, Acidity, Calcium, Sodium, Chloride; // mmol/l per mmol/l of chemical
    };
    const TRow rows[] = {
        {0, 44, 0, 2, 0, 0, 0},  {1, 74, 2, -2, 1, 0, 0}, {2, 106, 2, 0, 0, 2, 0},
        {3, 40, 1, -1, 0, 1, 0}, {4, 36, -1, 1, 0, 0, 1}, {5, 84, 1, 1, 0, 1, 0},
    };
    const TWater w;
    const TRaw raw = RawOf(w);
    for (const TRow& row : rows) {
        SCOPED_TRACE(kChemicalNames[row.Chemical]);
        const double D = 0.5; // mmol/l
        const TResultPtr r = RunForwardDosing(w.Dataset(), row.Chemical, D * row.MgPerMmol);
        EXPECT_NEAR(r->ALKF, raw.ALK + row.Alkalinity * D * 50, 1e-9);
        EXPECT_NEAR(r->ACIF, raw.ACI + row.Acidity * D * 50, 1e-9);
        EXPECT_NEAR(r->CAF, raw.CA + row.Calcium * D * 100, 1e-9);
        EXPECT_NEAR(r->NAF, raw.NA + row.Sodium * D * 23, 1e-9);
        EXPECT_NEAR(r->CLF, raw.CL + row.Chloride * D * 35.453, 1e-9);
    }
}

// Each point of a curve is the forward dosing of its dose: the water loaded once and restored per
// point gives what a fresh load gives.
TEST_F(ForwardDosingTest, CurvePointsAreTheForwardDosingOfTheirDoses) {
    for (const TWaterRow& water : {kWaters[1], kWaters[2]}) {
        for (int chemical = 0; chemical < 6; ++chemical) {
            SCOPED_TRACE(std::string(water.Name) + " water, " + kChemicalNames[chemical]);
            const auto curve = RunDosingCurve(water.Water.Dataset(), chemical, 30, 11);
            ASSERT_EQ(curve.size(), 11u);
            for (std::size_t i = 0; i < curve.size(); ++i) {
                EXPECT_DOUBLE_EQ(curve[i].Dose, 3.0 * static_cast<double>(i));
                ASSERT_TRUE(curve[i].Result) << curve[i].Error;
                EXPECT_EQ(curve[i].Error, "");
                const TResultPtr single = RunForwardDosing(water.Water.Dataset(), chemical, curve[i].Dose);
                EXPECT_EQ(curve[i].Result->PHF, single->PHF);
                EXPECT_EQ(curve[i].Result->ALKF, single->ALKF);
                EXPECT_EQ(curve[i].Result->ACIF, single->ACIF);
                EXPECT_EQ(curve[i].Result->CPPF, single->CPPF);
                EXPECT_EQ(curve[i].Result->WATCHAR, water.Water.WATCHAR);
            }
            // Acids lower the pH, bases and bicarbonate raise it (within the scan's grid).
            const bool acid = chemical == 0 || chemical == 4;
            for (std::size_t i = 1; i < curve.size(); ++i) {
                if (acid) {
                    EXPECT_LE(curve[i].Result->PHF, curve[i - 1].Result->PHF + 1e-9);
                } else {
                    EXPECT_GE(curve[i].Result->PHF, curve[i - 1].Result->PHF - 1e-9);
                }
            }
        }
    }
}

// Hydrochloric acid far beyond the alkalinity takes the dilute water below pH 0 and caustic soda
// takes it above pH 14: those points are gaps with the reason, the points before them are present
// and the curve runs to its end.
TEST_F(ForwardDosingTest, ACurveThroughImpossibleWatersHasGapsWithTheirMessages) {
    struct TRow {
        int Chemical;
        double LargestDose;
        const char* Message;
    };
    const TRow rows[] = {
        {4, 80000, "outside 0 to 14"},
        {3, 80000, "outside 0 to 14"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(kChemicalNames[row.Chemical]);
        const auto curve = RunDosingCurve(TdsDiluteWater().Dataset(), row.Chemical, row.LargestDose, 41);
        ASSERT_EQ(curve.size(), 41u);
        EXPECT_EQ(curve.back().Dose, row.LargestDose);
        std::size_t firstGap = curve.size();
        for (std::size_t i = 0; i < curve.size(); ++i) {
            SCOPED_TRACE("dose " + std::to_string(curve[i].Dose));
            EXPECT_EQ(curve[i].Result == nullptr, !curve[i].Error.empty());
            if (!curve[i].Result && firstGap == curve.size()) firstGap = i;
            if (i > firstGap) {
                EXPECT_FALSE(curve[i].Result) << "the pH goes back within 0 to 14";
            }
        }
        ASSERT_GT(firstGap, 1u);
        ASSERT_LT(firstGap, curve.size());
        EXPECT_NE(curve[firstGap].Error.find("The dosed water cannot exist"), std::string::npos)
            << curve[firstGap].Error;
        EXPECT_NE(curve[firstGap].Error.find(row.Message), std::string::npos) << curve[firstGap].Error;
        EXPECT_NE(curve[firstGap].Error.find(DosingChemicalTexts(row.Chemical).Units), std::string::npos);
        // The last present point is inside the range, and forward dosing alone refuses the gap's dose.
        const double lastPh = curve[firstGap - 1].Result->PHF;
        EXPECT_TRUE(lastPh >= 0 && lastPh <= 14) << lastPh;
        EXPECT_EQ(EngineErrorOf([&] {
                      RunForwardDosing(TdsDiluteWater().Dataset(), row.Chemical, curve[firstGap].Dose);
                  }),
                  curve[firstGap].Error);
    }
}

// Taking out more CO2 than the water holds leaves a negative total carbonate.
TEST_F(ForwardDosingTest, TakingOutMoreCarbonateThanTheWaterHoldsIsRefused) {
    const std::string message = EngineErrorOf([] { RunForwardDosing(TWater{}.Dataset(), 0, -500); });
    EXPECT_NE(message.find("The dosed water cannot exist: -500.00 mg/l as CO2 leaves a total carbonate "
                           "species of -"),
              std::string::npos)
        << message;
}

TEST_F(ForwardDosingTest, RefusesAnUnknownChemicalAndTooFewPoints) {
    EXPECT_EQ(EngineErrorOf([] { RunForwardDosing(TWater{}.Dataset(), 6, 1); }),
              "Unknown chemical index 6 for forward dosing; expected 0 to 5.");
    EXPECT_EQ(EngineErrorOf([] { RunDosingCurve(TWater{}.Dataset(), -1, 10, 11); }),
              "Unknown chemical index -1 for forward dosing; expected 0 to 5.");
    EXPECT_EQ(EngineErrorOf([] { RunDosingCurve(TWater{}.Dataset(), 1, 10, 1); }),
              "A dosing curve needs at least 2 points; 1 were asked.");
    EXPECT_EQ(CurveDoses(RunDosingCurve(TWater{}.Dataset(), 1, 10, 2)), (std::vector<double>{0, 10}));
}

// Each point carries the indices of its own run: equal to WaterIndicesOfResult right after
// RunForwardDosing of its dose, and SI of the sign of the point's potential. Before the curve
// filled them, asking WaterIndicesOfResult per point after the whole curve gave every point but
// the last constants refreshed at its own ions: in the brackish water (beyond the dilute limit)
// the lime curve's SI moved by up to 0.015.
TEST_F(ForwardDosingTest, CurvePointsCarryTheIndicesOfTheirOwnRun) {
    for (const TWaterRow& water : kWaters) {
        for (int chemical = 0; chemical < 6; ++chemical) {
            SCOPED_TRACE(std::string(water.Name) + " water, " + kChemicalNames[chemical]);
            const auto curve = RunDosingCurve(water.Water.Dataset(), chemical, 60, 31);
            bool crossesSaturation = false;
            for (const TDosingCurvePoint& point : curve) {
                SCOPED_TRACE("dose " + std::to_string(point.Dose));
                ASSERT_TRUE(point.Result) << point.Error;
                const TResultPtr single = RunForwardDosing(water.Water.Dataset(), chemical, point.Dose);
                const TWaterIndices expected = WaterIndicesOfResult(*single);
                const TWaterIndices& got = point.Indices;
                for (const auto& [g, e] : {std::pair{&got.SaturationIndex, &expected.SaturationIndex},
                                           std::pair{&got.SaturationPh, &expected.SaturationPh},
                                           std::pair{&got.LangelierIndex, &expected.LangelierIndex},
                                           std::pair{&got.RyznarIndex, &expected.RyznarIndex},
                                           std::pair{&got.LarsonSkoldIndex, &expected.LarsonSkoldIndex},
                                           std::pair{&got.AggressiveIndex, &expected.AggressiveIndex}}) {
                    ASSERT_EQ(g->has_value(), e->has_value());
                    if (*g) {
                        EXPECT_NEAR(**g, **e, 1e-9);
                    }
                }
                ASSERT_TRUE(got.SaturationIndex);
                const double SI = *got.SaturationIndex, CPPF = point.Result->CPPF;
                EXPECT_FALSE((SI > 0 && CPPF < 0) || (SI < 0 && CPPF > 0))
                    << "SI " << SI << ", CPPF " << CPPF;
                if ((CPPF > 0) != (curve.front().Result->CPPF > 0)) crossesSaturation = true;
            }
            // The sign check means something: the lime curves of the aggressive waters cross zero.
            if (chemical == 1 && curve.front().Result->CPPF < 0) {
                EXPECT_TRUE(crossesSaturation);
            }
        }
    }
}

// A gap carries no indices.
TEST_F(ForwardDosingTest, AGapCarriesNoIndices) {
    const auto curve = RunDosingCurve(kWaters[0].Water.Dataset(), 4, 80000, 11);
    ASSERT_FALSE(curve.back().Result);
    EXPECT_FALSE(curve.back().Indices.SaturationIndex);
    EXPECT_FALSE(curve.back().Indices.LangelierIndex);
    ASSERT_TRUE(curve.front().Result);
    EXPECT_TRUE(curve.front().Indices.SaturationIndex);
}

} // namespace
