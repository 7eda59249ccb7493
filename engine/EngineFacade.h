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

// One point of a dose-response curve: the dose (units of the chemical's dosage) and the dosed
// water, or, where the calculation fails at that dose, no water and the error's message (a gap).
struct TDosingCurvePoint {
    double Dose = 0;
    TResultPtr Result;
    std::string Error;
};

// RunForwardDosing at `points` (at least 2) evenly spaced doses from 0 to `largestDose`, both
// included. The water is loaded and characterised once; a dose at which the calculation fails
// leaves a gap and the curve goes on. A water that cannot be loaded, an unknown chemical or a
// curve of fewer than two points is refused as a whole.
std::vector<TDosingCurvePoint> RunDosingCurve(const TWaterDataset& dataset, int chemicalIndex,
                                              double largestDose, int points);
