// DETPAR: precipitation potential and the pH searches.

#include "DETPAR.h"

#include "CONSDEC.h"
#include "EngineState.h"
#include "FloatingPointFaults.h"
#include "StepSearch.h"
#include "WATCHEM.h"

#include <cmath>

namespace {
// A scan pass evaluates at most this many grid points; a convergent scan needs a few dozen.
constexpr int kScanEvaluationCap = 100000;
} // namespace

void PrecipitationPotential(double /*pH*/, double alkalinity, double calcium, double acidity,
                            double& potential, double& equilibriumAlkalinity, double& equilibriumCalcium,
                            double& equilibriumPh) {
    const auto& E = Engine;
    // Precipitating or dissolving CaCO3 keeps the acidity and alkalinity - 2*calcium.
    const double m0 = alkalinity - 2 * calcium;
    double alkEq = 0;
    double caEq = 0;
    const double h = StepSearch(10.0, [&](double h) {
        const double hc = h / E.FM;
        const double oh = E.KW / h;
        double y = acidity - hc + oh; // 2a + b
        if (y < 0) y = 1e-9;          // very acid trial points
        const double b = y / (2 * h / E.K1 + 1);
        const double c3 = b * E.K2 / h;
        alkEq = 2 * c3 + b + oh - hc;
        const double freeCO3 = c3 / E.FCO3;
        const double freeCa = E.KACT[kSlotCalcite] / freeCO3;
        caEq = freeCa * E.FCA;
        return (alkEq - 2 * caEq) - m0;
    });
    equilibriumPh = PhOfActivity(h);
    potential = (calcium - caEq) * Units::kPotential;
    equilibriumAlkalinity = alkEq;
    equilibriumCalcium = caEq;
}

double PrecipitationPotential(double pH, double alkalinity, double calcium, double acidity) {
    double potential = 0, alkEq = 0, caEq = 0, phEq = 0;
    PrecipitationPotential(pH, alkalinity, calcium, acidity, potential, alkEq, caEq, phEq);
    return potential;
}

double PhFromAlkalinityAndAcidity(double targetAlkalinity, double acidity) {
    auto& E = Engine;
    RequireFinite(targetAlkalinity);
    RequireFinite(acidity);
    int evaluations = 0;
    auto F = [&](double p) {
        if (++evaluations > kScanEvaluationCap) RaiseNotConverged();
        const double alkalinity = AlkalinityFromAcidity(acidity, p);
        if (!std::isfinite(alkalinity)) RequireFinite(alkalinity);
        return alkalinity;
    };
    // Each pass compares the previous evaluation with the target before it evaluates at the
    // current pH, so it stops one grid point past the crossing.
    double p = 1.0;
    double Fp = 0;
    double d = Fp - targetAlkalinity;
    while (d <= 0) {
        d = Fp - targetAlkalinity;
        Fp = F(p);
        p = p + 1;
    }
    evaluations = 0;
    while (d >= 0) {
        d = Fp - targetAlkalinity;
        Fp = F(p);
        p = p - 0.1;
    }
    evaluations = 0;
    while (d <= 0) {
        d = Fp - targetAlkalinity;
        Fp = F(p);
        p = p + 0.01;
    }
    RaiseFloatingPointFaults();
    E.HACT = E.HACT / 1000; // mol/l from here on
    return -Log10(E.HACT);
}

double PhFromAlkalinityAndPco2(double targetAlkalinity, double pressureCO2) {
    auto& E = Engine;
    const double h = StepSearch(10.0, [&](double h) {
        E.HACT = h;
        const double hc = h / E.FM;
        E.HCONC = hc;
        // Bicarbonate K1*KH*p/h, carbonate twice that times K2/h, hydroxide, minus hydrogen ion.
        const double alkalinity = (2 * E.K2 / h + 1) * (E.K1 * E.KH * pressureCO2 / h) + E.KW / h - hc;
        return alkalinity - targetAlkalinity;
    });
    E.HACT = h / 1000;
    return PhOfActivity(h);
}
