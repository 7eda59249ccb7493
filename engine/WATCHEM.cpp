// WATCHEM: ion pairing, carbonate conversions, constants refresh and DefineWater.

#include "WATCHEM.h"

#include "CONSDEC.h"
#include "FloatingPointFaults.h"
#include "StepSearch.h"

namespace {

// One pass of the sulphate ion pairs: free sulphate by the step search, then the free cations,
// the ionic strength and the ion-pair model's KACT for it. Returns I.
double IonPairingPass(const TConstantTable& ktherm, double calcium, double magnesium, double sodium,
                      double sulphate, double chloride) {
    auto& E = Engine;
    const auto& A = E.KACT;
    // g(x) = sulphate - x (1 + Ca/(x + K19) + Mg/(x + K23) + Na/(x + K27)) falls as x rises.
    const double x = StepSearch(sulphate, [&](double xs) {
        return sulphate - xs * (1 + calcium / (xs + A[kSlotCaSO4]) + magnesium / (xs + A[kSlotMgSO4]) +
                                sodium / (xs + A[kSlotNaSO4]));
    });
    E.SO4FREE = x;
    E.CAFREE = calcium / (x / A[kSlotCaSO4] + 1);
    E.MGFREE = magnesium / (x / A[kSlotMgSO4] + 1);
    E.NAFREE = sodium / (x / A[kSlotNaSO4] + 1);
    const double NaSO4 = sodium - E.NAFREE;
    // Doubly charged free ions count four times; NaSO4- counts like the sodium it holds.
    const double I = 0.5 * ((E.CAFREE + E.MGFREE + x) * 4 / 1000 + (E.NAFREE + chloride + NaSO4) / 1000);
    const TIonPairCoefficients g = IonPairActivity(I);
    E.FM = g.H;
    ApplyIonPairCoefficients(ktherm, g);
    return I;
}

// The carbonate conversions start alike: h, hc and oh at the pH, with h and hc kept in the scratch.
struct THydrogen {
    double h, hc, oh;
};
THydrogen HydrogenAt(double pH) {
    auto& E = Engine;
    const double h = HydrogenActivity(pH);
    const double hc = h / E.FM;
    const double oh = E.KW / h;
    E.HACT = h;
    E.HCONC = hc;
    return {h, hc, oh};
}

// g = (2 K2/h + 1) / (2 h/K1 + 1): bicarbonate-and-carbonate over bicarbonate-and-CO2 weighting.
double CarbonateRatio(double h) {
    return (2 * Engine.K2 / h + 1) / (2 * h / Engine.K1 + 1);
}

} // namespace

double ApplyIonPairing(const TConstantTable& ktherm, double calcium, double magnesium, double sodium,
                       double sulphate, double chloride) {
    auto& E = Engine;
    E.KACT = ktherm; // the first pass works with activity coefficients of 1
    double I = IonPairingPass(ktherm, calcium, magnesium, sodium, sulphate, chloride);
    I = IonPairingPass(ktherm, calcium, magnesium, sodium, sulphate, chloride);

    const auto& A = E.KACT;
    const double x = E.SO4FREE;
    // Bicarbonate including its pairs over free bicarbonate.
    const double Fb =
        1 + E.CAFREE / A[kSlotCaHCO3] + E.MGFREE / A[kSlotMgHCO3] + E.NAFREE / A[kSlotNaBicarbonate];
    E.FCO3 = 1 + E.CAFREE / A[kSlotCaCO3] + E.MGFREE / A[kSlotMgCO3] + E.NAFREE / A[kSlotNaCO3];
    E.FCA = 1 + x / A[kSlotCaSO4];
    E.FMG = 1 + x / A[kSlotMgSO4];
    E.K1 = A[kSlotK1] * Fb;
    E.K2 = A[kSlotK2] * E.FCO3 / Fb;
    E.KW = A[kSlotKw];
    E.KH = ktherm[kSlotHenry];
    return I;
}

void RefreshConstants(double calcium, double magnesium, double sodium, double sulphate, double chloride,
                      double& mu, double T) {
    const double I = ApplyIonPairing(Engine.KTHERM, calcium, magnesium, sodium, sulphate, chloride);
    if (I <= kDiluteIonicStrengthLimit)
        ApplyDiluteActivity(Engine.KTHERM, mu, T);
    else
        mu = I;
}

