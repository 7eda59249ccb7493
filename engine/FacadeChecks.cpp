// The facade's checks of the waters that enter and leave it.

#include "FacadeChecks.h"

#include "CONSDEC.h"
#include "EngineState.h"
#include "FacadeInternals.h"
#include "FloatingPointFaults.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr const char* kCheckInputs = " Check the pH and the carbonate value.";
constexpr const char* kBoundText = "1,000,000 mg/l";

// Total carbonate species (mmol/l) that rounding leaves on the wrong side of zero: a water given
// by a total carbonate of exactly 0 comes back as ALK + ACI of a few units in the last digit.
double RoundingOfTotalCarbonate(double ALK, double ACI) {
    return 1e-12 * (std::fabs(ALK) + std::fabs(ACI));
}

std::string Digits(double value, std::chars_format format, int precision) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, format, precision).ptr;
    return std::string(text, end);
}

// The pH with two decimals (pH values are never large).
std::string PhText(double pH) {
    return OperatorNumber(pH);
}

// A CO2 pressure in atm: its shortest fixed form, 0.035 rather than 0.04 or 3.5e-02.
std::string PressureText(double pressure) {
    char text[64];
    const auto end =
        std::to_chars(text, text + sizeof text, std::fabs(pressure), std::chars_format::fixed).ptr;
    return (pressure < 0 ? "\u2212" : "") + std::string(text, end);
}

std::string AsCaCO3(double value) {
    return OperatorNumber(value) + " mg/l as CaCO3";
}

[[noreturn]] void RefuseLoadedWater(const std::string& reason) {
    throw TImpossibleWater("This water cannot exist: " + reason + kCheckInputs);
}

// The carbonate value entered, as the operator typed it with its measure.
std::string EnteredMeasure(const TLoadedDataset& d) {
    switch (d.CARBSYSORDER) {
    case 0:
        return "an alkalinity of " + AsCaCO3(d.IALK);
    case 1:
        return "an HCO3 acidity of " + AsCaCO3(d.IHACI);
    case 2:
        return "a total carbonate species of " + AsCaCO3(d.ITOTC);
    case 3:
        return "a CO2 pressure of " + PressureText(d.IPCO2) + " atm";
    default:
        return "the carbonate value entered";
    }
}

// Why the entered carbonate value gives a negative total carbonate species at the pH.
std::string NegativeCarbonateReason(const TLoadedDataset& d, double CT) {
    const auto& E = Engine;
    const double h = HydrogenActivity(d.IPH);
    const double hc = h / E.FM;
    const double oh = E.KW / h;
    const std::string pH = "at pH " + PhText(d.IPH);
    const std::string species = " (total carbonate species " + AsCaCO3(CT) + ")";
    switch (d.CARBSYSORDER) {
    case 0: {
        // Alkalinity = b + 2 c3 + oh - hc: the carbonate share b + 2 c3 is what the alkalinity
        // leaves beyond oh - hc.
        const double floor = (oh - hc) * Units::kAlkalinity;
        if (floor > 0)
            return pH + " the hydroxide alone carries more alkalinity than the " + AsCaCO3(d.IALK) +
                   " entered" + species + ".";
        return pH + " the alkalinity cannot be below " + AsCaCO3(floor) +
               " (the hydrogen ion's share), yet " + AsCaCO3(d.IALK) + " was entered" + species + ".";
    }
    case 1: {
        // HCO3 acidity = a - c3 + hc - oh. Below the pH where h^2 = K1 K2 dissolved CO2 outweighs
        // carbonate (a > c3), above it carbonate outweighs CO2, so hc - oh bounds the acidity.
        const double limit = (hc - oh) * Units::kAcidity;
        if (h * h > E.K1 * E.K2)
            return pH + ", where dissolved CO2 outweighs carbonate, the HCO3 acidity must be above " +
                   AsCaCO3(limit) + ", not the " + AsCaCO3(d.IHACI) + " entered" + species + ".";
        return pH + ", where carbonate outweighs dissolved CO2, the HCO3 acidity must be below " +
               AsCaCO3(limit) + ", not the " + AsCaCO3(d.IHACI) + " entered" + species + ".";
    }
    case 2:
        return "the total carbonate species entered, " + AsCaCO3(d.ITOTC) + ", is below zero.";
    case 3:
        return "the CO2 pressure entered, " + PressureText(d.IPCO2) + " atm, is below zero" + species + ".";
    default:
        return pH + " " + EnteredMeasure(d) + " gives a total carbonate species of " + AsCaCO3(CT) + ".";
    }
}

