// pH adjustment: every chemical's invariant and the ion it adds, the dosage in mg/l of the
// chemical, the negative-dosage notes and the refused chemical index.

#include "CONSDEC.h"
#include "DETPAR.h"
#include "DOSTASK.h"
#include "EngineFacade.h"
#include "EngineTestSupport.h"
#include "WATCHEM.h"

#include <string>

namespace {

struct TDosing {
    TResultPtr Result;
    double Dosage = 0;
    std::string Units, Type, Note1 = "kept 1", Note2 = "kept 2";
};

TDosing Adjust(const TWater& w, int chemical, double targetPh) {
    TDosing d;
    d.Result = RunPhAdjustment(w.Dataset(), chemical, targetPh, d.Dosage, d.Units, d.Type, d.Note1, d.Note2);
    return d;
}

const char* const kUnits[] = {"mg/l as CO2",  "mg/l as Ca(OH)2", "mg/l as Na2CO3",
                              "mg/l as NaOH", "mg/l as HCl",     "mg/l as NaHCO3"};
const char* const kTypes[] = {
    "CO2", "Lime", "Soda ash", "Caustic soda", "Hydrochloric acid", "Bicarbonate of soda"};
const double kMolarMass[] = {44, 74, 106, 40, 36, 84}; // mg per mmol of chemical

class OwnPhTarget : public EngineTest, public ::testing::WithParamInterface<int> {};

TEST_P(OwnPhTarget, NeedsNoDosageAndReproducesTheWater) {
    const int chemical = GetParam();
    for (const TWater& w : {TWater{}, BrackishWater()}) {
        SCOPED_TRACE("pH " + std::to_string(w.pH));
        const TRaw raw = RawOf(w);
        const double potential = OwnPotential(w);
        const TDosing d = Adjust(w, chemical, w.pH);
        const TCalculationResult& r = *d.Result;
        EXPECT_NEAR(d.Dosage, 0, 1e-9);
        EXPECT_EQ(d.Units, kUnits[chemical]);
        EXPECT_EQ(d.Type, kTypes[chemical]);
        EXPECT_NEAR(r.ALKF, raw.ALK, 1e-9);
        EXPECT_NEAR(r.ACIF, raw.ACI, 1e-9);
        EXPECT_NEAR(r.CAF, raw.CA, 1e-9);
        EXPECT_NEAR(r.NAF, raw.NA, 1e-9);
        EXPECT_NEAR(r.CLF, raw.CL, 1e-9);
        EXPECT_EQ(r.PHF, w.pH);
        EXPECT_NEAR(r.CPPF, potential, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Chemicals, OwnPhTarget, ::testing::Range(0, 6));

enum class TInvariant { Alkalinity, TotalCarbonate, Acidity, Hco3Acidity };
enum class TIon { None, Calcium, Sodium, Chloride };

struct TChemicalRow {
    const char* Name;
    int Chemical;
    double TargetPh;
    TInvariant Keeps;
    TIon Adds;
    double IonPerMmol; // mmol/l of the ion per mmol/l of chemical
    // mmol/l of charge of alkalinity and of acidity per mmol/l of chemical
    double AlkalinityPerMmol, AcidityPerMmol;
};

const TChemicalRow kChemicalRows[] = {
    {"Co2DownTo65", 0, 6.5, TInvariant::Alkalinity, TIon::None, 0, 0, 2},
    {"LimeUpTo90", 1, 9.0, TInvariant::TotalCarbonate, TIon::Calcium, 1, 2, -2},
    {"SodaAshUpTo88", 2, 8.8, TInvariant::Acidity, TIon::Sodium, 2, 2, 0},
    {"CausticSodaUpTo92", 3, 9.2, TInvariant::TotalCarbonate, TIon::Sodium, 1, 1, -1},
    {"HydrochloricAcidDownTo68", 4, 6.8, TInvariant::TotalCarbonate, TIon::Chloride, 1, -1, 1},
    {"BicarbonateUpTo79", 5, 7.9, TInvariant::Hco3Acidity, TIon::Sodium, 1, 1, 1},
};

class ChemicalDosing : public EngineTest, public ::testing::WithParamInterface<TChemicalRow> {};

TEST_P(ChemicalDosing, KeepsItsInvariantAndAddsItsIon) {
    const TChemicalRow& row = GetParam();
    const TWater w;
    const TRaw raw = RawOf(w);
    const TDosing d = Adjust(w, row.Chemical, row.TargetPh);
    const TCalculationResult& r = *d.Result;
    ASSERT_GT(d.Dosage, 0);
    const double D = d.Dosage / kMolarMass[row.Chemical]; // mmol/l of chemical

    switch (row.Keeps) {
    case TInvariant::Alkalinity:
        EXPECT_DOUBLE_EQ(r.ALKF, raw.ALK);
        break;
    case TInvariant::TotalCarbonate:
        EXPECT_NEAR(r.ALKF + r.ACIF, raw.ALK + raw.ACI, 1e-9);
        break;
    case TInvariant::Acidity:
        EXPECT_DOUBLE_EQ(r.ACIF, raw.ACI);
        break;
    case TInvariant::Hco3Acidity:
        EXPECT_NEAR(r.ACIF - r.ALKF, raw.ACI - raw.ALK, 1e-9);
        break;
    }
    // What the dosed amount does to alkalinity and acidity (mg/l as CaCO3).
    EXPECT_NEAR(r.ALKF - raw.ALK, row.AlkalinityPerMmol * D * Units::kAlkalinity, 1e-9);
    EXPECT_NEAR(r.ACIF - raw.ACI, row.AcidityPerMmol * D * Units::kAcidity, 1e-9);

    const double expectedCa = raw.CA + (row.Adds == TIon::Calcium ? row.IonPerMmol * D * Units::kCalcium : 0);
    const double expectedNa = raw.NA + (row.Adds == TIon::Sodium ? row.IonPerMmol * D * Units::kSodium : 0);
    const double expectedCl =
        raw.CL + (row.Adds == TIon::Chloride ? row.IonPerMmol * D * Units::kChloride : 0);
    EXPECT_NEAR(r.CAF, expectedCa, 1e-9);
    EXPECT_NEAR(r.NAF, expectedNa, 1e-9);
    EXPECT_NEAR(r.CLF, expectedCl, 1e-9);
    EXPECT_NEAR(r.MGF, raw.MG, 1e-12);
    EXPECT_NEAR(r.SO4F, raw.SO4, 1e-12);

    EXPECT_EQ(r.PHF, row.TargetPh);
    EXPECT_EQ(r.TF, w.T);
    // The ionic strength is not recomputed for the dosed ions.
    EXPECT_EQ(r.MHUF, raw.MU);
    EXPECT_DOUBLE_EQ(r.TDSF, raw.MU / Units::kTdsToIonicStrength);
    EXPECT_DOUBLE_EQ(r.CONF, raw.MU / Units::kConductivityToIonicStrength);
    EXPECT_EQ(d.Note1, "kept 1");
    EXPECT_EQ(d.Note2, "kept 2");
    EXPECT_EQ(r.WATCHAR, w.WATCHAR);
    EXPECT_EQ(r.CARBSYSORDER, w.CARBSYSORDER);
}

INSTANTIATE_TEST_SUITE_P(Chemicals, ChemicalDosing, ::testing::ValuesIn(kChemicalRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EngineTest, OneMmolOfCo2IsFortyFourMilligrams) {
    const TWater w;
    const TRaw raw = RawOf(w);
    const TDosing d = Adjust(w, 0, 6.8);
    const double co2Mmol = (d.Result->ACIF - raw.ACI) / Units::kAcidity / 2;
    EXPECT_NEAR(d.Dosage, co2Mmol * 44, 1e-9);
}

TEST_F(EngineTest, TreatedPotentialIsThatOfTheDosedWater) {
    const TDosing d = Adjust(TWater{}, 1, 8.6);
    const TCalculationResult& r = *d.Result;
    ResetEngine();
    LoadDataset(TWater{}.Dataset());
    EXPECT_DOUBLE_EQ(r.CPPF, PrecipitationPotential(r.PHF, r.ALKF / Units::kAlkalinity,
                                                    r.CAF / Units::kCalcium, r.ACIF / Units::kAcidity));
    EXPECT_GT(r.CPPF, 0);
}

TEST_F(EngineTest, AnAcidForAHigherPhGivesANegativeDosageWithBothNotes) {
    const TDosing d = Adjust(TWater{}, 4, 8.5);
    EXPECT_LT(d.Dosage, 0);
    EXPECT_EQ(d.Note1, "NOTE: Negative dosage required.               ");
    EXPECT_EQ(d.Note2, "      This chemical cannot be used for dosage.");
    // The treated water has the negative amount removed: less chloride than the raw water.
    EXPECT_LT(d.Result->CLF, TWater{}.Cl);
}

TEST_F(EngineTest, ABaseForALowerPhGivesANegativeDosageWithBothNotes) {
    for (int base : {1, 2, 3, 5}) {
        SCOPED_TRACE("chemical " + std::to_string(base));
        const TDosing d = Adjust(TWater{}, base, 6.9);
        EXPECT_LT(d.Dosage, 0);
        EXPECT_EQ(d.Note1, "NOTE: Negative dosage required.               ");
        EXPECT_EQ(d.Note2, "      This chemical cannot be used for dosage.");
    }
}

// As written, a driver ran no task for an unknown index and left the previous treated water to be
// presented as the result.
TEST_F(EngineTest, AnUnknownChemicalIsRefused) {
    for (int chemical : {-1, 6, 99}) {
        SCOPED_TRACE("chemical " + std::to_string(chemical));
        double dosage = 0;
        std::string units, type, n1, n2;
        try {
            RunPhAdjustment(TWater{}.Dataset(), chemical, 8, dosage, units, type, n1, n2);
            ADD_FAILURE() << "no error";
        } catch (const TEngineError& e) {
            EXPECT_EQ(std::string(e.what()), "Unknown chemical index " + std::to_string(chemical) +
                                                 " for pH adjustment; expected 0 to 5.");
        }
    }
}

// Where h^2 = K1*K2 a bicarbonate-referenced acidity fixes no alkalinity.
TEST_F(EngineTest, BicarbonateAtItsSingularPhIsADivisionByZero) {
    LoadDataset(TWater{}.Dataset());
    const double pH = 8.3, h = HydrogenActivity(pH);
    Engine.K1 = h;
    Engine.K2 = h;
    double dosage = 0;
    try {
        AdjustPhBicarbonate(pH, dosage);
        ADD_FAILURE() << "no error";
    } catch (const TEngineError& e) {
        EXPECT_EQ(std::string(e.what()), "Floating point division by zero");
    }
}

} // namespace
