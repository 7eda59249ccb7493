#pragma once
// The inputs each calculation accepts, defined once so that the calculation windows and the
// command-line calculator refuse exactly the same values. Bounds are inclusive. Some bounds follow
// the water: they are read from the data set at the time of the check.

#include "CalvaroModel.h"
#include "ReportUnits.h"

#include <numeric>
#include <vector>

struct TInputRange {
    double Min;
    double Max;
    bool Contains(double value) const { return Min <= value && value <= Max; } // false for NaN
};

namespace CalculationRanges {

inline constexpr TInputRange TargetPh{1, 14};           // pH adjustment
inline constexpr TInputRange DesiredPotential{-9, 15};  // stabilisation, mg/l as CaCO3
inline constexpr TInputRange DeficientCalcium{30, 200}; // Ca and carbonate deficient water, mg/l as CaCO3
inline constexpr TInputRange PressureCO2{0.00005, 1};   // air and underground water, atm
inline constexpr TInputRange NewTemperature{5, 90};     // temperature change, degrees Celsius
inline constexpr TInputRange Evaporation{0, 95};        // concentration change, percent
inline constexpr TInputRange BlendTargetPh{1, 14};      // blend to pH

// The lowest calcium lime can reach, shown in mg/l as CaCO3, from CAMIN in mg/l as Ca.
inline double MinimumLimeCalcium(double CAMIN) {
    return CAMIN * Units::kCalcium / Units::kCalciumAsCa;
}

// Calcium softening with lime: from the reachable minimum to the water's own calcium.
inline TInputRange SofteningCaLime(const TWaterDataset& water, double CAMIN) {
    return {MinimumLimeCalcium(CAMIN), water.Calcium()};
}
// Calcium softening with soda ash, and the calcium of combined softening.
inline TInputRange SofteningCaSodaAsh(const TWaterDataset& water) {
    return {2, water.Calcium()};
}
inline TInputRange SofteningCaMgCalcium(const TWaterDataset& water) {
    return {2, water.Calcium()};
}
// Magnesium softening, and the magnesium of combined softening.
inline TInputRange SofteningMg(const TWaterDataset& water) {
    return {1, water.Magnesium()};
}
inline TInputRange SofteningCaMgMagnesium(const TWaterDataset& water) {
    return {1, water.Magnesium()};
}

// Several waters are blended only when their fractions, added in order, are exactly 100 percent.
inline bool BlendFractionsComplete(const std::vector<double>& fractions) {
    return std::accumulate(fractions.begin(), fractions.end(), 0.0) == 100.0;
}
inline constexpr const char* kBlendFractionsMessage = "The sum of the water fractions is not 100%.";
inline constexpr int kMinimumBlendWaters = 2;
inline constexpr int kMaximumBlendWaters = 20;

// Dose-response curves: the largest dose (mg/l of the chemical) and the number of points.
inline constexpr TInputRange DosingCurveLargestDose{0.1, 100000};
inline constexpr TInputRange DosingCurvePoints{11, 2001};

} // namespace CalculationRanges
