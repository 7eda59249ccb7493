#pragma once
// Scaling and corrosion indices of a water beside its precipitation potential: the calcite
// saturation index, the saturation pH with the Langelier and Ryznar indices built on it, the
// Larson-Skold index and the aggressive index.
//
// Every index reads the equilibrium state in force, the same KW, K1, K2, FM, FCA, FCO3 and KACT[10]
// (calcite) that give the water's precipitation potential, so the index and the potential describe
// one water. Carbonate notation as in WATCHEM.h; at a pH p with h = 10^(3 - p) mmol/l:
//   b + 2 c3 = alkalinity - oh + hc      (the carbonate alkalinity)
//   b = (b + 2 c3) / (1 + 2 K2 / h),  c3 = b K2 / h
//   free calcium = calcium / FCA,  free carbonate = c3 / FCO3
//   SI(p) = log10(free calcium * free carbonate / KACT[10])
// SI(p) is the saturation index of the water with its calcium and alkalinity at the pH p, that is
// with CO2 added or removed until it has that pH; SI at the water's own pH (that of its carbonate
// system, CarbonatePh) is its saturation index and the lowest pH where SI(p) = 0 its saturation pH.
// The Langelier, Ryznar and aggressive indices take the water's pH as reported.
//
// Engine units throughout (mmol/l; alkalinity and acidity in mmol/l of charge). An index that the
// water does not define (no calcium, no carbonate, no alkalinity, no saturating pH) is empty.

#include <optional>

// The saturation pH search. With the calcium and alkalinity fixed, the carbonate ion c3(p) rises
// with the pH until the hydroxide starts to take the alkalinity, then falls; its peak has a closed
// form (CarbonateIonPeakPh). SI(p) therefore rises from pH 0 to the peak, and the saturation pH is
// the one root there. At that root c3 is fixed by the calcium and KACT[10], and the carbonate
// alkalinity's equation is a quadratic in h (SaturationPhEstimate): the search brackets its root by
// kSaturationPhBracketStep either side (each end moved outwards in doubling steps while SI has not
// changed sign across the bracket; the whole range [0, min(peak, 14)] where the quadratic gives no
// pH inside it) and closes the bracket by the Illinois form of false position until it is at most
// kSaturationPhTolerance wide (the midpoint is returned). A search that exceeds
// kSaturationPhEvaluationCap evaluations ends as "The calculation did not converge."; a convergent
// one needs two evaluations when the quadratic holds and a few dozen at most otherwise.
inline constexpr double kSaturationPhTolerance = 0.0001; // pH units
inline constexpr double kSaturationPhBracketStep = kSaturationPhTolerance / 4;
inline constexpr int kSaturationPhEvaluationCap = 200;
inline constexpr double kSaturationPhLowest = 0;   // pH
inline constexpr double kSaturationPhHighest = 14; // pH

// The pH of a water's carbonate system: where its own alkalinity and acidity agree. A treated
// water's pH often comes from the 0.01 pH scan (0.01 to 0.02 above this pH), which would shift its
// carbonate ion by a few per cent; the saturation index and the Larson-Skold index take this pH.
// Found from the given pH outwards (bracket steps of 0.02 pH, doubling) and by the Illinois form of
// false position to kCarbonatePhTolerance, at most kCarbonatePhEvaluationCap evaluations; a water
// whose pH already agrees (a characterised water) costs one evaluation.
inline constexpr double kCarbonatePhTolerance = 1e-9; // pH units
inline constexpr int kCarbonatePhEvaluationCap = 200;

struct TIndexFigures {
    std::optional<double> SaturationIndex;  // SI, log10 of the calcite ion product over its product
    std::optional<double> SaturationPh;     // pHs
    std::optional<double> LangelierIndex;   // LSI = pH - pHs
    std::optional<double> RyznarIndex;      // RSI = 2 pHs - pH
    std::optional<double> LarsonSkoldIndex; // (Cl + 2 SO4) / (b + 2 c3), both mmol/l of charge
    std::optional<double> AggressiveIndex;  // pH + log10(alkalinity * calcium, mg/l as CaCO3 each)
};

// The pH at which the water's alkalinity and acidity (engine units) agree, from `pH` as the first
// guess; `pH` itself for a water without carbonate.
double CarbonatePh(double pH, double alkalinity, double acidity);

// SI(p): the saturation index of a water of this alkalinity and total calcium brought to the pH p
// with CO2. Empty where the calcium or the carbonate alkalinity at p is not above zero.
std::optional<double> SaturationIndexAtPh(double pH, double alkalinity, double calcium);

// The pH at which the carbonate ion of a water of this alkalinity, with CO2 added or removed, is
// largest (14 when it still rises there).
double CarbonateIonPeakPh(double alkalinity);

// The root of SI(p) = 0 on the rising side of the carbonate ion's peak from the quadratic in h, in
// closed form: the saturation pH's first guess. Empty without calcium or where the quadratic has no
// positive root.
std::optional<double> SaturationPhEstimate(double alkalinity, double calcium);

// The lowest pH in 0..14 at which SI(p) = 0, to kSaturationPhTolerance. Empty without calcium or
// alkalinity, and where no pH of 0..14 saturates the water that way (a very soft water whose
// alkalinity the hydroxide uses up before the carbonate is enough).
std::optional<double> SaturationPh(double alkalinity, double calcium);

// All six indices of the water (pH; alkalinity, acidity, total calcium, total sulphate and
// chloride in engine units) with the equilibrium state in force. A water whose total carbonate
// (alkalinity + acidity) / 2 is not above zero has no saturation index and no Larson-Skold index.
TIndexFigures WaterIndices(double pH, double alkalinity, double acidity, double calcium, double sulphate,
                           double chloride);
