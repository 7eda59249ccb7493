#include "ConcentrationChangeCalc.h"

#include "CalculationRanges.h"
#include "EngineFacade.h"
#include "InputCheck.h"
#include "LocaleNumbers.h"

#include <QGroupBox>
#include <QLineEdit>

namespace {
constexpr TInputRange kRange = CalculationRanges::Evaporation;
}

TConcentrationChangeCalcForm::TConcentrationChangeCalcForm(QWidget* owner) : TCalcForm(owner) {
    setWindowTitle(QStringLiteral("Concentration change calculation"));
    QGroupBox* group = createInputGroup(QStringLiteral("Concentration change input"));
    TxtInput = createNumberInput(group, QStringLiteral("Percentage of evaporation"), QStringLiteral("%"),
                                 QStringLiteral("Enter the percentage of evaporation between %1 and %2%.")
                                     .arg(FormatBound(kRange.Min), FormatBound(kRange.Max)),
                                 QStringLiteral("TxtInput"));
}

bool TConcentrationChangeCalcForm::ValidateInputs() {
    return CheckControlRange(TxtInput, kRange.Min, kRange.Max);
}

void TConcentrationChangeCalcForm::FormShow() {
    TCalcForm::FormShow();
    TxtInput->setText(FormatPattern(0, 1));
}

bool TConcentrationChangeCalcForm::Calculate(const TWaterDataset& dataset) {
    const double evaporation = ReadNumber(TxtInput);
    SetCalcResult(RunConcentrationChange(dataset, evaporation));
    ShowResults(CalcResult());
    return true;
}
