#include "UndergroundWaterCalc.h"

#include "Dialogs.h"
#include "UnderwaterResultsForm.h"

#include <exception>

TUndergroundWaterCalcForm::TUndergroundWaterCalcForm(QWidget* owner)
    : TCO2EquilibriumCalcForm(owner, QStringLiteral("Underground water calculation"),
                              QStringLiteral("Underground water input")) {}

bool TUndergroundWaterCalcForm::Calculate(const TWaterDataset& dataset) {
    ClearEquilibrium();
    const double pressureCO2 = ReadNumber(TxtPartialPressure);
    return CalculateEquilibrium(dataset, pressureCO2);
}

bool TUndergroundWaterCalcForm::ShowUndergroundWater() {
    try {
        TUgWaterResultsForm results(this, Dataset());
        results.PartialPressure = ReadNumber(TxtPartialPressure);
        // Computed before it is shown, so a failure never shows a half-filled window.
        results.FormShow();
        Dialogs().ExecModal(results);
        ShowResults(results.CalcResult2());
    } catch (const std::exception& error) {
        ShowErrorBox(this, error);
        return false;
    }
    return true;
}

void TUndergroundWaterCalcForm::ButtonCancelClick() {
    if (!ShowUndergroundWater()) return;
    TCO2EquilibriumCalcForm::ButtonCancelClick();
}