[[noreturn]] void RefuseTreatedWater(const std::string& what) {
    throw TEngineError("The calculation gives the treated water " + what +
                       "; no water can have it, so the "
                       "result is refused.");
}

void RequireWithinBound(const char* name, double value, const char* units) {
    if (std::fabs(value) > kMaxConcentration)
        RefuseTreatedWater(std::string(name) + " of " + OperatorNumber(value) + " " + units +
                           ", beyond the " + kBoundText + " any water can hold");
}

} // namespace

std::string OperatorNumber(double value) {
    if (value == 0) value = 0; // no "-0.00"
    const double magnitude = std::fabs(value);
    std::string digits = magnitude >= 1e9 ? Digits(magnitude, std::chars_format::general, 3)
                                          : Digits(magnitude, std::chars_format::fixed, 2);
    // A value that rounds to zero shows no sign.
    const bool negative = value < 0 && digits.find_first_not_of("0.") != std::string::npos;
    return (negative ? "\u2212" : "") + digits;
}

void RequirePossibleLoadedWater() {
    RaiseFloatingPointFaults();
    const auto& E = Engine;
    const TLoadedDataset& d = Facade.Loaded;
    const double CT = (E.ALK + E.ACI) / 2; // mmol/l
    RequireFinite(CT);
    if (CT < -RoundingOfTotalCarbonate(E.ALK, E.ACI))
        RefuseLoadedWater(NegativeCarbonateReason(d, CT * Units::kTotalCarbonate));

    // The largest of the three carbonate figures names what ran away.
    const double alkalinity = E.ALK * Units::kAlkalinity;
    const double acidity = E.ACI * Units::kAcidity;
    const double totalCarbonate = CT * Units::kTotalCarbonate;
    const char* name = "an alkalinity";
    double largest = alkalinity;
    if (std::fabs(acidity) > std::fabs(largest)) name = "an acidity", largest = acidity;
    if (std::fabs(totalCarbonate) > std::fabs(largest))
        name = "a total carbonate species", largest = totalCarbonate;
    if (std::fabs(largest) > kMaxConcentration)
        RefuseLoadedWater("at pH " + PhText(d.IPH) + " " + EnteredMeasure(d) + " means " + name + " of " +
                          AsCaCO3(largest) + ", far beyond the " + kBoundText + " any water can hold.");
}

void RequirePossibleTreatedWater(bool asComputed) {
    const auto& E = Engine;
    RequireWithinBound("an alkalinity", E.ALKF, "mg/l as CaCO3");
    RequireWithinBound("an acidity", E.ACIF, "mg/l as CaCO3");
    RequireWithinBound("a calcium", E.CAF, "mg/l as CaCO3");
    RequireWithinBound("a magnesium", E.MGF, "mg/l as CaCO3");
    RequireWithinBound("a sodium", E.NAF, "mg/l Na");
    RequireWithinBound("a sulphate", E.SO4F, "mg/l SO4");
    RequireWithinBound("a chloride", E.CLF, "mg/l Cl");
    // The conductivity and ionic strength are the TDS in other units.
    RequireWithinBound("a TDS", E.TDSF, "mg/l");
    RequireWithinBound("a precipitation potential", E.CPPF, "mg/l as CaCO3");
    if (asComputed) return;
    if (E.PHF < 0 || E.PHF > 14) RefuseTreatedWater("a pH of " + PhText(E.PHF) + ", outside 0 to 14");
    const double CT = (E.ALKF + E.ACIF) / 2; // mg/l as CaCO3
    if (CT < -RoundingOfTotalCarbonate(E.ALKF, E.ACIF))
        RefuseTreatedWater("a total carbonate species of " + AsCaCO3(CT) + ", below zero");
}

void RequireDosages(std::initializer_list<TNamedDosage> dosages) {
    RaiseFloatingPointFaults();
    for (const TNamedDosage& dosage : dosages) {
        RequireFinite(dosage.Value);
        if (std::fabs(dosage.Value) > kMaxConcentration)
            throw TEngineError(std::string("The calculation gives ") + dosage.Name + " of " +
                               OperatorNumber(dosage.Value) + " mg/l, beyond the " + kBoundText +
                               " any water can hold; the result is refused.");
    }
}
