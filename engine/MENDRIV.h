#pragma once
// MENDRIV: the drivers. A driver selects the task by index, runs it, names the dosage, converts it
// from mg/l as CaCO3 to mg/l of the chemical and converts the treated water to report units.

#include <string>

// A dosed chemical: its texts and the factor by which the driver turns a dosage in mg/l as CaCO3
// into mg/l of the chemical (factor / 50; the factor is the equivalent weight).
struct TDosageChemical {
    const char* UnitsText;
    const char* TypeText;
    double Factor;
};

namespace Chemicals {
inline constexpr TDosageChemical kCarbonDioxide{"mg/l as CO2", "CO2", 22};
inline constexpr TDosageChemical kLime{"mg/l as Ca(OH)2", "Lime", 37};
inline constexpr TDosageChemical kSodaAsh{"mg/l as Na2CO3", "Soda ash", 53};
inline constexpr TDosageChemical kCausticSoda{"mg/l as NaOH", "Caustic soda", 40};
inline constexpr TDosageChemical kHydrochloricAcid{"mg/l as HCl", "Hydrochloric acid", 36};
inline constexpr TDosageChemical kBicarbonateOfSoda{"mg/l as NaHCO3", "Bicarbonate of soda", 84};
} // namespace Chemicals

// The notes of a negative dosage (exact texts, trailing and leading spaces included).
inline constexpr const char* kNegativeDosageNote1 = "NOTE: Negative dosage required.               ";
inline constexpr const char* kNegativeDosageNote2 = "      This chemical cannot be used for dosage.";

// Sets the chemical's texts and multiplies the dosage by factor / 50.
void NameDosage(const TDosageChemical& chemical, double factor, double& dosage, std::string& unitsText,
                std::string& typeText);
inline void NameDosage(const TDosageChemical& chemical, double& dosage, std::string& unitsText,
                       std::string& typeText) {
    NameDosage(chemical, chemical.Factor, dosage, unitsText, typeText);
}

// A dosage below 0 sets both note lines; otherwise they keep what the caller passed.
void NoteNegativeDosage(double dosage, std::string& note1, std::string& note2);

// pH adjustment to `targetPh` with chemical 0 CO2, 1 lime, 2 soda ash, 3 caustic soda,
// 4 hydrochloric acid, 5 bicarbonate of soda. Refuses any other index.
void DrivePhAdjustment(int chemicalIndex, double targetPh, double& dosage, std::string& unitsText,
                       std::string& typeText, std::string& note1, std::string& note2);

// Stabilisation to `desiredPotential` (mg/l as CaCO3) with chemical 0 CO2, 1 lime, 2 soda ash,
// 3 caustic soda, 4 hydrochloric acid. Refuses any other index, a potential at or above the
// water's calcium for the chemicals that add no calcium, and for lime, which adds no carbonate, a
// potential at or above the CaCO3 that the water's total carbonate can form.
void DriveStabilisation(int chemicalIndex, double desiredPotential, double& dosage, std::string& unitsText,
                        std::string& typeText, std::string& note1, std::string& note2);

// Equilibrium with air: the CO2 amount as a magnitude (mg/l CO2) and "CO2 addition",
// "Water in equilibrium" or "CO2 expelled".
void DriveAirEquilibrium(double pressureCO2, double& co2Amount, std::string& equilibriumText);

void DriveTemperatureChange(double newTemperature);
void DriveConcentrationChange(double evaporationPercent);

// Lime conditioning of calcium- and carbonate-deficient water. carbonateDeficient 0: lime raises
// calcium to `desiredCalcium`; 1: lime raises alkalinity to `desiredAlkalinity`. Both in mg/l as
// CaCO3; dosage in mg/l as Ca(OH)2.
void CaCarbonateDeficiency(int carbonateDeficient, double desiredAlkalinity, double desiredCalcium,
                           std::string& typeText, std::string& unitsText, double& dosage);
