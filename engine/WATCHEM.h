#pragma once
// WATCHEM: from an analysis to the water state. Sulphate ion pairing with the ion-pair activity
// model, the carbonate-system conversions, the constants refresh and DefineWater.
//
// Carbonate notation (mmol/l): h hydrogen-ion activity, hc = h / FM its concentration,
// oh = KW / h; c3 carbonate including its ion pairs, b = h*c3/K2 bicarbonate including its pairs,
// a = h*b/K1 dissolved CO2 (H2CO3*). Alkalinity = b + 2*c3 + oh - hc, acidity (CO3-- reference)
// = 2*a + b + hc - oh, so alkalinity + acidity = 2*CT.

#include "EngineState.h"

// The ionic strength at or below which a water takes the dilute activity model (inclusive).
inline constexpr double kDiluteIonicStrengthLimit = 0.025;

// Solves the sulphate ion pairs for the totals (engine units) and applies the ion-pair model.
// Sets KACT, SO4FREE, CAFREE, MGFREE, NAFREE, FM, FCA, FMG, FCO3, K1, K2, KW, KH; returns the
// ionic strength of the ions.
double ApplyIonPairing(const TConstantTable& ktherm, double calcium, double magnesium, double sodium,
                       double sulphate, double chloride);

// Constants for a changed composition (engine units): ApplyIonPairing, and when its ionic
// strength is at most 0.025 the dilute model at `mu` and `T` (mu unchanged); otherwise mu takes
// the ions' ionic strength and the ion-pair constants stay.
void RefreshConstants(double calcium, double magnesium, double sodium, double sulphate, double chloride,
                      double& mu, double T);

// Carbonate conversions at a pH with the current K1, K2, KW, FM, KH. Each stores h in HACT and
// hc in HCONC. Alkalinity and acidity in mmol/l of charge, CT in mmol/l, pressure in atm.
double AcidityFromAlkalinity(double alkalinity, double pH);
double AlkalinityFromAcidity(double acidity, double pH);
double AlkalinityFromPco2(double pressureCO2, double pH);
double AlkalinityFromTotalCarbonate(double CT, double pH);
// x: the bicarbonate-referenced acidity a - c3 + hc - oh. Raises "Floating point division by
// zero" where h^2 = K1*K2 (near pH 8.3), where the relation has no solution.
double AlkalinityFromHco3Acidity(double x, double pH);

// Turns an analysis (report units; the acidity is the HCO3-referenced one) into the water state,
// the equilibrium state, KTHERM and KACT.
void DefineWater(int WATCHAR, int CARBSYSORDER, double pH, double temperature, double sodium,
                 double magnesium, double calcium, double chloride, double sulphate, double tds,
                 double conductivity, double ionicStrength, double alkalinity, double acidity,
                 double totalCarbonate, double pressureCO2);