double AcidityFromAlkalinity(double alkalinity, double pH) {
    const auto [h, hc, oh] = HydrogenAt(pH);
    const auto& E = Engine;
    return hc + ((alkalinity + hc - oh) * (2 * h / E.K1 + 1) / (2 * E.K2 / h + 1) - oh);
}

double AlkalinityFromAcidity(double acidity, double pH) {
    const auto [h, hc, oh] = HydrogenAt(pH);
    const auto& E = Engine;
    return (acidity - hc + oh) * (2 * E.K2 / h + 1) / (2 * h / E.K1 + 1) + oh - hc;
}

// a = KH * pCO2.
double AlkalinityFromPco2(double pressureCO2, double pH) {
    const auto [h, hc, oh] = HydrogenAt(pH);
    const auto& E = Engine;
    return (2 * E.K2 / h + 1) * (E.K1 * E.KH * pressureCO2 / h) + oh - hc;
}

// From alkalinity + acidity = 2 CT.
double AlkalinityFromTotalCarbonate(double CT, double pH) {
    const auto [h, hc, oh] = HydrogenAt(pH);
    const double g = CarbonateRatio(h);
    return ((2 * CT + oh - hc) * g - hc + oh) / (g + 1);
}

// From acidity - alkalinity = 2 x.
double AlkalinityFromHco3Acidity(double x, double pH) {
    const auto [h, hc, oh] = HydrogenAt(pH);
    const double g = CarbonateRatio(h);
    const double denominator = 1 - g;
    if (denominator == 0) RaiseDivisionByZero();
    return ((2 * x + oh - hc) * g - hc + oh) / denominator;
}

void DefineWater(int WATCHAR, int CARBSYSORDER, double pH, double temperature, double sodium,
                 double magnesium, double calcium, double chloride, double sulphate, double tds,
                 double conductivity, double ionicStrength, double alkalinity, double acidity,
                 double totalCarbonate, double pressureCO2) {
    auto& E = Engine;
    // 1. Engine units.
    ToEngineUnits(alkalinity, totalCarbonate, calcium, magnesium, sodium, sulphate, chloride);
    // 2. Constants at the temperature.
    ComputeConstants(temperature, E.KTHERM);
    // 3. Ionic strength from the salinity measure; another index leaves MU as it was.
    switch (WATCHAR) {
    case 0:
        E.MU = IonicStrengthFromTds(tds);
        break;
    case 1:
        E.MU = IonicStrengthFromConductivity(conductivity);
        break;
    case 2:
        E.MU = ionicStrength;
        break;
    default:
        break;
    }
    // 4.-5. Ion pairs; a dilute water (exactly 0.025 included) keeps its own ionic strength and
    // takes the dilute model, a brackish one the ions' ionic strength and the ion-pair model.
    const double I = ApplyIonPairing(E.KTHERM, calcium, magnesium, sodium, sulphate, chloride);
    if (I <= kDiluteIonicStrengthLimit)
        ApplyDiluteActivity(E.KTHERM, E.MU, temperature);
    else
        E.MU = I;
    // 6. Alkalinity from the carbonate measure; another index leaves ALK as it was.
    switch (CARBSYSORDER) {
    case 0:
        E.ALK = alkalinity;
        break;
    case 1:
        E.ALK = AlkalinityFromHco3Acidity(acidity / Units::kAcidity, pH);
        break;
    case 2:
        E.ALK = AlkalinityFromTotalCarbonate(totalCarbonate, pH);
        break;
    case 3:
        E.ALK = AlkalinityFromPco2(pressureCO2, pH);
        break;
    default:
        break;
    }
    // 7. Acidity (CO3-- reference).
    E.ACI = AcidityFromAlkalinity(E.ALK, pH);
    // 8. The water itself.
    E.CA = calcium;
    E.MG = magnesium;
    E.NA = sodium;
    E.SO4 = sulphate;
    E.CL = chloride;
    E.PH = pH;
    E.T = temperature;
}
