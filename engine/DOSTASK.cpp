// DOSTASK: pH adjustment and stabilisation tasks.

#include "DOSTASK.h"

#include "CONSDEC.h"
#include "DETPAR.h"
#include "EngineError.h"
#include "EngineState.h"
#include "StepSearch.h"
#include "WATCHEM.h"

#include <string>

namespace {

// The ions a chemical does not change, as loaded; the task then sets the one it changes.
void CopyIons() {
    auto& E = Engine;
    E.CAF = E.CA;
    E.MGF = E.MG;
    E.NAF = E.NA;
    E.SO4F = E.SO4;
    E.CLF = E.CL;
}

// The ionic strength is not recomputed for the dosed ions; TDS and conductivity follow it.
void KeepLoadedIonicStrength() {
    auto& E = Engine;
    E.TF = E.T;
    E.MHUF = E.MU;
    E.TDSF = TdsFromIonicStrength(E.MHUF);
    E.CONF = ConductivityFromIonicStrength(E.MHUF);
}

// The common end of a pH adjustment: pH, ionic strength and the treated water's potential.
void FinishPhAdjustment(double p) {
    auto& E = Engine;
    E.PHF = p;
    KeepLoadedIonicStrength();
    E.CPPF = PrecipitationPotential(E.PHF, E.ALKF, E.CAF, E.ACIF);
}

// Total carbonate of the loaded water, mmol/l.
double LoadedTotalCarbonate() {
    return (Engine.ALK + Engine.ACI) / 2;
}

// Carbonate ion (with its pairs) of a water saturated with calcite at total calcium Ct; writes
// the free calcium CAFREE = Ct / FCA.
double SaturationCarbonate(double Ct) {
    auto& E = Engine;
    E.CAFREE = Ct / E.FCA;
    return (E.KACT[kSlotCalcite] / E.CAFREE) * E.FCO3;
}

// The closed forms of the CO2 and strong-acid tasks give the hydrogen activity of the saturated
// end point as a root of a quadratic. When the water lacks the alkalinity (CO2) or the carbonate
// (strong acid) that calcite saturation at the desired potential needs, that root is zero or
// negative: no water has that end point, and the numbers built on it would be meaningless.
void RequireSaturatedEndPoint(double h, const char* chemical, const char* lacking) {
    if (!(h > 0))
        throw TEngineError(std::string("The desired precipitation potential cannot be reached with ") +
                           chemical + ": the water has too little " + lacking + ".");
}

// The common end of a stabilisation: the desired potential itself is reported.
void FinishStabilisation(double P) {
    KeepLoadedIonicStrength();
    Engine.CPPF = P * Units::kPotential;
}

} // namespace

void AdjustPhCo2(double p, double& dosage) {
    auto& E = Engine;
    E.ALKF = E.ALK;
    E.ACIF = AcidityFromAlkalinity(E.ALK, p);
    const double D = (E.ACIF - E.ACI) / 2; // one CO2 adds two units of acidity
    CopyIons();
    FinishPhAdjustment(p);
    dosage = D * Units::kCaCO3;
}

void AdjustPhLime(double p, double& dosage) {
    auto& E = Engine;
    E.ALKF = AlkalinityFromTotalCarbonate(LoadedTotalCarbonate(), p);
    const double D = (E.ALKF - E.ALK) / 2;
    E.ACIF = E.ACI - 2 * D;
    CopyIons();
    E.CAF = E.CA + D;
    FinishPhAdjustment(p);
    dosage = D * Units::kCaCO3;
}

void AdjustPhSodaAsh(double p, double& dosage) {
    auto& E = Engine;
    E.ALKF = AlkalinityFromAcidity(E.ACI, p);
    const double D = (E.ALKF - E.ALK) / 2;
    E.ACIF = E.ACI;
    CopyIons();
    E.NAF = E.NA + 2 * D;
    FinishPhAdjustment(p);
    dosage = D * Units::kCaCO3;
}

void AdjustPhCausticSoda(double p, double& dosage) {
    auto& E = Engine;
    E.ALKF = AlkalinityFromTotalCarbonate(LoadedTotalCarbonate(), p);
    const double D = E.ALKF - E.ALK;
    E.ACIF = E.ACI - D;
    CopyIons();
    E.NAF = E.NA + D;
    FinishPhAdjustment(p);
    dosage = D * Units::kCaCO3Charge;
}

void AdjustPhHcl(double p, double& dosage) {
    auto& E = Engine;
    E.ALKF = AlkalinityFromTotalCarbonate(LoadedTotalCarbonate(), p);
    const double D = E.ALK - E.ALKF;
    E.ACIF = E.ACI + D;
    CopyIons();
    E.CLF = E.CL + D;
    FinishPhAdjustment(p);
    dosage = D * Units::kCaCO3Charge;
}

void AdjustPhBicarbonate(double p, double& dosage) {
    auto& E = Engine;
    E.ALKF = AlkalinityFromHco3Acidity((E.ACI - E.ALK) / 2, p);
    const double D = E.ALKF - E.ALK;
    E.ACIF = E.ACI + D;
    CopyIons();
    E.NAF = E.NA + D;
    FinishPhAdjustment(p);
    dosage = D * Units::kCaCO3Charge;
}

