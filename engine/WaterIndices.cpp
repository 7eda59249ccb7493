// Scaling and corrosion indices from the equilibrium state in force.

#include "WaterIndices.h"

#include "CONSDEC.h"
#include "EngineState.h"
#include "FloatingPointFaults.h"

#include <algorithm>
#include <cmath>

namespace {

// SO4-- carries two charges, Cl- one: mmol/l of charge per mmol/l.
constexpr double kSulphateCharge = 2;
constexpr double kChlorideCharge = 1;

// mg/l as CaCO3 per engine unit, for the aggressive index.
constexpr double kAlkalinityAsCaCO3 = Units::kAlkalinity;
constexpr double kCalciumAsCaCO3 = Units::kCalcium;

// The carbonate alkalinity b + 2 c3 of a water of this alkalinity at the activity h (mmol/l).
double CarbonateAlkalinity(double alkalinity, double h) {
    const auto& E = Engine;
    const double hc = h / E.FM;
    const double oh = E.KW / h;
    return alkalinity - oh + hc;
}

// The carbonate ion c3 (pairs included) within the carbonate alkalinity at h.
double CarbonateIon(double carbonateAlkalinity, double h) {
    const auto& E = Engine;
    const double b = carbonateAlkalinity / (1 + 2 * E.K2 / h);
    return b * E.K2 / h;
}

// Total carbonate that rounding of ALK + ACI leaves above zero in a water without any.
bool HasCarbonate(double alkalinity, double acidity) {
    const double CT = (alkalinity + acidity) / 2;
    return CT > 1e-12 * (std::fabs(alkalinity) + std::fabs(acidity));
}

// The root of an increasing f between a (f(a) = fa < 0) and b (f(b) = fb > 0) by the Illinois form
// of false position: the value kept at an end that stays twice in a row is halved, so both ends
// close in. Ends when the bracket is at most `tolerance` wide (returns its midpoint) or f is 0;
// f counts its evaluations against its search's cap.
template <class F> double IllinoisRoot(F&& f, double a, double fa, double b, double fb, double tolerance) {
    int kept = 0; // -1: a was kept last time, +1: b was kept
    while (b - a > tolerance) {
        double c = b - fb * (b - a) / (fb - fa);
        if (!(c > a && c < b)) c = (a + b) / 2; // rounding at the ends
        const double fc = f(c);
        if (fc == 0) return c;
        if (fc < 0) {
            a = c, fa = fc;
            if (kept == +1) fb /= 2;
            kept = +1;
        } else {
            b = c, fb = fc;
            if (kept == -1) fa /= 2;
            kept = -1;
        }
    }
    return (a + b) / 2;
}

// The alkalinity (mmol/l of charge) of a water of total carbonate CT (mmol/l) at the pH p:
// CT (K1 h + 2 K1 K2) / (h^2 + K1 h + K1 K2) + oh - hc. It rises with the pH.
double AlkalinityOfTotalCarbonateAt(double CT, double p) {
    const auto& E = Engine;
    const double h = HydrogenActivity(p);
    const double carbonate = CT * (E.K1 * h + 2 * E.K1 * E.K2) / (h * h + E.K1 * h + E.K1 * E.K2);
    return carbonate + E.KW / h - h / E.FM;
}

} // namespace

double CarbonatePh(double pH, double alkalinity, double acidity) {
    const double CT = (alkalinity + acidity) / 2;
    if (!(CT > 0)) return pH;
    int evaluations = 0;
    auto mismatch = [&](double p) {
        if (++evaluations > kCarbonatePhEvaluationCap) RaiseNotConverged();
        return AlkalinityOfTotalCarbonateAt(CT, p) - alkalinity;
    };
    const double f0 = mismatch(pH);
    if (std::fabs(f0) <= 1e-12 * (std::fabs(alkalinity) + std::fabs(acidity))) return pH;
    // A bracket from the given pH outwards in doubling steps, towards the side the mismatch points.
    const double direction = f0 > 0 ? -1 : 1;
    double near = pH, fNear = f0, step = 0.02;
    for (;;) {
        const double far = near + direction * step;
        const double fFar = mismatch(far);
        if ((fFar > 0) != (f0 > 0) || fFar == 0) {
            if (fFar == 0) return far;
            return direction > 0 ? IllinoisRoot(mismatch, near, fNear, far, fFar, kCarbonatePhTolerance)
                                 : IllinoisRoot(mismatch, far, fFar, near, fNear, kCarbonatePhTolerance);
        }
        near = far, fNear = fFar, step *= 2;
    }
}

std::optional<double> SaturationIndexAtPh(double pH, double alkalinity, double calcium) {
    const auto& E = Engine;
    if (!(calcium > 0)) return std::nullopt;
    const double h = HydrogenActivity(pH);
    const double carbonateAlkalinity = CarbonateAlkalinity(alkalinity, h);
    if (!(carbonateAlkalinity > 0)) return std::nullopt;
    const double freeCa = calcium / E.FCA;
    const double freeCO3 = CarbonateIon(carbonateAlkalinity, h) / E.FCO3;
    return Log10(freeCa * freeCO3 / E.KACT[kSlotCalcite]);
}

double CarbonateIonPeakPh(double alkalinity) {
    const auto& E = Engine;
    // c3(h) = (A - KW/h + h/FM) K2 / (h + 2 K2) is largest where its derivative in h vanishes:
    // (A - 2 K2/FM) h^2 - 2 KW h - 2 K2 KW = 0, whose positive root is the peak's h.
    const double q = alkalinity - 2 * E.K2 / E.FM;
    if (!(q > 0)) return kSaturationPhHighest;
    const double h = (E.KW + SquareRoot(E.KW * E.KW + 2 * q * E.K2 * E.KW)) / q;
    return PhOfActivity(h);
}

