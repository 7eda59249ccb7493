// EngineFacade: the scaling and corrosion indices of a characterised or treated water, and their
// one-word readings.

#include "EngineFacade.h"

#include "CONSDEC.h"
#include "DETPAR.h"
#include "EngineState.h"
#include "FacadeInternals.h"
#include "FloatingPointFaults.h"
#include "WATCHEM.h"
#include "WaterIndices.h"

#include <cmath>
#include <string>

namespace {

// The precipitation potential is found by the step search to 0.001 mmol/l of alkalinity - 2 Ca,
// so a water whose potential comes out at or across zero is saturated within that resolution,
// where its saturation index, computed directly, can lie a few thousandths either side of 0 (at
// most 0.0062 over 86,000 random characterised waters). Within this band the index takes the
// potential's verdict: 0 where the potential is 0 or of the other sign. A disagreement beyond it
// is left to show.
constexpr double kSaturationIndexResolution = 0.01;

void ReconcileWithPotential(std::optional<double>& SI, double potential) {
    if (!SI || std::fabs(*SI) > kSaturationIndexResolution) return;
    if (potential == 0 || (potential > 0) != (*SI > 0)) SI = 0.0;
}

TWaterIndices IndicesOf(double pH, double alkalinity, double acidity, double calcium, double sulphate,
                        double chloride, double potential) {
    const TIndexFigures f = WaterIndices(pH, alkalinity, acidity, calcium, sulphate, chloride);
    TWaterIndices indices;
    indices.SaturationIndex = f.SaturationIndex;
    indices.SaturationPh = f.SaturationPh;
    indices.LangelierIndex = f.LangelierIndex;
    indices.RyznarIndex = f.RyznarIndex;
    indices.LarsonSkoldIndex = f.LarsonSkoldIndex;
    indices.AggressiveIndex = f.AggressiveIndex;
    ReconcileWithPotential(indices.SaturationIndex, potential);
    RaiseFloatingPointFaults();
    for (const auto* index : {&indices.SaturationIndex, &indices.SaturationPh, &indices.LangelierIndex,
                              &indices.RyznarIndex, &indices.LarsonSkoldIndex, &indices.AggressiveIndex})
        if (*index) RequireFinite(**index);
    return indices;
}

bool SameWater(const TCalculationResult& a, const TCalculationResult& b) {
    return a.ALKF == b.ALKF && a.ACIF == b.ACIF && a.CAF == b.CAF && a.MGF == b.MGF && a.NAF == b.NAF &&
           a.SO4F == b.SO4F && a.CLF == b.CLF && a.PHF == b.PHF && a.TF == b.TF && a.MHUF == b.MHUF &&
           a.TDSF == b.TDSF && a.CONF == b.CONF && a.CPPF == b.CPPF && a.WATCHAR == b.WATCHAR &&
           a.CARBSYSORDER == b.CARBSYSORDER;
}

// Readings with a middle band whose bounds belong to it.
std::string BandReading(double value, double low, double high, const char* below, const char* within,
                        const char* above) {
    if (value < low) return below;
    if (value > high) return above;
    return within;
}

constexpr double kBalancedSaturationIndex = 0.05; // SI and LSI: -0.05 to 0.05 balanced
constexpr double kRyznarScaleForming = 6;         // RSI below 6 scale-forming
constexpr double kRyznarAggressive = 7;           // RSI above 7 aggressive
constexpr double kLarsonSkoldModerate = 0.8;      // 0.8 to 1.2 moderate
constexpr double kLarsonSkoldHigh = 1.2;
constexpr double kAggressiveIndexModerate = 10; // 10 to below 12 moderately aggressive
constexpr double kAggressiveIndexNone = 12;     // 12 and above non-aggressive

} // namespace

TWaterIndices WaterIndicesOfResult(const TCalculationResult& water) {
    auto& E = Engine;
    ClearFloatingPointFaults();
    const double calcium = water.CAF / Units::kCalcium;
    const double sulphate = water.SO4F / Units::kSulphate;
    const double chloride = water.CLF / Units::kChloride;
    const TLastResult& last = Facade.LastResult;
    if (last.Kept && SameWater(last.Water, water)) {
        // The constants its potential was computed with.
        E.KW = last.KW, E.K1 = last.K1, E.K2 = last.K2, E.FM = last.FM, E.FCA = last.FCA, E.FCO3 = last.FCO3;
        E.KACT[kSlotCalcite] = last.Calcite;
    } else {
        // The treated water's own constants: its temperature, ions and ionic strength through the
        // refresh a task runs after it changes a water.
        ComputeConstants(water.TF, E.KTHERM);
        double mu = water.MHUF;
        RefreshConstants(calcium, water.MGF / Units::kMagnesium, water.NAF / Units::kSodium, sulphate,
                         chloride, mu, water.TF);
    }
    return IndicesOf(water.PHF, water.ALKF / Units::kAlkalinity, water.ACIF / Units::kAcidity, calcium,
                     sulphate, chloride, water.CPPF);
}

TWaterIndices IndicesOfLoadedWater(double potential) {
    const auto& E = Engine;
    return IndicesOf(E.PH, E.ALK, E.ACI, E.CA, E.SO4, E.CL, potential);
}

TWaterIndices WaterIndicesOfDataset(const TWaterDataset& dataset) {
    const auto& E = Engine;
    ResetEngine();
    LoadDataset(dataset);
    return IndicesOfLoadedWater(PrecipitationPotential(E.PH, E.ALK, E.CA, E.ACI));
}

std::string SaturationIndexReading(double saturationIndex) {
    return BandReading(saturationIndex, -kBalancedSaturationIndex, kBalancedSaturationIndex, "aggressive",
                       "balanced", "scale-forming");
}

std::string LangelierReading(double langelierIndex) {
    return SaturationIndexReading(langelierIndex);
}

std::string RyznarReading(double ryznarIndex) {
    return BandReading(ryznarIndex, kRyznarScaleForming, kRyznarAggressive, "scale-forming", "balanced",
                       "aggressive");
}

std::string LarsonSkoldReading(double larsonSkoldIndex) {
    return BandReading(larsonSkoldIndex, kLarsonSkoldModerate, kLarsonSkoldHigh, "low", "moderate", "high");
}

std::string AggressiveIndexReading(double aggressiveIndex) {
    if (aggressiveIndex >= kAggressiveIndexNone) return "non-aggressive";
    if (aggressiveIndex >= kAggressiveIndexModerate) return "moderately aggressive";
    return "highly aggressive";
}
