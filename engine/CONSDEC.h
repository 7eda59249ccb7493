#pragma once
// CONSDEC: the engine's units, its numeric helpers, the equilibrium constants at temperature and
// the two activity models.

#include "EngineState.h"
#include "ReportUnits.h"

// The report-to-engine divisors (Units::kAlkalinity ... kChloride) and the TDS and conductivity
// factors live with the data model, where the windows and the tests read the same figures.

// ln x / ln 10. Raises "Invalid floating point operation" for x <= 0 or NaN.
double Log10(double x);
// exp(ln(base) * exponent). Raises "Invalid floating point operation" for base <= 0 or NaN and
// "Floating point overflow" when the power is too large for a Double.
double PowerOf(double base, double exponent);
// Square root; raises "Invalid floating point operation" for x < 0 or NaN.
double SquareRoot(double x);

// Hydrogen-ion activity h in mmol/l for a pH: PowerOf(10, -pH) * 1000.
inline double HydrogenActivity(double pH) {
    return PowerOf(10, -pH) * 1000;
}
// pH for a hydrogen-ion activity h in mmol/l: -Log10(h / 1000).
inline double PhOfActivity(double h) {
    return -Log10(h / 1000);
}

// Report units to engine units, in the caller's variables. The acidity is divided by 50 where it
// is used.
void ToEngineUnits(double& alkalinity, double& totalCarbonate, double& calcium, double& magnesium,
                   double& sodium, double& sulphate, double& chloride);
// ALKF..CLF of the treated water from engine units to report units, in place.
void ToReportUnits();

inline double IonicStrengthFromTds(double tds) {
    return Units::kTdsToIonicStrength * tds;
}
inline double IonicStrengthFromConductivity(double conductivity) {
    return Units::kConductivityToIonicStrength * conductivity;
}
inline double TdsFromIonicStrength(double mu) {
    return mu / Units::kTdsToIonicStrength;
}
inline double ConductivityFromIonicStrength(double mu) {
    return mu / Units::kConductivityToIonicStrength;
}

// log10 of the constants at temperature T (degrees Celsius), each by its own form.
double LogK1(double T);      // slot 0, analytic, five terms
double LogK2(double T);      // slot 1, analytic, five terms
double LogCalcite(double T); // slot 10, analytic, four terms
double LogHenry(double T);   // slot 39
// Van 't Hoff form from log K at 25 degrees Celsius and the reaction enthalpy (kcal/mol).
double LogVantHoff(double logK25, double deltaH, double T);

// Sets all 40 slots to 0, then fills the used slots with the constants at T, engine units.
void ComputeConstants(double T, TConstantTable& table);

// Dilute activity model: coefficients of singly (f1) and doubly (f2) charged ions at ionic
// strength I.
struct TDiluteCoefficients {
    double f1;
    double f2;
};
TDiluteCoefficients DiluteActivity(double I);

// Ion-pair activity model: the coefficients of the free ions at ionic strength I. The singly
// charged ion pairs take the HCO3- coefficient; uncharged pairs take 1.
struct TIonPairCoefficients {
    double Ca, Mg, SO4, Na, OH, H, CO3, HCO3;
};
TIonPairCoefficients IonPairActivity(double I);

// KACT from KTHERM with the ion-pair model's coefficients (only the model's slots are written).
void ApplyIonPairCoefficients(const TConstantTable& ktherm, const TIonPairCoefficients& g);

// The dilute model for ionic strength I and temperature T: writes K1, K2, KW, KACT (a copy of
// ktherm with the model's slots overwritten), FCA = FMG = FCO3 = 1, FM = f1, KH = KTHERM[39].
// The free-ion values are left as they are.
void ApplyDiluteActivity(const TConstantTable& ktherm, double I, double T);
