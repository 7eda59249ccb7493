#pragma once
// EngineFacade: the only door between the windows (and the command line) and the chemistry engine.
//
//   data set --LoadDataset--> engine state --driver/task--> treated water --FillResult--> result
//
// Every run operation follows one pattern: create a result, ResetEngine, LoadDataset (which
// characterises the water: constants at its temperature, ionic strength, ion pairs, alkalinity and
// acidity), store the inputs, run the calculation's driver, FillResult. The engine keeps one water
// at a time in module-level state and is not re-entrant: call from one thread, one calculation at
// a time. Any floating-point fault or a search that does not converge raises TEngineError; no
// result with a non-finite value ever leaves the facade.
//
// Units at this boundary are report units: mg/l as CaCO3 for alkalinity, acidity, calcium,
// magnesium and precipitation potential, mg/l of the ion for sodium, sulphate and chloride.

#include "CalvaroModel.h"
#include "EngineError.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// TEngineError (EngineError.h): a calculation that cannot finish (a floating-point fault, a search
// that does not converge, an input the calculation refuses); its message is the operator's text.

using TResultPtr = std::unique_ptr<TCalculationResult>;

// Characterises the water and writes the computed alkalinity, HCO3-referenced acidity and the ions
// back into `dataset` (report units). `co3Acidity` is the CO3-referenced acidity (IALK + 2*IHACI
// after the write-back), which the view window shows as the "C03 acidity".
void CharacteriseWater(TWaterDataset& dataset, double& precipitationPotential, double& tds,
                       double& conductivity, double& ionicStrength, double& co3Acidity);

// pH adjustment. Chemical: 0 CO2, 1 lime, 2 soda ash, 3 caustic soda, 4 hydrochloric acid,
// 5 bicarbonate of soda. The notes are set only for a negative dosage; otherwise they keep what the
// caller passed.
TResultPtr RunPhAdjustment(const TWaterDataset& dataset, int chemicalIndex, double targetPh, double& dosage,
                           std::string& dosageUnits, std::string& dosageType, std::string& note1,
                           std::string& note2);

// Stabilisation to a desired precipitation potential (mg/l as CaCO3). Chemical: 0 CO2, 1 lime,
// 2 soda ash, 3 caustic soda, 4 hydrochloric acid.
TResultPtr RunStabilisation(const TWaterDataset& dataset, int chemicalIndex, double desiredPotential,
                            double& dosage, std::string& dosageUnits, std::string& dosageType,
                            std::string& note1, std::string& note2);

// Lime conditioning of calcium- and carbonate-deficient water to a desired calcium (mg/l as CaCO3).
TResultPtr RunCaCarbonateDeficiency(const TWaterDataset& dataset, std::string& dosageType,
                                    std::string& dosageUnits, double& dosage, double desiredCalcium);

// The lowest calcium lime can reach; the five limits are kept for RunSofteningCaLime.
// CAMIN in mg/l as Ca (a whole number), ALKMIN and ACIMIN in mmol/l, HMIN in mmol/l, LIMEINV in mmol/l.
void GetSofteningCaLimits(const TWaterDataset& dataset, double& CAMIN, double& ALKMIN, double& ACIMIN,
                          double& HMIN, double& LIMEINV);
// Needs GetSofteningCaLimits for the same data set first.
TResultPtr RunSofteningCaLime(const TWaterDataset& dataset, double& dosage, std::string& dosageUnits,
                              std::string& dosageType, double desiredCalcium);
TResultPtr RunSofteningCaSodaAsh(const TWaterDataset& dataset, double& dosage, std::string& dosageUnits,
                                 std::string& dosageType, double desiredCalcium);
TResultPtr RunSofteningMg(const TWaterDataset& dataset, double& dosage, std::string& dosageUnits,
                          std::string& dosageType, double desiredMagnesium);
