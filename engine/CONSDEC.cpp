// CONSDEC: units, numeric helpers, constants at temperature and the activity models.

#include "CONSDEC.h"

#include "FloatingPointFaults.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

namespace {
const double kLn10 = std::log(10.0);
constexpr double kZeroCelsius = 273.15; // K

// Engine-unit scales: 1000^n for n more concentration factors above than below.
constexpr double kScale1 = 1000;
constexpr double kScale2 = 1000.0 * 1000;
constexpr double kScale3 = 1000.0 * 1000 * 1000;

// K = PowerOf(10, log K) * scale.
double ConstantOf(double logK, double scale) {
    return PowerOf(10, logK) * scale;
}

// Analytic form, five terms: log K = -(p2*Tk + p1 - p3/Tk - p4*log Tk + p5/Tk^2).
double AnalyticFiveTerms(double p1, double p2, double p3, double p4, double p5, double T) {
    const double Tk = T + kZeroCelsius;
    return -(p2 * Tk + p1 - p3 / Tk - p4 * Log10(Tk) + p5 / (Tk * Tk));
}
} // namespace

double Log10(double x) {
    if (!(x > 0)) RaiseInvalidOperation();
    if (std::isinf(x)) RaiseOverflow();
    return std::log(x) / kLn10;
}

double PowerOf(double base, double exponent) {
    if (!(base > 0) || std::isnan(exponent)) RaiseInvalidOperation();
    if (std::isinf(base)) RaiseOverflow();
    const double power = std::exp(std::log(base) * exponent);
    if (std::isinf(power)) RaiseOverflow();
    return power;
}

double SquareRoot(double x) {
    if (!(x >= 0)) RaiseInvalidOperation();
    return std::sqrt(x);
}

void ToEngineUnits(double& alkalinity, double& totalCarbonate, double& calcium, double& magnesium,
                   double& sodium, double& sulphate, double& chloride) {
    alkalinity = alkalinity / Units::kAlkalinity;
    totalCarbonate = totalCarbonate / Units::kTotalCarbonate;
    calcium = calcium / Units::kCalcium;
    magnesium = magnesium / Units::kMagnesium;
    sodium = sodium / Units::kSodium;
    sulphate = sulphate / Units::kSulphate;
    chloride = chloride / Units::kChloride;
}

void ToReportUnits() {
    auto& E = Engine;
    E.ALKF = E.ALKF * Units::kAlkalinity;
    E.ACIF = E.ACIF * Units::kAcidity;
    E.CAF = E.CAF * Units::kCalcium;
    E.MGF = E.MGF * Units::kMagnesium;
    E.NAF = E.NAF * Units::kSodium;
    E.SO4F = E.SO4F * Units::kSulphate;
    E.CLF = E.CLF * Units::kChloride;
}

double LogK1(double T) {
    return AnalyticFiveTerms(356.3094, 0.0609196, 21834.37, 126.8339, 1684915, T);
}

double LogK2(double T) {
    return AnalyticFiveTerms(107.8871, 0.03252849, 5151.79, 38.92561, 563713.9, T);
}

// Analytic form, four terms: log K = -(p2*Tk + p1 - p3/Tk - p4*log Tk).
double LogCalcite(double T) {
    const double Tk = T + kZeroCelsius;
    const double p1 = 171.9065, p2 = 0.077993, p3 = 2839.32, p4 = 71.595;
    return -(p2 * Tk + p1 - p3 / Tk - p4 * Log10(Tk));
}

// Henry: log K = p1/Tk - p2 + p3*Tk.
double LogHenry(double T) {
    const double Tk = T + kZeroCelsius;
    const double p1 = 2025.3, p2 = 11.365, p3 = 0.0104;
    return p1 / Tk - p2 + p3 * Tk;
}

// Van 't Hoff with q = 1.364 * Tk / 298.15: log K = (log K25 + dH / 1.364) - dH / q, which is
// log K25 at exactly 25 degrees Celsius.
double LogVantHoff(double logK25, double deltaH, double T) {
    const double Tk = T + kZeroCelsius;
    const double q = 1.364 * Tk / 298.15;
    return (logK25 + deltaH / 1.364) - deltaH / q;
}

