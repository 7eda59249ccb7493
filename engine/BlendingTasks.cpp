// Blending tasks and their drivers.

#include "BlendingTasks.h"

#include "CONSDEC.h"
#include "DETPAR.h"
#include "FloatingPointFaults.h"
#include "WATCHEM.h"

#include <charconv>
#include <string>

namespace {

// The components a blend can take: the capacity of the tables.
void RequireComponentCount(int n) {
    if (n < 1 || n > kMaxBlendComponents)
        throw TEngineError("A blend takes 1 to " + std::to_string(kMaxBlendComponents) + " waters; " +
                           std::to_string(n) + " were given.");
}

// The blended water: ALKF..CLF, TF and MHUF as the weighted sum of the components with `weight`.
template <class Weight> void MixComponents(int n, const TBlendComponents& c, Weight weight) {
    auto& E = Engine;
    E.ALKF = E.ACIF = E.CAF = E.MGF = E.NAF = E.SO4F = E.CLF = E.TF = E.MHUF = 0;
    for (int i = 1; i <= n; ++i) {
        const double w = weight(i);
        E.ALKF += w * c.ALK[i];
        E.ACIF += w * E.BACI[i];
        E.CAF += w * c.CA[i];
        E.MGF += w * c.MG[i];
        E.NAF += w * c.NA[i];
        E.SO4F += w * c.SO4[i];
        E.CLF += w * c.CL[i];
        E.TF += w * c.T[i];
        E.MHUF += w * c.MU[i];
    }
}

// The constants for the blend's ions at the temperature `T` (the constants of KTHERM stay those of
// the last component); a dilute blend keeps its mixed ionic strength.
void RefreshForBlend(double T) {
    auto& E = Engine;
    RefreshConstants(E.CAF, E.MGF, E.NAF, E.SO4F, E.CLF, E.MHUF, T);
}

// A number with two decimals and "." whatever the locale, for messages.
std::string TwoDecimals(double value) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2).ptr;
    return std::string(text, end);
}

// A fraction of water 1 beyond 0..1 extrapolates the blend; once that leaves a negative amount of
// an ion there is no water to compute constants for.
void RequireRealMixture(double x, double p) {
    const auto& E = Engine;
    if (E.CAF < 0 || E.MGF < 0 || E.NAF < 0 || E.SO4F < 0 || E.CLF < 0)
        throw TEngineError("These two waters cannot be blended to pH " + TwoDecimals(p) + ": it would take " +
                           TwoDecimals(x * 100) + " % of water 1 and " + TwoDecimals((1 - x) * 100) +
                           " % of water 2, which leaves negative ion concentrations.");
}

void ReportSalinity() {
    auto& E = Engine;
    E.TDSF = TdsFromIonicStrength(E.MHUF);
    E.CONF = ConductivityFromIonicStrength(E.MHUF);
}

} // namespace

// Both sides of (Acy - hc + oh) * P = (Alk - oh + hc) * Q are the bicarbonate times P*Q; the
// mixture's alkalinity and acidity are linear in x.
double BlendFractionOfWater1(double p) {
    const auto& E = Engine;
    const double Alk1 = E.BALK[1], Alk2 = E.BALK[2];
    const double Acy1 = E.BACI[1], Acy2 = E.BACI[2];
    if (Alk1 == Alk2 && Acy1 == Acy2) return 0.5;
    const double h = HydrogenActivity(p);
    const double hc = h / E.FM;
    const double oh = E.KW / h;
    const double P = 2 * E.K2 / h + 1;
    const double Q = 2 * h / E.K1 + 1;
    const double numerator = (Acy2 - hc + oh) - (Alk2 - oh + hc) * Q / P;
    const double denominator = (Alk1 - Alk2) * Q / P - (Acy1 - Acy2);
    if (denominator == 0) RaiseDivisionByZero();
    return numerator / denominator;
}

TBlendComponents CopyOfBlendTables() {
    const auto& E = Engine;
    TBlendComponents c;
    c.PH = E.BPH;
    c.ALK = E.BALK;
    c.FRAC = E.BFRAC;
    c.MU = E.BMU;
    c.T = E.BT;
    c.CL = E.BCL;
    c.SO4 = E.BSO4;
    c.NA = E.BNA;
    c.MG = E.BMG;
    c.CA = E.BCA;
    return c;
}

void ComponentAcidity(int n, TBlendComponents& c) {
    RequireComponentCount(n);
    auto& E = Engine;
    for (int i = 1; i <= n; ++i) {
        ComputeConstants(c.T[i], E.KTHERM);
        RefreshConstants(c.CA[i], c.MG[i], c.NA[i], c.SO4[i], c.CL[i], c.MU[i], c.T[i]);
        E.BACI[i] = AcidityFromAlkalinity(c.ALK[i], c.PH[i]);
    }
}

void BlendWaters(int n, TBlendComponents c) {
    auto& E = Engine;
    E.TDSF = 0;
    ComponentAcidity(n, c);
    MixComponents(n, c, [&](int i) { return c.FRAC[i] / 100; });
    RefreshForBlend(c.T[n]);
    E.PHF = PhFromAlkalinityAndAcidity(E.ALKF, E.ACIF);
    ReportSalinity();
    E.CPPF = PrecipitationPotential(E.PHF, E.ALKF, E.CAF, E.ACIF);
}

void BlendToPh(TBlendComponents c, double p, double& percentWater1, double& percentWater2) {
    auto& E = Engine;
    E.PHF = p;
    ComponentAcidity(2, c);
    // The first pass works with the constants of water 2, the second with those of the mixture.
    double x = 0;
    for (int pass = 0; pass < 2; ++pass) {
        x = BlendFractionOfWater1(p);
        MixComponents(2, c, [&](int i) { return i == 1 ? x : 1 - x; });
        RequireRealMixture(x, p);
        RefreshForBlend(c.T[2]);
    }
    ReportSalinity();
    E.CPPF = PrecipitationPotential(E.PHF, E.ALKF, E.CAF, E.ACIF);
    percentWater1 = x * 100;
    percentWater2 = (1 - x) * 100;
}

void DriveBlendMultiple(int count) {
    BlendWaters(count, CopyOfBlendTables());
    ToReportUnits();
}

void DriveBlendToPh(double targetPh, double& percentWater1, double& percentWater2) {
    BlendToPh(CopyOfBlendTables(), targetPh, percentWater1, percentWater2);
    ToReportUnits();
}