TResultPtr RunSofteningCaMg(const TWaterDataset& dataset, double& limeDosage, double& ashDosage,
                            double desiredCalcium, double desiredMagnesium);

// Two waters blended to a target pH; the percentages of each water come back.
TResultPtr RunBlendToPh(const TWaterDataset& water1, const TWaterDataset& water2, double& percentWater1,
                        double& percentWater2, double targetPh);
// 2 to 20 waters blended in the fractions stored in each data set (FRAC, percent).
TResultPtr RunBlendMultiple(const std::vector<const TWaterDataset*>& waters);

// Equilibrium with a CO2 partial pressure (atm): the CO2 amount (mg/l CO2, a magnitude) and
// "CO2 addition", "Water in equilibrium" or "CO2 expelled".
TResultPtr RunAirEquilibrium(const TWaterDataset& dataset, double& co2Amount, std::string& equilibriumText,
                             double pressureCO2);
// Underground water in equilibrium with a CO2 partial pressure and calcite; CaCO3 precipitated in
// mg/l as CaCO3 (negative when it dissolves).
TResultPtr RunUndergroundWater(const TWaterDataset& dataset, double& caco3Precipitated, double pressureCO2);

TResultPtr RunTemperatureChange(const TWaterDataset& dataset, double newTemperature);
TResultPtr RunConcentrationChange(const TWaterDataset& dataset, double evaporationPercent);

// The CO2 partial pressure (atm) of a treated water: dissolved CO2 over Henry's constant, with the
// constants at the result's temperature and ionic strength. Used when a treated water is taken over
// into a data set.
double PressureCO2OfResult(const TCalculationResult& water);

// ---- Forward dosing and dose-response curves ----
// The inverse of RunPhAdjustment: a given amount of a pH-adjustment chemical (0 CO2, 1 lime,
// 2 soda ash, 3 caustic soda, 4 hydrochloric acid, 5 bicarbonate of soda) in the units its dosage
// is reported in (mg/l as CO2, as Ca(OH)2, as Na2CO3, as NaOH, as HCl, as NaHCO3). The treated
// water keeps the loaded water's ionic strength and constants, as pH adjustment does; its pH comes
// from the pH scan (0.01 to 0.02 above the exact pH) and nothing precipitates: its potential says
// what would. A negative amount takes the chemical out. Refuses a dosed water that cannot exist.
TResultPtr RunForwardDosing(const TWaterDataset& dataset, int chemicalIndex, double amount);

// The dosage texts of a pH-adjustment chemical, as RunPhAdjustment names them.
struct TDosingChemicalTexts {
    std::string Units; // "mg/l as Ca(OH)2"
    std::string Type;  // "Lime"
};
TDosingChemicalTexts DosingChemicalTexts(int chemicalIndex);

// RunDosingCurve and its points: at the end, after the scaling and corrosion indices they carry.

// ---- Scaling and corrosion indices ----
//
// Beside the precipitation potential, the indices that standards and plant reports quote, each
// computed from the same water state and constants that give the water's potential (temperature,
// ionic strength, activity model, ion pairs). With c3 and b the carbonate and bicarbonate at the
// water's pH, free calcium = total / FCA and free carbonate = c3 / FCO3:
//   SaturationIndex   SI = log10(free Ca * free CO3 / calcite product KACT[10]); its sign is the
//                     potential's, and it is 0 where the potential is 0 (within the potential's
//                     resolution the water is saturated)
//   SaturationPh      pHs: the pH at which the water, with its calcium, alkalinity, other ions and
//                     temperature unchanged (only CO2 added or removed), is saturated with calcite;
//                     a bracketing search to 0.0001 pH over 0..14
//   LangelierIndex    LSI = pH - pHs
//   RyznarIndex       RSI = 2 pHs - pH
//   LarsonSkoldIndex  (chloride + sulphate) / (b + 2 c3), both in mmol/l of charge
//   AggressiveIndex   AI = pH + log10(alkalinity * calcium), both in mg/l as CaCO3
// An index the water does not define (no calcium, no carbonate, no alkalinity, no pH of 0..14 that
// saturates it) is empty: shown as "-", never an error. SI and Larson-Skold take c3 and b at the pH
// where the water's own alkalinity and acidity agree (a treated water's reported pH often comes
// from a 0.01 pH scan, 0.01 to 0.02 above it); LSI, RSI and AI take the reported pH. All six are
// dimensionless except pHs (pH units).
struct TWaterIndices {
    std::optional<double> SaturationIndex;
    std::optional<double> SaturationPh;
    std::optional<double> LangelierIndex;
    std::optional<double> RyznarIndex;
    std::optional<double> LarsonSkoldIndex;
    std::optional<double> AggressiveIndex;
};

