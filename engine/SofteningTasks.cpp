// Softening tasks: lime and soda ash to a desired calcium, lime to a desired magnesium, both to a
// desired calcium and magnesium, and the lowest calcium lime can reach.

#include "SofteningTasks.h"

#include "CONSDEC.h"
#include "DETPAR.h"
#include "EngineState.h"
#include "FloatingPointFaults.h"
#include "StepSearch.h"
#include "WATCHEM.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

// Mass of the dosed chemical per mmol, mg: Ca(OH)2 74, Na2CO3 106. A dosage of L mmol/l is
// L * mass * 50 / equivalent weight in mg/l as CaCO3, which the driver turns back into mg/l.
constexpr double kLimeMass = 74;
constexpr double kLimeEquivalent = 37;
constexpr double kSodaAshMass = 106;
constexpr double kSodaAshEquivalent = 53;
constexpr double kCalciumMass = Units::kCalciumAsCa; // for targets in mg/l as Ca

// The text of a number in its shortest form that reads back to the same double, with "." whatever
// the locale.
std::string NumberText(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

// Every change of composition is followed by the constants for the new water.
void RefreshFor(double calcium, double magnesium) {
    auto& E = Engine;
    RefreshConstants(calcium, magnesium, E.NA, E.SO4, E.CL, E.MU, E.T);
}

// Hydroxide at which the current free magnesium is saturated with magnesium hydroxide. Without
// free magnesium no hydroxide is: that is a division by zero.
double HydroxideAtMgOH2Saturation() {
    const auto& E = Engine;
    if (E.MGFREE == 0) RaiseDivisionByZero();
    return PowerOf(E.KACT[kSlotMgOH2] / E.MGFREE, 0.5);
}

// The treated water's salinity figures from its ionic strength MHUF.
void ReportSalinity() {
    auto& E = Engine;
    E.TDSF = TdsFromIonicStrength(E.MHUF);
    E.CONF = ConductivityFromIonicStrength(E.MHUF);
}

double LimeDosage(double L) {
    return L * kLimeMass * Units::kCaCO3Charge / kLimeEquivalent;
}
double SodaAshDosage(double S) {
    return S * kSodaAshMass * Units::kCaCO3Charge / kSodaAshEquivalent;
}

// One pass of SaturateCaCO3AtPh: the search over c3 alone.
TSaturatedWater SaturatedWaterSearch(double m, double h, double oh) {
    auto& E = Engine;
    TSaturatedWater w;
    StepSearch(1.0, [&](double c3) {
        const double b = c3 * h / E.K2;
        const double a = b * h / E.K1;
        const double hc = h / E.FM;
        w.Alk = 2 * c3 + b + oh - hc;
        w.Acy = 2 * a + b - oh + hc;
        E.CAFREE = E.KACT[kSlotCalcite] / (c3 / E.FCO3);
        w.CaT = E.CAFREE * E.FCA;
        return m - (w.Alk - 2 * w.CaT);
    });
    return w;
}

// The lowest-calcium point where bicarbonate equals hydroxide: a search over h from 0.001.
struct TLowestCalciumPoint {
    double h = 0;
    double CaT = 0;
    double Alk = 0;
};
TLowestCalciumPoint BicarbonateEqualsHydroxide(double LIMEINV) {
    auto& E = Engine;
    TLowestCalciumPoint p;
    p.h = StepSearch(0.001, [&](double h) {
        const double hc = h / E.FM;
        const double oh = E.KW / h;
        const double b = oh;
        const double c3 = E.K2 * b / h;
        E.CAFREE = E.KACT[kSlotCalcite] / (c3 / E.FCO3);
        p.CaT = E.CAFREE * E.FCA;
        p.Alk = 2 * c3 + b + oh - hc;
        return (p.Alk - 2 * p.CaT) - LIMEINV;
    });
    return p;
}

// Step 4 of lime softening: the activity h that balances the alkalinity A0 at carbonate c3,
// first without the hydrogen-ion term, then with it where the water turns out acid enough.
double LimeSofteningActivity(double c3, double A0, double desiredCalcium) {
    const auto& E = Engine;
    const double A = 2 * c3 - A0;
    auto root = [&](double v) {
        const double D = A * A - 4 * v * E.KW;
        if (D < 0)
            throw TEngineError("Lime cannot soften this water to a calcium of " + NumberText(desiredCalcium) +
                               " mg/l as CaCO3: the alkalinity balance at that calcium has no solution "
                               "(negative discriminant). Choose another calcium target.");
        return (PowerOf(D, 0.5) - A) / (2 * v);
    };
    double h = root(c3 / E.K2);
    if (h - E.KACT[kSlotHSO4] > 0) h = root(c3 / E.K2 - 1);
    return h;
}

} // namespace