namespace {

// The constants are a function of the temperature alone, sixteen exponentials and logarithms. A
// table of waters repeats its temperatures (a laboratory's, or a few hundred values to one decimal),
// so the constants of the temperatures met last are kept, one place per temperature by the bits of
// its double: a water at a kept temperature gets the very same numbers without computing them.
// Constants whose computation raised a fault are not kept, so that computing them again raises it.
struct TKeptConstants {
    bool Kept = false;
    std::uint64_t TemperatureBits = 0;
    TConstantTable K{};
};
constexpr std::size_t kKeptTemperatures = 256;
std::array<TKeptConstants, kKeptTemperatures> KeptConstants;

TKeptConstants& KeptPlaceOf(std::uint64_t temperatureBits) {
    // Fibonacci hashing: the top bits of the product mix every bit of the double.
    return KeptConstants[(temperatureBits * 0x9E3779B97F4A7C15ULL) >> 56];
}

void ComputeConstantsAnew(double T, TConstantTable& K) {
    K.fill(0);
    K[kSlotK1] = ConstantOf(LogK1(T), kScale1);
    K[kSlotK2] = ConstantOf(LogK2(T), kScale1);
    K[kSlotKw] = ConstantOf(LogVantHoff(-14.000, 13.345, T), kScale2);
    K[kSlotHSO4] = ConstantOf(LogVantHoff(-1.987, -4.91, T), kScale1);
    K[kSlotCalcite] = ConstantOf(LogCalcite(T), kScale2);
    K[kSlotMgOH2] = ConstantOf(LogVantHoff(-10.204, 0.85, T), kScale3);
    K[kSlotCaSO4] = ConstantOf(LogVantHoff(-2.309, -1.65, T), kScale1);
    K[kSlotCaCO3] = ConstantOf(LogVantHoff(-3.220, -3.13, T), kScale1);
    K[kSlotCaHCO3] = ConstantOf(LogVantHoff(-1.110, -6.331, T), kScale1);
    K[kSlotMgSO4] = ConstantOf(LogVantHoff(-2.238, -4.92, T), kScale1);
    K[kSlotMgCO3] = ConstantOf(LogVantHoff(-3.398, -0.058, T), kScale1);
    K[kSlotMgHCO3] = ConstantOf(LogVantHoff(-0.928, -10.37, T), kScale1);
    K[kSlotNaSO4] = ConstantOf(LogVantHoff(-0.226, -2.229, T), kScale1);
    K[kSlotNaCO3] = ConstantOf(LogVantHoff(-1.268, -8.911, T), kScale1);
    K[kSlotNaBicarbonate] = ConstantOf(LogVantHoff(-1.512, 2.64, T), kScale2);
    K[kSlotHenry] = ConstantOf(LogHenry(T), kScale1);
}

} // namespace

void ComputeConstants(double T, TConstantTable& K) {
    const auto bits = std::bit_cast<std::uint64_t>(T);
    TKeptConstants& place = KeptPlaceOf(bits);
    if (place.Kept && place.TemperatureBits == bits) {
        K = place.K;
        return;
    }
    const bool faultedBefore = FloatingPointFaultRaised();
    ComputeConstantsAnew(T, K);
    if (!faultedBefore && !FloatingPointFaultRaised()) {
        place.Kept = true;
        place.TemperatureBits = bits;
        place.K = K;
    }
}

// log f1 = -0.5 (s/(1+s) - 0.2 I), log f2 = -2 (s/(1+s) - 0.2 I), s = sqrt(I). The factor 0.5 is
// fixed, not a function of temperature.
TDiluteCoefficients DiluteActivity(double I) {
    const double s = SquareRoot(I);
    const double logf1 = -0.5 * (s / (1 + s) - 0.2 * I);
    const double logf2 = -2 * (s / (1 + s) - 0.2 * I);
    return {PowerOf(10, logf1), PowerOf(10, logf2)};
}

// log gamma = -A * s / (1 + k s) + d I, with A = z^2 * 0.5.
TIonPairCoefficients IonPairActivity(double I) {
    const double s = SquareRoot(I);
    auto logGamma = [&](double A, double k, double d) { return -A * s / (1 + k * s) + d * I; };
    const double logCO3 = logGamma(2, 1.782, 0);
    TIonPairCoefficients g{};
    g.Ca = PowerOf(10, logGamma(2, 1.65, 0.165));
    g.Mg = PowerOf(10, logGamma(2, 1.815, 0.2));
    g.SO4 = PowerOf(10, logGamma(2, 1.65, -0.04));
    g.Na = PowerOf(10, logGamma(0.5, 1.32, 0.075));
    g.OH = PowerOf(10, logGamma(0.5, 1.155, 0));
    g.H = PowerOf(10, logGamma(0.5, 2.97, 0));
    g.CO3 = PowerOf(10, logCO3);
    g.HCO3 = PowerOf(10, 0.25 * logCO3);
    return g;
}