// The indices of a treated water, the sign of its SI reconciled with its CPPF. The result the last
// run operation returned (compared field by field) is given the constants its CPPF was computed
// with, kept when it was filled (a blend of waters at different temperatures: those at the last
// water's temperature, as its potential); any other water the constants at its own temperature,
// ions and ionic strength. Call it right after the run, before the next operation. Raises only
// TEngineError of a floating-point fault or a search beyond its cap.
TWaterIndices WaterIndicesOfResult(const TCalculationResult& water);
// Loads and characterises the data set (refusing a water that cannot exist, like every operation)
// and gives its indices; the data set is not changed.
TWaterIndices WaterIndicesOfDataset(const TWaterDataset& dataset);
// CharacteriseWater with the water's indices from the same load (the view window and
// `characterise`): the indices add well under a microsecond to the characterisation.
void CharacteriseWater(TWaterDataset& dataset, double& precipitationPotential, double& tds,
                       double& conductivity, double& ionicStrength, double& co3Acidity,
                       TWaterIndices& indices);

// One-word readings:
//   SaturationIndexReading, LangelierReading: below -0.05 "aggressive", -0.05 to 0.05 "balanced",
//                                             above 0.05 "scale-forming"
//   RyznarReading:          below 6 "scale-forming", 6 to 7 "balanced", above 7 "aggressive"
//   LarsonSkoldReading:     below 0.8 "low", 0.8 to 1.2 "moderate", above 1.2 "high"
//   AggressiveIndexReading: 12 and above "non-aggressive", 10 to below 12 "moderately aggressive",
//                           below 10 "highly aggressive"
// The bounds of each middle band belong to it. The saturation pH has no reading.
std::string SaturationIndexReading(double saturationIndex);
std::string LangelierReading(double langelierIndex);
std::string RyznarReading(double ryznarIndex);
std::string LarsonSkoldReading(double larsonSkoldIndex);
std::string AggressiveIndexReading(double aggressiveIndex);

// ---- Dose-response curves ----
// One point of a dose-response curve: the dose (units of the chemical's dosage) and the dosed
// water with its scaling indices, or, where the calculation fails at that dose, no water, empty
// indices and the error's message (a gap). The indices are those WaterIndicesOfResult gives right
// after RunForwardDosing of that dose: computed while the point's state is loaded, with the
// constants its potential came from. (Asked for afterwards, only the last point would find its
// constants kept; the others would get constants refreshed at their own ions, which in a water
// beyond the dilute limit moves SI by up to about 0.015.)
struct TDosingCurvePoint {
    double Dose = 0;
    TResultPtr Result;
    TWaterIndices Indices;
    std::string Error;
};

// RunForwardDosing at `points` (at least 2) evenly spaced doses from 0 to `largestDose`, both
// included. The water is loaded and characterised once; a dose at which the calculation fails
// leaves a gap and the curve goes on. A water that cannot be loaded, an unknown chemical or a
// curve of fewer than two points is refused as a whole.
std::vector<TDosingCurvePoint> RunDosingCurve(const TWaterDataset& dataset, int chemicalIndex,
                                              double largestDose, int points);