// Strong acid and base keep the total carbonate.
void StabiliseStrongAcid(double desiredPotential, bool causticSoda, double& dosage) {
    auto& E = Engine;
    const double P = desiredPotential / Units::kPotential;
    // 1.-2. The saturated end point: calcium Ce, carbonate c3, total carbonate CTe.
    const double Ce = E.CA - P;
    const double c3 = SaturationCarbonate(Ce);
    const double CT = LoadedTotalCarbonate();
    const double CTe = CT - P;
    // 3. h from CTe = c3 + c3 h/K2 + c3 h^2/(K1 K2).
    const double q2 = c3 / (E.K1 * E.K2);
    const double q1 = c3 / E.K2;
    const double q0 = c3 - CTe;
    const double d = q1 * q1 - 4 * q2 * q0;
    const char* chemical = causticSoda ? "caustic soda" : "hydrochloric acid";
    if (d < 0) RequireSaturatedEndPoint(0, chemical, "carbonate"); // no real root: no such end point
    const double h = (PowerOf(d, 0.5) - q1) / (2 * q2);
    RequireSaturatedEndPoint(h, chemical, "carbonate");
    // 4.-5. The saturated water, hydrogen-ion term left out.
    const double oh = E.KW / h;
    const double b = h * c3 / E.K2;
    const double a = b * h / E.K1;
    const double Ae = 2 * c3 + b + oh;
    E.ACIF = 2 * a + b - oh;
    // 6.-7. The dosed water before it deposits P.
    E.ALKF = Ae + 2 * P;
    E.PHF = PhFromAlkalinityAndAcidity(E.ALKF, E.ACIF);
    // 8.-9. Acid amount and the ion it brings.
    const double D = E.ACIF - E.ACI;
    dosage = D * Units::kCaCO3Charge;
    CopyIons();
    if (causticSoda)
        E.NAF = E.NA - D;
    else
        E.CLF = E.CL + D;
    FinishStabilisation(P);
}

// CO2 keeps the alkalinity.
void StabiliseCo2(double desiredPotential, double& dosage) {
    auto& E = Engine;
    const double P = desiredPotential / Units::kPotential;
    const double Ce = E.CA - P;
    const double c3 = SaturationCarbonate(Ce);
    const double Ae = E.ALK - 2 * P;
    // h from Ae = 2 c3 + b + oh (no hydrogen-ion term).
    const double q2 = c3 / E.K2;
    const double q1 = 2 * c3 - Ae;
    const double d = q1 * q1 - 4 * q2 * E.KW;
    // A negative discriminant is the same lack as a non-positive root: no pH reached by CO2 alone
    // saturates this water at the desired potential.
    if (d < 0) RequireSaturatedEndPoint(0, "CO2", "alkalinity");
    const double h = (PowerOf(d, 0.5) - q1) / (2 * q2);
    RequireSaturatedEndPoint(h, "CO2", "alkalinity");
    const double b = c3 * h / E.K2;
    const double a = b * h / E.K1;
    E.ACIF = 2 * a + b - E.KW / h;
    E.ALKF = E.ALK;
    E.PHF = PhFromAlkalinityAndAcidity(E.ALKF, E.ACIF);
    const double D = (E.ACIF - E.ACI) / 2;
    dosage = D * Units::kCaCO3;
    CopyIons();
    FinishStabilisation(P);
}

// Soda ash keeps the acidity.
void StabiliseSodaAsh(double desiredPotential, double& dosage) {
    auto& E = Engine;
    const double P = desiredPotential / Units::kPotential;
    const double Ce = E.CA - P;
    const double c3 = SaturationCarbonate(Ce);
    double Ae = 0;
    StepSearch(10.0, [&](double h) {
        const double b = h * c3 / E.K2;
        const double a = h * b / E.K1;
        const double hc = h / E.FM;
        const double oh = E.KW / h;
        Ae = 2 * c3 + b - (hc - oh);
        const double Y = 2 * a + b + (hc - oh);
        return E.ACI - Y;
    });
    E.ALKF = Ae + 2 * P;
    E.ACIF = E.ACI;
    E.PHF = PhFromAlkalinityAndAcidity(E.ALKF, E.ACIF);
    const double D = (E.ALKF - E.ALK) / 2;
    dosage = D * Units::kCaCO3;
    CopyIons();
    E.NAF = E.NA + 2 * D;
    FinishStabilisation(P);
}

// Lime keeps the total carbonate and alkalinity - 2 calcium; the end point's calcium depends on
// the lime dosed, so the search runs over h.
void StabiliseLime(double desiredPotential, double& dosage) {
    auto& E = Engine;
    const double P = desiredPotential / Units::kPotential;
    const double CT = LoadedTotalCarbonate();
    const double m = E.ALK - 2 * E.CA;
    const double CTe = CT - P;
    double Ae = 0, Ye = 0, Ce = 0;
    StepSearch(10.0, [&](double h) {
        const double b = CTe / (h / E.K1 + 1 + E.K2 / h);
        const double c3 = E.K2 * b / h;
        const double hc = h / E.FM;
        const double oh = E.KW / h;
        Ae = 2 * c3 + b + oh - hc;
        Ye = 2 * CTe - Ae;
        E.CAFREE = E.KACT[kSlotCalcite] / (c3 / E.FCO3);
        Ce = E.CAFREE * E.FCA;
        return (Ae - 2 * Ce) - m;
    });
    E.ALKF = Ae + 2 * P;
    E.ACIF = Ye;
    CopyIons();
    E.CAF = Ce + P;
    E.PHF = PhFromAlkalinityAndAcidity(E.ALKF, E.ACIF);
    const double D = E.CAF - E.CA;
    dosage = D * Units::kCaCO3;
    FinishStabilisation(P);
}
