#include "TemperatureChangeCalc.h"

#include "CalculationRanges.h"
#include "EngineFacade.h"
#include "InputCheck.h"
#include "LocaleNumbers.h"

#include <QGroupBox>
#include <QLineEdit>

namespace {
constexpr TInputRange kRange = CalculationRanges::NewTemperature;
}

TTempChangeCalcForm::TTempChangeCalcForm(QWidget* owner) : TCalcForm(owner) {
    setWindowTitle(QStringLiteral("Temperature change calculation"));
    QGroupBox* group = createInputGroup(QStringLiteral("Temperature change input"));
    TxtTemperature =
        createNumberInput(group, QStringLiteral("Final temperature :"), QStringLiteral("degrees C"),
                          QStringLiteral("Enter the temperature between %1 and %2 degrees Celsius.")
                              .arg(FormatBound(kRange.Min), FormatBound(kRange.Max)),
                          QStringLiteral("TxtTemperature"));
}

bool TTempChangeCalcForm::ValidateInputs() {
    return CheckControlRange(TxtTemperature, kRange.Min, kRange.Max);
}

void TTempChangeCalcForm::FormShow() {
    TCalcForm::FormShow();
    TxtTemperature->setText(FormatPattern(0, 1));
}

bool TTempChangeCalcForm::Calculate(const TWaterDataset& dataset) {
    const double newTemperature = ReadNumber(TxtTemperature);
    SetCalcResult(RunTemperatureChange(dataset, newTemperature));
    ShowResults(CalcResult());
    return true;
}
