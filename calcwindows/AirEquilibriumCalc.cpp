#include "AirEquilibriumCalc.h"

TAirEquibCalcForm::TAirEquibCalcForm(QWidget* owner)
    : TCO2EquilibriumCalcForm(owner, QStringLiteral("Equilibrium with the air"),
                              QStringLiteral("Equilibrium with the air input")) {}

bool TAirEquibCalcForm::Calculate(const TWaterDataset& dataset) {
    ClearEquilibrium();
    Pc02 = ReadNumber(TxtPartialPressure);
    return CalculateEquilibrium(dataset, Pc02);
}