TSaturatedWater SaturateCaCO3AtPh(double m, double h, double oh, double Mg) {
    TSaturatedWater w;
    for (int pass = 0; pass < 2; ++pass) {
        w = SaturatedWaterSearch(m, h, oh);
        RefreshFor(w.CaT, Mg);
    }
    return w;
}

double CaminOfLowestCalcium(double lowestCalcium) {
    return std::trunc(lowestCalcium * kCalciumMass + 1);
}

TSofteningLimits SofteningCaLimits() {
    auto& E = Engine;
    TSofteningLimits limits;
    limits.LIMEINV = E.ALK - 2 * E.CA;
    double Cw = E.CA;
    TLowestCalciumPoint p;
    for (int pass = 0; pass < 2; ++pass) {
        RefreshFor(Cw, E.MG);
        E.MHUF = E.MU;
        p = BicarbonateEqualsHydroxide(limits.LIMEINV);
        Cw = p.CaT;
    }
    limits.HMIN = p.h;

    // Magnesium hydroxide stays undersaturated at this pH when KACT[12] / ohm^2 >= MGFREE.
    const double ohm = E.KW / (p.h / E.FM);
    double lowestCalcium = 0;
    if (E.KACT[kSlotMgOH2] / (ohm * ohm) - E.MGFREE >= 0) {
        lowestCalcium = p.CaT;
        limits.ALKMIN = p.Alk;
        limits.ACIMIN = 0;
    } else {
        // Magnesium hydroxide precipitates first: the lowest calcium is that of the calcite-saturated
        // water at the pH where all the magnesium is just saturated with it.
        E.MGFREE = E.MG / E.FMG;
        const double oh = HydroxideAtMgOH2Saturation();
        limits.HMIN = E.KW / oh;
        const TSaturatedWater w = SaturateCaCO3AtPh(limits.LIMEINV, limits.HMIN, oh, E.MG);
        lowestCalcium = w.CaT;
        limits.ALKMIN = w.Alk;
        limits.ACIMIN = w.Acy;
    }
    limits.CAMIN = CaminOfLowestCalcium(lowestCalcium);
    limits.MUMIN = E.MHUF;
    return limits;
}

double SoftenCaLime(double desiredCalcium, const TSofteningLimits& limits) {
    auto& E = Engine;
    const double x = desiredCalcium;
    E.CAF = x * kCalciumMass / Units::kCalcium; // mg/l as Ca
    E.ALKF = limits.ALKMIN;
    E.ACIF = limits.ACIMIN;
    const double d = E.CAF - limits.CAMIN;
    double L = 0;
    if (d < 0) {
        throw TEngineError("The desired calcium of " + NumberText(x) +
                           " mg/l as CaCO3 is below the lowest calcium lime can reach for this water, " +
                           NumberText(limits.CAMIN * Units::kCalcium / kCalciumMass) + " mg/l as CaCO3.");
    } else if (d == 0) {
        // The lowest-calcium point itself, with the ionic strength it was computed at.
        E.PHF = PhOfActivity(limits.HMIN);
        L = (E.ACI - E.ACIF) / 2;
        E.CAF = x / Units::kCalcium;
        E.MHUF = limits.MUMIN;
    } else {
        E.CAF = E.CAF / kCalciumMass; // mmol/l
        RefreshFor(E.CAF, E.MG);
        E.MHUF = E.MU;
        // Carbonate in equilibrium with the target calcium.
        E.CAFREE = E.CAF / E.FCA;
        const double c3 = (E.KACT[kSlotCalcite] / E.CAFREE) * E.FCO3;
        // Lime keeps Alk - 2*Ca: the treated alkalinity is A0.
        const double A0 = 2 * E.CAF + limits.LIMEINV;
        const double h = LimeSofteningActivity(c3, A0, x);
        const double oh = E.KW / h;
        const double hc = h / E.FM;
        const double b = c3 * h / E.K2;
        const double a = b * h / E.K1;
        const double s = h * E.SO4FREE / E.KACT[kSlotHSO4]; // bisulphate
        E.ACIF = 2 * a + b - oh + hc + s;
        E.ALKF = 2 * c3 + b + oh - hc - s;
        L = (E.ACI - E.ACIF) / 2;
        E.PHF = PhOfActivity(h);
    }
    E.MGF = E.MG;
    E.NAF = E.NA;
    E.SO4F = E.SO4;
    E.CLF = E.CL;
    E.TF = E.T;
    ReportSalinity();
    E.CPPF = 0;
    return LimeDosage(L);
}

