// Forward dosing of the pH-adjustment chemicals.

#include "ForwardDosing.h"

#include "CONSDEC.h"
#include "DETPAR.h"
#include "EngineError.h"
#include "EngineState.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

// Per mmol/l of chemical: alkalinity, acidity, calcium, sodium, chloride, equivalents. These are
// the composition changes of the pH adjustment tasks (AdjustPh...), written forward.
const TForwardChemical kChemicals[kForwardChemicals] = {
    // CO2 keeps the alkalinity; H2CO3* adds two units of CO3-referenced acidity.
    {&Chemicals::kCarbonDioxide, {0, 2, 0, 0, 0, 2}},
    // Ca(OH)2 keeps the total carbonate: two OH- move two units from acidity to alkalinity.
    {&Chemicals::kLime, {2, -2, 1, 0, 0, 2}},
    // Na2CO3 keeps the acidity (CO3-- is its reference) and adds two units of alkalinity.
    {&Chemicals::kSodaAsh, {2, 0, 0, 2, 0, 2}},
    // NaOH keeps the total carbonate.
    {&Chemicals::kCausticSoda, {1, -1, 0, 1, 0, 1}},
    // HCl keeps the total carbonate.
    {&Chemicals::kHydrochloricAcid, {-1, 1, 0, 0, 1, 1}},
    // NaHCO3 keeps the HCO3-referenced acidity (ACI - ALK) / 2: one unit of each.
    {&Chemicals::kBicarbonateOfSoda, {1, 1, 0, 1, 0, 1}},
};

// Refusals are read by operators: two decimals and "." whatever the process locale.
std::string TwoDecimals(double value) {
    char digits[64];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 2).ptr;
    return std::string(digits, end);
}

std::string DoseText(const TForwardChemical& chemical, double amount) {
    return TwoDecimals(amount) + " " + chemical.Chemical->UnitsText;
}

// The highest and lowest pH a dosed water may have. Far outside them the model behind the dosing
// (the raw water's ionic strength and constants kept) describes no water.
constexpr double kLowestPh = 0;
constexpr double kHighestPh = 14;

} // namespace

const TForwardChemical& ForwardChemical(int chemicalIndex) {
    if (chemicalIndex < 0 || chemicalIndex >= kForwardChemicals)
        throw TEngineError("Unknown chemical index " + std::to_string(chemicalIndex) +
                           " for forward dosing; expected 0 to " + std::to_string(kForwardChemicals - 1) +
                           ".");
    return kChemicals[chemicalIndex];
}

double MmolOfDose(const TForwardChemical& chemical, double amount) {
    // mg per mmol of the chemical: its equivalents times its equivalent weight (44 for CO2).
    return amount / (chemical.Change.Equivalents * chemical.Chemical->Factor);
}

void DoseChemical(const TForwardChemical& chemical, double D, double amount) {
    auto& E = Engine;
    const TDosingChange& c = chemical.Change;
    E.ALKF = E.ALK + c.Alkalinity * D;
    E.ACIF = E.ACI + c.Acidity * D;
    E.CAF = E.CA + c.Calcium * D;
    E.MGF = E.MG;
    E.NAF = E.NA + c.Sodium * D;
    E.SO4F = E.SO4;
    E.CLF = E.CL + c.Chloride * D;
    // A negative amount (chemical taken out) can take more carbonate than the water holds.
    const double CT = (E.ALKF + E.ACIF) / 2;
    if (CT < 0)
        throw TEngineError("The dosed water cannot exist: " + DoseText(chemical, amount) +
                           " leaves a total carbonate species of " +
                           TwoDecimals(CT * Units::kTotalCarbonate) + " mg/l as CaCO3.");
    // The inverse task gets ALKF and ACIF from the target pH in closed form; forward, the pH of
    // the dosed alkalinity and acidity needs the pH scan.
    E.PHF = PhFromAlkalinityAndAcidity(E.ALKF, E.ACIF);
    if (!(E.PHF >= kLowestPh && E.PHF <= kHighestPh))
        throw TEngineError("The dosed water cannot exist: " + DoseText(chemical, amount) + " gives a pH of " +
                           TwoDecimals(E.PHF) + ", outside 0 to 14.");
    // As in pH adjustment: the loaded water's temperature and ionic strength, no refresh.
    E.TF = E.T;
    E.MHUF = E.MU;
    E.TDSF = TdsFromIonicStrength(E.MHUF);
    E.CONF = ConductivityFromIonicStrength(E.MHUF);
    E.CPPF = PrecipitationPotential(E.PHF, E.ALKF, E.CAF, E.ACIF);
}

void DriveForwardDosing(int chemicalIndex, double amount) {
    const TForwardChemical& chemical = ForwardChemical(chemicalIndex);
    if (!std::isfinite(amount)) throw TEngineError("The dose must be a number.");
    DoseChemical(chemical, MmolOfDose(chemical, amount), amount);
    ToReportUnits();
}