std::optional<double> SaturationPhEstimate(double alkalinity, double calcium) {
    const auto& E = Engine;
    if (!(calcium > 0)) return std::nullopt;
    // At saturation the carbonate ion is c3 = KACT[10] FCO3 / (calcium / FCA). With
    // c3 = (A - KW/h + h/FM) K2 / (h + 2 K2), times h / K2:
    //   (1/FM - c3/K2) h^2 + (A - 2 c3) h - KW = 0.
    const double c3 = E.KACT[kSlotCalcite] * E.FCO3 * E.FCA / calcium;
    const double a = 1 / E.FM - c3 / E.K2;
    const double b = alkalinity - 2 * c3;
    const double discriminant = b * b + 4 * a * E.KW;
    if (!(discriminant >= 0) || !std::isfinite(discriminant)) return std::nullopt;
    // The two roots without cancellation; the larger h is the lower pH, where c3 still rises.
    const double q = -(b + std::copysign(std::sqrt(discriminant), b)) / 2;
    double h = 0;
    for (const double root : {q / a, -E.KW / q})
        if (std::isfinite(root) && root > h) h = root;
    if (!(h > 0)) return std::nullopt;
    return PhOfActivity(h);
}

std::optional<double> SaturationPh(double alkalinity, double calcium) {
    if (!(calcium > 0) || !(alkalinity > 0)) return std::nullopt;
    int evaluations = 0;
    auto SI = [&](double p) -> std::optional<double> {
        if (++evaluations > kSaturationPhEvaluationCap) RaiseNotConverged();
        return SaturationIndexAtPh(p, alkalinity, calcium);
    };

    // The search's range: pH 0 to the pH of the largest carbonate ion (or 14). Between them SI rises
    // with the pH and the carbonate alkalinity only falls; where the carbonate alkalinity is gone at
    // the top, or SI is still below 0 there, no pH of the range saturates the water.
    const double lo = kSaturationPhLowest;
    const double hi = std::clamp(CarbonateIonPeakPh(alkalinity), kSaturationPhLowest, kSaturationPhHighest);
    if (!(CarbonateAlkalinity(alkalinity, HydrogenActivity(hi)) > 0)) return std::nullopt;

    // The bracket: a quarter of the tolerance either side of the closed form's root, each end moved
    // outwards in doubling steps while SI has not changed sign across it; the whole range where the
    // closed form gives no pH inside it.
    double a = lo, b = hi;
    double step = kSaturationPhBracketStep;
    if (const std::optional<double> guess = SaturationPhEstimate(alkalinity, calcium);
        guess && *guess > lo && *guess < hi) {
        a = std::max(lo, *guess - step);
        b = std::min(hi, *guess + step);
    }
    std::optional<double> fa = SI(a);
    if (!fa) return std::nullopt;
    std::optional<double> fb = a == b ? fa : SI(b);
    if (!fb) return std::nullopt;
    while (*fa > 0 && a > lo) {
        b = a, fb = fa, step *= 2;
        a = std::max(lo, a - step);
        if (!(fa = SI(a))) return std::nullopt;
    }
    while (*fb < 0 && b < hi) {
        a = b, fa = fb, step *= 2;
        b = std::min(hi, b + step);
        if (!(fb = SI(b))) return std::nullopt;
    }
    if (*fa > 0 || *fb < 0) return std::nullopt;
    if (*fa == 0) return a;
    if (*fb == 0) return b;
    // Inside the bracket the carbonate alkalinity stays above zero (it only falls as the pH rises).
    auto rising = [&](double p) {
        const std::optional<double> v = SI(p);
        if (!v) RaiseNotConverged();
        return *v;
    };
    return IllinoisRoot(rising, a, *fa, b, *fb, kSaturationPhTolerance);
}

TIndexFigures WaterIndices(double pH, double alkalinity, double acidity, double calcium, double sulphate,
                           double chloride) {
    TIndexFigures f;
    const bool carbonate = HasCarbonate(alkalinity, acidity);
    // The carbonate speciation at the pH where the water's own alkalinity and acidity agree.
    const double pc = carbonate ? CarbonatePh(pH, alkalinity, acidity) : pH;
    if (carbonate) f.SaturationIndex = SaturationIndexAtPh(pc, alkalinity, calcium);

    f.SaturationPh = SaturationPh(alkalinity, calcium);
    if (f.SaturationPh) {
        f.LangelierIndex = pH - *f.SaturationPh;
        f.RyznarIndex = 2 * *f.SaturationPh - pH;
    }

    // Chloride and sulphate against bicarbonate and carbonate, each in mmol/l of charge.
    const double carbonateAlkalinity = CarbonateAlkalinity(alkalinity, HydrogenActivity(pc));
    if (carbonate && carbonateAlkalinity > 0)
        f.LarsonSkoldIndex = (kChlorideCharge * chloride + kSulphateCharge * sulphate) / carbonateAlkalinity;

    const double alkalinityAsCaCO3 = alkalinity * kAlkalinityAsCaCO3;
    const double calciumAsCaCO3 = calcium * kCalciumAsCaCO3;
    if (alkalinityAsCaCO3 > 0 && calciumAsCaCO3 > 0)
        f.AggressiveIndex = pH + Log10(alkalinityAsCaCO3 * calciumAsCaCO3);
    return f;
}