void ApplyIonPairCoefficients(const TConstantTable& K, const TIonPairCoefficients& g) {
    auto& A = Engine.KACT;
    A[kSlotK1] = K[kSlotK1] / g.HCO3;
    A[kSlotK2] = K[kSlotK2] * g.HCO3 / g.CO3;
    A[kSlotKw] = K[kSlotKw] / g.OH;
    A[kSlotHSO4] = K[kSlotHSO4] * g.HCO3 / g.SO4;
    A[kSlotCalcite] = K[kSlotCalcite] / (g.Ca * g.CO3);
    A[kSlotMgOH2] = K[kSlotMgOH2] / (g.Mg * g.OH * g.OH);
    A[kSlotCaSO4] = K[kSlotCaSO4] / (g.Ca * g.SO4);
    A[kSlotCaCO3] = K[kSlotCaCO3] / (g.Ca * g.CO3);
    A[kSlotCaHCO3] = K[kSlotCaHCO3] / g.Ca;
    A[kSlotMgSO4] = K[kSlotMgSO4] / (g.Mg * g.SO4);
    A[kSlotMgCO3] = K[kSlotMgCO3] / (g.Mg * g.CO3);
    A[kSlotMgHCO3] = K[kSlotMgHCO3] / g.Mg;
    A[kSlotNaSO4] = K[kSlotNaSO4] * g.HCO3 / (g.Na * g.SO4);
    A[kSlotNaCO3] = K[kSlotNaCO3] * g.HCO3 / (g.Na * g.CO3);
    A[kSlotNaBicarbonate] = K[kSlotNaBicarbonate] / (g.Na * g.Na * g.SO4);
    A[kSlotHenry] = K[kSlotHenry];
}

void ApplyDiluteActivity(const TConstantTable& K, double I, double T) {
    auto& E = Engine;
    const auto [f1, f2] = DiluteActivity(I);
    const double Tk = T + kZeroCelsius;

    // K1 and K2 from their formulas again (equal to KACT[0] and KACT[1] below).
    E.K1 = PowerOf(10, LogK1(T)) / f1 * 1000;
    E.K2 = PowerOf(10, LogK2(T)) * f1 / f2 * 1000;
    // The ion product of water of this model has a formula of its own, not slot 2
    // (log KW -13.905 at 25 degrees Celsius against -14.000).
    E.KW = PowerOf(10, -(7.1321 * Log10(Tk) + 4787.3 / Tk + 0.010365 * Tk - 22.89)) / f1 * kScale2;

    auto& A = E.KACT;
    A = K;
    A[kSlotK1] = K[kSlotK1] / f1;
    A[kSlotK2] = K[kSlotK2] * f1 / f2;
    A[kSlotKw] = K[kSlotKw] / f1;
    A[kSlotHSO4] = K[kSlotHSO4] * f1 / f2;
    A[kSlotCalcite] = K[kSlotCalcite] / (f2 * f2);
    A[kSlotMgOH2] = K[kSlotMgOH2] / (f2 * f1 * f1);
    A[kSlotCaSO4] = K[kSlotCaSO4] / (f2 * f2);
    A[kSlotCaCO3] = K[kSlotCaCO3] / (f2 * f2);
    A[kSlotCaHCO3] = K[kSlotCaHCO3] / f2;
    A[kSlotMgSO4] = K[kSlotMgSO4] / (f2 * f2);
    A[kSlotMgCO3] = K[kSlotMgCO3] / (f2 * f2);
    A[kSlotMgHCO3] = K[kSlotMgHCO3] / f2;
    A[kSlotNaSO4] = K[kSlotNaSO4] / f2;
    A[kSlotNaCO3] = K[kSlotNaCO3] / f2;
    A[kSlotNaBicarbonate] = K[kSlotNaBicarbonate] / (f1 * f1 * f2);
    A[kSlotHenry] = K[kSlotHenry];

    E.FCA = 1;
    E.FMG = 1;
    E.FCO3 = 1;
    E.FM = f1;
    E.KH = K[kSlotHenry];
}
