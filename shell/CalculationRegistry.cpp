#include "CalculationRegistry.h"

#include <map>

namespace {

std::map<int, TCalcFormFactory>& Registry() {
    static std::map<int, TCalcFormFactory> registry;
    return registry;
}

using namespace CalculationIndex;
using enum TCalculationMenu;

constexpr TCalculationItem kCalculationItems[] = {
    {kSofteningCa, Softening, "Softening to desired Ca value", true},
    {kSofteningMg, Softening, "Softening to desired Mg value", true},
    {kSofteningCaMg, Softening, "Softening to desired Ca and Mg values", true},
    {kPhAdjustment, Calculations, "pH adjustment", true},
    {kStabilisation, Calculations, "Stabilisation", true},
    {kBlendToPh, Blending, "Blend to specified pH", false},
    {kBlendMultiple, Blending, "Determine water condition after blending", false},
    {kAirEquilibrium, Calculations, "Equilibrium with the air", true},
    {kTemperatureChange, Calculations, "Temperature change", true},
    {kConcentrationChange, Calculations, "Concentration change", true},
    {kUndergroundWater, Calculations, "Underground water", true},
    {kDeficientWater, Calculations, "Ca and carbonate species deficient waters", true},
    {kDosingCurve, Calculations, "Dosing curve", true},
};

} // namespace

std::span<const TCalculationItem> CalculationItems() {
    return kCalculationItems;
}

void RegisterCalculationForm(int calcIndex, TCalcFormFactory factory) {
    Registry()[calcIndex] = std::move(factory);
}

QDialog* CreateCalculationForm(int calcIndex, QWidget* owner, TWaterDataset* dataset) {
    const auto found = Registry().find(calcIndex);
    return found == Registry().end() ? nullptr : found->second(owner, dataset);
}

std::vector<int> RegisteredCalculationIndices() {
    std::vector<int> indices;
    for (const auto& [index, factory] : Registry())
        if (factory) indices.push_back(index);
    return indices;
}