double PhFromAcidityAndCarbonate(double Y, double c3) {
    auto& E = Engine;
    const double h = StepSearch(10.0, [&](double h) {
        const double hc = h / E.FM;
        E.HACT = h;
        E.HCONC = hc;
        const double acidity = (c3 * h / E.K2) * (2 * h / E.K1 + 1) + hc - E.KW / h;
        return Y - acidity;
    });
    E.HACT = h / 1000; // mol/l from here on
    return PhOfActivity(h);
}

double SoftenCaSodaAsh(double desiredCalcium) {
    auto& E = Engine;
    E.ACIF = E.ACI; // soda ash adds no acidity
    E.MGF = E.MG;
    E.NAF = E.NA;
    E.SO4F = E.SO4;
    E.CLF = E.CL;
    E.TF = E.T;
    const double m0 = E.ALK - 2 * E.CA;
    E.CAF = desiredCalcium / Units::kCalcium;
    RefreshConstants(E.CAF, E.MGF, E.NAF, E.SO4F, E.CLF, E.MU, E.T);
    E.MHUF = E.MU;
    // Carbonate in equilibrium with the target calcium, whose free part is total / FCA as in the
    // precipitation potential (the refresh leaves the sulphate-paired free calcium in CAFREE, which
    // in the dilute model, FCA = 1, is not the free calcium the potential counts).
    E.CAFREE = E.CAF / E.FCA;
    const double c3 = (E.KACT[kSlotCalcite] / E.CAFREE) * E.FCO3;
    E.PHF = PhFromAcidityAndCarbonate(E.ACIF, c3);
    E.ALKF = AlkalinityFromAcidity(E.ACIF, E.PHF);
    // The carbonate added beyond the invariant Alk - 2*Ca, as Na2CO3.
    const double S = ((E.ALKF - 2 * E.CAF) - m0) / 2;
    E.NAF = E.NAF + 2 * S;
    ReportSalinity();
    E.CPPF = PrecipitationPotential(E.PHF, E.ALKF, E.CAF, E.ACIF);
    return SodaAshDosage(S);
}

double SoftenMg(double desiredMagnesium) {
    auto& E = Engine;
    const double m0 = E.ALK - 2 * E.CA;
    E.MGF = desiredMagnesium / Units::kMagnesium;
    RefreshFor(E.CA, E.MGF);
    E.MHUF = E.MU;
    const double oh = HydroxideAtMgOH2Saturation();
    const double h = E.KW / oh;
    // Magnesium hydroxide removed takes twice its amount out of the invariant.
    const double dMg = E.MG - E.MGF;
    const double m = m0 - 2 * dMg;
    const TSaturatedWater w = SaturateCaCO3AtPh(m, h, oh, E.MGF);
    E.CAF = w.CaT;
    E.ALKF = w.Alk;
    E.ACIF = w.Acy;
    E.NAF = E.NA;
    E.SO4F = E.SO4;
    E.CLF = E.CL;
    E.TF = E.T;
    // One mmol of lime per mmol of magnesium removed, beside the lime that the acidity takes.
    const double L = (E.ACI - E.ACIF) / 2 + dMg;
    E.PHF = PhOfActivity(h);
    ReportSalinity();
    E.CPPF = 0;
    return LimeDosage(L);
}

TLimeAndSodaAsh SoftenCaMg(double desiredCalcium, double desiredMagnesium) {
    auto& E = Engine;
    E.MGF = desiredMagnesium / Units::kMagnesium;
    const double Ct = desiredCalcium / Units::kCalcium;
    const double m0 = E.ALK - 2 * E.CA;
    RefreshFor(Ct, E.MGF);
    E.MHUF = E.MU;
    const double oh = HydroxideAtMgOH2Saturation();
    const double h = E.KW / oh;
    const double dMg = E.MG - E.MGF;
    const double m = m0 - 2 * dMg;
    const TSaturatedWater w = SaturateCaCO3AtPh(m, h, oh, E.MGF);
    E.ALKF = w.Alk;
    E.ACIF = w.Acy;
    TLimeAndSodaAsh dosages;
    dosages.Lime = LimeDosage((E.ACI - E.ACIF) / 2 + dMg);
    // Soda ash precipitates the calcium that lime leaves above the target.
    const double S = w.CaT - Ct;
    dosages.SodaAsh = SodaAshDosage(S);
    E.CAF = Ct;
    E.PHF = PhOfActivity(h);
    E.NAF = E.NA + 2 * S;
    E.SO4F = E.SO4;
    E.CLF = E.CL;
    E.TF = E.T;
    ReportSalinity();
    E.CPPF = 0;
    return dosages;
}
