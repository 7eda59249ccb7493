#include "CalculationRegistry.h"

#include <map>

namespace {
std::map<int, TCalcFormFactory>& Registry() {
    static std::map<int, TCalcFormFactory> registry;
    return registry;
}
} // namespace

void RegisterCalculationForm(int calcIndex, TCalcFormFactory factory) {
    Registry()[calcIndex] = std::move(factory);
}

QDialog* CreateCalculationForm(int calcIndex, QWidget* owner, TWaterDataset* dataset) {
    const auto found = Registry().find(calcIndex);
    return found == Registry().end() ? nullptr : found->second(owner, dataset);
}
