// MENDRIV: the drivers of the calculations.

#include "MENDRIV.h"

#include "CONSDEC.h"
#include "DETPAR.h"
#include "DOSTASK.h"
#include "EngineError.h"
#include "EngineState.h"
#include "VARTASK.h"

#include <charconv>

namespace {

[[noreturn]] void RefuseChemical(int chemicalIndex, const char* calculation, int lastIndex) {
    throw TEngineError("Unknown chemical index " + std::to_string(chemicalIndex) + " for " + calculation +
                       "; expected 0 to " + std::to_string(lastIndex) + ".");
}

// A value with two decimals and "." whatever the process locale.
std::string TwoDecimals(double value) {
    char digits[64];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 2).ptr;
    return std::string(digits, end);
}

} // namespace

void NameDosage(const TDosageChemical& chemical, double factor, double& dosage, std::string& unitsText,
                std::string& typeText) {
    unitsText = chemical.UnitsText;
    typeText = chemical.TypeText;
    dosage = dosage * (factor / Units::kCaCO3Charge);
}

void NoteNegativeDosage(double dosage, std::string& note1, std::string& note2) {
    if (dosage < 0) {
        note1 = kNegativeDosageNote1;
        note2 = kNegativeDosageNote2;
    }
}

void DrivePhAdjustment(int chemicalIndex, double targetPh, double& dosage, std::string& unitsText,
                       std::string& typeText, std::string& note1, std::string& note2) {
    using namespace Chemicals;
    double taskDosage = 0;
    const TDosageChemical* chemical = nullptr;
    switch (chemicalIndex) {
    case 0:
        AdjustPhCo2(targetPh, taskDosage), chemical = &kCarbonDioxide;
        break;
    case 1:
        AdjustPhLime(targetPh, taskDosage), chemical = &kLime;
        break;
    case 2:
        AdjustPhSodaAsh(targetPh, taskDosage), chemical = &kSodaAsh;
        break;
    case 3:
        AdjustPhCausticSoda(targetPh, taskDosage), chemical = &kCausticSoda;
        break;
    case 4:
        AdjustPhHcl(targetPh, taskDosage), chemical = &kHydrochloricAcid;
        break;
    case 5:
        AdjustPhBicarbonate(targetPh, taskDosage), chemical = &kBicarbonateOfSoda;
        break;
    default:
        RefuseChemical(chemicalIndex, "pH adjustment", 5);
    }
    dosage = taskDosage;
    NameDosage(*chemical, dosage, unitsText, typeText);
    ToReportUnits();
    NoteNegativeDosage(dosage, note1, note2);
}

void DriveStabilisation(int chemicalIndex, double desiredPotential, double& dosage, std::string& unitsText,
                        std::string& typeText, std::string& note1, std::string& note2) {
    using namespace Chemicals;
    if (chemicalIndex < 0 || chemicalIndex > 4) RefuseChemical(chemicalIndex, "stabilisation", 4);
    // Depositing P leaves CA - P of calcium at saturation; without the calcium that lime brings,
    // P at or above CA leaves none and the end point does not exist.
    const double P = desiredPotential / Units::kPotential;
    if (chemicalIndex != 1 && !(P < Engine.CA))
        throw TEngineError("The desired precipitation potential must be below the water's calcium (" +
                           TwoDecimals(Engine.CA * Units::kCalcium) + " mg/l as CaCO3).");
    // Lime adds no carbonate: the saturated end point keeps CT - P of it (one mmol of carbonate per
    // mmol of CaCO3 deposited), and P at or above CT leaves none; its search would never end.
    const double totalCarbonate = (Engine.ALK + Engine.ACI) / 2;
    if (chemicalIndex == 1 && !(P < totalCarbonate))
        throw TEngineError(
            "The desired precipitation potential must be below the calcium carbonate that the water's "
            "total carbonate can form (" +
            TwoDecimals(totalCarbonate * Units::kPotential) + " mg/l as CaCO3).");
    double taskDosage = 0;
    const TDosageChemical* chemical = nullptr;
    double factor = 0;
    switch (chemicalIndex) {
    case 0:
        StabiliseCo2(desiredPotential, taskDosage), chemical = &kCarbonDioxide;
        break;
    case 1:
        StabiliseLime(desiredPotential, taskDosage), chemical = &kLime;
        break;
    case 2:
        StabiliseSodaAsh(desiredPotential, taskDosage), chemical = &kSodaAsh;
        break;
    case 3:
        // Caustic soda is computed as a negative amount of hydrochloric acid.
        StabiliseStrongAcid(desiredPotential, true, taskDosage), chemical = &kCausticSoda, factor = -40;
        break;
    default:
        StabiliseStrongAcid(desiredPotential, false, taskDosage), chemical = &kHydrochloricAcid;
        break;
    }
    dosage = taskDosage;
    NameDosage(*chemical, factor != 0 ? factor : chemical->Factor, dosage, unitsText, typeText);
    ToReportUnits();
    NoteNegativeDosage(dosage, note1, note2);
}

void DriveAirEquilibrium(double pressureCO2, double& co2Amount, std::string& equilibriumText) {
    double D = 0;
    EquilibrateWithAir(pressureCO2, D);
    if (D > 0) {
        equilibriumText = "CO2 addition";
        co2Amount = D;
    } else if (D == 0) {
        equilibriumText = "Water in equilibrium";
        co2Amount = 0;
    } else {
        equilibriumText = "CO2 expelled";
        co2Amount = -D;
    }
    ToReportUnits();
}

void DriveTemperatureChange(double newTemperature) {
    ChangeTemperature(newTemperature);
    ToReportUnits();
}

void DriveConcentrationChange(double evaporationPercent) {
    ConcentrateByEvaporation(evaporationPercent);
    ToReportUnits();
}

void CaCarbonateDeficiency(int carbonateDeficient, double desiredAlkalinity, double desiredCalcium,
                           std::string& typeText, std::string& unitsText, double& dosage) {
    auto& E = Engine;
    double L = 0; // lime, mmol/l
    if (carbonateDeficient == 0) {
        // Calcium is lacking: lime brings calcium to the desired value.
        E.CAF = desiredCalcium / Units::kCalcium;
        L = E.CAF - E.CA;
        E.ALKF = E.ALK + 2 * L; // one lime adds two units of alkalinity and removes two of acidity
        E.ACIF = E.ACI - 2 * L;
    } else {
        // Carbonate species are lacking: lime brings alkalinity to the desired value.
        E.ALKF = desiredAlkalinity / Units::kAlkalinity;
        L = (E.ALKF - E.ALK) / 2;
        E.ACIF = E.ACI - 2 * L;
        E.CAF = E.CA + L;
    }
    E.PHF = PhFromAlkalinityAndAcidity(E.ALKF, E.ACIF);
    dosage = L * 74;
    unitsText = Chemicals::kLime.UnitsText;
    typeText = Chemicals::kLime.TypeText;
    E.MGF = E.MG;
    E.NAF = E.NA;
    E.SO4F = E.SO4;
    E.CLF = E.CL;
    E.MHUF = E.MU;
    E.TF = E.T;
    E.TDSF = TdsFromIonicStrength(E.MHUF);
    E.CONF = ConductivityFromIonicStrength(E.MHUF);
    E.CPPF = PrecipitationPotential(E.PHF, E.ALKF, E.CAF, E.ACIF);
    ToReportUnits();
}
